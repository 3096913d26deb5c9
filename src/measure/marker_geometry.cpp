#include "measure/marker_geometry.h"

#include <algorithm>
#include <cmath>

namespace {
void addCross(OverlayShapes& out, Point2 p, double v)
{
    out.push_back(OverlayLine{p.x - v, p.y, p.x + v, p.y, kWhite, 1});
    out.push_back(OverlayLine{p.x, p.y - v, p.x, p.y + v, kWhite, 1});
}

void addTick(OverlayShapes& out, Point2 p, double v)
{
    out.push_back(OverlayLine{p.x, p.y - v, p.x, p.y + v, kWhite, 1});
}
} // namespace

std::optional<Point2> courseToScreen(const CourseTransform& transform, double courseX,
                                     double courseY)
{
    if (const auto mapped = transform.toScreen({courseX, courseY}))
        return mapped->point;
    return std::nullopt;
}

std::optional<Point2> screenToCourse(const CourseTransform& transform, double screenX,
                                     double screenY)
{
    if (const auto mapped = transform.toCourse({screenX, screenY}))
        return mapped->point;
    return std::nullopt;
}

void placeMarkers(const CourseTransform& transform, MeasureLines& lines, const MarkerPlacement& m)
{
    const double half = m.boatWidth / 2.0;
    auto placeEdge = [&](LineRecord& line, double courseX) {
        if (const auto p = courseToScreen(transform, courseX, m.courseY)) {
            line.putAtX(p->x);
            line.y2 = m.markerY;
        }
    };
    placeEdge(lines.leftEdge, m.courseX - half);
    placeEdge(lines.rightEdge, m.courseX + half);
    // A boundary line is drawn inside the path, its outer edge on the limit: the pen is
    // centred on the line, so it moves half its width toward the ideal path. Which way
    // that is on the screen depends on the calibration (course x may grow either way).
    const double inset = m.borderWidth * 15.0 / 2.0;
    const std::optional<Point2> centre = courseToScreen(transform, m.centreLineX, m.courseY);
    auto placeBoundary = [&](LineRecord& line, double limitX) {
        const std::optional<Point2> p = courseToScreen(transform, limitX, m.courseY);
        if (!p)
            return;
        const double inward = !centre || centre->x == p->x ? 0.0 : centre->x > p->x ? 1.0 : -1.0;
        line.putAtX(p->x + inward * inset);
        line.y2 = m.markerY;
    };
    placeBoundary(lines.leftBoundary, m.centreLineX - half - m.pathLimit);
    placeBoundary(lines.rightBoundary, m.centreLineX + half + m.pathLimit);

    LineRecord& mandatory = m.mandatorySide != 0 ? lines.leftBoundary : lines.rightBoundary;
    LineRecord& optional = m.mandatorySide != 0 ? lines.rightBoundary : lines.leftBoundary;
    mandatory.style = LineStyle::Solid;
    optional.style = LineStyle::Dash;
    if (m.colours == BoundaryColour::RedGreen) {
        mandatory.colour = kRed;
        optional.colour = Rgb{0, 255, 0};
    } else if (m.colours == BoundaryColour::BlackYellow) {
        mandatory.colour = kBlack;
        optional.colour = Rgb{255, 255, 0};
    }
}

std::optional<LineSpan> measureLineSpan(const CourseTransform& transform, double centreLineX,
                                        double courseLength)
{
    // Every place the boat marker visits, in either direction: coming toward the camera
    // from 0 to -length, going away from -259 to length - 259 (past the far gate in jump).
    const double farY = std::max(0.0, courseLength - 259.0);
    const double nearY = -std::max(259.0, courseLength);
    const std::optional<Point2> far = courseToScreen(transform, centreLineX, farY);
    const std::optional<Point2> near = courseToScreen(transform, centreLineX, nearY);
    if (!far || !near)
        return std::nullopt;
    LineSpan span;
    span.top = std::max(0.0, std::min(far->y, near->y) - kLineSpanMargin);
    span.bottom = std::max(far->y, near->y) + kLineSpanMargin;
    return span;
}

OverlayShapes buoyMarks(const Calibration& calibration, int crossSize)
{
    const double radius = 2.0 * crossSize;
    const Point2 marks[4] = {calibration.mark(Buoy::UpperLeft), calibration.mark(Buoy::UpperRight),
                             calibration.mark(Buoy::LowerLeft), calibration.mark(Buoy::LowerRight)};
    OverlayShapes out;
    for (const Point2& p : marks)
        out.push_back(OverlayCircle{p.x, p.y, radius, kWhite, 1});
    for (const Point2& p : marks) {
        out.push_back(OverlayPoint{p.x, p.y, kWhite, 1});
        out.push_back(OverlayPoint{p.x, p.y + 5, kWhite, 1});
        out.push_back(OverlayPoint{p.x, p.y - 5, kWhite, 1});
        out.push_back(OverlayPoint{p.x + 5, p.y, kWhite, 1});
        out.push_back(OverlayPoint{p.x - 5, p.y, kWhite, 1});
    }
    return out;
}

OverlayShapes courseMarks(const CourseTransform& transform, int crossSize, Event event,
                          double jumpCentreX)
{
    const double v = crossSize;
    OverlayShapes out;
    if (event == Event::Slalom) {
        constexpr double kGuideX[] = {0.1, 2.4};
        constexpr double kStationY[] = {-27, -68, -109, -150, -191, -232};
        for (double x : kGuideX)
            for (double y : kStationY)
                if (const auto p = courseToScreen(transform, x, y))
                    addCross(out, *p, v);
        if (const auto p = courseToScreen(transform, 1.25, 0.0))
            addTick(out, *p, v);
        for (double y : kStationY)
            if (const auto p = courseToScreen(transform, 1.25, y))
                addTick(out, *p, v);
        return out;
    }
    std::optional<Point2> previous = courseToScreen(transform, jumpCentreX, 0.0);
    if (previous)
        addTick(out, *previous, v);
    for (double y = -1; y >= -281; y -= 40) {
        const std::optional<Point2> next = courseToScreen(transform, jumpCentreX, y);
        if (previous && next)
            out.push_back(OverlayLine{previous->x, previous->y, next->x, next->y, kWhite, 1});
        previous = next;
    }
    return out;
}
