#include "course_display/overlay_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

OverlayLine whiteLine(double x1, double y1, double x2, double y2, int penWidth)
{
    return OverlayLine{x1, y1, x2, y2, kWhite, penWidth};
}

void addCross(OverlayShapes& shapes, Point2 c, double half, Rgb colour, int penWidth)
{
    shapes.push_back(OverlayLine{c.x - half, c.y, c.x + half, c.y, colour, penWidth});
    shapes.push_back(OverlayLine{c.x, c.y - half, c.x, c.y + half, colour, penWidth});
}

std::array<Point2, 4> inDrawingOrder(const CornerMarks& m)
{
    return {m.upperLeft, m.upperRight, m.lowerLeft, m.lowerRight};
}

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

CornerMarks cornerMarks(const Global& g)
{
    return {{g.ul_screen_x, g.ul_screen_y},
            {g.ur_screen_x, g.ur_screen_y},
            {g.ll_screen_x, g.ll_screen_y},
            {g.lr_screen_x, g.lr_screen_y}};
}

ShowGridDrawing showGridShapes(const CornerMarks& marks, int crossSize)
{
    ShowGridDrawing drawing;
    drawing.crossRadius = crossRadiusFor(crossSize);
    const auto ordered = inDrawingOrder(marks);
    for (const Point2& m : ordered)
        drawing.shapes.push_back(
            OverlayCircle{m.x, m.y, drawing.crossRadius, kWhite, kMarkPenWidth});
    for (const Point2& m : ordered) {
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
        crosses.lastCourse = course;
        const auto screen = transform.toScreen(course);
        if (!screen || !finite(screen->point)) {
            ++crosses.skipped;
            continue;
        }
        crosses.lastScreen = *screen;
        crosses.screenPoints.push_back(screen->point);
        addCross(crosses.shapes, screen->point, crossSize, kWhite, penWidth);
    }
    return crosses;
}

OverlayShapes exitShapes(const CornerMarks& marks)
{
    OverlayShapes shapes;
    for (const Point2& m : inDrawingOrder(marks))
        addCross(shapes, m, kExitCrossHalfLength, kWhite, kMarkPenWidth);
    shapes.push_back(whiteLine(marks.lowerRight.x, marks.lowerRight.y, marks.upperRight.x,
                               marks.upperRight.y, kMarkPenWidth));
    shapes.push_back(whiteLine(marks.lowerLeft.x, marks.lowerLeft.y, marks.upperLeft.x,
                               marks.upperLeft.y, kMarkPenWidth));
    return shapes;
}

OverlayShapes markCrossShapes(Point2 mark, int crossSize)
{
    OverlayShapes shapes;
    addCross(shapes, mark, crossSize, kWhite, kMarkPenWidth);
    return shapes;
}

OverlayShapes markEraseShapes(Point2 mark, double crossRadius, int crossSizeMax)
{
    OverlayShapes shapes;
    shapes.push_back(OverlayCircle{mark.x, mark.y, crossRadius, kMagenta, kMarkPenWidth});
    addCross(shapes, mark, crossSizeMax, kMagenta, kMarkPenWidth);
    return shapes;
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

HideToggle toggleDescriptions(const QString& currentCaption)
{
    if (currentCaption == QLatin1String("Hide"))
        return {QStringLiteral("Show"), false};
    return {QStringLiteral("Hide"), true};
}
