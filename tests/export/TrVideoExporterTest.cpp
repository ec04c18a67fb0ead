#include "TrChildProcess.h"
#include "export/TrVideoExporter.h"
#include "ui/UxFonts.h"

#include <gtest/gtest.h>


namespace
{
const juce::Colour green { 0xff00ff00 };

TrChart::Model flatModel()
{
    TrChart::Model m;
    m.yAxis.min = -1.0;
    m.yAxis.max = 1.0;
    TrChart::Trace t;
    t.name = "A  Flat";
    t.colour = green;
    t.glow = false;
    t.thickness = 4.0f;
    for (double f = 20.0; f <= 24000.0; f *= 1.05)
        t.points.push_back ({ f, 0.0 });
    t.points.push_back ({ 24000.0, 0.0 });
    m.traces.push_back (t);
    return m;
}

const TrReportCard::Meta meta { "HARMONICS", "Flat", "48000 Hz - sine 1000 Hz @ -6 dBFS - N 65536", "2026-12-10" };

struct Folder
{
    Folder() { folder.createDirectory(); }
    ~Folder() { folder.deleteRecursively(); }
    juce::File operator/ (const juce::String& name) const { return folder.getChildFile (name); }
    int files() const { return folder.getNumberOfChildFiles (juce::File::findFiles, "*"); }

    const juce::File folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("testrig-video", "");
};

/** Whether a pixel is the trace's green after YUV compression. */
bool isGreen (juce::Colour c)
{
    return c.getGreen() > 180 && c.getRed() < 90 && c.getBlue() < 90;
}

/** The leftmost and rightmost columns holding green, or (-1, -1). */
std::pair<int, int> greenExtent (const juce::Image& image)
{
    int lo = -1, hi = -1;
    for (int x = 0; x < image.getWidth(); ++x)
        for (int y = 0; y < image.getHeight(); ++y)
            if (isGreen (image.getPixelAt (x, y)))
            {
                lo = lo < 0 ? x : lo;
                hi = x;
                break;
            }
    return { lo, hi };
}

juce::Image frameOf (const juce::File& video, int index, const juce::File& png)
{
    TrTest::runChild (juce::File ("/usr/bin/ffmpeg"), { "-v", "error", "-y", "-i", video.getFullPathName(), "-vf", "select=eq(n\\," + juce::String (index) + ")",
                                                        "-vframes", "1", png.getFullPathName() }, 120.0);
    return juce::ImageFileFormat::loadFrom (png);
}
}

TEST (RevealVideo, FramesAndEasingFollowTheirFormulas)
{
    const struct
    {
        int fps;
        float seconds;
        int frames;
    } counts[] { { 60, 8.0f, 480 }, { 60, 0.001f, 0 }, { 30, 0.05f, 2 }, { 24, 1.0f, 24 } };
    for (const auto& c : counts)
        EXPECT_EQ (TrVideoExporter::frameCount ({ 1920, 1080, c.fps, c.seconds }), c.frames) << c.fps << " x " << c.seconds;

    const struct
    {
        int frame;
        float reveal;
    } eased[] { { 0, 0.0f }, { 144, 0.875f }, { 288, 1.0f }, { 479, 1.0f }, { 96, 1.0f - std::pow (2.0f / 3.0f, 3.0f) } };
    for (const auto& c : eased)
        EXPECT_NEAR (TrVideoExporter::revealAt (c.frame, 288), c.reveal, 1e-6) << c.frame;
}

