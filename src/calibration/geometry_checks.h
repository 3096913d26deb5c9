#pragma once
// Two measurements of the marked geometry: the perspective check of a loaded setup and the
// jump distance of a screen point.

#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "calibration/course_transform.h"

#include <QString>
#include <optional>

struct PerspectiveCheck
{
    double frontRatio = 0.0;        // percent of the screen width: lower gate
    double backRatio = 0.0;         // percent of the screen width: upper gate
    std::optional<QString> warning; // when the upper gate is narrower than a sixth
};

// The gate widths on screen from the box texts, against the screen width in pixels. An
// unknown screen width (0) gives no warning.
PerspectiveCheck perspectiveCheck(int screenWidthPixels, const CoordinateTexts& texts);

// The perspective check of the marked gates: keeps the ratios in the calibration for the
// accuracy report and returns the warning to show, if any.
std::optional<QString> checkPerspective(Calibration& calibration, int screenWidthPixels,
                                        const CoordinateTexts& texts);

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
