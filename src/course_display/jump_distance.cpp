#include "course_display/jump_distance.h"

#include <cmath>

std::optional<JumpDistance> jumpDistance(Point2 screen, const CourseTransform& transform,
                                         Point2 jumpPoint)
{
    const auto course = transform.toCourse(screen);
    if (!course)
        return std::nullopt;
    const double dy = jumpPoint.y - course->point.y;
    const double dx = jumpPoint.x - course->point.x;
    const double distance = std::sqrt(dy * dy + dx * dx) + kJumpDistanceAllowance;
    if (!std::isfinite(distance))
        return std::nullopt;
    return JumpDistance{*course, distance};
}
