#include "TrVerdict.h"

#include "results/TrNumberFormat.h"

#include <cmath>

namespace TrVerdict
{
namespace
{
const juce::String noHarmonicsInRange = "No harmonics in range to judge - check the ALIAS lane";


Verdict baseHarmonicsVerdict (const TrHarmonicsResult& r)
{
    using detail_::db;
    using detail_::percent;

    if (r.timeVariant)
        return { Grade::warn, "Something inside moves by itself - readings are approximate",
                 "modulation detected (repeat delta " + TrNumberFormat::fixed (r.repeatDeltaDb, 2) + " dB"
                     + (r.sidebandDb > -60.0 ? ", sidebands " + detail_::db (r.sidebandDb, 1) + " around the tone" : juce::String()) + ")" };

    if (isRealAlias (r) && r.aliasPeakDb > -60.0)
        return { Grade::bad, "Adds audible digital junk (aliasing) unrelated to the note",
                 "worst spur " + db (r.aliasPeakDb, 1) + " below the tone" };

    if (isRealAlias (r) && r.aliasPeakDb > -90.0)
        return { Grade::warn, "Some aliasing sneaks in - can get audible on bright sources", "worst spur " + db (r.aliasPeakDb, 1) };

    if (! std::isfinite (r.thdDb))
        return { Grade::ok, "Tone too high for harmonics - judge this one by aliasing only", {} };

    if (r.thdDb <= -100.0)
        return { Grade::good, "Transparent: adds practically no distortion", "THD " + percent (r.thdPercent) + ", junk at the noise floor" };

    if (r.thdDb <= -60.0)
        return { Grade::good, "Clean: distortion stays below audible territory", "THD " + percent (r.thdPercent) };

    return { Grade::ok, "Colors the sound with harmonics - character, not a flaw", "THD " + percent (r.thdPercent) + ", no aliasing on top" };
}

/** Index of the largest finite value among the first `count` entries, or -1; the first of equal maxima wins. */
int worstPoint (const std::vector<float>& values, size_t count)
{
    int worst = -1;
    for (size_t i = 0; i < std::min (count, values.size()); ++i)
        if (std::isfinite (values[i]) && (worst < 0 || values[i] > values[static_cast<size_t> (worst)]))
            worst = static_cast<int> (i);

    return worst;
}
}

Verdict forHarmonics (const TrHarmonicsResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    auto verdict = baseHarmonicsVerdict (r);

    if (r.truePeakDb > 0.0)
        detail_::addWarning (verdict, "output peaks " + TrNumberFormat::fixed (r.truePeakDb, 2) + " dBTP - will clip converters");

    if (r.dcDb > -60.0)
        detail_::addWarning (verdict, "adds DC offset (" + detail_::db (r.dcDb, 1) + ")");

    // A modulated tone smears into what would read as lines beside it.
    if (r.spurDb > -90.0 && ! r.timeVariant)
        detail_::addWarning (verdict, "a line at " + detail_::hzOrDb (static_cast<float> (r.spurHz), false) + ", " + detail_::db (r.spurDb, 1)
                                          + " below the tone, not from it (hum or an idle tone?)");

    return verdict;
}

Verdict forThdSweep (const TrThdSweepResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    const auto n = r.x.size();
    if (n == 0)
        return { Grade::ok, noHarmonicsInRange, {} };

    const auto worstThd = worstPoint (r.thdDb, n);
    const auto worstAlias = worstPoint (r.aliasDb, n);
    const auto position = [&] (int i) { return detail_::hzOrDb (r.x[static_cast<size_t> (i)], r.vsLevel); };

    if (worstAlias >= 0 && r.aliasDb[static_cast<size_t> (worstAlias)] > -60.0f)
        return { Grade::warn, "Aliasing shows up across the sweep - worst at " + position (worstAlias),
                 detail_::db (r.aliasDb[static_cast<size_t> (worstAlias)], 1) + " below the tone" };

    if (worstThd < 0)
        return { Grade::ok, noHarmonicsInRange, {} };

    const auto thd = r.thdDb[static_cast<size_t> (worstThd)];
    if (thd <= -80.0f)
        return { Grade::good, "Stays clean across the whole range", "worst THD " + detail_::db (thd, 1) + " @ " + position (worstThd) };

    if (thd <= -60.0f)
        return { Grade::good, "Mostly clean - worst distortion at " + position (worstThd), detail_::db (thd, 1) };

    return { Grade::ok, "Distortion is part of this sound - strongest at " + position (worstThd), detail_::db (thd, 1) };
}

Verdict forImd (const TrImdResult& r)
{
    if (r.error.isNotEmpty())
        return detail_::failed (r.error);

    const auto detail = "IMD " + detail_::percent (r.imdPercent) + " (" + detail_::db (r.imdDb, 1) + ")";

    if (r.imdDb <= -90.0)
        return { Grade::good, "No audible tone interaction (IMD)", detail };
    if (r.imdDb <= -70.0)
        return { Grade::good, "Very low intermodulation", detail };
    if (r.imdDb <= -50.0)
        return { Grade::ok, "Some intermodulation - dense material may smear slightly", detail };

    return { Grade::warn, "Strong intermodulation: complex sources will sound rough", detail };
}
}
