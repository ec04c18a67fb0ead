#include "ui/TrAuditionView.h"
#include "ui/UxPanelTheme.h"

#include <gtest/gtest.h>

TEST (AuditionView, TheFirstGoodNullResultMatchesBAndSetsTheRate)
{
    TrNullResult good;
    good.matchGainDb = -3.0;
    good.latencyDeltaSamples = 63.6;
    good.sampleRate = 44100.0;
    TrNullResult failed = good;
    failed.error = "aborted";

    const struct
    {
        const char* label;
        std::vector<TrNullResult> nulls;
        double gainDb, latency, rate;
        bool fromNullTest;
    } cases[] {
        { "none: unity, no delay, the RATE chip", {}, 0.0, 0.0, 96000.0, false },
        { "a good one", { good }, -3.0, 63.6, 44100.0, true },
        { "the first failed", { failed, good }, 0.0, 0.0, 96000.0, false },
    };
    for (const auto& c : cases)
    {
        TrViewState state;
        state.chips.sampleRate = 96000.0;
        state.stores.nulls = c.nulls;
        const auto match = TrAuditionView::matchFor (state);
        EXPECT_EQ (match.gainDb, c.gainDb) << c.label;
        EXPECT_EQ (match.latencyDeltaSamples, c.latency) << c.label;
        EXPECT_EQ (TrAuditionView::wantedRateFor (state), c.rate) << c.label;
        EXPECT_EQ (TrAuditionView::nullTestRateFor (state).has_value(), c.fromNullTest) << c.label;
    }
}

TEST (AuditionView, KeysChooseWhatIsHeard)
{
    const struct
    {
        const char* label;
        juce::KeyPress key;
        int mode; // -1: no mode
        bool stops;
    } cases[] {
        { "1", juce::KeyPress ('1'), TrAuditionEngine::pluginA, false },
        { "2 typed", juce::KeyPress ('2', {}, '2'), TrAuditionEngine::pluginB, false },
        { "N", juce::KeyPress ('N'), TrAuditionEngine::difference, false },
        { "n typed", juce::KeyPress ('n', {}, 'n'), TrAuditionEngine::difference, false },
        { "0", juce::KeyPress ('0'), TrAuditionEngine::untouched, false },
        { "3", juce::KeyPress ('3'), -1, false },
        { "Ctrl+1", juce::KeyPress ('1', juce::ModifierKeys::ctrlModifier, 0), -1, false },
        { "Space", juce::KeyPress (juce::KeyPress::spaceKey), -1, true },
        { "Shift+Space", juce::KeyPress (juce::KeyPress::spaceKey, juce::ModifierKeys::shiftModifier, 0), -1, false },
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ (TrAuditionView::modeForKey (c.key).value_or (-1), c.mode) << c.label;
        EXPECT_EQ (TrAuditionView::isStopKey (c.key), c.stops) << c.label;
    }
}

TEST (AuditionView, TheOverlayNamesTheModeAndTheDevicesRate)
{
    namespace C = UxPanelTheme::Colours;
    const struct
    {
        int mode;
        const char* title;
        juce::Colour colour;
        double deviceRate;
        std::optional<double> nullTestRate;
        const char* device;
    } cases[] {
        { 0, "BYPASS", C::textSecondary, 48000.0, 48000.0, "JACK  -  48 kHz" },
        { 1, "A", C::gold, 48000.0, std::nullopt, "JACK  -  48 kHz" },
        { 2, "B", C::steel, 44100.0, 48000.0, "JACK  -  44.1 kHz  -  the null test measured at 48 kHz" },
        { 3, "NULL", C::magenta, 96000.0, std::nullopt, "JACK  -  96 kHz" }, // no null test: no rate to keep
    };
    for (const auto& c : cases)
    {
        const auto o = TrAuditionView::overlayFor (c.mode, "JACK", c.deviceRate, c.nullTestRate);
        EXPECT_EQ (o.title, c.title);
        EXPECT_EQ (o.colour, c.colour) << c.title;
        EXPECT_EQ (o.keys, "1 / 2 / N / 0  -  SPACE STOPS");
        EXPECT_EQ (o.device, c.device);
    }

    EXPECT_EQ (TrAuditionView::meterFill (-100.0f), 0.0f);
    EXPECT_EQ (TrAuditionView::meterFill (-30.0f), 0.5f);
    EXPECT_EQ (TrAuditionView::meterFill (3.0f), 1.0f);
}
