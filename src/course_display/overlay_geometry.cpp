#include "course_display/overlay_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

bool finite(Point2 p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

} // namespace

int clampCrossSize(int value)
{
    return std::clamp(value, CrossSizeScroll::Min, CrossSizeScroll::Max);
}

double crossRadiusFor(int crossSize)
{
    return 2.0 * crossSize;
}

ShowGridDrawing showGridShapes(const Calibration& calibration, int crossSize)
{
    ShowGridDrawing drawing;
    drawing.crossRadius = crossRadiusFor(crossSize);
    for (Buoy b : kBuoyVisitOrder) {
        const Point2 m = calibration.mark(b);
        drawing.shapes.push_back(
            OverlayCircle{m.x, m.y, drawing.crossRadius, kWhite, kMarkPenWidth});
    }
    for (Buoy b : kBuoyVisitOrder) {
        const Point2 m = calibration.mark(b);
        for (const Point2 p : {m, Point2{m.x, m.y + 5}, Point2{m.x, m.y - 5}, Point2{m.x + 5, m.y},
                               Point2{m.x - 5, m.y}})
            drawing.shapes.push_back(OverlayPoint{p.x, p.y, kWhite, kMarkPenWidth});
    }
    return drawing;
}

std::vector<Point2> guideBuoyCoursePoints()
{
    // Repeated addition, not multiplication: 0.1 + 2.3 is exactly 2.4 in doubles, which is
    // what puts the second column in.
    constexpr double xStart = 0.1, xEnd = 2.4, xStep = 2.3;
    constexpr double yStart = -27.0, yEnd = -232.0, yStep = -41.0;
    std::vector<Point2> points;
    for (double x = xStart; x <= xEnd; x += xStep)
        for (double y = yStart; y >= yEnd; y += yStep)
            points.push_back({x, y});
    return points;
}

CourseCrosses showCourseShapes(const CourseTransform& transform, int crossSize, int penWidth)
{
    CourseCrosses crosses;
    for (const Point2& course : guideBuoyCoursePoints()) {
        const auto screen = transform.toScreen(course);
        if (!screen || !finite(screen->point)) {
            ++crosses.skipped;
            continue;
        }
        crosses.screenPoints.push_back(screen->point);
        addCross(crosses.shapes, screen->point, crossSize, kWhite, penWidth);
    }
    return crosses;
}

void LabelDrag::press(double x, double y)
{
    dragging = true;
    pressX = x;
    pressY = y;
}

std::optional<LabelDrag::Offset> LabelDrag::move(double x, double y) const
{
    if (!dragging)
        return std::nullopt;
    return Offset{x - pressX, y - pressY};
}

QString descriptionsButtonCaption(bool descriptionsVisible)
{
    return descriptionsVisible ? QStringLiteral("Hide") : QStringLiteral("Show");
}
