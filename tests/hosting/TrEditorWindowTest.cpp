#include "TrTestPaths.h"
#include "hosting/TrSlotManager.h"

#include <gtest/gtest.h>

TEST (EditorWindow, OpensOnceComesToFrontAgainAndClosesWithNotifications)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);
    int changes = 0;
    manager.onSlotsChanged = [&] { ++changes; };

    slot.showEditor();
    EXPECT_EQ (slot.editorWindow, nullptr) << "an empty slot opens nothing";
    EXPECT_EQ (changes, 0);

    juce::String error;
    ASSERT_TRUE (slot.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    changes = 0;

    slot.showEditor();
    ASSERT_NE (slot.editorWindow, nullptr);
    auto* first = slot.editorWindow.get();
    EXPECT_EQ (first->getName(), "TESTRIG Fixture");
    EXPECT_TRUE (first->isAlwaysOnTop());
    EXPECT_TRUE (first->isVisible());
    EXPECT_EQ (changes, 1);

    slot.showEditor();
    EXPECT_EQ (slot.editorWindow.get(), first) << "a second call brings the same window to front";
    EXPECT_EQ (changes, 1);

    first->closeButtonPressed();
    EXPECT_EQ (slot.editorWindow, nullptr);
    EXPECT_EQ (changes, 2);
    EXPECT_EQ (slot.instance->getActiveEditor(), nullptr);
}

TEST (EditorWindow, UnloadingClosesTheEditorFirst)
{
    TrSlotManager manager;
    auto& slot = manager.slot (0);

    juce::String error;
    ASSERT_TRUE (slot.loadFromFile (TrTest::fixture ("TestrigFixture"), error)) << error;
    slot.showEditor();
    ASSERT_NE (slot.editorWindow, nullptr);

    slot.unload();
    EXPECT_EQ (slot.editorWindow, nullptr);
    EXPECT_FALSE (slot.isLoaded());
}
