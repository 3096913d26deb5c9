#pragma once
// A tracked point through the frames of one pass on a video: per frame its media time, where
// the point is on the picture (sub-pixel), how sure the engine was, and whether the operator
// set it. A track that stopped ends on the frame where the engine gave up and asks for the
// point; that frame's position is the engine's best guess, never a measurement.

#include "common/run_info.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

// Why the engine stopped on a frame.
enum class TrackStop {
    None,
    LowConfidence, // the picture around the point no longer looks like it
    Sideways,      // it moved across the course faster than a boat can
    LeftPicture,   // it reached the edge of the picture
    AlongCourse,   // it does not keep pace with the boat along the course
};

struct TrackPoint
{
    qint64 startUs = 0;      // the frame's media time, as the player gives it
    qint64 durationUs = 0;   // the media time the frame covers
    double u = 0.0;          // picture pixels from the left edge (0 = the first column's centre)
    double v = 0.0;          // picture pixels from the top edge
    double confidence = 0.0; // 0 to 1; the operator's points are 1
    bool operatorSet = false;
    TrackStop stop = TrackStop::None;

    // The frame shows the instant `us` (its start inclusive, its end exclusive).
    bool holds(qint64 us) const { return startUs <= us && us < startUs + durationUs; }
    bool operator==(const TrackPoint&) const = default;
};

// The pass a track was made for: its first frame's media time and its timing.
struct TrackedPass
{
    Event event = Event::Slalom;
    Direction direction = Direction::Toward;
    int speedKmh = 0;   // as the speed choice reads
    int passTenths = 0; // samples 0 .. passTenths, 100 ms apart
    qint64 startUs = 0; // P0: the start of the pass's first frame

    // Media time of the last sample: the track is complete once a frame holds it.
    qint64 lastInstantUs() const { return startUs + qint64(passTenths) * 100000; }
    bool operator==(const TrackedPass&) const = default;
};

struct Track
{
    QString videoFile; // file name of the video, without folder
    QString setupFile; // file name of the setup the calibration came from; may be empty
    TrackedPass pass;
    std::vector<TrackPoint> frames; // in media order, one per frame from the pass's first

    // The frame where the engine stopped and asks for the point, if it did.
    const TrackPoint* stopFrame() const;
    // The tracked frame that shows the instant `us`; none when no frame does or when it is
    // the frame the engine stopped on.
    const TrackPoint* frameHolding(qint64 us) const;
    // Every sample of the pass lies on a tracked frame.
    bool complete() const;

    bool operator==(const Track&) const = default;
};

// "confidence", "sideways", "outside"; empty for None (as the track file writes them).
QString trackStopCode(TrackStop stop);
std::optional<TrackStop> trackStopFromCode(const QString& code);
// The operator's words for a stop.
QString trackStopReason(TrackStop stop);
