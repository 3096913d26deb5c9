#pragma once
// A track being made and reviewed: the operator's first point starts it, a point set on any
// frame later corrects it (the frames before that one are kept, the engine tracks again from
// it forward), and one undo takes back the last correction. Each run goes on a worker thread
// (TrackingJob); the track changes only when a run has ended and its outcome is taken, so a
// cancelled or failed run leaves the track as it was and nothing half-tracked is ever seen.

#include "tracking/tracking_job.h"

#include <memory>
#include <optional>

class TrackSession
{
public:
    TrackSession(FrameReaderOpener open, const CourseTransform& transform,
                 TrackingSettings settings = {});
    ~TrackSession();

    // A track read from its file (or a new, empty one: its video, setup and pass); no undo.
    void setTrack(Track track);
    const Track& track() const { return track_; }

    // The operator's point on the frame holding atUs: a new track starts there (the pass's
    // first frame), an existing one is tracked again from there forward. Refused, with the
    // operator's reason, while a run is going or before the pass's first frame. `finished`
    // is called on the worker thread when the run has ended; then call takeOutcome() on
    // this object's own thread.
    std::optional<QString> setPoint(const OperatorPoint& point, std::function<void()> finished);
    bool running() const { return job != nullptr && !taken; }
    TrackingProgress progress() const;
    void cancel();
    // Waits for the run to end and takes its outcome: the track before it becomes the undo
    // (not for a cancelled or failed run, which change nothing).
    TrackingOutcome takeOutcome();

    bool canUndo() const { return undoTrack.has_value(); }
    // Back to the track before the last correction; one step only.
    void undo();

private:
    FrameReaderOpener open;
    CourseTransform transform;
    TrackingSettings settings;
    Track track_;
    std::optional<Track> undoTrack;
    std::unique_ptr<TrackingJob> job;
    bool taken = true;
};
