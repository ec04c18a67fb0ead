#include "TrModeSyntax.h"

namespace TrModeSyntaxes
{
namespace
{
const juce::StringArray benchCommon { "--sr" };

TrModeSyntax bench (const juce::String& flag, const juce::String& usage, const juce::String& synopsis, const juce::String& purpose)
{
    TrModeSyntax s;
    s.flag = flag;
    s.numbers = benchCommon;
    s.repeatable = { "--param" };
    s.switches = { "--json" };
    s.usage = usage;
    s.synopsis = synopsis;
    s.purpose = purpose;
    return s;
}

std::vector<TrModeSyntax> table()
{
    std::vector<TrModeSyntax> modes;

    auto one = bench ("--bench", "usage: TESTRIG --bench <path> [--freq hz] [--level db] [--sr rate]",
                      "TESTRIG --bench <plugin> [--freq hz] [--level db] [--fft n]",
                      "one tone: THD, THD+N, aliasing, spurs, noise, DC, true peak");
    one.numbers.addArray ({ "--freq", "--level" });
    one.integers = { "--fft" };
    modes.push_back (one);

    auto thd = bench ("--bench-thd", "usage: TESTRIG --bench-thd <path> [--vs freq|level] [--freq hz] [--level db] [--sr rate]",
                      "TESTRIG --bench-thd <plugin> [--vs freq|level] [--freq hz] [--level db] [--points n]",
                      "THD, THD+N, aliasing and H2-H5 over frequency or level");
    thd.numbers.addArray ({ "--freq", "--level" });
    thd.integers = { "--points" };
    thd.choices = { { "--vs", { "freq", "level" } } };
    modes.push_back (thd);

    auto imd = bench ("--bench-imd", "usage: TESTRIG --bench-imd <path> [--imd smpte|ccif] [--level db] [--sr rate]",
                      "TESTRIG --bench-imd <plugin> [--imd smpte|ccif] [--level db] [--fft n]",
                      "two-tone intermodulation");
    imd.numbers.add ("--level");
    imd.integers = { "--fft" };
    imd.choices = { { "--imd", { "smpte", "ccif" } } };
    modes.push_back (imd);

    auto curve = bench ("--bench-curve", "usage: TESTRIG --bench-curve <path> [--level db] [--channel left|right|mid|side] [--sr rate]",
                        "TESTRIG --bench-curve <plugin> [--level db] [--channel left|right|mid|side]",
                        "frequency response, latency, polarity, phase");
    curve.numbers.add ("--level");
    curve.choices = { { "--channel", { "left", "right", "mid", "side" } } };
    modes.push_back (curve);

    auto null = bench ("--bench-null", "usage: TESTRIG --bench-null <path A> <path B> [--file sound] [--sr rate]",
                       "TESTRIG --bench-null <plugin A> <plugin B> [--file sound] [--paramA name=value]... [--paramB name=value]...",
                       "loudness-matched, aligned null test of A against B");
    null.paths = 2;
    null.texts = { "--file" };
    null.repeatable = { "--paramA", "--paramB" };
    modes.push_back (null);

    auto dyn = bench ("--bench-dyn", "usage: TESTRIG --bench-dyn <path> [--runs n] [--sc] [--burst db|auto] [--sr rate]",
                      "TESTRIG --bench-dyn <plugin> [--runs n] [--sc] [--burst db|auto]",
                      "compressor curve, attack, release (status 2: the runs disagree)");
    dyn.integers = { "--runs" };
    dyn.texts = { "--burst" };
    dyn.switches.add ("--sc");
    modes.push_back (dyn);

    auto perf = bench ("--bench-perf", "usage: TESTRIG --bench-perf <path> [--sr rate] [--seconds n]",
                       "TESTRIG --bench-perf <plugin> [--seconds n]",
                       "cost per sample and per call at several block sizes, denormals");
    perf.numbers.add ("--seconds");
    modes.push_back (perf);

    TrModeSyntax live;
    live.flag = "--bench-live";
    live.numbers = { "--sr", "--seconds", "--level" };
    live.repeatable = { "--param" };
    live.usage = "usage: TESTRIG --bench-live <path> [--seconds n] [--level db] [--sr rate]";
    live.synopsis = "TESTRIG --bench-live <plugin> [--seconds n] [--level db]";
    live.purpose = "the live response estimate against the sweep, both written to /tmp/testrig_live_vs_sweep.csv";
    modes.push_back (live);

    modes.push_back (bench ("--bench-checks", "usage: TESTRIG --bench-checks <path> [--sr rate]",
                            "TESTRIG --bench-checks <plugin>", "latency, bypass, polarity, DC and noise honesty"));
    modes.push_back (bench ("--bench-checkup", "usage: TESTRIG --bench-checkup <path> [--sr rate]",
                            "TESTRIG --bench-checkup <plugin>", "harmonics, response and honesty graded together"));

    TrModeSyntax card;
    card.flag = "--bench-card";
    card.paths = 2;
    card.numbers = { "--freq", "--level", "--scale" };
    card.usage = "usage: TESTRIG --bench-card <path> <out.png> [--freq hz] [--level db] [--scale n]";
    card.synopsis = "TESTRIG --bench-card <plugin> <out.png> [--freq hz] [--level db] [--scale n]";
    card.purpose = "the harmonics report card as a picture";
    modes.push_back (card);

    TrModeSyntax cardAb;
    cardAb.flag = "--bench-card-ab";
    cardAb.numbers = { "--freq", "--level", "--scale" };
    cardAb.texts = { "--view", "--slotA", "--slotB", "--nameA", "--nameB" };
    cardAb.repeatable = { "--paramA", "--paramB" };
    cardAb.usage = "usage: TESTRIG --bench-card-ab <out.png|.mp4> [--freq hz] [--level db] [--scale n] [--view spectrum|mirror|spurs] "
                   "[--slotA path] [--slotB path] [--paramA name=0..1]... [--paramB name=0..1]... [--nameA label] [--nameB label]";
    cardAb.synopsis = "TESTRIG --bench-card-ab <out.png> [--slotA plugin] [--slotB plugin] [--view spectrum|mirror|spurs] [--freq hz] [--level db] [--scale n]";
    cardAb.purpose = "two plugins' harmonics on one card, and a scoreboard beside it";
    modes.push_back (cardAb);

    TrModeSyntax list;
    list.flag = "--list-params";
    list.usage = "usage: TESTRIG --list-params <path>";
    list.synopsis = "TESTRIG --list-params <plugin>";
    list.purpose = "the plugin's parameters: index, name, plain value and normalised position";
    modes.push_back (list);

    return modes;
}
}

const std::vector<TrModeSyntax>& all()
{
    static const auto modes = table();
    return modes;
}

const TrModeSyntax& of (const juce::String& flag)
{
    for (const auto& mode : all())
        if (mode.flag == flag)
            return mode;

    jassertfalse;
    return all().front();
}

bool isKnownOption (const juce::String& option)
{
    for (const auto& mode : all())
    {
        const auto hasChoice = std::any_of (mode.choices.begin(), mode.choices.end(), [&] (const auto& c) { return c.first == option; });
        if (mode.numbers.contains (option) || mode.integers.contains (option) || mode.texts.contains (option)
            || mode.repeatable.contains (option) || mode.switches.contains (option) || hasChoice)
            return true;
    }

    return false;
}

juce::String helpText()
{
    juce::String text;
    text << "usage: TESTRIG <mode> <plugin> [options]    (without a mode: the window)\n\n";
    for (const auto& mode : all())
        text << "  " << mode.synopsis << "\n      " << mode.purpose << "\n";

    text << "  TESTRIG --help | -h | --version\n\n"
         << "Every report mode takes --sr rate (8000 to 384000 Hz, default 48000) and\n"
         << "--param name=value, repeatable and applied in order once the plugin is loaded\n"
         << "(--paramA and --paramB in --bench-null and --bench-card-ab). The name is a parameter's name or its\n"
         << "index as --list-params shows it; the value is its normalised position from 0 to 1,\n"
         << "which --list-params prints beside the plain value.\n"
         << "--json prints one JSON document instead of the text report (which then goes to\n"
         << "standard error).\n"
         << "The card modes measure at 48 kHz and write a 960 x 540 layout at --scale\n"
         << "(0.25 to 8, default 2: 1920 x 1080). --bench-card-ab takes slots A and B from\n"
         << "--slotA/--slotB, else from the window's last session with their saved states;\n"
         << "--nameA/--nameB relabel them.\n"
         << "A plugin is a .vst3 or .lv2 bundle path, or an LV2 plugin URI.\n"
         << "Exit status: 0 report printed; 1 wrong command line, plugin not loaded or\n"
         << "measurement failed; 2 (--bench-dyn only) the runs disagree.\n";
    return text;
}
}
