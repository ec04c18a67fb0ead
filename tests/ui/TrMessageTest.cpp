#include "TrScreens.h"
#include "TrMessagePump.h"
#include "TrMouse.h"
#include "TrTestPaths.h"
#include "app/TrMainWindow.h"
#include "ui/TrMessage.h"
#include "ui/UxFonts.h"
#include "ui/UxLookAndFeel.h"
#include "ui/UxPanelTheme.h"

#include <gtest/gtest.h>

namespace
{
TrMessage* panelOf (juce::Component& top)
{
    for (auto* child : top.getChildren())
        if (auto* panel = dynamic_cast<TrMessage*> (child))
            return panel;
    return nullptr;
}

struct Host
{
    Host()
    {
        top.setBounds (0, 0, 1440, 900);
        top.addAndMakeVisible (inner);
        inner.setBounds (100, 100, 200, 100);
        TrMessage::show (&inner, "Plugin not loaded", "The file is not a plugin.", true);
    }

    juce::Component top, inner;
};
}

TEST (MessagePanel, CoversTheWholeWindowOnTopWithTheAccentOfItsKind)
{
    Host host;
    auto* panel = panelOf (host.top);
    ASSERT_NE (panel, nullptr) << "added to the top-level ancestor, not to the component given";
    EXPECT_EQ (panel->getBounds(), host.top.getLocalBounds());
    EXPECT_TRUE (panel->isAlwaysOnTop());
    EXPECT_TRUE (panel->isVisible());
    EXPECT_EQ (panel->getAccent(), UxPanelTheme::Colours::mute);
    EXPECT_EQ (panel->getLayout().card.getWidth(), 460.0f);

    TrMessage::show (&host.inner, "Saved", "Report card written.", false);
    auto* notice = dynamic_cast<TrMessage*> (host.top.getChildren().getLast());
    ASSERT_NE (notice, nullptr);
    EXPECT_EQ (notice->getAccent(), UxPanelTheme::Colours::gold);
}

TEST (MessagePanel, ReturnOrEscapeAloneDismissItOtherKeysAreSwallowed)
{
    const struct
    {
        const char* label;
        juce::KeyPress key;
        bool dismisses;
    } cases[] {
        { "Return", juce::KeyPress (juce::KeyPress::returnKey), true },
        { "Escape", juce::KeyPress (juce::KeyPress::escapeKey), true },
        { "Ctrl+Return", juce::KeyPress (juce::KeyPress::returnKey, juce::ModifierKeys::ctrlModifier, 0), false },
        { "Shift+Escape", juce::KeyPress (juce::KeyPress::escapeKey, juce::ModifierKeys::shiftModifier, 0), false },
        { "a letter", juce::KeyPress ('x'), false },
        { "space", juce::KeyPress (juce::KeyPress::spaceKey), false },
    };

    for (const auto& c : cases)
    {
        Host host;
        auto* panel = panelOf (host.top);
        ASSERT_NE (panel, nullptr);
        EXPECT_TRUE (panel->keyPressed (c.key)) << c.label << " is consumed";
        TrTest::pumpMessages (50);
        EXPECT_EQ (panelOf (host.top) == nullptr, c.dismisses) << c.label;
    }
}

TEST (MessagePanel, APressOnTheButtonOrOutsideTheCardDismissesOneInsideTheCardDoesNot)
{
    auto layout = TrMessage::layoutFor (1440, 900, TrMessage::textHeightFor ("The file is not a plugin.", 400));
    const struct
    {
        const char* label;
        juce::Point<float> where;
        bool dismisses;
    } cases[] {
        { "on the button", layout.button.getCentre(), true },
        { "on the text", layout.text.getCentre(), false },
        { "on the card's corner", layout.card.getTopLeft() + juce::Point<float> (20, 20), false },
        { "outside the card", { 50, 50 }, true },
    };

    for (const auto& c : cases)
    {
        Host host;
        auto* panel = panelOf (host.top);
        ASSERT_NE (panel, nullptr);
        panel->mouseDown (TrTest::mouseAt (*panel, c.where));
        TrTest::pumpMessages (50);
        EXPECT_EQ (panelOf (host.top) == nullptr, c.dismisses) << c.label;
    }
}

TEST (MessagePanel, ShownInTheRealWindowAndDismissedWithReturnThroughTheWindow)
{
    UxFonts::initialize();
    UxLookAndFeel look;
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
    {
        TrMainWindow window ("TESTRIG");
        window.setBounds (40, 40, 1280, 800);
        auto* content = window.getContentComponent();
        TrTest::pumpMessages (200);
        const auto before = window.createComponentSnapshot (window.getLocalBounds());
        TrMessage::show (content, "Plugin not loaded",
                         "TESTRIG could not load /usr/lib/vst3/Missing.vst3: the file does not exist. Choose another plugin "
                         "from the menu or drag a .vst3 or .lv2 onto a slot above.",
                         true);
        TrTest::pumpMessages (300);

        auto* panel = panelOf (window);
        ASSERT_NE (panel, nullptr) << "on the window, the content's top-level ancestor";
        EXPECT_EQ (panel->getBounds(), window.getLocalBounds());
        panel->grabKeyboardFocus(); // no window manager hands out focus under Xvfb
        TrTest::pumpMessages (100);

        const auto shot = window.createComponentSnapshot (window.getLocalBounds());
        ASSERT_TRUE (TrTest::keepForReview (shot, "message-panel"));

        // The accent bar along the card's top edge, 16 px in from its corners, in the alert colour.
        const auto card = panel->getLayout().card;
        const auto bar = shot.getPixelAt (juce::roundToInt (card.getCentreX()), juce::roundToInt (card.getY() + 1.0f));
        EXPECT_EQ (bar, UxPanelTheme::Colours::mute);

        // The dim: black at alpha 0x8c over the backdrop keeps (255 - 0x8c) / 255 of each channel.
        for (const auto& p : { juce::Point<int> (5, 5), juce::Point<int> (640, 60), juce::Point<int> (1270, 790) })
        {
            const auto was = before.getPixelAt (p.x, content->getY() + p.y);
            const auto now = shot.getPixelAt (p.x, content->getY() + p.y);
            EXPECT_NEAR (now.getRed(), was.getRed() * (255 - 0x8c) / 255.0, 1.5) << p.toString();
            EXPECT_NEAR (now.getGreen(), was.getGreen() * (255 - 0x8c) / 255.0, 1.5) << p.toString();
            EXPECT_NEAR (now.getBlue(), was.getBlue() * (255 - 0x8c) / 255.0, 1.5) << p.toString();
        }

        ASSERT_TRUE (window.getPeer() != nullptr);
        window.getPeer()->handleKeyPress (juce::KeyPress (juce::KeyPress::returnKey));
        TrTest::pumpMessages (100);
        EXPECT_EQ (panelOf (window), nullptr);
    }
    juce::LookAndFeel::setDefaultLookAndFeel (nullptr);
}
