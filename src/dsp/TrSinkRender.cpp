#include "TrSinkRender.h"

#include <cmath>

bool TrSinkRender::render (long long total, const std::function<double (long long)>& source,
                           const std::function<void (long long, double)>& sink, TrProgress progress, const TrCancel& cancel,
                           bool& nonFinite) const
{
    auto buffer = makeRenderBuffer (plugin, blockSize);
    const TrChannelRoute route (plugin, mode);
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
                route.write (buffer, i, static_cast<float> (mainInput (n)));
                route.writeSidechain (buffer, i, value);
            }
            else
            {
                route.write (buffer, i, value);
            }
        }

        plugin.processBlock (buffer, midi);
        midi.clear();

        for (int i = 0; i < blockSize && start + i < total; ++i)
        {
            const auto out = route.read (buffer, i);
            if (std::isfinite (out))
                sink (start + i, out);
            else
                nonFinite = true;
        }

        progress.publish (static_cast<double> (std::min (total, start + blockSize)) / static_cast<double> (total));
    }

    return true;
}
