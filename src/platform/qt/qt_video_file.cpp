#include "platform/qt/qt_video_file.h"

#include "platform/clock.h"
#include "platform/qt/video_path_check.h"

#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <QUrl>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>
#include <algorithm>
#include <cmath>

namespace {

// The end probe looks this far before the stated end: a container's length often runs a
// little past its last picture (a longer sound track), which is not damage.
constexpr qint64 kProbeBeforeEndUs = 1000000;
// A seek still under way after this long gives way to a newer one. Sent while another is under
// way, a seek held up the caller (the user-interface thread) by 300 to 500 ms each here.
constexpr int kSeekPatienceMs = 1500;
constexpr int kErrorBurstMs = 100;

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

QString seconds(qint64 us, int decimals = 1)
{
    return QLocale::c().toString(double(us) / 1e6, 'f', decimals);
}

} // namespace

QtVideoFile::QtVideoFile(const QString& path, const Clock& clock, int probeLimitMs)
    : clock(clock), path(path), probeLimitMs(probeLimitMs), player(new QMediaPlayer(this)),
      sink(new QVideoSink(this)), timeout(new QTimer(this)), seekPatience(new QTimer(this))
{
    player->setVideoSink(sink);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, this, [this] { fail(timeoutReason); });
    seekPatience->setSingleShot(true);
    connect(seekPatience, &QTimer::timeout, this, [this] { seekLanded(); });
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
    if (const std::optional<QString> problem = videoPathProblem(path)) {
        fail(*problem);
        return;
    }
    const QFileInfo info(path);
    arm(kVideoOpenTimeoutMs,
        QStringLiteral("It did not load within %1 s.").arg(kVideoOpenTimeoutMs / 1000));
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
    const QString name = QFileInfo(path).fileName();
    core.message =
        QStringLiteral("%1 cannot be played: %2").arg(name.isEmpty() ? path : name, reason);
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
        durationUs_ = statedDurationUs = player->duration() * 1000;
        phase = Phase::FirstFrame;
        arm(kVideoOpenTimeoutMs,
            QStringLiteral("No picture came within %1 s.").arg(kVideoOpenTimeoutMs / 1000));
        player->pause(); // shows the first frame
        return;
    case QMediaPlayer::InvalidMedia:
        failSoon();
        return;
    case QMediaPlayer::EndOfMedia:
        if (seekUnderWay)
            seekLanded();
        if (phase == Phase::ProbeEnd || phase == Phase::SearchEnd) {
            endMet();
        } else if (phase == Phase::Ready && playing_) {
            // Only while playing: paused, the player runs on until the seek back to the
            // frame on screen goes out, and its end is not the video's.
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
        frameSize = f.size();
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

    if (seekUnderWay && v.startUs <= *seekUnderWay && *seekUnderWay < endUs)
        seekLanded();

    switch (phase) {
    case Phase::FirstFrame:
        if (durationUs_ > kProbeBeforeEndUs + frameUs_) {
            phase = Phase::ProbeEnd;
            probe(durationUs_ - kProbeBeforeEndUs);
        } else {
            v.image = paintableImage(f);
            becomeReady(std::move(v));
        }
        return;
    case Phase::ProbeEnd:
    case Phase::SearchEnd:
        if (endSearch)
            endSearch->shown(frameIndexAt(v.startUs));
        // A frame before the instant asked for: the run-on of an earlier probe.
        if (endUs > probeUs)
            probeAnswered();
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

QString QtVideoFile::stallReason(qint64 us) const
{
    return QStringLiteral("Its picture at %1 s did not come within %2 s: this computer decodes "
                          "its %3 x %4 pictures too slowly, or the decoder stalled.")
        .arg(seconds(us), QLocale::c().toString(double(probeLimitMs) / 1000.0))
        .arg(frameSize.width())
        .arg(frameSize.height());
}

void QtVideoFile::probe(qint64 us)
{
    probeUs = us;
    arm(probeLimitMs, stallReason(us));
    later(this, [us](QtVideoFile* self) {
        if (self->phase != Phase::ProbeEnd && self->phase != Phase::SearchEnd)
            return;
        // Not paused first: at the end, where the last probe may have left it, a pause never
        // settles, and the seek waited 300 ms for it.
        self->player->setPosition(us / 1000);
        self->player->play();
    });
}

void QtVideoFile::probeAnswered()
{
    if (phase == Phase::ProbeEnd) {
        // Pictures at the stated end: the file is whole.
        phase = Phase::Rewind;
        arm(kVideoOpenTimeoutMs,
            QStringLiteral("No picture came within %1 s.").arg(kVideoOpenTimeoutMs / 1000));
        holdAt(0);
        return;
    }
    // Not paused between probes: the next probe's seek would wait for the pause to settle.
    nextProbeOrRewind();
}

void QtVideoFile::endMet()
{
    if (phase == Phase::ProbeEnd) {
        // No picture near the stated end: the file is cut short. Its last frame lies between
        // the first and the one asked for.
        phase = Phase::SearchEnd;
        endSearch.emplace(0, frameIndexAt(probeUs), frameIndexAt(statedDurationUs - 1) + 1);
    } else if (endSearch) {
        endSearch->endMet(frameIndexAt(probeUs));
    }
    nextProbeOrRewind();
}

void QtVideoFile::nextProbeOrRewind()
{
    if (const std::optional<qint64> frame = endSearch->nextProbe()) {
        probe(frameStart(*frame) + frameUs_ / 2);
        return;
    }
    durationUs_ = frameStart(endSearch->lastFrame() + 1);
    const QString name = QFileInfo(path).fileName();
    core.notice = QStringLiteral("%1 ends early: its pictures stop at %2 s of the %3 s it should "
                                 "last. What is there can be played and measured.")
                      .arg(name, seconds(durationUs_, 2), seconds(statedDurationUs));
    phase = Phase::Rewind;
    arm(kVideoOpenTimeoutMs,
        QStringLiteral("No picture came within %1 s.").arg(kVideoOpenTimeoutMs / 1000));
    holdAt(0);
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

qint64 QtVideoFile::frameStart(qint64 n) const
{
    if (fps <= 0.0)
        return n * frameUs_;
    // Frame n starts at n / fps, cut to whole microseconds as the player reports it; a grid
    // of whole-microsecond frame lengths would drift off it at 29.97 frames a second.
    return qint64(std::floor(double(n) * 1e6 / fps));
}

qint64 QtVideoFile::frameIndexAt(qint64 us) const
{
    us = std::max<qint64>(us, 0);
    if (fps <= 0.0)
        return us / frameUs_;
    qint64 n = qint64(std::floor(double(us) * fps / 1e6));
    while (n > 0 && frameStart(n) > us)
        --n;
    while (frameStart(n + 1) <= us)
        ++n;
    return n;
}

void QtVideoFile::holdAt(qint64 startUs)
{
    holdUs = startUs;
    seekTo(startUs + frameUs_ / 2);
}

void QtVideoFile::seekTo(qint64 us)
{
    seekWanted = us;
    if (!seekUnderWay)
        sendSeek();
}

void QtVideoFile::sendSeek()
{
    if (!seekWanted)
        return;
    const qint64 us = *seekWanted;
    seekWanted.reset();
    seekUnderWay = us;
    seekPatience->start(kSeekPatienceMs);
    // Not from inside a frame's delivery: a seek made there broke the stream a second later
    // ("Internal data stream error.").
    later(this, [us](QtVideoFile* self) {
        self->player->setPosition(us / 1000);
        // Paused after the seek, not before: a seek sent while a pause settled waited for it,
        // 300 ms when nothing followed (at the end). A player stopped at the end shows nothing
        // until it is paused again.
        if (!self->playing_ && self->player->playbackState() != QMediaPlayer::PausedState)
            self->player->pause();
    });
}

void QtVideoFile::seekLanded()
{
    seekUnderWay.reset();
    seekPatience->stop();
    sendSeek();
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
    // The player pauses with the seek back to the frame on screen, unless that seek has to
    // wait.
    playing_ = false;
    if (seekUnderWay)
        player->pause();
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
