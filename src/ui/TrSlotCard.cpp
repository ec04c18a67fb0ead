#include "TrSlotCard.h"

#include "TrMessage.h"
#include "TrSlotMenu.h"
#include "TrSlotStyle.h"
#include "UxFonts.h"
#include "UxPanelTheme.h"
#include "hosting/TrPluginFiles.h"

namespace
{
namespace C = UxPanelTheme::Colours;

struct Help
{
    const char* id;
    const char* title;
    const char* body;
};

const Help eyeHelp { "slot-vis", "Show / hide its traces",
                     "Temporarily hides this plugin's curves and readouts on every tab without unloading it - useful when charts get crowded. Click again to bring them back." };
const Help removeHelp { "slot-remove", "Unload this plugin",
                        "Empties the slot. Its traces and readouts disappear with it - press HOLD first if you want to keep a reference curve to compare against." };
const Help editorHelp { "slot-editor", "Open the plugin's own window",
                        "Shows the plugin's interface. Turn its knobs while the LIVE preview runs and watch the chart follow in realtime." };

juce::String firstBundleOf (const juce::StringArray& files)
{
    for (const auto& f : files)
        if (TrPluginFiles::bundleFor (juce::File (f)) != juce::File())
            return f;
    return {};
}
}

TrSlotCard::TrSlotCard (TrPluginSlot& s, TrSettings& st, TrPluginScanner& sc)
    : slot (s), settings (st), scanner (sc)
{
    setMouseCursor (juce::MouseCursor::PointingHandCursor);
}

void TrSlotCard::loadPlugin (const juce::File& file)
{
    const auto bundle = TrPluginFiles::bundleFor (file);
    if (bundle == juce::File())
    {
        TrMessage::show (this, "Could not load plugin", TrPluginFiles::notAPluginText (file), true);
        return;
    }

    juce::String error;
    if (slot.loadFromFile (bundle, error))
        settings.setSlotPluginPath (slot.index, bundle.getFullPathName());
    else
        TrMessage::show (this, "Could not load plugin", error, true);
}

void TrSlotCard::loadPluginFromDescription (const juce::PluginDescription& d)
{
    juce::String error;
    if (slot.loadFromDescription (d, error))
        settings.setSlotPluginPath (slot.index, d.fileOrIdentifier);
    else
        TrMessage::show (this, "Could not load plugin", error, true);
}

void TrSlotCard::browseForPlugin()
{
    // Built once: the result is looked up in the list this menu shows, whatever a scan does meanwhile.
    auto menu = std::make_shared<TrSlotMenu> (scanner.getSnapshot(), scanner.getBlacklist(), scanner.isThreadRunning(),
                                              scanner.progress.load());
    menu->build (TrSlotStyle::slotLetter (slot.index), &menuLook)
        .showMenuAsync (juce::PopupMenu::Options().withMousePosition(),
                        [weak = juce::Component::SafePointer<TrSlotCard> (this), menu] (int result) {
                            if (weak != nullptr)
                                weak->menuChosen (result, *menu);
                        });
}

void TrSlotCard::menuChosen (int result, const TrSlotMenu& menu)
{
    if (result == TrSlotMenu::scanId)
    {
        if (! scanner.isThreadRunning())
            scanner.startThread();
    }
    else if (result == TrSlotMenu::browseId)
    {
        openFileDialog();
    }
    else if (const auto d = menu.pluginFor (result))
    {
        if (busy())
            refuseWhileBusy();
        else
            loadPluginFromDescription (*d);
    }
    repaint();
}

void TrSlotCard::openFileDialog()
{
    chooser = std::make_unique<juce::FileChooser> ("Load a plugin into slot " + TrSlotStyle::slotLetter (slot.index),
                                                   settings.getLastBrowseDir(), "*.vst3;*.lv2", false);
    const auto modes = juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles
                       | juce::FileBrowserComponent::canSelectDirectories;
    chooser->launchAsync (modes, [weak = juce::Component::SafePointer<TrSlotCard> (this)] (const juce::FileChooser& fc) {
        const auto chosen = fc.getResult();
        if (weak == nullptr || chosen == juce::File())
            return;

        const auto bundle = TrPluginFiles::bundleFor (chosen);
        if (bundle != juce::File())
        {
            weak->settings.props->setValue ("browse.lastDir", bundle.getParentDirectory().getFullPathName());
            weak->settings.props->saveIfNeeded();
        }
        if (weak->busy())
            weak->refuseWhileBusy();
        else
            weak->loadPlugin (chosen);
    });
}

