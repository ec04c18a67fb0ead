// The live engine's figures on a zero-cost plugin (the wire fixture): how close the stream keeps to
// real time at every RATE preset, how many frames it publishes per second, how soon the first
// frame follows a change of settings, what one frame's analysis costs (p99), and how long the
// window's copy of the results holds the lock. Run by bench/live.sh.
#include "engines/TrLiveEngine.h"
#include "ui/TrChips.h"
#include "ui/TrLiveView.h"

#include <algorithm>
#include <iostream>

namespace
{
using Mode = TrLiveSettings::Mode;

double nowMs()
{
    return juce::Time::getMillisecondCounterHiRes();
}

double p99 (std::vector<double> ms)
{
    std::sort (ms.begin(), ms.end());
    return ms[std::min (ms.size() - 1, static_cast<size_t> (0.99 * static_cast<double> (ms.size())))];
}

TrLiveSettings settingsFor (Mode mode, double rate)
{
    TrLiveSettings s;
    s.mode = mode;
    s.sampleRate = rate;
    if (mode == Mode::curve)
        s.levelDb = -12.0;
    return s;
}

size_t publishedOf (const TrLiveEngine& engine, Mode mode)
{
    switch (mode)
    {
        case Mode::harmonics: return engine.harmonicsResults().size();
        case Mode::curve:     return engine.curveResults().size();
        case Mode::dynamics:  return engine.dynamicsResults().size();
        case Mode::scope:     return engine.scopeResults().size();
        case Mode::nullTest:  return engine.nullResults().size();
        case Mode::off:
        default:              return 0;
    }
}

/** A stream that has carried the mode's stimulus through a wire for long enough for every frame. */
TrLiveStream wireStream (const TrLiveSettings& s, const TrLiveStimulus::Multisine& multisine, int bin, int period)
{
    TrLiveStream stream;
    std::vector<float> block (TrLiveEngine::blockSize);
    for (std::int64_t n = 0; n < 6 * 48000; n += TrLiveEngine::blockSize)
    {
        TrLiveStimulus::fill (block.data(), TrLiveEngine::blockSize, n, s, bin, period, multisine);
        stream.write (block.data(), TrLiveEngine::blockSize);
        if (s.mode == Mode::dynamics)
            TrLiveFrames::trackDynamics (stream, block.data(), TrLiveEngine::blockSize, s);
    }
    stream.pluginName = "wire";
    return stream;
}

template <typename Frame>
double frameP99 (Frame&& frame)
{
    std::vector<double> times;
    for (int i = 0; i < 300; ++i)
    {
        const auto start = nowMs();
        frame();
        times.push_back (nowMs() - start);
    }
    return p99 (times);
}
}

int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::cerr << "usage: testrig_live_measure <wire plugin bundle>\n";
        return 1;
    }
    juce::ScopedJuceInitialiser_GUI juce;
    TrSlotManager slots;
    juce::String error;
    if (! slots.slot (0).loadFromFile (juce::File (argv[1]), error))
    {
        std::cerr << "error: " << error << "\n";
        return 1;
    }

    std::cout << "stream pace (scope mode, 3 s per rate):\n";
    for (auto rate : TrChips::sampleRates)
    {
        slots.slot (0).prepare (rate, TrLiveEngine::blockSize);
        TrLiveEngine engine (slots);
        engine.setSettings (settingsFor (Mode::scope, rate));
        juce::Thread::sleep (500);
        const auto frames0 = engine.framesPublished();
        const auto start = nowMs();
        juce::Thread::sleep (3000);
        const auto frames = engine.framesPublished() - frames0;
        const auto seconds = (nowMs() - start) / 1000.0;
        std::cout << "  " << rate << " Hz: " << frames * 4096.0 / rate / seconds << "x real time, " << frames / seconds << " frames/s\n";
    }

    slots.slot (0).prepare (48000.0, TrLiveEngine::blockSize);
    if (! slots.slot (1).loadFromFile (juce::File (argv[1]), error))
    {
        std::cerr << "error: " << error << "\n";
        return 1;
    }
    TrLiveEngine engine (slots);
    std::cout << "first frame after a change of settings (48 kHz, wires in A and B):\n";
    for (auto [mode, name] : { std::pair { Mode::harmonics, "harmonics" }, std::pair { Mode::curve, "curve" }, std::pair { Mode::scope, "scope" },
                               std::pair { Mode::nullTest, "null" }, std::pair { Mode::dynamics, "dynamics (the full curve)" } })
    {
        engine.setSettings ({});
        juce::Thread::sleep (100);
        const auto start = nowMs();
        engine.setSettings (settingsFor (mode, 48000.0));
        auto ready = [&] {
            if (mode == Mode::dynamics)
            {
                const auto list = engine.dynamicsResults();
                // Every 0.75 dB step from -60 to +6 dBFS.
                return ! list.empty() && list.front().inDb.size() >= 89;
            }
            return publishedOf (engine, mode) > 0;
        };
        while (! ready() && nowMs() - start < 10000.0)
            juce::Thread::sleep (1);
        std::cout << "  " << name << ": " << nowMs() - start << " ms\n";
    }

    std::cout << "one frame's analysis, p99 of 300 (48 kHz):\n";
    for (auto mode : { Mode::harmonics, Mode::curve, Mode::scope, Mode::dynamics, Mode::nullTest })
    {
        const auto s = settingsFor (mode == Mode::nullTest ? Mode::curve : mode, 48000.0);
        const auto multisine = TrLiveStimulus::Multisine::build (s.levelDb);
        const auto bin = TrLiveStimulus::harmonicsBin (s.frequencyHz, s.sampleRate);
        const auto period = TrLiveStimulus::scopePeriod (s.frequencyHz, s.sampleRate);
        auto stream = wireStream (s, multisine, bin, period);
        TrLiveFrames::NullMemory memory;
        const auto ms = frameP99 ([&] {
            switch (mode)
            {
                case Mode::harmonics: TrLiveFrames::harmonics (stream, 0, s, bin); break;
                case Mode::curve:     TrLiveFrames::curve (stream, 0, s, multisine); break;
                case Mode::scope:     TrLiveFrames::scope (stream, 0, s, period); break;
                case Mode::dynamics:  TrLiveFrames::dynamics (stream, 0, s); break;
                case Mode::nullTest:  TrLiveFrames::null (stream, stream, s, false, memory); break;
                case Mode::off:
                default:              break;
            }
        });
        const char* names[] { "off", "harmonics (per slot)", "curve (per slot)", "dynamics (per slot)", "null (both slots)", "scope (per slot)" };
        std::cout << "  " << names[static_cast<int> (mode)] << ": " << ms << " ms\n";
    }

    std::cout << "the window's copy of the results, lock included, p99 of 300 (two curves):\n";
    {
        engine.setSettings (settingsFor (Mode::curve, 48000.0));
        while (engine.curveResults().empty())
            juce::Thread::sleep (5);
        TrViewState view;
        view.tab = TrTab::curve;
        std::cout << "  curve: " << frameP99 ([&] { TrLiveView::copyResults (engine, view); }) << " ms\n";
    }
    return 0;
}
