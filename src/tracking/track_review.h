#pragma once
// A track made, reviewed and corrected on the measurement screen, without its widgets: the
// operator's first point starts it, a point on any later frame corrects it (the engine tracks
// again from there, the frames before it kept), one undo takes the last correction back, and
// once it covers every sample of the pass it is measured like a pass held by hand. The engine
// runs on a worker thread (TrackSession); its progress is polled here and its end handed to
// this object's thread, so the screen's thread only ever sees whole tracks. Every change is
// announced with `changed`, and the operator is told in one line what the track needs next.

#include "common/run_info.h"
#include "measure/track_pass_clock.h"
#include "tracking/track_session.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <memory>
#include <optional>

class TrackReview : public QObject
{
    Q_OBJECT
public:
    explicit TrackReview(QObject* parent = nullptr);
    ~TrackReview() override;

    // A new track on the video at videoPath for the pass the run describes: the next point
    // given starts it. A run going is cancelled, the track in use dropped.
    void begin(const QString& videoPath, FrameReaderOpener open, const CourseTransform& transform,
               const RunInfo& run);
    // A track read from its file, to review, correct and measure with the video at videoPath;
    // refused (the reason names the line and field, or the video) and the track in use kept
    // when it cannot be used.
    std::optional<QString> load(const QString& trackPath, const QString& videoPath,
                                FrameReaderOpener open, const CourseTransform& transform);
    // Nothing to review any more (the operator measures by hand, another video was chosen).
    void close();

    // The operator's point on the frame starting at atUs: starts the track, or corrects it
    // there. Refused with the operator's reason (the engine is still tracking, the frame lies
    // before the pass's first).
    std::optional<QString> pointAt(qint64 atUs, double u, double v);
    void cancel();
    void undo();

    bool active() const { return session != nullptr; }
    bool running() const { return session && session->running(); }
    bool awaitingFirstPoint() const { return session && !running() && track().frames.empty(); }
    bool canUndo() const { return session && !running() && session->canUndo(); }
    // Every sample of the pass lies on a tracked frame.
    bool canMeasure() const { return session && !running() && track().complete(); }
    const Track& track() const;
    TrackingProgress progress() const;
    // What the operator is told: where the track stands and what it needs.
    const QString& status() const { return status_; }
    QString videoPath() const { return videoPath_; }

    // The pass from the track: the track file is written first (to trackPath; the message
    // says why not), and the clock names it. None, with why, when the track does not fit the
    // run (another event, direction or speed chosen since it was made) or is incomplete.
    struct Measurement
    {
        std::unique_ptr<TrackPassClock> clock;
        QString trackPath;
        std::optional<QString> writeProblem;
        std::optional<QString> refusal;
    };
    Measurement measure(const RunInfo& run, const QString& trackPath);

    // "Track MM-DD-YYYY HH-MM-SS <video name>.track.txt": the day and time of the pass's
    // VideoPasses block, and the video.
    static QString trackFileName(const QDateTime& now, const QString& videoPath);

Q_SIGNALS:
    void changed();
    // The engine stopped on the frame starting at us and asks for the point there.
    void stoppedAt(qint64 us);

private:
    void finishRun();
    void pollProgress();
    void setStatus(const QString& status);

    std::unique_ptr<TrackSession> session;
    CourseTransform transform;
    QString videoPath_;
    QString status_;
    QTimer progressTimer;
    TrackingProgress lastProgress;
};
