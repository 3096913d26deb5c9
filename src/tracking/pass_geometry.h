#pragma once
// The course as the tracking engine sees it on the picture, in pixels: where the boat should
// be at a media time if it ran the ideal path at the pass speed (the boat marker's place), and
// what a vertical line through a point reads across the course on that row. The engine
// predicts with it and checks that the point never moves across the course faster than a
// boat can.
//
// A tracked point stands above the water (a pylon, a windshield mark): mapped at its own row
// the plane transform would put it farther down the course than the boat is. Read on the
// boat marker's row instead, as the measurement line is, only its column counts: the course x
// found is the one the sample will find.

#include "calibration/course_transform.h"
#include "tracking/track.h"

#include <optional>

class PassGeometry
{
public:
    PassGeometry(const CourseTransform& transform, const TrackedPass& pass);

    // Metres from the entrance the boat has run at media time us (negative before the pass).
    double distanceAt(qint64 us) const;
    // The ideal path's picture point (pixels) at that distance; none when it does not map.
    std::optional<Point2> pathPoint(qint64 us) const;
    // Course x (metres) a vertical line at column u (pixels) reads on the boat's row at us.
    std::optional<double> courseX(double u, qint64 us) const;
    // Picture pixels a metre across the course measures on the boat's row at us.
    std::optional<double> pixelsPerMetreAcross(qint64 us) const;
    // How far along the course from the entrance the picture point (pixels) maps to, in the
    // pass's direction. A point on the boat h metres above the water, seen from a camera H
    // metres up, maps on the water's plane to a point that runs H / (H - h) times as fast
    // as the boat: for a pylon or a windshield under a camera on a tower, 1 to 1.7 times.
    std::optional<double> distanceOf(double u, double v) const;

    double centreLineX() const { return centreLineX_; }
    double courseLength() const { return courseLength_; }

private:
    CourseTransform transform;
    TrackedPass pass;
    double centreLineX_;
    double courseLength_;
};
