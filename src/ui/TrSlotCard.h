#pragma once

#include "hosting/TrPluginScanner.h"
#include "hosting/TrPluginSlot.h"
#include "settings/TrSettings.h"
#include "UxPanelTheme.h"

#include <juce_gui_basics/juce_gui_basics.h>

/** One slot of the header strip: shows what is loaded, loads plugins from the scanned menu, a
    file dialog or a dropped bundle, opens the plugin's window, hides its traces and unloads it.
    Changes are refused while a measurement runs. */
class TrSlotCard final : public juce::Component,
                         public juce::FileDragAndDropTarget
{
public:
    TrSlotCard (TrPluginSlot& slot, TrSettings& settings, TrPluginScanner& scanner);

    /** Loads a bundle (or the bundle around a chosen .so or manifest.ttl) and stores its path; a
        failure shows the message panel. */
    void loadPlugin (const juce::File& file);

    /** Loads a scanned plugin and stores its identifier; a failure shows the message panel. */
    void loadPluginFromDescription (const juce::PluginDescription& d);

    /** Shows the slot menu at the mouse. */
    void browseForPlugin();

    /** What the slot menu's result does, for the menu the user saw. */
    void menuChosen (int result, const class TrSlotMenu& menu);

    /** Opens the plugin file dialog (the framework's own: bundles are folders). */
    void openFileDialog();

    /** The button under a point in card coordinates: 0 none, 1 editor, 2 remove, 3 eye. */
    int buttonAt (juce::Point<float> p) const;

    enum Button
    {
        none = 0,
        editorButton = 1,
        removeButton = 2,
        eyeButton = 3
    };

    /** A button's rectangle in card coordinates. */
    juce::Rectangle<float> buttonArea (int button) const;

    /** The secondary line under the plugin's name. */
    juce::String secondaryLine() const;

    void paint (juce::Graphics&) override;
    void mouseMove (const juce::MouseEvent&) override;
    void mouseExit (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    bool isInterestedInFileDrag (const juce::StringArray& files) override;
    void fileDragEnter (const juce::StringArray& files, int x, int y) override;
    void fileDragExit (const juce::StringArray& files) override;
    void filesDropped (const juce::StringArray& files, int x, int y) override;

    /** Hover help: the card, an id, a title, a body and the area it explains; empty texts clear it. */
    std::function<void (juce::Component&, const juce::String&, const juce::String&, const juce::String&, juce::Rectangle<float>)> onHover;
    /** True while a measurement runs. */
    std::function<bool()> isBusy;

    TrPluginSlot& slot;

private:
    bool busy() const { return isBusy != nullptr && isBusy(); }
    void refuseWhileBusy();
    void reportHover();
    void paintEmpty (juce::Graphics&);
    void paintLoaded (juce::Graphics&);

    TrSettings& settings;
    TrPluginScanner& scanner;
    std::unique_ptr<juce::FileChooser> chooser;
    UxPanelTheme::MenuLookAndFeel menuLook;
    bool dragOver = false;
    bool hovered = false;
    int hoverTarget = none;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (TrSlotCard)
};
