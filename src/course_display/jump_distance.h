#pragma once
// The jump distance of a screen point: how far its course position lies from the jump
// reference point, plus the fixed 2.1 m the measurement always adds.

#include "calibration/course_transform.h"

#include <optional>

inline constexpr double kJumpDistanceAllowance = 2.1;

struct JumpDistance
{
    MappedPoint course; // the screen point on the course, with the forward denominator
    double distance = 0.0;
};

// `distance_calculation` as a value: no result when the point cannot be mapped (zero
// denominator) or the mapping overflows.
std::optional<JumpDistance> jumpDistance(Point2 screen, const CourseTransform& transform,
                                         Point2 jumpPoint);
