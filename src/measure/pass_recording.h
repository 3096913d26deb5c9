#pragma once
// A live pass's video beside its results: while a live picture (a camera) lies under the
// measurement screen, its frames go to the pass recorder, each pass the operator measures is
// recorded to a file of its own in the results folder ("Pass <date> <time> <skier> <n>.mkv"),
// each sample notes the recording's time of the frame it was taken on and where the line
// stood, and once the file is finished the pass's block goes to the day's VideoPasses file.
//
// A recording never costs a pass: whatever becomes of the file, the pass is measured and its
// results written as usual. What was not recorded, and why, is said once per pass, after the
// pass (a message box during it would take the keys from the operator).
//
// Frames come with two times: the source's own (steady, but on a clock of its own) and their
// arrival on the monotonic clock the pass is timed on. The recorder is given the source's
// times moved onto the monotonic clock, so that the file's frames are as evenly spaced as the
// camera took them and Start Pass falls on the same clock.

#include "measure/pass_record.h"
#include "platform/pass_recorder.h"
#include "recording/recorded_pass_log.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class Clock;
class MeasureModel;
struct RunInfo;

// The source's frame times moved onto the monotonic clock: by the least delay seen between a
// frame's time and its arrival (the frame that came quickest), taken again when the source's
// times go back or the frames arrive more than a second later than they should (a camera
// started over).
class CaptureClock
{
public:
    // The frame's time on the monotonic clock, microseconds.
    qint64 captureUs(qint64 sourceUs, qint64 arrivalMs);
    void reset() { offsetUs.reset(); }

private:
    std::optional<qint64> offsetUs;
    qint64 lastSourceUs = 0;
};

class PassRecording : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        MeasureModel& model;
        // None: nothing is recorded.
        PassRecorder* recorder;
        Clock& clock;
        const RunInfo& run;    // read when a pass starts
        QString programFolder; // a relative results folder lies inside it
    };

    explicit PassRecording(Services services, QObject* parent = nullptr);
    ~PassRecording() override;

    // The operator's choice; a file being written is finished either way.
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // Whether the picture under the screen is live. A video file, a still picture or the
    // overlay card is not recorded.
    void setLive(bool live);
    bool live() const { return live_; }
    // A frame the screen received.
    void frameReceived(const RecorderFrame& frame, qint64 sourceUs, qint64 arrivalMs);

    // The file of the pass being recorded, or of the last one; empty before any.
    QString passFile() const { return lastPath; }

Q_SIGNALS:
    // A pass was not recorded, or its place on the recording not written down: the
    // operator's message, naming the file and why. Never said while a pass runs.
    void notRecorded(const QString& message);
    // A pass's file is finished (or given up), its block written when it has one.
    void recordingFinished(const RecordingOutcome& outcome);
    // The recording of a measured pass is finished: where the pass lies on it, for a review
    // of the pass whose results are on screen.
    void measuredPassRecorded(const MediaPass& recording);

private:
    struct Pass
    {
        QString path;
        QDateTime when;
        QString resultsFolder;
        RecordedPass recorded;
        bool ended = false;
        bool measured = false; // it went to the results
    };

    void passStarted();
    void sampleTaken(int index, double lineX, double lineY);
    void passStopped();
    void passMeasured();
    void finished(const RecordingOutcome& outcome);
    void writeBlock(const Pass& pass);
    void tell(const QString& message);
    void tellWhenPassOver();
    bool feeding() const;

    Services s;
    bool enabled_ = true;
    bool live_ = false;
    CaptureClock captureClock;
    std::optional<qint64> lastCaptureUs;
    // The pass whose file is open; passes whose file is being finished.
    std::optional<Pass> current;
    std::vector<Pass> finishing;
    QString lastPath;
    bool unavailableTold = false;
    QStringList untold;
    // Blocks of the VideoPasses file that could not be written: they go with the next.
    QString unwrittenBlocks;
};
