#include "platform/gst/gst_pass_recorder.h"

#include "recording/preroll_ring.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <limits>
#include <mutex>
#include <sched.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

// Frames waiting for the encoder before the next one is dropped: half a second. A frame
// held here is the screen's own picture (8 MB at 1920x1080), so the queue stays short; the
// encoder keeps up with room to spare at 1080p30 (about a fifth of a core).
int maxQueuedFrames(int fps)
{
    return std::max(4, fps / 2);
}
// H.264 at a constant quality (x264's rate factor), which keeps every frame near 40 dB PSNR
// whatever the picture, with a ceiling on the rate for a picture full of grain: 0.25 bits a
// pixel, 15.5 Mbit/s at 1920x1080 and 30 frames a second, never below 2 Mbit/s (a small
// picture needs more bits a pixel). At a fixed 0.13 bits a pixel a grainy 320x240 picture
// fell to 28 dB.
constexpr int kH264Quality = 21;
constexpr double kBitsPerPixel = 0.25;
constexpr int kMinBitrateKbps = 2000;
constexpr int kJpegQuality = 85;
// How long the worker sleeps when nothing wakes it: the bus errors and a source that stopped
// during the seconds after a pass are noticed within this.
constexpr auto kPollInterval = std::chrono::milliseconds(50);
// A pass's file is finished at the latest this long after the pass ended, even when the
// picture stops coming (a camera unplugged after the pass).
constexpr auto kPostRollGrace = std::chrono::microseconds(kPostRollUs) + std::chrono::seconds(2);
// Finishing a Matroska file writes its index and goes back to its header: milliseconds,
// unless the disk hangs.
constexpr GstClockTime kFinishTimeout = 5 * GST_SECOND;

// The recorder's threads run as batch work (Linux's SCHED_BATCH): their fair share of the
// processor, but a thread woken for a frame does not take the core from the thread running
// there. As ordinary threads, with both cores busy with other work, a frame's hand-over
// sometimes held the user-interface thread for about a frame's encoding (p99 6 to 9 ms, a
// few microseconds of it on the processor): the woken encoder had taken its core. A lower
// priority (nice 10) instead let the encoder starve behind the other work: a third of the
// frames dropped.
void runAsBatch(bool batch)
{
    sched_param none{};
    sched_setscheduler(pid_t(syscall(SYS_gettid)), batch ? SCHED_BATCH : SCHED_OTHER, &none);
}

// Each streaming thread of `pipeline` runs as batch work while it runs the pipeline's loop,
// and is given back as it was: GStreamer's threads are pooled and may serve another pipeline
// (the player's) afterwards. The bus tells on the thread itself as it enters and leaves.
void batchStreamingThreads(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(
        bus,
        [](GstBus*, GstMessage* m, gpointer) {
            if (GST_MESSAGE_TYPE(m) != GST_MESSAGE_STREAM_STATUS)
                return GST_BUS_PASS;
            GstStreamStatusType type;
            GstElement* owner = nullptr;
            gst_message_parse_stream_status(m, &type, &owner);
            // Only a thread GStreamer runs as an ordinary one is changed, and only back.
            thread_local bool changed = false;
            if (type == GST_STREAM_STATUS_TYPE_ENTER && !changed &&
                sched_getscheduler(0) == SCHED_OTHER) {
                runAsBatch(true);
                changed = true;
            } else if (type == GST_STREAM_STATUS_TYPE_LEAVE && changed) {
                runAsBatch(false);
                changed = false;
            }
            return GST_BUS_DROP;
        },
        nullptr, nullptr);
    gst_object_unref(bus);
}

void initialiseGstreamer()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// A counted reference to an encoded frame.
class BufferRef
{
public:
    BufferRef() = default;
    explicit BufferRef(GstBuffer* adopted) : buffer(adopted) {}
    BufferRef(const BufferRef& o) : buffer(o.buffer ? gst_buffer_ref(o.buffer) : nullptr) {}
    BufferRef(BufferRef&& o) noexcept : buffer(std::exchange(o.buffer, nullptr)) {}
    BufferRef& operator=(BufferRef o) noexcept
    {
        std::swap(buffer, o.buffer);
        return *this;
    }
    ~BufferRef()
    {
        if (buffer)
            gst_buffer_unref(buffer);
    }
    GstBuffer* get() const { return buffer; }

private:
    GstBuffer* buffer = nullptr;
};