TEST (RevealVideo, AnH264HighVideoWhoseCurveSweepsInFromTheLeft)
{
    UxFonts::load();
    Folder out;
    const auto video = out / "reveal.mp4";
    ASSERT_TRUE (video.replaceWithText ("an older file"));
    std::atomic<float> progress { 0.0f };
    const auto problem = TrVideoExporter::exportReveal (flatModel(), {}, {}, meta, { 480, 270, 60, 8.0f }, video, &progress, {});
    ASSERT_EQ (problem, "");
    EXPECT_NEAR (progress.load(), 479.0f / 480.0f, 1e-6f);
    EXPECT_EQ (out.files(), 1) << "no temporary file left";

    const auto probe = TrTest::runChild (juce::File ("/usr/bin/ffprobe"),
                                         { "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                                           "stream=codec_name,profile,pix_fmt,width,height,r_frame_rate,nb_read_frames,color_space:format=duration",
                                           "-of", "default=noprint_wrappers=1", video.getFullPathName() }, 120.0).output;
    for (const auto* line : { "codec_name=h264", "profile=High", "pix_fmt=yuv420p", "width=480", "height=270", "r_frame_rate=60/1",
                              "nb_read_frames=480", "color_space=bt709", "duration=8.000000" })
        EXPECT_TRUE (probe.contains (line)) << line << " in\n" << probe;

    // Frame 479 is the finished card: the curve spans the plot, as on the picture.
    const auto last = frameOf (video, 479, out / "479.png");
    const auto [left, right] = greenExtent (last);
    ASSERT_GE (left, 0);
    const auto card = TrReportCard::render (flatModel(), {}, {}, meta, 0.5f);
    const auto [cardLeft, cardRight] = greenExtent (card);
    EXPECT_NEAR (left, cardLeft, 2);
    EXPECT_NEAR (right, cardRight, 2);

    // Frame 0: no curve. Frame 144: the curve only left of the eased reveal, 0.875 of the plot.
    EXPECT_EQ (greenExtent (frameOf (video, 0, out / "0.png")).first, -1);
    const auto [sweepLeft, sweepRight] = greenExtent (frameOf (video, 144, out / "144.png"));
    EXPECT_NEAR (sweepLeft, left, 2);
    EXPECT_NEAR (sweepRight, left + 0.875 * (right - left), 3.0);
}

TEST (RevealVideo, OddSizesBecomeTheEvenFramesTheEncoderTakes)
{
    UxFonts::load();
    Folder out;
    ASSERT_EQ (TrVideoExporter::exportReveal (flatModel(), {}, {}, meta, { 481, 271, 60, 0.1f }, out / "odd.mp4", nullptr, {}), "");
    const auto probe = TrTest::runChild (juce::File ("/usr/bin/ffprobe"),
                                         { "-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries", "stream=width,height,nb_read_frames",
                                           "-of", "csv=p=0", (out / "odd.mp4").getFullPathName() }, 60.0).output;
    EXPECT_EQ (probe.trim(), "480,270,6");
}

TEST (RevealVideo, ACancelOrAFailureLeavesTheOldFileAndNothingElse)
{
    UxFonts::load();
    Folder out;
    const auto video = out / "kept.mp4";
    ASSERT_TRUE (video.replaceWithText ("an older file"));

    int frames = 0;
    const auto problem = TrVideoExporter::exportReveal (flatModel(), {}, {}, meta, { 480, 270, 60, 8.0f }, video, nullptr,
                                                        [&frames] { return frames++ == 10; });
    EXPECT_EQ (problem, "aborted");
    EXPECT_EQ (video.loadFileAsString(), "an older file");
    EXPECT_EQ (out.files(), 1);

    EXPECT_EQ (TrVideoExporter::exportReveal (flatModel(), {}, {}, meta, { 480, 270, 60, 0.0f }, out / "none.mp4", nullptr, {}),
               "no frames to write");
    EXPECT_FALSE ((out / "none.mp4").exists());

    // A folder that cannot be made (the tests may run as root, for whom permissions do not count).
    EXPECT_EQ (TrVideoExporter::exportReveal (flatModel(), {}, {}, meta, { 480, 270, 60, 1.0f }, juce::File ("/proc/testrig/v.mp4"), nullptr, {}),
               "could not create AVAssetWriter");
}
