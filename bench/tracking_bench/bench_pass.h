#pragma once
// One rendered test pass as the tracking benchmark reads it: its files (passes.csv, the
// scenario's description, the truth CSV, the setup), the pass the program would measure on it
// and the point an operator would give on its first frame.

#include "calibration/course_transform.h"
#include "tracking/track.h"

#include <QString>
#include <optional>
#include <vector>

// One frame of the truth (columns named in its header line; see resources/camera/README.md).
struct TruthFrame
{
    int frame = 0;
    qint64 timeUs = 0;     // the frame's start on the program's media clock
    qint64 durationUs = 0; // to the next frame's start (the last: as the one before)
    double x = 0.0;        // the pylon's course position, metres
    double y = 0.0;
    Point2 water, top, pylonAtShield, shield; // picture pixels
    double sprayCover = 0.0;
    bool hidden = false;
};

// Which point of the boat the operator follows.
enum class FollowedPoint { PylonAtShield, PylonTop };

struct BenchPass
{
    QString name;
    QString videoPath;
    int width = 0;
    int height = 0;
    QString frameRate; // as passes.csv writes it, "30000/1001"
    QString codec;
    bool hard = false;
    double speedKmh = 0.0;
    Direction direction = Direction::Toward;
    CourseTransform transform;
    QString setupFile;
    std::vector<TruthFrame> truth;
    // The pylon crosses the entrance gate line (the renderer: a second after the first frame).
    qint64 gateCrossingUs = 1000000;

    // Coming toward the camera the operator puts the line where the pylon meets the
    // windshield's top; from behind, on the pylon's top (the manual's "pylon just above the
    // windshield" is hidden behind the hull going away).
    FollowedPoint followed() const
    {
        return direction == Direction::Toward ? FollowedPoint::PylonAtShield
                                              : FollowedPoint::PylonTop;
    }
    Point2 followedPoint(const TruthFrame& f) const
    {
        return followed() == FollowedPoint::PylonAtShield ? f.pylonAtShield : f.top;
    }
    // The pass the program measures: from the frame holding the instant the pylon crosses
    // the entrance gate line, at the scenario's speed. None when the speed is no
    // slalom speed choice.
    std::optional<TrackedPass> trackedPass() const;
    // The truth frame starting at us; none when no frame starts there.
    const TruthFrame* frameAt(qint64 us) const;
    // The truth frame that shows the instant us.
    const TruthFrame* frameHolding(qint64 us) const;
};

QString followedPointName(FollowedPoint p);

struct BenchPassRead
{
    std::optional<BenchPass> pass;
    QString problem;
};

// The passes listed in FOLDER/passes.csv (only those named in `only`, when it is not empty),
// each read whole; a pass that cannot be read comes back with its problem.
std::vector<BenchPassRead> readBenchPasses(const QString& folder, const QStringList& only);
