#pragma once
// Two measurements of the marked geometry: the perspective check of a loaded setup and the
// jump distance of a screen point.

#include "calibration/buoy_marking.h"
#include "calibration/course_transform.h"
#include "common/global.h"

#include <QString>
#include <optional>

struct PerspectiveCheck
{
    double frontRatio = 0.0;        // percent of the screen width: lower gate
    double backRatio = 0.0;         // percent of the screen width: upper gate
    std::optional<QString> warning; // when the upper gate is narrower than a sixth
};

// The gate widths on screen from the box texts, against the screen width in pixels (its
// text as the start screen holds it). An unknown screen width gives no warning.
PerspectiveCheck perspectiveCheck(const QString& screenWidthPixels, const CoordinateTexts& texts);

// grid_check: sets front_ratio and back_ratio; returns the warning to show, if any.
std::optional<QString> grid_check(Global& g, const CoordinateTexts& texts);

// The constant added to every jump distance.
inline constexpr double kJumpDistanceAllowance = 2.1;

struct JumpDistance
{
    MappedPoint course; // the screen point on the course, with the forward denominator
    double distance = 0.0;
};

// The jump distance of a screen point as a value: no result when the point cannot be
// mapped (zero denominator) or the mapping overflows.
std::optional<JumpDistance> jumpDistance(Point2 screen, const CourseTransform& transform,
                                         Point2 jumpPoint);

// distance_calculation: maps (screen_x, screen_y) to the course, leaving course_x,
// course_y and transform_den set, and sets jump_distance to the distance from the jump
// reference point plus 2.1 m. A point on the picture's horizon (zero denominator) is
// infinitely far: jump_distance becomes infinity and false is returned.
bool distance_calculation(Global& g);
