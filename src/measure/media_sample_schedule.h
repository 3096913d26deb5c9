#pragma once
// The samples of a pass over a recorded video, timed by the video's own clock. Sample k is
// due at media time P0 + k x 100 ms, P0 being the start of the frame on screen when the pass
// starts, and is taken while the frame covering that instant is on screen. A recording so
// gives the same samples on the same frames at any playback speed, paused, stepped frame by
// frame, and every time it is measured again.
//
// The schedule is told what the player does (frames shown, pause, play and rate, seeks, the
// end of the video) and how the wall clock moves; each of these answers with the indices of
// the samples to take now, in order, each exactly once. Wall times are monotonic
// milliseconds, media times microseconds on the player's position clock.
//
// Within a frame the media clock runs at the playback rate from the frame's arrival, so a
// sample falls due at its own instant, not at the arrival of the frame that holds it; a caller
// that wants that precision wakes itself after msUntilNextDue() and calls advance(). Paused,
// the media clock stands still. A frame that replaces another passes the instants before it:
// those the replaced frame held are taken then, on it.
//
// A player that falls behind skips frames. When the frame holding the next instant never
// reached the screen, nothing more is taken until a frame holding that instant is shown: the
// caller has the player show it (skippedInstant()), and frames may go back to it without
// harm, since every instant before it is taken and none after it.

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

class MediaSampleSchedule
{
public:
    enum class State { Idle, Running, Complete, Aborted };

    // The player's side, followed whether or not a pass runs.
    std::vector<int> frameShown(qint64 startUs, qint64 durationUs, qint64 nowMs);
    std::vector<int> playing(double rate, qint64 nowMs); // play, resume or a new rate
    std::vector<int> paused(qint64 nowMs);
    // The video jumped (a seek, not a frame step). During a pass this aborts it.
    void seeked();
    // No frame follows the one on screen. During a pass the samples that frame covers are
    // taken; a pass still short of its last sample is aborted, never cut short silently.
    std::vector<int> endOfMedia(qint64 nowMs);
    // The wall clock moved on: samples whose instants the playing frame has reached.
    std::vector<int> advance(qint64 nowMs);

    // Starts a pass of lastIndex + 1 samples on the frame on screen; sample 0 is due at once.
    // Refused, with the operator's message, when there is no frame yet, or when the video
    // (durationUs, 0 when unknown; for a file cut short, the end of its last frame) ends
    // before the last sample's instant.
    struct Start
    {
        bool started = false;
        QString refusal;
        std::vector<int> due;
    };
    Start start(int lastIndex, qint64 durationUs, qint64 nowMs);
    // The operator abandoned the pass.
    void stop();

    // During a pass the video may only go forward frame by frame: a step back or a seek
    // would take instants twice or skip them. The controls ask here first.
    std::optional<QString> refuseJump() const;

    // Wall milliseconds until the next sample falls due within the frame on screen; none
    // while paused, or while the next instant lies beyond the frame on screen.
    std::optional<qint64> msUntilNextDue(qint64 nowMs) const;

    // During a pass: the next instant, when the player skipped the frame holding it. Taking
    // waits until a frame holding it is shown.
    std::optional<qint64> skippedInstant() const { return skipped_; }

    State state() const { return state_; }
    bool running() const { return state_ == State::Running; }
    // Why the last pass was aborted.
    const QString& abortMessage() const { return abortMessage_; }
    qint64 passStartUs() const { return passStartUs_; }
    // Media start time of the frame each sample was taken on, by sample index.
    const std::vector<qint64>& sampleFrames() const { return sampleFrames_; }

private:
    qint64 instant(int index) const;
    qint64 mediaNow(qint64 nowMs) const;
    // Takes the pending samples due before `limitUs` (exclusive), recorded on `frameUs`.
    void takeBefore(qint64 limitUs, qint64 frameUs, std::vector<int>& due);
    void showFrame(qint64 startUs, qint64 endUs, qint64 nowMs);
    void abort(const QString& why);

    // The frame on screen and the media clock.
    bool haveFrame = false;
    qint64 frameStartUs = 0;
    qint64 frameEndUs = 0;
    bool playing_ = false;
    double rate_ = 1.0;
    qint64 anchorMediaUs = 0; // media time at anchorWallMs (the stand-still time when paused)
    qint64 anchorWallMs = 0;

    // The pass.
    State state_ = State::Idle;
    int lastIndex_ = 0;
    int next = 0;
    qint64 passStartUs_ = 0;
    std::vector<qint64> sampleFrames_;
    QString abortMessage_;
    std::optional<qint64> skipped_;
};
