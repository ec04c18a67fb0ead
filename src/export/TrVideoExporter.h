#pragma once

#include "TrReportCard.h"

#include <atomic>
#include <functional>

/** The report card as a short H.264 video: the traces sweep in from the left, then the finished
    card holds until the end. */
namespace TrVideoExporter
{
struct Settings
{
    int width = 1920;
    int height = 1080;
    int fps = 60;
    float seconds = 8.0f;
};

/** fps x seconds in single precision, rounded half away from zero. */
int frameCount (const Settings& settings);

/** How much of the chart frame i shows: an ease-out cubic over the first revealFrames frames. */
float revealAt (int frame, int revealFrames);

/** Writes the video to target; returns an empty text on success, otherwise what went wrong. The
    file appears only when it is complete: a cancel or an error leaves an old file as it was.
    progress may be null and cancel empty. */
juce::String exportReveal (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                           const std::vector<TrVerdict::SlotVerdict>& verdicts, const TrReportCard::Meta& meta,
                           const Settings& settings, const juce::File& target, std::atomic<float>* progress,
                           const std::function<bool()>& cancel);
}