using Ring = PrerollRing<BufferRef>;

// A GStreamer error as the operator reads it: the system's reason ("No space left on
// device") when it gives one, else its own message; and whether it was the system's.
QString reasonOf(GstMessage* message, bool* fromSystem = nullptr)
{
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    QString text = QString::fromUtf8(error ? error->message : "unknown error");
    const QString details = QString::fromUtf8(debug ? debug : "");
    const qsizetype at = details.lastIndexOf(QLatin1String("system error: "));
    if (at >= 0)
        text = details.mid(at + 14).trimmed();
    if (fromSystem)
        *fromSystem = at >= 0;
    g_clear_error(&error);
    g_free(debug);
    return text;
}

// The errors waiting on a pipeline's bus, if any, as one reason: a full disk makes the file
// sink post a bare "Could not write to resource." before the error that names the cause.
std::optional<QString> busError(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    std::optional<QString> text;
    bool named = false;
    for (;;) {
        // The error naming the cause follows the bare one at once.
        GstMessage* m = gst_bus_timed_pop_filtered(bus, text && !named ? 100 * GST_MSECOND : 0,
                                                   GST_MESSAGE_ERROR);
        if (!m)
            break;
        bool fromSystem = false;
        const QString reason = reasonOf(m, &fromSystem);
        if (!text || (fromSystem && !named))
            text = reason;
        named |= fromSystem;
        gst_message_unref(m);
    }
    gst_object_unref(bus);
    return text;
}

QString notRecorded(const QString& path, const QString& why)
{
    return QStringLiteral("The video of this pass could not be written to \"%1\" (%2). The "
                          "pass's results are kept, without video.")
        .arg(QDir::toNativeSeparators(path), why);
}

struct CodecParts
{
    const char* encoder; // element factory
    const char* package; // the Debian package that holds it
    const char* description;
};

CodecParts partsOf(RecordingCodec codec)
{
    switch (codec) {
    case RecordingCodec::Vp8:
        return {"vp8enc", "gstreamer1.0-plugins-good", "VP8"};
    case RecordingCodec::Mjpeg:
        return {"jpegenc", "gstreamer1.0-plugins-good", "JPEG"};
    case RecordingCodec::H264:
        break;
    }
    return {"x264enc", "gstreamer1.0-plugins-ugly", "H.264"};
}

// The encoder with its settings, for a pipeline description.
QString encoderDescription(const RecorderSettings& s)
{
    const int keyEvery = std::max(1, s.fps);
    switch (s.codec) {
    case RecordingCodec::Vp8:
        // Constrained quality under the same ceiling as H.264's, for a like comparison.
        return QStringLiteral("vp8enc name=encoder deadline=1 cpu-used=16 lag-in-frames=0 "
                              "end-usage=cq cq-level=10 threads=1 keyframe-max-dist=%1")
            .arg(keyEvery);
    case RecordingCodec::Mjpeg:
        return QStringLiteral("jpegenc name=encoder quality=%1").arg(kJpegQuality);
    case RecordingCodec::H264:
        break;
    }
    // One thread: the user-interface thread has the other core to itself; zero latency: no
    // frame waits for a later one, so a file can end on the frame it needs.
    // Matroska takes H.264 as AVC, its parameter sets in the caps (a byte stream repeats them).
    return QStringLiteral("x264enc name=encoder speed-preset=ultrafast tune=zerolatency "
                          "threads=1 key-int-max=%1 pass=qual quantizer=%2 ! "
                          "video/x-h264,stream-format=avc,alignment=au")
        .arg(keyEvery)
        .arg(kH264Quality);
}

// One pass's file: encoded frames in, through matroskamux, to a file sink. Used by the
// worker thread only.
class FileWriter
{
public:
    ~FileWriter()
    {
        if (pipeline) {
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(source);
            gst_object_unref(pipeline);
        }
    }

