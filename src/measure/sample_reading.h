#pragma once
// How one sample is read, whoever holds the line: the boat marker stands on the ideal path at
// the sample's distance, and the vertical measurement line is read on the marker's row. A
// hand-held pass and a pass measured from a tracked point share these, so the same line
// positions give the same deviations.

#include "calibration/course_transform.h"
#include "common/run_info.h"

#include <optional>

// The boat marker's screen point (twips) at `distance` metres from the entrance; none when
// that point of the ideal path does not map to the screen.
std::optional<Point2> boatMarkerPoint(const CourseTransform& transform, double centreLineX,
                                      double distance, Direction direction);

// What the line at x (twips) reads on the marker's row: its course point and its deviation
// from the ideal path (metres, two decimals); none on the picture's horizon.
struct LineReading
{
    Point2 course;
    double deviation = 0.0;
};
std::optional<LineReading> readLine(const CourseTransform& transform, double lineX, double markerY,
                                    double centreLineX);
