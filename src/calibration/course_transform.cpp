#include "calibration/course_transform.h"

#include <algorithm>
#include <cmath>

namespace {

// A point so far out that it does not fit in a double is as useless to the callers as one
// on the horizon; neither may reach a drawing or a pass as inf or NaN.
std::optional<MappedPoint> finitePoint(double x, double y, double d)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    return MappedPoint{{x, y}, d};
}

// How far, relative to the survey's extent, a solved transform may put a mark from its
// survey point: sound solves land within 1e-12.
constexpr double kMarkTolerance = 1e-6;

} // namespace

std::optional<MappedPoint> CourseTransform::toCourse(Point2 s) const
{
    const double d = 1.0 + c[4] * s.x + c[5] * s.y;
    if (d == 0.0)
        return std::nullopt;
    return finitePoint((c[1] + c[2] * s.x + c[3] * s.y) / d, (c[6] + c[7] * s.x + c[8] * s.y) / d,
                       d);
}

std::optional<MappedPoint> CourseTransform::toScreen(Point2 p) const
{
    const double X = p.x;
    const double Y = p.y;
    const double d = X * (c[5] * c[7] - c[4] * c[8]) + Y * (c[3] * c[4] - c[2] * c[5]) +
                     (c[2] * c[8] - c[3] * c[7]);
    if (d == 0.0)
        return std::nullopt;
    const double sx =
        (X * (c[8] - c[5] * c[6]) + Y * (c[1] * c[5] - c[3]) + (c[3] * c[6] - c[1] * c[8])) / d;
    const double sy =
        (X * (c[4] * c[6] - c[7]) + Y * (c[2] - c[1] * c[4]) + (c[1] * c[7] - c[2] * c[6])) / d;
    return finitePoint(sx, sy, d);
}

namespace {

// The augmented system in rows 1..8 and columns 1..9, so the code reads like the formulas.
using WorkMatrix = std::array<std::array<double, 10>, 9>;

CourseTransform coefficientsOf(const WorkMatrix& m)
{
    CourseTransform t;
    for (size_t k = 1; k <= 8; ++k)
        t.c[k] = m[k][9];
    return t;
}

bool solveInto(const std::array<ReferencePoint, 4>& points, WorkMatrix& m)
{
    constexpr size_t N = 8;
    for (size_t r = 5; r <= 8; ++r) {
        m[r][6] = 1.0;
        m[r][1] = m[r][2] = m[r][3] = 0.0;
    }
    for (size_t r = 1; r <= 4; ++r) {
        m[r][1] = 1.0;
        m[r][6] = m[r][7] = m[r][8] = 0.0;
    }
    for (size_t i = 1; i <= 4; ++i) {
        const double sx = points[i - 1].screen.x;
        const double sy = points[i - 1].screen.y;
        const double X = points[i - 1].survey.x;
        const double Y = points[i - 1].survey.y;
        m[i][4] = -sx * X;
        m[i + 4][4] = -sx * Y;
        m[i][5] = -sy * X;
        m[i + 4][5] = -sy * Y;
        m[i][9] = X;
        m[i + 4][9] = Y;
        m[i][2] = sx;
        m[i + 4][7] = sx;
        m[i][3] = sy;
        m[i + 4][8] = sy;
    }
    for (size_t k = 1; k <= N; ++k) {
        size_t pivot = k;
        while (pivot <= N && m[pivot][k] == 0.0)
            ++pivot;
        if (pivot > N)
            return false;
        for (size_t j = 1; j <= 9; ++j)
            std::swap(m[pivot][j], m[k][j]);
        const double p = 1.0 / m[k][k];
        for (size_t j = 1; j <= 9; ++j)
            m[k][j] *= p;
        for (size_t r = 1; r <= N; ++r) {
            if (r == k)
                continue;
            const double f = -m[r][k];
            for (size_t j = 1; j <= 9; ++j)
                m[r][j] = m[k][j] * f + m[r][j];
        }
    }
    // Marks so far apart, or a system so nearly singular, that the numbers overflowed: no
    // usable calibration either.
    for (size_t k = 1; k <= N; ++k)
        if (!std::isfinite(m[k][9]))
            return false;
    // Three marks on one line can still give the elimination non-zero pivots, but then the
    // solution puts marks on its horizon and maps them nowhere near their buoys. Only a
    // transform that takes every mark to its survey point is a calibration.
    const CourseTransform t = coefficientsOf(m);
    double scale = 1.0;
    for (const ReferencePoint& p : points)
        scale = std::max({scale, std::fabs(p.survey.x), std::fabs(p.survey.y)});
    for (const ReferencePoint& p : points) {
        const auto mapped = t.toCourse(p.screen);
        if (!mapped || std::hypot(mapped->point.x - p.survey.x, mapped->point.y - p.survey.y) >
                           kMarkTolerance * scale)
            return false;
    }
    return true;
}

} // namespace

std::optional<CourseTransform> solveCourseTransform(const std::array<ReferencePoint, 4>& points)
{
    WorkMatrix m{};
    if (!solveInto(points, m))
        return std::nullopt;
    return coefficientsOf(m);
}
