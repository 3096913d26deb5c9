#include "platform/qt/qt_video_source.h"

#include "platform/clock.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int kOpenTimeoutMs = 5000;
// How long a seek near the end may take to show a frame before the file counts as cut short.
constexpr int kProbeTimeoutMs = 2000;
// The end probe looks this far before the stated end: a container's length often runs a
// little past its last picture (a longer sound track), which is not damage.
constexpr qint64 kProbeBeforeEndUs = 1000000;
constexpr qint64 kFallbackFrameUs = 40000;
constexpr int kErrorBurstMs = 100;

// Runs `f` on `self` from the event loop, unless `self` is gone by then. The call is never
// made from inside the caller's own call, and a handler it reaches may destroy `self`.
template <class T, class F> void later(T* self, F f)
{
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [p = QPointer<T>(self), f] {
            if (p)
                f(p.data());
        },
        Qt::QueuedConnection);
}

QImage paintableImage(const QVideoFrame& frame)
{
    QImage image = frame.toImage();
    if (image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied)
        image = std::move(image).convertToFormat(QImage::Format_RGB32);
    return image;
}

// GStreamer often reports a failure twice, a specific reason and a generic one; the operator
// gets the specific one.
QString reasonFrom(const QStringList& errors)
{
    static const QStringList generic{
        QStringLiteral("Internal data stream error."),
        QStringLiteral("GStreamer encountered a general stream error.")};
    QStringList specific;
    for (const QString& e : errors)
        if (!e.isEmpty() && !generic.contains(e) && !specific.contains(e))
            specific << e;
    if (!specific.isEmpty())
        return specific.join(QLatin1Char(' '));
    if (!errors.isEmpty() && !errors.first().isEmpty())
        return errors.first();
    return QStringLiteral("Its format is not recognised.");
}

QString seconds(qint64 us)
{
    return QLocale::c().toString(double(us) / 1e6, 'f', 1);
}

// State, the frame on screen and the handlers, shared by both kinds of source.
class SourceCore
{
public:
    VideoState state = VideoState::Opening;
    QString message;
    VideoFrame frame;
    std::function<void(const VideoFrame&)> frameHandler;
    std::function<void()> stateHandler;

    // Shows a frame: the handler is called last, so it may destroy the source.
    void show(VideoFrame f)
    {
        frame = std::move(f);
        if (const auto handler = frameHandler) {
            const VideoFrame shown = frame;
            handler(shown);
        }
    }
    void tellState()
    {
        if (const auto handler = stateHandler)
            handler();
    }
};

// A source's side of the interface that only hands out its core.
template <class Interface> class CoreSource : public QObject, public Interface
{
public:
    VideoState state() const override { return core.state; }
    QString message() const override { return core.message; }
    const VideoFrame& frame() const override { return core.frame; }
    void setFrameHandler(std::function<void(const VideoFrame&)> handler) override
    {
        core.frameHandler = std::move(handler);
    }
    void setStateHandler(std::function<void()> handler) override
    {
        core.stateHandler = std::move(handler);
    }

protected:
    SourceCore core;
};

// Qt objects that may be mid-signal when their owner is destroyed (a handler may destroy its
// source) are cut off from it and deleted by the event loop.
void release(QObject* owner, std::initializer_list<QObject*> objects)
{
    for (QObject* o : objects) {
        if (!o)
            continue;
        o->disconnect(owner);
        o->setParent(nullptr);
        o->deleteLater();
    }
}

class QtVideoFile final : public CoreSource<VideoFile>
{
public:
    QtVideoFile(const QString& path, const Clock& clock);
    ~QtVideoFile() override;