juce::Rectangle<float> TrSlotCard::buttonArea (int button) const
{
    const auto r = static_cast<float> (juce::jmax (getWidth() - 16, 0) + 8);
    const auto c = static_cast<float> (juce::jmax (getHeight() - 16, 0) / 2 + 8 - 12);
    switch (button)
    {
        case eyeButton:    return { r - 102.0f, c, 32.0f, 24.0f };
        case editorButton: return { r - 66.0f, c, 34.0f, 24.0f };
        case removeButton: return { r - 28.0f, c, 24.0f, 24.0f };
        default:           return {};
    }
}

int TrSlotCard::buttonAt (juce::Point<float> p) const
{
    if (! slot.isLoaded())
        return none;
    for (auto b : { editorButton, removeButton, eyeButton })
        if (buttonArea (b).contains (p))
            return b;
    return none;
}

juce::String TrSlotCard::secondaryLine() const
{
    switch (hoverTarget)
    {
        case eyeButton:    return "show / hide its traces";
        case removeButton: return "remove this plugin";
        case editorButton: return "open the plugin's own window";
        default:           break;
    }

    if (slot.instance == nullptr)
        return {};

    auto line = slot.description.pluginFormatName + "  -  " + juce::String (slot.instance->getLatencySamples()) + " smp latency";
    if (const auto layout = slotLayoutName (slot); layout != "stereo")
        line << "  -  " << layout;
    if (! slot.visible)
        line << "  -  hidden";
    return line;
}

void TrSlotCard::refuseWhileBusy()
{
    TrMessage::show (this, "Measurement running", "Wait for the measurement to finish before changing plugins.", false);
}

void TrSlotCard::reportHover()
{
    if (onHover == nullptr)
        return;

    const auto letter = TrSlotStyle::slotLetter (slot.index);
    const auto report = [this, &letter] (const Help& h, juce::Rectangle<float> area) { onHover (*this, h.id + letter, h.title, h.body, area); };

    if (! slot.isLoaded())
        onHover (*this, "slot-empty" + letter, "Load a plugin into slot " + letter,
                 "Click to pick a plugin - from the scanned list or by browsing for a file - or simply drag a .vst3 or .lv2 bundle straight onto this card. Load a second plugin in the other slot to compare the two.",
                 getLocalBounds().toFloat());
    else if (hoverTarget == eyeButton)
        report (eyeHelp, buttonArea (eyeButton));
    else if (hoverTarget == removeButton)
        report (removeHelp, buttonArea (removeButton));
    else if (hoverTarget == editorButton)
        report (editorHelp, buttonArea (editorButton));
    else
        onHover (*this, "slot-card" + letter, "Plugin slot " + letter,
                 "Everything measured below runs through this plugin. Drop a different plugin file here to swap it - the color matches its traces in the chart.",
                 getLocalBounds().toFloat());
}

void TrSlotCard::mouseMove (const juce::MouseEvent& e)
{
    hovered = true;
    const auto target = buttonAt (e.position);
    if (target != hoverTarget)
    {
        hoverTarget = target;
        repaint();
    }
    reportHover();
}

void TrSlotCard::mouseExit (const juce::MouseEvent&)
{
    hovered = false;
    hoverTarget = none;
    if (onHover != nullptr)
        onHover (*this, {}, {}, {}, {});
    repaint();
}

void TrSlotCard::mouseUp (const juce::MouseEvent& e)
{
    if (! getLocalBounds().toFloat().contains (e.position))
        return;

    const auto button = buttonAt (e.position);
    if (busy())
    {
        const auto editorMayChange = slot.isLoaded() && button == editorButton;
        const auto nothingToChange = slot.isLoaded() && button != removeButton && button != eyeButton;
        if (! editorMayChange)
        {
            if (! nothingToChange)
                refuseWhileBusy();
            return;
        }
    }

    if (! slot.isLoaded())
    {
        browseForPlugin();
        return;
    }

    if (button == editorButton)
    {
        if (slot.editorWindow != nullptr)
            slot.editorWindow.reset();
        else if (! slot.showEditor())
            TrMessage::show (this, "No plugin window", slot.description.name + " has no window of its own.", false);
    }
    else if (button == removeButton)
    {
        slot.unload();
        settings.clearSlotPluginPath (slot.index);
        hoverTarget = none;
    }
    else if (button == eyeButton)
    {
        slot.visible = ! slot.visible;
        if (slot.onChange != nullptr)
            slot.onChange();
    }
    repaint();
}

bool TrSlotCard::isInterestedInFileDrag (const juce::StringArray& files)
{
    return firstBundleOf (files).isNotEmpty();
}

void TrSlotCard::fileDragEnter (const juce::StringArray&, int, int)
{
    dragOver = true;
    repaint();
}

void TrSlotCard::fileDragExit (const juce::StringArray&)
{
    dragOver = false;
    repaint();
}

void TrSlotCard::filesDropped (const juce::StringArray& files, int, int)
{
    dragOver = false;
    if (busy())
        refuseWhileBusy();
    else if (const auto first = firstBundleOf (files); first.isNotEmpty())
        loadPlugin (juce::File (first));
    repaint();
}