    // None, with the reason, when the file cannot be made.
    static std::unique_ptr<FileWriter> open(const QString& path, GstCaps* caps, qint64 originUs,
                                            QString* why)
    {
        auto w = std::unique_ptr<FileWriter>(new FileWriter);
        w->path = path;
        w->originUs = originUs;
        w->pipeline = gst_parse_launch("appsrc name=src format=time ! matroskamux ! "
                                       "filesink name=file",
                                       nullptr);
        if (!w->pipeline) {
            *why = QStringLiteral("GStreamer's Matroska writer is missing");
            return nullptr;
        }
        w->source = gst_bin_get_by_name(GST_BIN(w->pipeline), "src");
        GstElement* file = gst_bin_get_by_name(GST_BIN(w->pipeline), "file");
        g_object_set(file, "location", QFile::encodeName(path).constData(), nullptr);
        gst_object_unref(file);
        g_object_set(w->source, "max-bytes", guint64(0), "caps", caps, nullptr);
        batchStreamingThreads(w->pipeline);
        if (gst_element_set_state(w->pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            *why = busError(w->pipeline).value_or(QStringLiteral("it cannot be opened"));
            w.reset();
            QFile::remove(path);
            return nullptr;
        }
        return w;
    }

    void write(const Ring::Entry& e)
    {
        if (frames == 0 && !e.key)
            return;                                      // nothing decodes before a key frame
        GstBuffer* b = gst_buffer_copy(e.payload.get()); // the bytes are shared
        GST_BUFFER_PTS(b) = GstClockTime(e.timeUs - originUs) * GST_USECOND;
        GST_BUFFER_DTS(b) = GST_BUFFER_PTS(b);
        GST_BUFFER_DURATION(b) = GST_CLOCK_TIME_NONE;
        gst_app_src_push_buffer(GST_APP_SRC(source), b);
        ++frames;
        lastUs = e.timeUs;
    }

    std::optional<QString> error() const { return busError(pipeline); }

    // Ends the file; the reason it is not whole, or none.
    std::optional<QString> finish()
    {
        gst_app_src_end_of_stream(GST_APP_SRC(source));
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* m = gst_bus_timed_pop_filtered(
            bus, kFinishTimeout, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        gst_object_unref(bus);
        std::optional<QString> why;
        if (!m)
            why = QStringLiteral("it could not be finished within %1 s")
                      .arg(kFinishTimeout / GST_SECOND);
        else if (GST_MESSAGE_TYPE(m) == GST_MESSAGE_ERROR)
            why = reasonOf(m);
        if (m)
            gst_message_unref(m);
        gst_element_set_state(pipeline, GST_STATE_NULL);
        // Written into a folder that was removed meanwhile, the file went with it.
        if (!why && !QFileInfo::exists(path))
            why = QStringLiteral("its folder was removed while it was written");
        return why;
    }

    QString path;
    qint64 originUs = 0;
    int frames = 0;
    qint64 lastUs = 0;
    // The pass's end, once known; and the latest moment to finish without more frames.
    std::optional<qint64> passEndUs;
    std::optional<Steady::time_point> deadline;

private:
    FileWriter() = default;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;
};

class GstPassRecorder final : public QObject, public PassRecorder
{
public:
    explicit GstPassRecorder(const RecorderSettings& settings);
    ~GstPassRecorder() override;

    void feed(const RecorderFrame& frame, qint64 captureUs) override;
    void startPassRecording(const QString& path, qint64 passStartUs) override;
    void passEnded(qint64 endUs) override;
    std::optional<qint64> mediaTimeUs(qint64 captureUs) const override;
    RecorderState state() const override { return state_; }
    QString message() const override { return message_; }
    void setOutcomeHandler(std::function<void(const RecordingOutcome&)> handler) override
    {
        outcomeHandler = std::move(handler);
    }

private:
    struct Command
    {
        enum Kind { Start, Continue, End } kind;
        QString path;
        quint64 fromFrame = 0;
        qint64 originUs = 0;
        qint64 endUs = 0;
    };

    bool buildEncoder(QString* why);
    // The time of a capture on the recorder's own clock: microseconds from the first frame
    // fed, in whole milliseconds (what Matroska stores), so that the file gives back exactly
    // the times this recorder hands out.
    qint64 streamUs(qint64 captureUs) const
    {
        const qint64 us = captureUs - baseUs.value_or(captureUs);
        return (us >= 0 ? us + 500 : us - 500) / 1000 * 1000;
    }
    void configureFor(int width, int height);
    void encoded(GstSample* sample);
    void run();
    void handle(const Command& c);
    void writeNewFrames(std::unique_lock<std::mutex>& lock);
    void finishFile(std::optional<QString> why);
    void post(const RecordingOutcome& outcome, qint64 originUs = 0,
              const QString& unavailable = QString());
    void deliver(RecordingOutcome outcome, qint64 originUs, const QString& unavailable);

    const RecorderSettings settings;
    GstElement* pipeline = nullptr;
    GstElement* source = nullptr;
    GstElement* sizeFilter = nullptr;
    GstElement* encoder = nullptr;
    GstElement* sink = nullptr;

    // The user-interface thread's.
    RecorderState state_ = RecorderState::Waiting;
    QString message_;
    std::function<void(const RecordingOutcome&)> outcomeHandler;
    std::optional<qint64> baseUs;
    std::optional<qint64> firstFedUs; // stream times
    qint64 lastFedUs = 0;
    int fedWidth = 0;
    int fedHeight = 0;
    QString filePath;
    bool passRunning = false;
    std::optional<qint64> fileOriginUs; // stream time of the current file's first frame
    std::deque<qint64> droppedUs;       // stream times of frames dropped lately
    std::atomic<bool> encoderBroken{false};

    // Shared with the streaming and worker threads, under `mutex`.
    std::mutex mutex;
    std::condition_variable wake;
    Ring ring;
    GstCaps* encodedCaps = nullptr;
    std::deque<Command> commands;
    bool stopping = false;
    // What the ring must keep: from the first frame of a file asked for and not yet opened,
    // and from the next frame the open file takes.
    static constexpr quint64 kNone = std::numeric_limits<quint64>::max();
    quint64 startHold = kNone;
    quint64 writerHold = kNone;
    void applyHolds() { ring.holdFrom(std::min(startHold, writerHold)); }

    // The worker's.
    std::unique_ptr<FileWriter> writer;
    quint64 nextToWrite = 0;
    std::thread worker;
};

GstPassRecorder::GstPassRecorder(const RecorderSettings& settings) : settings(settings)
{
    initialiseGstreamer();
    QString why;
    if (!buildEncoder(&why)) {
        state_ = RecorderState::Unavailable;
        message_ = QStringLiteral("Passes are not recorded: %1.").arg(why);
        encoderBroken = true;
        return;
    }
    worker = std::thread([this] { run(); });
}

GstPassRecorder::~GstPassRecorder()
{
    // No frame is encoded after this; the worker then finishes an open file with what it has.
    if (pipeline)
        gst_element_set_state(pipeline, GST_STATE_NULL);
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    wake.notify_all();
    if (worker.joinable())
        worker.join();
    if (encodedCaps)
        gst_caps_unref(encodedCaps);
    for (GstElement* e : {source, sizeFilter, encoder, sink, pipeline})
        if (e)
            gst_object_unref(e);
}

bool GstPassRecorder::buildEncoder(QString* why)
{
    const CodecParts parts = partsOf(settings.codec);
    const char* needed[] = {"appsrc",      "videoconvert", "videoscale", parts.encoder,
                            "matroskamux", "filesink",     "appsink"};
    for (const char* name : needed) {
        if (GstElementFactory* f = gst_element_factory_find(name)) {
            gst_object_unref(f);
            continue;
        }
        const bool base =
            std::strcmp(name, parts.encoder) != 0 && std::strcmp(name, "matroskamux") != 0;
        *why = QStringLiteral("GStreamer's %1 is missing (install %2)")
                   .arg(QLatin1String(name), QLatin1String(base ? "gstreamer1.0-plugins-base"
                                                           : std::strcmp(name, "matroskamux") == 0
                                                               ? "gstreamer1.0-plugins-good"
                                                               : parts.package));
        return false;
    }
    const QString description =
        QStringLiteral("appsrc name=src is-live=true format=time max-bytes=0 block=false ! "
                       "videoconvert ! videoscale ! capsfilter name=size ! %1 ! "
                       "appsink name=sink sync=false enable-last-sample=false")
            .arg(encoderDescription(settings));
    GError* error = nullptr;
    pipeline = gst_parse_launch(description.toUtf8().constData(), &error);
    if (!pipeline || error) {
        *why = QStringLiteral("GStreamer cannot encode %1 here (%2)")
                   .arg(QLatin1String(parts.description),
                        QString::fromUtf8(error ? error->message : "?"));
        g_clear_error(&error);
        return false;
    }
    source = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    sizeFilter = gst_bin_get_by_name(GST_BIN(pipeline), "size");
    encoder = gst_bin_get_by_name(GST_BIN(pipeline), "encoder");
    sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = [](GstAppSink* s, gpointer self) {
        if (GstSample* sample = gst_app_sink_pull_sample(s)) {
            static_cast<GstPassRecorder*>(self)->encoded(sample);
            gst_sample_unref(sample);
        }
        return GST_FLOW_OK;
    };
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    batchStreamingThreads(pipeline);
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *why = QStringLiteral("GStreamer cannot encode %1 here (%2)")
                   .arg(QLatin1String(parts.description),
                        busError(pipeline).value_or(QStringLiteral("it does not start")));
        return false;
    }
    return true;
}

void GstPassRecorder::configureFor(int width, int height)
{
    const bool first = fedWidth == 0;
    fedWidth = width;
    fedHeight = height;
    const int fps = std::max(1, settings.fps);
    GstCaps* caps =
        gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                            width, "height", G_TYPE_INT, height, "framerate", GST_TYPE_FRACTION,
                            fps, 1, "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    gst_app_src_set_caps(GST_APP_SRC(source), caps);
    gst_caps_unref(caps);
    if (!first)
        return; // a file keeps its first size: later pictures are scaled to it
    // 4:2:0 needs an even size.
    const int w = std::max(2, width & ~1), h = std::max(2, height & ~1);
    GstCaps* size = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "I420", "width",
                                        G_TYPE_INT, w, "height", G_TYPE_INT, h,
                                        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    g_object_set(sizeFilter, "caps", size, nullptr);
    gst_caps_unref(size);
    const int kbps =
        std::max(kMinBitrateKbps, int(kBitsPerPixel * double(w) * double(h) * fps / 1000.0));
    if (settings.codec == RecordingCodec::H264)
        g_object_set(encoder, "bitrate", guint(kbps), nullptr);
    else if (settings.codec == RecordingCodec::Vp8)
        g_object_set(encoder, "target-bitrate", gint(kbps * 1000), nullptr);
}

void GstPassRecorder::feed(const RecorderFrame& frame, qint64 captureUs)
{
    if (encoderBroken.load(std::memory_order_relaxed))
        return;
    if (frame.width <= 0 || frame.height <= 0 || !frame.pixels ||
        frame.bytesPerLine < qsizetype(frame.width) * 4)
        return;
    if (!baseUs)
        baseUs = captureUs;
    const qint64 t = streamUs(captureUs);
    const auto drop = [&] {
        droppedUs.push_back(t);
        // Drops older than any file being made can still begin with are forgotten.
        while (!droppedUs.empty() && droppedUs.front() < t - 4 * kPreRollUs &&
               (state_ != RecorderState::Recording || droppedUs.front() < *fileOriginUs))
            droppedUs.pop_front();
    };
    // A file's frame times rise: a frame no later than the one before cannot go in.
    if (firstFedUs && t <= lastFedUs) {
        drop();
        return;
    }
    guint64 queued = 0;
    g_object_get(source, "current-level-buffers", &queued, nullptr);
    if (queued >= guint64(maxQueuedFrames(settings.fps))) {
        drop();
        return;
    }
    if (frame.width != fedWidth || frame.height != fedHeight)
        configureFor(frame.width, frame.height);
    const gsize bytes = gsize(frame.bytesPerLine) * gsize(frame.height);
    auto* owner = new std::shared_ptr<const void>(frame.owner);
    GstBuffer* buffer = gst_buffer_new_wrapped_full(
        GST_MEMORY_FLAG_READONLY, const_cast<uchar*>(frame.pixels), bytes, 0, bytes, owner,
        [](gpointer p) { delete static_cast<std::shared_ptr<const void>*>(p); });
    if (frame.bytesPerLine != qsizetype(frame.width) * 4) {
        gsize offset[GST_VIDEO_MAX_PLANES] = {0};
        gint stride[GST_VIDEO_MAX_PLANES] = {gint(frame.bytesPerLine)};
        gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_FORMAT_BGRx,
                                       guint(frame.width), guint(frame.height), 1, offset, stride);
    }
    GST_BUFFER_PTS(buffer) = GstClockTime(t) * GST_USECOND;
    gst_app_src_push_buffer(GST_APP_SRC(source), buffer);
    if (!firstFedUs)
        firstFedUs = t;
    lastFedUs = t;
}

