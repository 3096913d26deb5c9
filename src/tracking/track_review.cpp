#include "tracking/track_review.h"

#include "common/date_forms.h"
#include "measure/measure_tables.h"
#include "tracking/track_file.h"
#include "tracking/track_samples.h"

#include <QFileInfo>

namespace {

QString seconds(qint64 us)
{
    return QString::number(double(us) / 1e6, 'f', 3);
}

const Track& noTrack()
{
    static const Track none;
    return none;
}

const QString kClickFirst = QStringLiteral(
    "Click the boat's point (the pylon, or a windshield mark) on the pass's first frame.");

} // namespace

TrackReview::TrackReview(QObject* parent) : QObject(parent)
{
    // Often enough for a bar that moves smoothly, rarely enough to cost the screen nothing.
    progressTimer.setInterval(100);
    connect(&progressTimer, &QTimer::timeout, this, &TrackReview::pollProgress);
}

TrackReview::~TrackReview() = default;

const Track& TrackReview::track() const
{
    return session ? session->track() : noTrack();
}

TrackingProgress TrackReview::progress() const
{
    return session ? session->progress() : TrackingProgress{};
}

void TrackReview::begin(const QString& videoPath, FrameReaderOpener open,
                        const CourseTransform& transform, const RunInfo& run)
{
    close();
    Track t;
    t.videoFile = QFileInfo(videoPath).fileName();
    t.pass.event = run.event;
    t.pass.direction = run.direction;
    if (const SpeedChoice* speed = run.speed())
        t.pass.speedKmh = speed->kmh;
    t.pass.passTenths = passTenthsFor(run).value_or(0);
    this->transform = transform;
    videoPath_ = videoPath;
    session = std::make_unique<TrackSession>(std::move(open), transform);
    session->setTrack(std::move(t));
    setStatus(kClickFirst);
}

std::optional<QString> TrackReview::load(const QString& trackPath, const QString& videoPath,
                                         FrameReaderOpener open, const CourseTransform& transform)
{
    const TrackFileRead read = readTrackFile(trackPath);
    const QString shown = QFileInfo(trackPath).fileName();
    if (!read.track)
        return QStringLiteral("The track file \"%1\" cannot be used: %2.")
            .arg(shown, read.problem());
    if (read.track->videoFile != QFileInfo(videoPath).fileName())
        return QStringLiteral("The track file \"%1\" was made on the video \"%2\", not on \"%3\".")
            .arg(shown, read.track->videoFile, QFileInfo(videoPath).fileName());
    close();
    this->transform = transform;
    videoPath_ = videoPath;
    session = std::make_unique<TrackSession>(std::move(open), transform);
    session->setTrack(*read.track);
    if (const TrackPoint* stop = track().stopFrame())
        setStatus(QStringLiteral("Loaded; it stopped at %1 s: %2. Click the point on that frame.")
                      .arg(seconds(stop->startUs), trackStopReason(stop->stop)));
    else if (track().complete())
        setStatus(QStringLiteral("Loaded; it covers the whole pass. Step through it to check it."));
    else if (track().frames.empty())
        setStatus(kClickFirst);
    else
        setStatus(QStringLiteral("Loaded; it ends before the pass does: click the point on a "
                                 "later frame."));
    return std::nullopt;
}

void TrackReview::close()
{
    progressTimer.stop();
    // Cancels a run still going and waits for its thread; its late end finds no session.
    session.reset();
    videoPath_.clear();
    status_.clear();
    Q_EMIT changed();
}

std::optional<QString> TrackReview::pointAt(qint64 atUs, double u, double v)
{
    if (!session)
        return QStringLiteral("No track: press \"Track Boat\" first.");
    TrackSession* runFor = session.get();
    const std::optional<QString> refusal =
        session->setPoint(OperatorPoint{atUs, u, v}, [this, runFor] {
            // On the worker thread: the end is taken on this object's own, and only by the
            // session that ran it.
            QMetaObject::invokeMethod(
                this,
                [this, runFor] {
                    if (session.get() == runFor)
                        finishRun();
                },
                Qt::QueuedConnection);
        });
    if (refusal) {
        setStatus(*refusal);
        return refusal;
    }
    lastProgress = {};
    progressTimer.start();
    setStatus(QStringLiteral("Tracking from %1 s ...").arg(seconds(atUs)));
    return std::nullopt;
}

