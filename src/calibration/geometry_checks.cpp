#include "calibration/geometry_checks.h"

#include "common/number_forms.h"

#include <cmath>

PerspectiveCheck perspectiveCheck(int screenWidthPixels, const CoordinateTexts& t)
{
    PerspectiveCheck c;
    const double w = screenWidthPixels * 15.0;
    if (!(w > 0.0))
        return c;
    c.frontRatio = std::fabs(leadingNumber(t[Buoy::LowerRight].screenX) -
                             leadingNumber(t[Buoy::LowerLeft].screenX)) *
                   100.0 / w;
    c.backRatio = std::fabs(leadingNumber(t[Buoy::UpperRight].screenX) -
                            leadingNumber(t[Buoy::UpperLeft].screenX)) *
                  100.0 / w;
    constexpr double kMinimum = 100.0 / 6.0;
    if (c.backRatio < kMinimum)
        c.warning = QStringLiteral("Warning - back ratio is ") + strForm(std::floor(c.backRatio)) +
                    QStringLiteral("%") + QStringLiteral(" where ") +
                    strForm(std::floor(kMinimum)) + QStringLiteral("% minimum is required");
    return c;
}

std::optional<QString> checkPerspective(Calibration& calibration, int screenWidthPixels,
                                        const CoordinateTexts& texts)
{
    const PerspectiveCheck c = perspectiveCheck(screenWidthPixels, texts);
    calibration.frontRatio = c.frontRatio;
    calibration.backRatio = c.backRatio;
    return c.warning;
}

namespace {

double distanceFromJumpPoint(Point2 course, Point2 jumpPoint)
{
    const double dy = jumpPoint.y - course.y;
    const double dx = jumpPoint.x - course.x;
    return std::sqrt(dy * dy + dx * dx) + kJumpDistanceAllowance;
}

} // namespace

std::optional<JumpDistance> jumpDistance(Point2 screen, const CourseTransform& transform,
                                         Point2 jumpPoint)
{
    const auto course = transform.toCourse(screen);
    if (!course)
        return std::nullopt;
    const double distance = distanceFromJumpPoint(course->point, jumpPoint);
    if (!std::isfinite(distance))
        return std::nullopt;
    return JumpDistance{*course, distance};
}