void GstPassRecorder::startPassRecording(const QString& path, qint64 passStartUs)
{
    if (state_ == RecorderState::Unavailable) {
        fileOriginUs.reset();
        RecordingOutcome outcome;
        outcome.path = path;
        outcome.message = message_;
        post(outcome);
        return;
    }
    if (state_ == RecorderState::Recording && passRunning && path == filePath) {
        {
            std::lock_guard lock(mutex);
            commands.push_back({Command::Continue, path});
        }
        wake.notify_all();
        return;
    }
    Command c{Command::Start, path};
    {
        std::lock_guard lock(mutex);
        const qint64 start = baseUs ? streamUs(passStartUs) : 0;
        if (const std::optional<Ring::Entry> key = ring.fileStart(start)) {
            c.fromFrame = key->number;
            c.originUs = key->timeUs;
        } else {
            // Nothing encoded yet: the file starts with the first frame fed, which the encoder
            // makes a key frame (or, with nothing fed, with the first to come).
            c.fromFrame = ring.empty() ? 0 : ring.newest().number + 1;
            c.originUs = firstFedUs.value_or(start);
        }
        startHold = std::min(startHold, c.fromFrame);
        applyHolds();
        commands.push_back(c);
    }
    wake.notify_all();
    filePath = path;
    passRunning = true;
    fileOriginUs = c.originUs;
    state_ = RecorderState::Recording;
}

