#pragma once
// The tracking engine: follows the operator's point forward frame by frame from one frame to
// the frame holding the pass's last sample, and stops on the first frame it cannot vouch for
// (a wrong track is never silent): where the picture around the point no longer looks like
// it (confidence below the threshold), where the point moves across the course faster than
// a boat can, where it does not keep pace with the boat along the course (a template that
// slid onto a buoy or the water stays confident and still), or where it reaches the
// picture's edge. It runs on whatever thread calls it,
// reports progress and stops within one frame of being cancelled; it changes nothing it was
// given, so a cancelled or failed run leaves the caller's track as it was.

#include "calibration/course_transform.h"
#include "platform/video_frames.h"
#include "tracking/point_matcher.h"
#include "tracking/track.h"

#include <atomic>
#include <functional>

// A point the operator set: on the frame the player shows at the instant atUs (a frame is
// shown from its start until its end or the next frame's start, whichever comes first).
struct OperatorPoint
{
    qint64 atUs = 0;
    double u = 0.0;
    double v = 0.0;
};

struct TrackingSettings
{
    TrackingMethod method = TrackingMethod::TemplateNcc;
    // Below this the engine stops and asks. On the rendered passes (bench/tracking) every frame
    // of the clean ones matched at 0.837 or more, so 0.85 stopped two of them where nothing was
    // wrong; spray over the pylon brought it to 0.53 to 0.82 with the point still within
    // 1.5 px, a hidden pylon to 0; at 0.82 no frame more than 2 px off went unflagged. The
    // sample pass matches at 0.95 or more.
    double minConfidence = 0.82;
    // Across the course, metres a second, on the calibration: no tow boat turns faster.
    double maxSidewaysMps = 3.0;
    // Along the course, over the last kPaceWindowUs, the point's place on the water's plane
    // moves at least this share and at most this many times the pass speed (a point on the
    // boat: 1 to 1.7 times, see PassGeometry::distanceOf).
    double minPace = 0.5;
    double maxPace = 2.5;
};

// The stretch of the track the pace along the course is judged over: long enough that a
// fraction of a pixel at the far end is a small share of the way the boat went.
inline constexpr qint64 kPaceWindowUs = 400000;

struct TrackingRequest
{
    // The track so far: its video, setup and pass (for a new track the pass's startUs is set
    // from the first frame tracked). Its frames before the first frame tracked are kept.
    Track base;
    // The first frame tracked is the one shown at this instant; an operator point must lie on it.
    qint64 fromUs = 0;
    // The operator's points; a frame that holds one takes it instead of a match.
    std::vector<OperatorPoint> points;
    CourseTransform transform;
    TrackingSettings settings;
};

struct TrackingProgress
{
    int done = 0;  // frames tracked in this run
    int total = 0; // frames to track, from the first frame's length
};

struct TrackingOutcome
{
    enum class End {
        Complete,   // a frame holds the pass's last sample
        Stopped,    // the engine stopped on a frame and asks for the point there
        VideoEnded, // the video ended before the pass's last sample
        Failed,     // the video could not be read, or the request was not possible
        Cancelled,
    };
    End end = End::Failed;
    Track track;     // Complete, Stopped, VideoEnded: the track with this run's frames
    QString message; // Failed: why
    // Stopped: the frame's number in the video at its frame rate, the first being 0.
    int stopFrameNumber = -1;
};

TrackingOutcome trackPoint(const TrackingRequest& request, FrameReader& frames,
                           const std::atomic<bool>& cancel,
                           const std::function<void(TrackingProgress)>& progress = {});
