#include "TrVideoExporter.h"

#include "chart/TrChartView.h"

extern "C"
{
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <memory>

namespace
{
juce::String describe (int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] {};
    av_strerror (code, text, sizeof (text));
    return text;
}

struct Deleters
{
    void operator() (AVCodecContext* c) const { avcodec_free_context (&c); }
    void operator() (AVFrame* f) const { av_frame_free (&f); }
    void operator() (AVPacket* p) const { av_packet_free (&p); }
    void operator() (SwsContext* s) const { sws_freeContext (s); }
    void operator() (AVFormatContext* f) const
    {
        if (f->pb != nullptr)
            avio_closep (&f->pb);
        avformat_free_context (f);
    }
};

template <typename T>
using Owned = std::unique_ptr<T, Deleters>;

/** One encoding: the muxer on the temporary file, the encoder and the colour conversion. */
class Encoder
{
public:
    juce::String open (const juce::File& file, int width, int height, int fps)
    {
        // Problems come back as texts; the libraries' own chatter would reach the user's terminal.
        av_log_set_level (AV_LOG_QUIET);

        AVFormatContext* raw = nullptr;
        if (avformat_alloc_output_context2 (&raw, nullptr, "mp4", file.getFullPathName().toRawUTF8()) < 0 || raw == nullptr)
            return "could not create AVAssetWriter";
        format.reset (raw);

        // By name: a generic H.264 lookup may pick a hardware encoder, and libx264rgb plays almost nowhere.
        const auto* codec = avcodec_find_encoder_by_name ("libx264");
        if (codec == nullptr)
            return "AVAssetWriter rejected the video input";

        encoder.reset (avcodec_alloc_context3 (codec));
        auto* c = encoder.get();
        c->width = width;
        c->height = height;
        c->time_base = { 1, fps };
        c->framerate = { fps, 1 };
        c->pix_fmt = AV_PIX_FMT_YUV420P;
        c->bit_rate = width < 3000 ? 16000000 : 40000000;
        c->profile = FF_PROFILE_H264_HIGH;
        c->colorspace = AVCOL_SPC_BT709;
        c->color_primaries = AVCOL_PRI_BT709;
        c->color_trc = AVCOL_TRC_BT709;
        c->color_range = AVCOL_RANGE_MPEG;
        if ((format->oformat->flags & AVFMT_GLOBALHEADER) != 0)
            c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set (c->priv_data, "profile", "high", 0);

        stream = avformat_new_stream (format.get(), nullptr);
        if (stream == nullptr || avcodec_open2 (c, codec, nullptr) < 0 || avcodec_parameters_from_context (stream->codecpar, c) < 0)
            return "AVAssetWriter rejected the video input";
        stream->time_base = c->time_base;
        stream->avg_frame_rate = c->framerate;

        if (avio_open (&format->pb, file.getFullPathName().toRawUTF8(), AVIO_FLAG_WRITE) < 0)
            return "could not create AVAssetWriter";
        if (const auto code = avformat_write_header (format.get(), nullptr); code < 0)
            return "AVAssetWriter could not start: " + describe (code);

        frame.reset (av_frame_alloc());
        packet.reset (av_packet_alloc());
        scaler.reset (sws_getContext (width, height, AV_PIX_FMT_BGRA, width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
        if (frame == nullptr || packet == nullptr || scaler == nullptr)
            return "could not create pixel buffer";

        // Full-range RGB in, BT.709 limited-range YUV out, as the stream says.
        sws_setColorspaceDetails (scaler.get(), sws_getCoefficients (SWS_CS_ITU709), 1, sws_getCoefficients (SWS_CS_ITU709), 0, 0, 1 << 16, 1 << 16);
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = width;
        frame->height = height;
        if (av_frame_get_buffer (frame.get(), 0) < 0)
            return "could not create pixel buffer";
        return {};
    }

    /** Converts the BGRA image (JUCE's ARGB in memory) and hands it to the encoder as frame index. */
    juce::String append (const juce::Image& image, int index)
    {
        if (av_frame_make_writable (frame.get()) < 0)
            return "could not create pixel buffer";

        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);
        const uint8_t* source[] = { pixels.data };
        const int sourceStride[] = { pixels.lineStride };
        sws_scale (scaler.get(), source, sourceStride, 0, image.getHeight(), frame->data, frame->linesize);
        frame->pts = index;

        if (avcodec_send_frame (encoder.get(), frame.get()) < 0 || ! drain())
            return "failed to append frame " + juce::String (index);
        return {};
    }

    /** Flushes the encoder, so that every frame reaches the file, and writes the trailer. */
    juce::String finish()
    {
        if (avcodec_send_frame (encoder.get(), nullptr) < 0 || ! drain())
            return "writer finished with error: " + lastError;
        if (const auto code = av_write_trailer (format.get()); code < 0)
            return "writer finished with error: " + describe (code);
        if (const auto code = avio_closep (&format->pb); code < 0)
            return "writer finished with error: " + describe (code);
        return {};
    }

private:
    bool drain()
    {
        for (;;)
        {
            const auto got = avcodec_receive_packet (encoder.get(), packet.get());
            if (got == AVERROR (EAGAIN) || got == AVERROR_EOF)
                return true;
            if (got < 0)
            {
                lastError = describe (got);
                return false;
            }
            av_packet_rescale_ts (packet.get(), encoder->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (const auto code = av_interleaved_write_frame (format.get(), packet.get()); code < 0)
            {
                lastError = describe (code);
                return false;
            }
        }
    }

    Owned<AVFormatContext> format;
    Owned<AVCodecContext> encoder;
    Owned<AVFrame> frame;
    Owned<AVPacket> packet;
    Owned<SwsContext> scaler;
    AVStream* stream = nullptr;
    juce::String lastError;
};
}

int TrVideoExporter::frameCount (const Settings& settings)
{
    const auto product = static_cast<float> (settings.fps) * settings.seconds;
    return static_cast<int> (std::round (product));
}

float TrVideoExporter::revealAt (int frame, int revealFrames)
{
    const auto t = std::min (1.0f, static_cast<float> (frame) / static_cast<float> (std::max (1, revealFrames)));
    return 1.0f - std::pow (1.0f - t, 3.0f);
}

juce::String TrVideoExporter::exportReveal (const TrChart::Model& model, const std::vector<ReadoutRow>& rows,
                                            const std::vector<TrVerdict::SlotVerdict>& verdicts, const TrReportCard::Meta& meta,
                                            const Settings& settings, const juce::File& target, std::atomic<float>* progress,
                                            const std::function<bool()>& cancel)
{
    const auto frames = frameCount (settings);
    if (frames <= 0)
        return "no frames to write";

    // x264 takes only even sizes.
    const auto width = settings.width & ~1;
    const auto height = settings.height & ~1;
    if (width < 2 || height < 2 || settings.fps <= 0)
        return "AVAssetWriter rejected the video input";

    const auto folder = target.getParentDirectory();
    if (! folder.createDirectory())
        return "could not create AVAssetWriter";

    // Encoded beside the target and moved over it only when complete.
    const auto partial = folder.getNonexistentChildFile ("." + target.getFileNameWithoutExtension() + ".part", ".mp4", false);
    const auto failed = [&partial] (const juce::String& why) {
        partial.deleteFile();
        return why;
    };

    juce::String problem;
    {
        Encoder encoder;
        if (problem = encoder.open (partial, width, height, settings.fps); problem.isNotEmpty())
            return failed (problem);

        // The card around the chart and the chart's grid never change: drawn once, then each
        // frame adds the revealed data and the labels over a copy of it.
        const auto scale = static_cast<float> (width) / 960.0f;
        const auto revealFrames = std::max (1, static_cast<int> (0.6 * frames));
        const auto chartArea = TrReportCard::chartBounds (rows.size() + verdicts.size(), scale);
        juce::Image still (juce::Image::ARGB, width, height, false);
        TrReportCard::renderInto (still, model, rows, verdicts, meta, scale, TrChartView::gridLayer);

        juce::Image image (juce::Image::ARGB, width, height, false);
        auto shown = model;
        for (int i = 0; i < frames; ++i)
        {
            if (cancel && cancel())
                return failed ("aborted");

            // From the end of the sweep on every frame is the finished card.
            if (i <= revealFrames)
            {
                shown.reveal = revealAt (i, revealFrames);
                juce::Graphics g (image);
                g.drawImageAt (still, 0, 0);
                TrChartView::renderChart (g, shown, chartArea, scale, TrChartView::dataLayer | TrChartView::labelLayer);
            }
            if (problem = encoder.append (image, i); problem.isNotEmpty())
                return failed (problem);
            if (progress != nullptr)
                progress->store (static_cast<float> (i) / static_cast<float> (frames));
        }

        if (problem = encoder.finish(); problem.isNotEmpty())
            return failed (problem);
    }

    if (! partial.moveFileTo (target))
        return failed ("writer finished with error: could not move the video to " + target.getFullPathName());
    return {};
}