void TrSlotCard::paint (juce::Graphics& g)
{
    if (slot.isLoaded())
        paintLoaded (g);
    else
        paintEmpty (g);
}

void TrSlotCard::paintEmpty (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat().reduced (1.0f);
    UxPanelTheme::recessedWell (g, area, 8.0f);

    const auto lit = dragOver || hovered;
    const auto accent = TrSlotStyle::slotColour (slot.index);
    juce::Path outline;
    outline.addRoundedRectangle (area.reduced (3.0f), 6.0f);
    juce::Path dashed;
    const float dashes[] { 5.0f, 4.0f };
    juce::PathStrokeType (1.0f).createDashedStroke (dashed, outline, dashes, 2);
    g.setColour (lit ? accent.withAlpha (dragOver ? 0.95f : 0.7f) : C::borderHi);
    g.fillPath (dashed);

    g.setFont (UxFonts::getGoogleSansFlexFont (11.0f, 700));
    g.setColour (lit ? accent : C::textDim);
    UxPanelTheme::drawTracked (g, "DROP A PLUGIN  " + TrSlotStyle::slotLetter (slot.index), area, juce::Justification::centred, 2.0f);
}

void TrSlotCard::paintLoaded (juce::Graphics& g)
{
    const auto area = getLocalBounds().toFloat().reduced (1.0f);
    const auto accent = TrSlotStyle::slotColour (slot.index);
    UxPanelTheme::materialButton (g, area, 8.0f, false, accent, hovered && hoverTarget == none);

    const auto badge = juce::Rectangle<float> (area.getX() + 10.0f, area.getCentreY() - 12.0f, 24.0f, 24.0f);
    g.setColour (slot.visible ? accent : C::textDim);
    g.fillRoundedRectangle (badge, 5.0f);
    g.setColour (C::bgDeep);
    g.setFont (UxFonts::getGoogleSansFlexFont (13.0f, 800));
    g.drawText (TrSlotStyle::slotLetter (slot.index), badge, juce::Justification::centred);

    const auto textLeft = badge.getRight() + 10.0f;
    const auto textRight = buttonArea (eyeButton).getX() - 8.0f;
    const juce::Rectangle<float> text { textLeft, area.getY() + 4.0f, juce::jmax (0.0f, textRight - textLeft), area.getHeight() - 8.0f };
    g.setColour (slot.visible ? C::textPrimary : C::textDim);
    g.setFont (UxFonts::getGoogleSansFlexFont (14.0f, 700));
    g.drawFittedText (slot.description.name, text.withTrimmedBottom (text.getHeight() * 0.5f).toNearestInt(),
                      juce::Justification::bottomLeft, 1, 0.85f);
    g.setColour (hoverTarget != none ? accent : C::textSecondary);
    g.setFont (UxFonts::getGoogleSansFlexFont (11.0f, 500));
    g.drawFittedText (secondaryLine(), text.withTrimmedTop (text.getHeight() * 0.5f + 2.0f).toNearestInt(),
                      juce::Justification::topLeft, 1, 0.85f);

    const auto drawButton = [&] (int button, bool lit) {
        UxPanelTheme::materialButton (g, buttonArea (button), 5.0f, lit, accent, hoverTarget == button);
        g.setColour (lit ? accent : (hoverTarget == button ? C::textPrimary : C::textSecondary));
    };

    drawButton (eyeButton, ! slot.visible);
    const auto eye = buttonArea (eyeButton).withSizeKeepingCentre (16.0f, 9.0f);
    juce::Path lid;
    lid.startNewSubPath (eye.getX(), eye.getCentreY());
    lid.quadraticTo (eye.getCentreX(), eye.getY() - 4.0f, eye.getRight(), eye.getCentreY());
    lid.quadraticTo (eye.getCentreX(), eye.getBottom() + 4.0f, eye.getX(), eye.getCentreY());
    g.strokePath (lid, juce::PathStrokeType (1.4f));
    g.fillEllipse (eye.withSizeKeepingCentre (5.0f, 5.0f));
    if (! slot.visible)
        g.drawLine ({ eye.getBottomLeft(), eye.getTopRight() }, 1.4f);

    drawButton (editorButton, slot.editorWindow != nullptr);
    g.setFont (UxFonts::getGoogleSansFlexFont (11.0f, 800));
    g.drawText ("UI", buttonArea (editorButton), juce::Justification::centred);

    drawButton (removeButton, false);
    const auto cross = buttonArea (removeButton).withSizeKeepingCentre (8.0f, 8.0f);
    g.drawLine ({ cross.getTopLeft(), cross.getBottomRight() }, 1.5f);
    g.drawLine ({ cross.getBottomLeft(), cross.getTopRight() }, 1.5f);
}