void GstPassRecorder::passEnded(qint64 endUs)
{
    if (state_ != RecorderState::Recording || !passRunning)
        return;
    passRunning = false;
    {
        std::lock_guard lock(mutex);
        Command c{Command::End, filePath};
        c.endUs = baseUs ? streamUs(endUs) : 0;
        commands.push_back(c);
    }
    wake.notify_all();
}

std::optional<qint64> GstPassRecorder::mediaTimeUs(qint64 captureUs) const
{
    if (!fileOriginUs || !baseUs)
        return std::nullopt;
    return streamUs(captureUs) - *fileOriginUs;
}

void GstPassRecorder::encoded(GstSample* sample)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer))
        return;
    // The running time is the time fed: x264enc moves its buffer times 1000 hours on (so that
    // no decoding time is negative) and its segment with them.
    const GstSegment* segment = gst_sample_get_segment(sample);
    const guint64 running =
        segment ? gst_segment_to_running_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
                : GST_BUFFER_PTS(buffer);
    if (running == GST_CLOCK_TIME_NONE)
        return;
    const qint64 t = qint64(running / GST_USECOND);
    const bool key = !GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT);
    {
        std::lock_guard lock(mutex);
        if (!encodedCaps)
            encodedCaps = gst_caps_ref(gst_sample_get_caps(sample));
        ring.add(t, key, BufferRef(gst_buffer_ref(buffer)));
    }
    wake.notify_all();
}