    void play() override;
    void pause() override;
    void stepForward() override;
    void stepBack() override;
    void setRate(double rate) override;
    double rate() const override { return rate_; }
    void seek(qint64 positionUs) override;
    bool playing() const override { return playing_; }
    qint64 positionUs() const override { return core.frame.startUs; }
    qint64 durationUs() const override { return durationUs_; }
    qint64 frameUs() const override { return frameUs_; }
    void setChangeHandler(std::function<void(PlaybackChange)> handler) override
    {
        changeHandler = std::move(handler);
    }

private:
    // Opening: load, show the first frame (which gives the start offset and the frame
    // length), show a frame near the end (a file cut short has none), back to the first.
    enum class Phase { Loading, FirstFrame, ProbeEnd, Rewind, Ready, Failed };

    void begin();
    void status(QMediaPlayer::MediaStatus s);
    void frameArrived(const QVideoFrame& f);
    void arm(int ms, const QString& reason);
    void fail(const QString& reason);
    void failSoon();
    void becomeReady(VideoFrame first);
    void tell(PlaybackChange change);
    // Paused: shows the frame starting at startUs, and no other frame until it comes.
    void holdAt(qint64 startUs);
    void seekTo(qint64 us);
    // Start of the frame holding media time us.
    qint64 frameStartAt(qint64 us) const;

    const Clock& clock;
    QString path;
    QMediaPlayer* player = nullptr;
    QVideoSink* sink = nullptr;
    QTimer* timeout = nullptr;
    QString timeoutReason;
    Phase phase = Phase::Loading;
    QStringList errors;
    bool failureQueued = false;
    std::function<void(PlaybackChange)> changeHandler;

    qint64 offsetUs = 0; // frame time minus position: the file's start delay
    double fps = 0.0;
    qint64 frameUs_ = kFallbackFrameUs;
    qint64 durationUs_ = 0;
    qint64 probeUs = 0;
    bool playing_ = false;
    bool atEnd = false;
    bool rateDue = false; // the rate goes to the pipeline once it plays
    double rate_ = 1.0;
    std::optional<qint64> holdUs;
};

QtVideoFile::QtVideoFile(const QString& path, const Clock& clock)
    : clock(clock), path(path), player(new QMediaPlayer(this)), sink(new QVideoSink(this)),
      timeout(new QTimer(this))
{
    player->setVideoSink(sink);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [this] { fail(timeoutReason); });
    connect(player, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus s) { status(s); });
    connect(player, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString& text) {
                errors << text;
                failSoon();
            });
    connect(sink, &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame& f) { frameArrived(f); });
    later(this, [](QtVideoFile* self) { self->begin(); });
}

QtVideoFile::~QtVideoFile()
{
    release(this, {player, sink});
}

void QtVideoFile::arm(int ms, const QString& reason)
{
    timeoutReason = reason;
    timeout->start(ms);
}

void QtVideoFile::begin()
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        fail(QStringLiteral("The file does not exist."));
        return;
    }
    if (!info.isReadable()) {
        fail(QStringLiteral("The file cannot be read."));
        return;
    }
    arm(kOpenTimeoutMs, QStringLiteral("It did not load within %1 s.").arg(kOpenTimeoutMs / 1000));
    player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void QtVideoFile::failSoon()
{
    // Collect the whole burst of errors first (GStreamer may follow a generic one with the
    // telling one), so the operator gets one message with the reason.
    if (failureQueued)
        return;
    failureQueued = true;
    QTimer::singleShot(kErrorBurstMs, this, [this] { fail(reasonFrom(errors)); });
}

void QtVideoFile::fail(const QString& reason)
{
    if (phase == Phase::Failed)
        return;
    phase = Phase::Failed;
    playing_ = false;
    timeout->stop();
    core.state = VideoState::Failed;
    core.message =
        QStringLiteral("%1 cannot be played: %2").arg(QFileInfo(path).fileName(), reason);
    later(this, [](QtVideoFile* self) {
        self->player->stop();
        self->core.tellState();
    });
}

