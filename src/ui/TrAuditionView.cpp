#include "TrAuditionView.h"

#include "TrSettingsSummary.h"
#include "UxPanelTheme.h"

#include <cmath>

namespace C = UxPanelTheme::Colours;

namespace
{
constexpr double meterRangeDb = 60.0;
}

TrAuditionEngine::Match TrAuditionView::matchFor (const TrViewState& state)
{
    const auto& nulls = state.stores.nulls;
    if (nulls.empty() || nulls.front().error.isNotEmpty())
        return {};
    return { nulls.front().matchGainDb, nulls.front().latencyDeltaSamples };
}

std::optional<double> TrAuditionView::nullTestRateFor (const TrViewState& state)
{
    const auto& nulls = state.stores.nulls;
    if (nulls.empty() || nulls.front().error.isNotEmpty())
        return std::nullopt;
    return nulls.front().sampleRate;
}

double TrAuditionView::wantedRateFor (const TrViewState& state)
{
    return nullTestRateFor (state).value_or (state.chips.sampleRate);
}

std::optional<int> TrAuditionView::modeForKey (const juce::KeyPress& key)
{
    if (key.getModifiers().isCommandDown() || key.getModifiers().isAltDown() || key.getModifiers().isCtrlDown())
        return std::nullopt;
    // Platforms differ in which of the two they fill in.
    const auto is = [&key] (juce::juce_wchar c) { return key.getKeyCode() == static_cast<int> (c) || key.getTextCharacter() == c; };
    if (is ('1'))
        return TrAuditionEngine::pluginA;
    if (is ('2'))
        return TrAuditionEngine::pluginB;
    if (is ('N') || is ('n'))
        return TrAuditionEngine::difference;
    if (is ('0'))
        return TrAuditionEngine::untouched;
    return std::nullopt;
}

bool TrAuditionView::isStopKey (const juce::KeyPress& key)
{
    return key.getKeyCode() == juce::KeyPress::spaceKey && key.getModifiers().withoutMouseButtons() == juce::ModifierKeys();
}

TrAuditionView::Overlay TrAuditionView::overlayFor (int mode, const juce::String& deviceType, double deviceRate,
                                                    std::optional<double> nullTestRate)
{
    Overlay o;
    switch (mode)
    {
        case TrAuditionEngine::untouched:      o.title = "BYPASS"; o.colour = C::textSecondary; break;
        case TrAuditionEngine::pluginA:    o.title = "A"; o.colour = C::gold; break;
        case TrAuditionEngine::pluginB:    o.title = "B"; o.colour = C::steel; break;
        case TrAuditionEngine::difference: o.title = "NULL"; o.colour = C::magenta; break;
        default:                           o.title = "SILENT"; o.colour = C::textDim; break;
    }
    o.keys = "1 / 2 / N / 0  -  SPACE STOPS";
    o.device = deviceType + "  -  " + rateLabel (deviceRate);
    // The match was found at the measured rate; at another one the delay is off by the ratio.
    if (nullTestRate.has_value() && std::abs (deviceRate - *nullTestRate) > 0.5)
        o.device << "  -  the null test measured at " << rateLabel (*nullTestRate);
    return o;
}

float TrAuditionView::meterFill (float levelDb)
{
    return juce::jlimit (0.0f, 1.0f, static_cast<float> ((levelDb + meterRangeDb) / meterRangeDb));
}
