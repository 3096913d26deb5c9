#include "tracking/pass_geometry.h"

#include "common/twips.h"
#include "measure/measure_tables.h"
#include "measure/sample_reading.h"

#include <cmath>

PassGeometry::PassGeometry(const CourseTransform& transform, const TrackedPass& pass)
    : transform(transform), pass(pass),
      centreLineX_(pass.event == Event::Slalom ? kSlalomCentreLineX : kJumpCentreLineX),
      courseLength_(pass.event == Event::Slalom ? kSlalomCourseLength : kJumpCourseLength)
{
}

double PassGeometry::distanceAt(qint64 us) const
{
    if (pass.passTenths <= 0)
        return 0.0;
    return double(us - pass.startUs) / (double(pass.passTenths) * 1e5) * courseLength_;
}

std::optional<Point2> PassGeometry::pathPoint(qint64 us) const
{
    const auto p = boatMarkerPoint(transform, centreLineX_, distanceAt(us), pass.direction);
    if (!p)
        return std::nullopt;
    return Point2{p->x / kTwipsPerPixel, p->y / kTwipsPerPixel};
}

std::optional<double> PassGeometry::courseX(double u, qint64 us) const
{
    const auto row = pathPoint(us);
    if (!row)
        return std::nullopt;
    const auto r = readLine(transform, pixelsToTwips(u), pixelsToTwips(row->y), centreLineX_);
    if (!r || !std::isfinite(r->course.x))
        return std::nullopt;
    return r->course.x;
}

std::optional<double> PassGeometry::pixelsPerMetreAcross(qint64 us) const
{
    const auto row = pathPoint(us);
    if (!row)
        return std::nullopt;
    const auto a = courseX(row->x - 5.0, us);
    const auto b = courseX(row->x + 5.0, us);
    if (!a || !b || *a == *b)
        return std::nullopt;
    return 10.0 / std::fabs(*b - *a);
}

std::optional<double> PassGeometry::distanceOf(double u, double v) const
{
    const auto c = transform.toCourse({pixelsToTwips(u), pixelsToTwips(v)});
    if (!c || !std::isfinite(c->point.y))
        return std::nullopt;
    // The inverse of boatCourseY.
    return pass.direction == Direction::Toward ? -c->point.y : c->point.y + 259.0;
}