void TrackReview::cancel()
{
    if (running())
        session->cancel();
}

void TrackReview::undo()
{
    if (!canUndo())
        return;
    session->undo();
    // The first run undone leaves no track: the first point is asked for again.
    setStatus(track().frames.empty() ? kClickFirst
                                     : QStringLiteral("The last correction is undone."));
}

void TrackReview::pollProgress()
{
    const TrackingProgress p = progress();
    if (p.done == lastProgress.done && p.total == lastProgress.total)
        return;
    lastProgress = p;
    setStatus(QStringLiteral("Tracking: %1 of %2 frames ...").arg(p.done).arg(p.total));
}

void TrackReview::finishRun()
{
    progressTimer.stop();
    const TrackingOutcome out = session->takeOutcome();
    using End = TrackingOutcome::End;
    switch (out.end) {
    case End::Complete:
        setStatus(QStringLiteral("Tracked to the pass's end. Step through it to check it, then "
                                 "\"Measure from Track\"."));
        break;
    case End::Stopped:
        if (const TrackPoint* stop = track().stopFrame()) {
            setStatus(QStringLiteral("Stopped on frame %1 (%2 s): %3. Click the point on this "
                                     "frame.")
                          .arg(out.stopFrameNumber)
                          .arg(seconds(stop->startUs), trackStopReason(stop->stop)));
            Q_EMIT stoppedAt(stop->startUs);
        }
        break;
    case End::VideoEnded:
        setStatus(QStringLiteral("The video ends before the pass's last sample: this track "
                                 "cannot be measured."));
        break;
    case End::Failed:
        setStatus(QStringLiteral("Tracking failed: %1. The track is as it was.").arg(out.message));
        break;
    case End::Cancelled:
        setStatus(QStringLiteral("Tracking cancelled: the track is as it was."));
        break;
    }
}

void TrackReview::setStatus(const QString& status)
{
    status_ = status;
    Q_EMIT changed();
}

TrackReview::Measurement TrackReview::measure(const RunInfo& run, const QString& trackPath)
{
    Measurement m;
    if (!canMeasure()) {
        m.refusal = QStringLiteral("The track does not cover every sample of the pass yet.");
        return m;
    }
    const Track& t = track();
    const SpeedChoice* speed = run.speed();
    if (t.pass.event != run.event || t.pass.direction != run.direction || !speed ||
        speed->kmh != t.pass.speedKmh) {
        m.refusal = QStringLiteral("The track was made for a %1 pass at %2 km/h, %3; the start "
                                   "screen now says otherwise. Choose the same to measure it.")
                        .arg(t.pass.event == Event::Slalom ? QStringLiteral("slalom")
                                                           : QStringLiteral("jump"))
                        .arg(t.pass.speedKmh)
                        .arg(t.pass.direction == Direction::Toward ? QStringLiteral("toward")
                                                                   : QStringLiteral("away"));
        return m;
    }
    const WriteResult written = writeTrackFile(trackPath, t);
    if (!written)
        m.writeProblem = written.message;
    m.trackPath = trackPath;
    const TrackSamples samples = samplesFromTrack(t, transform);
    MediaPass media = samples.mediaPass();
    media.videoFile = videoPath_;
    media.trackFile = written ? trackPath : trackPath + QStringLiteral(" (not written)");
    m.clock = std::make_unique<TrackPassClock>(samples.lineColumns(), std::move(media));
    return m;
}

QString TrackReview::trackFileName(const QDateTime& now, const QString& videoPath)
{
    return QStringLiteral("Track ") + dateText(now) + QLatin1Char(' ') +
           timeText(now).replace(QLatin1Char(':'), QLatin1Char('-')) + QLatin1Char(' ') +
           QFileInfo(videoPath).completeBaseName() + kTrackFileSuffix;
}