void QtVideoFile::status(QMediaPlayer::MediaStatus s)
{
    switch (s) {
    case QMediaPlayer::LoadedMedia:
        if (phase != Phase::Loading)
            return;
        if (!player->hasVideo()) {
            fail(QStringLiteral("It holds no video picture."));
            return;
        }
        durationUs_ = player->duration() * 1000;
        phase = Phase::FirstFrame;
        arm(kOpenTimeoutMs,
            QStringLiteral("No picture came within %1 s.").arg(kOpenTimeoutMs / 1000));
        player->pause(); // shows the first frame
        return;
    case QMediaPlayer::InvalidMedia:
        failSoon();
        return;
    case QMediaPlayer::EndOfMedia:
        if (phase == Phase::ProbeEnd) {
            fail(QStringLiteral("It is cut short (no picture at %1 s of its %2 s).")
                     .arg(seconds(probeUs), seconds(durationUs_)));
        } else if (phase == Phase::Ready) {
            playing_ = false;
            atEnd = true;
            tell(PlaybackChange::EndOfMedia);
        }
        return;
    default:
        return;
    }
}

void QtVideoFile::frameArrived(const QVideoFrame& f)
{
    // A stopped player hands over an empty frame: the last picture stays on screen.
    if (!f.isValid() || phase == Phase::Failed || phase == Phase::Loading)
        return;
    if (phase == Phase::FirstFrame) {
        if (f.startTime() >= 0)
            offsetUs = f.startTime() - player->position() * 1000;
        fps = f.surfaceFormat().frameRate();
        // Rounded down, so a frame start taken back from the frame's end stays inside it.
        if (fps > 0.0)
            frameUs_ = qint64(std::floor(1e6 / fps));
        else if (f.endTime() > f.startTime() && f.startTime() >= 0)
            frameUs_ = f.endTime() - f.startTime();
    }

    VideoFrame v;
    v.arrivalMs = clock.monotonicMs();
    v.startUs = f.startTime() >= 0 ? f.startTime() - offsetUs : player->position() * 1000;
    const qint64 endUs = f.endTime() >= 0 ? f.endTime() - offsetUs : v.startUs + frameUs_;
    // The first frame after a seek (and its repeats on resuming) starts where the seek landed,
    // not where the frame does; its end is true.
    if (endUs - v.startUs < frameUs_ - 1)
        v.startUs = std::max<qint64>(endUs - frameUs_, 0);
    v.durationUs = std::max<qint64>(endUs - v.startUs, 0);

    switch (phase) {
    case Phase::FirstFrame:
        if (durationUs_ > kProbeBeforeEndUs + frameUs_) {
            phase = Phase::ProbeEnd;
            probeUs = durationUs_ - kProbeBeforeEndUs;
            arm(kProbeTimeoutMs, QStringLiteral("It is cut short (no picture at %1 s of its %2 s).")
                                     .arg(seconds(probeUs), seconds(durationUs_)));
            seekTo(probeUs);
        } else {
            v.image = paintableImage(f);
            becomeReady(std::move(v));
        }
        return;
    case Phase::ProbeEnd:
        if (endUs <= probeUs)
            return;
        phase = Phase::Rewind;
        arm(kOpenTimeoutMs,
            QStringLiteral("No picture came within %1 s.").arg(kOpenTimeoutMs / 1000));
        holdAt(0);
        return;
    case Phase::Rewind:
        if (holdUs && std::abs(v.startUs - *holdUs) >= frameUs_ / 2)
            return;
        holdUs.reset();
        v.image = paintableImage(f);
        becomeReady(std::move(v));
        return;
    default:
        break;
    }

    // Paused, only the frame asked for may show: pausing GStreamer shows the frame after the
    // one on screen, which is taken back at once.
    if (holdUs) {
        if (std::abs(v.startUs - *holdUs) >= frameUs_ / 2)
            return;
        holdUs.reset();
    }
    if (rateDue && playing_) {
        // A rate set as play() starts the pipeline was sometimes lost; once frames flow, it
        // holds, and every later seek keeps it.
        rateDue = false;
        later(this, [](QtVideoFile* self) {
            if (self->playing_ && self->player->playbackRate() != self->rate_)
                self->player->setPlaybackRate(self->rate_);
        });
    }
    if (v.startUs == core.frame.startUs && !core.frame.image.isNull())
        return; // the same frame again (a resume, a pause)
    v.image = paintableImage(f);
    core.show(std::move(v));
}

