#pragma once
// The plane projective mapping between screen positions (twips) and course positions
// (metres), its inverse, and the solve from four reference points.

#include <array>
#include <optional>

struct Point2
{
    double x = 0.0;
    double y = 0.0;
    bool operator==(const Point2&) const = default;
};

// A mapped point with the denominator of the mapping that produced it.
struct MappedPoint
{
    Point2 point;
    double denominator = 0.0;
};

// c[1]..c[8] (index 0 unused), so the code reads like the formulas.
struct CourseTransform
{
    std::array<double, 9> c{};

    // X = (c1 + c2 sx + c3 sy) / D, Y = (c6 + c7 sx + c8 sy) / D, D = 1 + c4 sx + c5 sy.
    // No point when D is zero (a point on the picture's horizon) or the point overflows.
    std::optional<MappedPoint> toCourse(Point2 screen) const;
    // The adjugate inverse; no point when its denominator is zero or the point overflows.
    std::optional<MappedPoint> toScreen(Point2 course) const;

    bool operator==(const CourseTransform&) const = default;
};

// One reference point: its screen mark and its survey position.
struct ReferencePoint
{
    Point2 screen;
    Point2 survey;
    bool operator==(const ReferencePoint&) const = default;
};

// Gauss-Jordan elimination on the 8 x 9 augmented system, pivoting on the first non-zero
// cell (points in the order upper right, lower right, upper left, lower left): that order
// fixes the last bits of the coefficients, which setup files written elsewhere carry. No
// value when the system is singular, a coefficient is not finite, or the solution does not
// take every mark to its survey point (three marks on a line).
std::optional<CourseTransform> solveCourseTransform(const std::array<ReferencePoint, 4>& points);
