#include "dsp/TrLoudness.h"

#include <ebur128.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
struct Segment
{
    double levelDbfs;
    double seconds;
};

/** A 1 kHz tone sequence as the EBU Tech 3341 integrated-loudness cases define them. */
std::vector<float> toneSequence (const std::vector<Segment>& segments, double sampleRate, double frequencyHz = 1000.0)
{
    std::vector<float> x;
    for (const auto& s : segments)
    {
        const auto amplitude = std::pow (10.0, s.levelDbfs / 20.0);
        const auto count = static_cast<size_t> (std::llround (s.seconds * sampleRate));
        for (size_t i = 0; i < count; ++i)
        {
            const auto n = static_cast<double> (x.size());
            x.push_back (static_cast<float> (amplitude * std::sin (6.283185307179586 * frequencyHz * n / sampleRate)));
        }
    }
    return x;
}

double libebur128Lufs (const std::vector<float>& x, double sampleRate)
{
    auto* state = ebur128_init (1, static_cast<unsigned long> (sampleRate), EBUR128_MODE_I);
    ebur128_add_frames_float (state, x.data(), x.size());
    double lufs = 0.0;
    ebur128_loudness_global (state, &lufs);
    ebur128_destroy (&state);
    return lufs;
}
}

TEST (IntegratedLufs, AgreesWithLibebur128OnTheTech3341ToneSequences)
{
    const struct
    {
        const char* label;
        std::vector<Segment> segments;
    } cases[] {
        { "case 1: -23 dBFS, 20 s", { { -23.0, 20.0 } } },
        { "case 2: -33 dBFS, 20 s", { { -33.0, 20.0 } } },
        { "case 3: -36/-23/-36", { { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 } } },
        { "case 4: -72/-36/-23/-36/-72", { { -72.0, 10.0 }, { -36.0, 10.0 }, { -23.0, 60.0 }, { -36.0, 10.0 }, { -72.0, 10.0 } } },
        { "case 5: -26/-20/-26", { { -26.0, 20.0 }, { -20.0, 20.1 }, { -26.0, 20.0 } } },
    };

    for (const auto sampleRate : { 44100.0, 48000.0, 96000.0 })
    {
        for (const auto& c : cases)
        {
            const auto x = toneSequence (c.segments, sampleRate);
            EXPECT_NEAR (integratedLufs (x, sampleRate), libebur128Lufs (x, sampleRate), 0.01)
                << c.label << " at " << sampleRate << " Hz";
        }
    }
}

TEST (IntegratedLufs, ReadsSilenceAsMinus100AndAFullScaleSineAsMinus3)
{
    EXPECT_EQ (integratedLufs (std::vector<float> (48000 * 5, 0.0f), 48000.0), -100.0);
    EXPECT_EQ (integratedLufs ({}, 48000.0), -100.0);
    EXPECT_EQ (integratedLufs (toneSequence ({ { -90.0, 5.0 } }, 48000.0), 48000.0), -100.0) << "below the absolute gate";

    EXPECT_NEAR (integratedLufs (toneSequence ({ { 0.0, 10.0 } }, 48000.0, 997.0), 48000.0), -3.01, 0.01);
}

TEST (IntegratedLufs, TheAbsoluteGateSitsAtMinus70)
{
    // A 997 Hz sine reads 3.01 LU below its peak level: -66.49 dBFS is -69.5 LUFS, just inside
    // the gate, and -67.49 dBFS is -70.5 LUFS, just outside.
    const auto inside = toneSequence ({ { -66.49, 10.0 } }, 48000.0, 997.0);
    EXPECT_NEAR (integratedLufs (inside, 48000.0), -69.5, 0.02);
    EXPECT_NEAR (integratedLufs (inside, 48000.0), libebur128Lufs (inside, 48000.0), 0.01);

    const auto outside = toneSequence ({ { -67.49, 10.0 } }, 48000.0, 997.0);
    EXPECT_EQ (integratedLufs (outside, 48000.0), -100.0);
    EXPECT_LT (libebur128Lufs (outside, 48000.0), -70.0) << "libebur128 gates it out too";
}