void QtVideoFile::becomeReady(VideoFrame first)
{
    timeout->stop();
    phase = Phase::Ready;
    core.state = VideoState::Ready;
    core.frame = std::move(first);
    later(this, [](QtVideoFile* self) { self->core.tellState(); });
}

void QtVideoFile::tell(PlaybackChange change)
{
    later(this, [change](QtVideoFile* self) {
        if (const auto handler = self->changeHandler)
            handler(change);
    });
}

qint64 QtVideoFile::frameStartAt(qint64 us) const
{
    if (fps <= 0.0)
        return (us / frameUs_) * frameUs_;
    // Frame n starts at n / fps, cut to whole microseconds as the player reports it; a grid
    // of whole-microsecond frame lengths would drift off it at 29.97 frames a second.
    auto start = [this](qint64 n) { return qint64(std::floor(double(n) * 1e6 / fps)); };
    qint64 n = qint64(std::floor(double(us) * fps / 1e6));
    while (n > 0 && start(n) > us)
        --n;
    while (start(n + 1) <= us)
        ++n;
    return start(n);
}

void QtVideoFile::holdAt(qint64 startUs)
{
    // A player stopped at the end shows nothing until it is paused again.
    if (player->playbackState() == QMediaPlayer::StoppedState)
        player->pause();
    holdUs = startUs;
    seekTo(startUs + frameUs_ / 2);
}

void QtVideoFile::seekTo(qint64 us)
{
    // Not from inside a frame's delivery: a seek made there broke the stream a second later
    // ("Internal data stream error.").
    later(this, [us](QtVideoFile* self) { self->player->setPosition(us / 1000); });
}

void QtVideoFile::play()
{
    if (phase != Phase::Ready || playing_)
        return;
    holdUs.reset();
    if (atEnd) {
        // From the end, play starts again at the beginning.
        atEnd = false;
        player->setPosition(0);
        tell(PlaybackChange::Seeked);
    }
    player->play();
    rateDue = player->playbackRate() != rate_;
    playing_ = true;
    tell(PlaybackChange::Playing);
}

void QtVideoFile::pause()
{
    if (phase != Phase::Ready || !playing_)
        return;
    player->pause();
    playing_ = false;
    holdAt(core.frame.startUs);
    tell(PlaybackChange::Paused);
}

void QtVideoFile::stepForward()
{
    if (phase != Phase::Ready)
        return;
    pause();
    const qint64 next = holdUs.value_or(core.frame.startUs) + frameUs_;
    if (atEnd || (durationUs_ > 0 && next >= durationUs_)) {
        tell(PlaybackChange::EndOfMedia);
        return;
    }
    holdAt(next);
}

void QtVideoFile::stepBack()
{
    if (phase != Phase::Ready)
        return;
    pause();
    const qint64 previous = holdUs.value_or(core.frame.startUs) - frameUs_;
    if (previous < 0)
        return;
    atEnd = false;
    holdAt(previous);
}

void QtVideoFile::seek(qint64 positionUs)
{
    if (phase != Phase::Ready)
        return;
    qint64 target = frameStartAt(std::max<qint64>(positionUs, 0));
    if (durationUs_ > 0)
        target = std::min(target, frameStartAt(durationUs_ - 1));
    atEnd = false;
    if (playing_) {
        seekTo(target + frameUs_ / 2);
    } else {
        holdAt(target);
    }
    tell(PlaybackChange::Seeked);
}

void QtVideoFile::setRate(double rate)
{
    if (!(rate > 0.0) || rate == rate_)
        return;
    rate_ = rate;
    if (playing_) {
        if (!rateDue)
            player->setPlaybackRate(rate_);
        tell(PlaybackChange::RateChanged);
    }
}

