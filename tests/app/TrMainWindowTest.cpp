#include "app/TrMainWindow.h"

#include <gtest/gtest.h>

TEST (MainWindow, IsTitledDarkResizableWithinItsLimitsAndHasAllThreeButtons)
{
    TrMainWindow window ("TESTRIG");

    EXPECT_EQ (window.getName(), "TESTRIG");
    EXPECT_EQ (window.getBackgroundColour(), juce::Colour (0xff0c0b0e));
    EXPECT_TRUE (window.isVisible());
    EXPECT_TRUE (window.isResizable());
    EXPECT_TRUE (window.isUsingNativeTitleBar());
    EXPECT_NE (window.getContentComponent(), nullptr);

    const auto* limits = window.getConstrainer();
    ASSERT_NE (limits, nullptr);
    EXPECT_EQ (limits->getMinimumWidth(), 1100);
    EXPECT_EQ (limits->getMinimumHeight(), 700);
    EXPECT_EQ (limits->getMaximumWidth(), 10000);
    EXPECT_EQ (limits->getMaximumHeight(), 10000);

    const auto flags = window.getDesktopWindowStyleFlags();
    EXPECT_NE (flags & juce::ComponentPeer::windowHasMinimiseButton, 0);
    EXPECT_NE (flags & juce::ComponentPeer::windowHasMaximiseButton, 0);
    EXPECT_NE (flags & juce::ComponentPeer::windowHasCloseButton, 0);
}
