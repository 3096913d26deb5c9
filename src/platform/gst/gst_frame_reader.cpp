#include "platform/gst/gst_frame_reader.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <mutex>
#include <optional>

namespace {

// How long a frame may take to come before the file counts as broken: a 1080p H.264 frame
// decodes in milliseconds, a stalled pipeline never.
constexpr GstClockTime kPullTimeout = 10 * GST_SECOND;
// A seek lands this far before the frame wanted: whether the container's clock starts at the
// first frame or at its start delay (under a second), it lands before that frame.
constexpr qint64 kSeekMarginUs = 1000000;

void initialiseGstreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// The text of the first error on the pipeline's bus, if any.
QString busError(GstElement* pipeline)
{
    QString text;
    GstBus* bus = gst_element_get_bus(pipeline);
    while (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        if (text.isEmpty()) {
            GError* e = nullptr;
            gst_message_parse_error(m, &e, nullptr);
            text = QString::fromUtf8(e ? e->message : "unknown error");
            g_clear_error(&e);
        }
        gst_message_unref(m);
    }
    gst_object_unref(bus);
    return text;
}

class GstFrameReader : public FrameReader
{
public:
    GstFrameReader(GstElement* pipeline, GstElement* sink, QString shownPath)
        : pipeline(pipeline), sink(sink), shownPath(std::move(shownPath))
    {
    }
    ~GstFrameReader() override
    {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(sink);
        gst_object_unref(pipeline);
    }
    GstFrameReader(const GstFrameReader&) = delete;
    GstFrameReader& operator=(const GstFrameReader&) = delete;

    std::optional<GreyFrame> next() override;
    QString error() const override { return error_; }
    qint64 durationUs() const override { return duration; }
    void setDuration(qint64 us) { duration = us; }
    // Times are counted from this buffer time: the file's first frame's.
    void setFirstFrame(qint64 ptsUs)
    {
        haveFirst = true;
        firstStartUs = ptsUs;
    }

private:
    std::optional<GreyFrame> fail(const QString& why)
    {
        error_ = shownPath + QStringLiteral(": ") + why;
        ended = true;
        return std::nullopt;
    }

    GstElement* pipeline;
    GstElement* sink;
    QString shownPath;
    QString error_;
    bool ended = false;
    bool haveFirst = false;
    qint64 firstStartUs = 0;
    qint64 lastStartUs = -1;
    qint64 duration = 0;
};

std::optional<GreyFrame> GstFrameReader::next()
{
    if (ended)
        return std::nullopt;
    GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), kPullTimeout);
    if (!sample) {
        if (gst_app_sink_is_eos(GST_APP_SINK(sink))) {
            ended = true;
            return std::nullopt;
        }
        const QString why = busError(pipeline);
        return fail(
            why.isEmpty()
                ? QStringLiteral("no picture came within %1 s").arg(kPullTimeout / GST_SECOND)
                : why);
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    GstVideoFrame mapped;
    if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer) ||
        !gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) ||
        !gst_video_frame_map(&mapped, &info, buffer, GST_MAP_READ)) {
        gst_sample_unref(sample);
        return fail(QStringLiteral("a decoded picture has no time or no pixels"));
    }
    GreyFrame f;
    f.width = GST_VIDEO_INFO_WIDTH(&info);
    f.height = GST_VIDEO_INFO_HEIGHT(&info);
    f.pixels.resize(size_t(f.width) * size_t(f.height));
    const auto* rows = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&mapped, 0));
    const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&mapped, 0);
    for (int y = 0; y < f.height; ++y)
        std::memcpy(f.pixels.data() + size_t(y) * size_t(f.width), rows + qsizetype(y) * stride,
                    size_t(f.width));
    gst_video_frame_unmap(&mapped);

    // The Qt player gives a frame the buffer's time in whole microseconds, less the first
    // frame's (the file's start delay: its position clock starts at the first frame).
    qint64 ptsUs = qint64(GST_BUFFER_PTS(buffer) / 1000);
    // The player's frame length: a whole frame period rounded down.
    const qint64 periodUs =
        GST_VIDEO_INFO_FPS_N(&info) > 0
            ? qint64(1000000) * GST_VIDEO_INFO_FPS_D(&info) / GST_VIDEO_INFO_FPS_N(&info)
            : 0;
    qint64 endUs = -1;
    if (GST_BUFFER_DURATION_IS_VALID(buffer))
        endUs = qint64((GST_BUFFER_PTS(buffer) + GST_BUFFER_DURATION(buffer)) / 1000);
    else if (periodUs > 0)
        endUs = ptsUs + periodUs;
    gst_sample_unref(sample);
    // The first frame after a seek starts where the seek landed, not where the frame does; its
    // end is true. The player takes its start back from the end, and so does this.
    if (haveFirst && periodUs > 0 && endUs >= 0 && endUs - ptsUs < periodUs - 1)
        ptsUs = std::max(endUs - periodUs, firstStartUs);
    if (!haveFirst)
        setFirstFrame(ptsUs);
    if (ptsUs - firstStartUs <= lastStartUs) {
        return fail(QStringLiteral("its frame times do not increase (%1 us after %2 us)")
                        .arg(ptsUs - firstStartUs)
                        .arg(lastStartUs));
    }
    f.startUs = ptsUs - firstStartUs;
    f.durationUs = endUs > ptsUs ? endUs - ptsUs : 0;
    lastStartUs = f.startUs;
    return f;
}