class QtCameraSource final : public CoreSource<VideoSource>
{
public:
    QtCameraSource(const QString& description, const Clock& clock);
    ~QtCameraSource() override;

private:
    void begin();
    void fail(const QString& message);
    void frameArrived(const QVideoFrame& f);

    const Clock& clock;
    QString description;
    QCamera* camera = nullptr;
    QMediaCaptureSession* session = nullptr;
    QVideoSink* sink = nullptr;
    QTimer* timeout = nullptr;
};

QtCameraSource::QtCameraSource(const QString& description, const Clock& clock)
    : clock(clock), description(description), timeout(new QTimer(this))
{
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("The camera \"%1\" gave no picture within %2 s.")
                 .arg(this->description)
                 .arg(kOpenTimeoutMs / 1000));
    });
    later(this, [](QtCameraSource* self) { self->begin(); });
}

QtCameraSource::~QtCameraSource()
{
    release(this, {camera, session, sink});
}

void QtCameraSource::begin()
{
    QCameraDevice device;
    if (description.isEmpty()) {
        device = QMediaDevices::defaultVideoInput();
    } else {
        for (const QCameraDevice& d : QMediaDevices::videoInputs())
            if (d.description() == description)
                device = d;
    }
    // Without a device GStreamer still shows a test picture: no camera is made at all.
    if (device.isNull()) {
        fail(description.isEmpty()
                 ? QStringLiteral("No camera was found.")
                 : QStringLiteral("The camera \"%1\" is not connected.").arg(description));
        return;
    }
    description = device.description();
    camera = new QCamera(device, this);
    if (camera->error() != QCamera::NoError) {
        fail(QStringLiteral("The camera \"%1\" cannot be used: %2")
                 .arg(description, camera->errorString()));
        return;
    }
    session = new QMediaCaptureSession(this);
    sink = new QVideoSink(this);
    session->setCamera(camera);
    session->setVideoSink(sink);
    connect(camera, &QCamera::errorOccurred, this, [this](QCamera::Error, const QString& text) {
        fail(QStringLiteral("The camera \"%1\" failed: %2").arg(description, text));
    });
    connect(sink, &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame& f) { frameArrived(f); });
    timeout->start(kOpenTimeoutMs);
    camera->start();
}

void QtCameraSource::fail(const QString& message)
{
    if (core.state == VideoState::Failed)
        return;
    timeout->stop();
    core.state = VideoState::Failed;
    core.message = message;
    later(this, [](QtCameraSource* self) {
        if (self->camera)
            self->camera->stop();
        self->core.tellState();
    });
}

void QtCameraSource::frameArrived(const QVideoFrame& f)
{
    // Frames count only while the camera runs: an inactive one may still deliver test
    // pictures.
    if (!f.isValid() || !camera || !camera->isActive() || core.state == VideoState::Failed)
        return;
    VideoFrame v;
    v.arrivalMs = clock.monotonicMs();
    v.startUs = std::max<qint64>(f.startTime(), 0);
    v.durationUs = f.endTime() > f.startTime() ? f.endTime() - f.startTime() : 0;
    v.image = paintableImage(f);
    if (core.state == VideoState::Opening) {
        timeout->stop();
        core.state = VideoState::Ready;
        core.frame = std::move(v);
        later(this, [](QtCameraSource* self) { self->core.tellState(); });
        return;
    }
    core.show(std::move(v));
}

} // namespace

QStringList QtVideoSources::cameras() const
{
    QStringList names;
    const QCameraDevice fallback = QMediaDevices::defaultVideoInput();
    if (!fallback.isNull())
        names << fallback.description();
    for (const QCameraDevice& d : QMediaDevices::videoInputs())
        if (d != fallback)
            names << d.description();
    return names;
}

std::unique_ptr<VideoSource> QtVideoSources::openCamera(const QString& description)
{
    return std::make_unique<QtCameraSource>(description, clock);
}

std::unique_ptr<VideoFile> QtVideoSources::openFile(const QString& path)
{
    return std::make_unique<QtVideoFile>(path, clock);
}
