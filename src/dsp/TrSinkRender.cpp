#include "TrSinkRender.h"

#include <cmath>

bool TrSinkRender::render (long long total, const std::function<double (long long)>& source,
                           const std::function<void (long long, double)>& sink, TrProgress progress, const TrCancel& cancel,
                           bool& nonFinite) const
{
    auto buffer = makeRenderBuffer (plugin, blockSize);
    juce::MidiBuffer midi;

    for (long long start = 0; start < total; start += blockSize)
    {
        if (cancel && cancel())
            return false;

        for (int i = 0; i < blockSize; ++i)
        {
            const auto n = start + i;
            const auto value = static_cast<float> (source (n));

            if (mainInput)
            {
                const auto main = static_cast<float> (mainInput (n));
                buffer.setSample (0, i, main);
                buffer.setSample (1, i, main);
                for (int ch = 2; ch < buffer.getNumChannels(); ++ch)
                    buffer.setSample (ch, i, value);
            }
            else
            {
                writeStimulus (buffer, i, value, mode);
            }
        }

        plugin.processBlock (buffer, midi);
        midi.clear();

        for (int i = 0; i < blockSize && start + i < total; ++i)
        {
            const auto out = readOutput (buffer, i, mode);
            if (std::isfinite (out))
                sink (start + i, out);
            else
                nonFinite = true;
        }

        progress.publish (static_cast<double> (std::min (total, start + blockSize)) / static_cast<double> (total));
    }

    return true;
}