// Buffer time (microseconds) of the sample the sink holds paused; none when it holds none.
std::optional<qint64> prerolledPts(GstElement* sink)
{
    GstSample* sample = gst_app_sink_try_pull_preroll(GST_APP_SINK(sink), kPullTimeout);
    if (!sample)
        return std::nullopt;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    std::optional<qint64> pts;
    if (buffer && GST_BUFFER_PTS_IS_VALID(buffer))
        pts = qint64(GST_BUFFER_PTS(buffer) / 1000);
    gst_sample_unref(sample);
    return pts;
}

// Paused, a flushing seek to the frame holding the stream time atUs; true once it has landed.
bool seekPaused(GstElement* pipeline, qint64 atUs)
{
    const auto flags = GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(pipeline, GST_FORMAT_TIME, flags, gint64(atUs) * 1000))
        return false;
    return gst_element_get_state(pipeline, nullptr, nullptr, kPullTimeout) ==
           GST_STATE_CHANGE_SUCCESS;
}

} // namespace

std::unique_ptr<FrameReader> openGstFrameReader(const QString& path, QString* error, qint64 fromUs)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto failed = [&](const QString& why) {
        if (error)
            *error = shown + QStringLiteral(": ") + why;
        return nullptr;
    };
    const QFileInfo file(path);
    if (!file.exists())
        return failed(QStringLiteral("no such file"));
    if (!file.isFile() || !file.isReadable())
        return failed(QStringLiteral("cannot be read"));
    initialiseGstreamer();

    GError* parseError = nullptr;
    GstElement* pipeline =
        gst_parse_launch("uridecodebin name=decoder ! videoconvert ! video/x-raw,format=GRAY8 ! "
                         "appsink name=sink sync=false max-buffers=4 enable-last-sample=false",
                         &parseError);
    if (!pipeline) {
        const QString why = QString::fromUtf8(parseError ? parseError->message : "?");
        g_clear_error(&parseError);
        return failed(QStringLiteral("GStreamer cannot decode video here (%1); install "
                                     "gstreamer1.0-plugins-base")
                          .arg(why));
    }
    g_clear_error(&parseError);
    GstElement* decoder = gst_bin_get_by_name(GST_BIN(pipeline), "decoder");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gchar* uri =
        gst_filename_to_uri(QFile::encodeName(file.absoluteFilePath()).constData(), nullptr);
    GstCaps* video = gst_caps_from_string("video/x-raw(ANY)");
    // Sound and subtitles are left undecoded: only the pictures count.
    g_object_set(decoder, "uri", uri, "caps", video, "expose-all-streams", FALSE, nullptr);
    gst_caps_unref(video);
    g_free(uri);
    gst_object_unref(decoder);

    auto reader = std::make_unique<GstFrameReader>(pipeline, sink, shown);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    const GstStateChangeReturn prerolled =
        gst_element_get_state(pipeline, nullptr, nullptr, kPullTimeout);
    if (prerolled == GST_STATE_CHANGE_FAILURE || prerolled == GST_STATE_CHANGE_ASYNC) {
        const QString why = busError(pipeline);
        return failed(why.isEmpty() ? QStringLiteral("it holds no video picture") : why);
    }
    // The player's duration: the container's, on the clock that starts at the first frame.
    gint64 ns = 0;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &ns) && ns > 0)
        reader->setDuration(qint64(ns / 1000));
    if (fromUs > 2 * kSeekMarginUs) {
        // Times count from the first frame, known only before the seek.
        const std::optional<qint64> first = prerolledPts(sink);
        if (!first)
            return failed(QStringLiteral("it holds no video picture"));
        reader->setFirstFrame(*first);
        const std::optional<qint64> landed =
            seekPaused(pipeline, fromUs - kSeekMarginUs) ? prerolledPts(sink) : std::nullopt;
        // Past the frame wanted, or nowhere: from the start, as without a seek.
        if (!landed || *landed - *first > fromUs) {
            if (!seekPaused(pipeline, 0))
                return failed(QStringLiteral("it cannot be read from its start again"));
        }
    }
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const QString why = busError(pipeline);
        return failed(why.isEmpty() ? QStringLiteral("it cannot be played") : why);
    }
    return reader;
}

FrameReaderOpener gstFrameReaderOpener(const QString& path)
{
    return
        [path](qint64 fromUs, QString* error) { return openGstFrameReader(path, error, fromUs); };
}