void GstPassRecorder::run()
{
    runAsBatch(true); // the worker's own thread, ended with the recorder
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait_for(lock, kPollInterval);
        if (!encoderBroken) {
            lock.unlock();
            if (const std::optional<QString> why = busError(pipeline)) {
                // Frames are no longer taken; an open file keeps nothing that follows.
                encoderBroken = true;
                const QString reason =
                    QStringLiteral("the %1 encoder failed: %2")
                        .arg(QLatin1String(partsOf(settings.codec).description), *why);
                if (writer)
                    finishFile(reason);
                post({}, 0, QStringLiteral("Passes are not recorded: %1.").arg(reason));
            }
            lock.lock();
        }
        while (!commands.empty()) {
            const Command c = commands.front();
            commands.pop_front();
            lock.unlock();
            handle(c);
            lock.lock();
        }
        writeNewFrames(lock);
        if (writer && writer->deadline && Steady::now() > *writer->deadline) {
            lock.unlock();
            finishFile(std::nullopt);
            lock.lock();
        }
        if (stopping)
            break;
    }
    writeNewFrames(lock);
    lock.unlock();
    if (writer)
        finishFile(std::nullopt);
}

void GstPassRecorder::handle(const Command& c)
{
    if (c.kind == Command::Continue) {
        if (writer && writer->path == c.path) {
            writer->passEndUs.reset();
            writer->deadline.reset();
        }
        return;
    }
    if (c.kind == Command::End) {
        if (!writer || writer->path != c.path)
            return;
        writer->passEndUs = c.endUs;
        writer->deadline = Steady::now() + kPostRollGrace;
        if (writer->frames > 0 && endsPostRoll(writer->lastUs, c.endUs))
            finishFile(std::nullopt);
        return;
    }
    if (writer)
        finishFile(std::nullopt);
    GstCaps* caps = nullptr;
    {
        std::lock_guard lock(mutex);
        if (encodedCaps)
            caps = gst_caps_ref(encodedCaps);
    }
    QString why;
    if (!caps) {
        // Nothing has been encoded yet: the caps of the first frame decide the file's.
        std::unique_lock lock(mutex);
        wake.wait_for(lock, std::chrono::seconds(2), [this] { return encodedCaps || stopping; });
        if (encodedCaps)
            caps = gst_caps_ref(encodedCaps);
    }
    if (caps) {
        writer = FileWriter::open(c.path, caps, c.originUs, &why);
        gst_caps_unref(caps);
    } else {
        why = QStringLiteral("no picture was encoded");
    }
    {
        std::lock_guard lock(mutex);
        startHold = kNone;
        writerHold = writer ? c.fromFrame : kNone;
        applyHolds();
    }
    if (writer) {
        nextToWrite = c.fromFrame;
        return;
    }
    RecordingOutcome outcome;
    outcome.path = c.path;
    outcome.message = notRecorded(c.path, why);
    post(outcome);
}

void GstPassRecorder::writeNewFrames(std::unique_lock<std::mutex>& lock)
{
    if (!writer)
        return;
    const std::vector<Ring::Entry> fresh = ring.from(nextToWrite);
    if (fresh.empty())
        return;
    nextToWrite = fresh.back().number + 1;
    lock.unlock();
    bool ended = false;
    for (const Ring::Entry& e : fresh) {
        writer->write(e);
        if (writer->passEndUs && endsPostRoll(e.timeUs, *writer->passEndUs)) {
            ended = true;
            break;
        }
    }
    if (const std::optional<QString> why = writer->error())
        finishFile(why);
    else if (ended)
        finishFile(std::nullopt);
    lock.lock();
    if (writer) {
        writerHold = nextToWrite;
        applyHolds();
    }
}

void GstPassRecorder::finishFile(std::optional<QString> why)
{
    std::unique_ptr<FileWriter> w = std::move(writer);
    {
        std::lock_guard lock(mutex);
        writerHold = kNone;
        applyHolds();
    }
    if (!why)
        why = w->finish();
    RecordingOutcome outcome;
    outcome.path = w->path;
    const qint64 originUs = w->originUs;
    if (why) {
        // A part of a file is not kept: on a full disk it is what filled it, and the pass's
        // results and logs need the room now.
        w.reset();
        QFile::remove(outcome.path);
        outcome.message = notRecorded(outcome.path, *why);
    } else {
        outcome.recorded = true;
        outcome.frames = w->frames;
        outcome.lastFrameUs = w->lastUs - w->originUs;
    }
    post(outcome, originUs);
}

void GstPassRecorder::post(const RecordingOutcome& outcome, qint64 originUs,
                           const QString& unavailable)
{
    QMetaObject::invokeMethod(
        this, [this, outcome, originUs, unavailable] { deliver(outcome, originUs, unavailable); },
        Qt::QueuedConnection);
}

void GstPassRecorder::deliver(RecordingOutcome outcome, qint64 originUs, const QString& unavailable)
{
    if (!unavailable.isEmpty()) {
        state_ = RecorderState::Unavailable;
        message_ = unavailable;
    }
    if (outcome.path.isEmpty())
        return;
    if (outcome.recorded)
        outcome.droppedFrames =
            int(std::count_if(droppedUs.begin(), droppedUs.end(), [&](qint64 t) {
                return t >= originUs && t <= originUs + outcome.lastFrameUs;
            }));
    if (outcome.path == filePath) {
        if (state_ == RecorderState::Recording)
            state_ = RecorderState::Waiting;
        passRunning = false;
        if (!outcome.recorded)
            fileOriginUs.reset();
    }
    if (const auto handler = outcomeHandler)
        handler(outcome);
}

} // namespace

std::optional<RecordingCodec> recordingCodecNamed(const QString& name)
{
    if (name == QLatin1String("h264") || name == QLatin1String("x264"))
        return RecordingCodec::H264;
    if (name == QLatin1String("vp8"))
        return RecordingCodec::Vp8;
    if (name == QLatin1String("mjpeg") || name == QLatin1String("jpeg"))
        return RecordingCodec::Mjpeg;
    return std::nullopt;
}

std::unique_ptr<PassRecorder> makeGstPassRecorder(const RecorderSettings& settings)
{
    return std::make_unique<GstPassRecorder>(settings);
}
