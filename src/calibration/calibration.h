#pragma once
// The calibration in use: the transform, the four reference buoys' marks on the picture and
// their survey positions, the jump reference point, and whether it is complete. One instance,
// created at start; the calibration screen changes it, the measurement screen reads it.

#include "calibration/course_transform.h"

#include <array>

enum class Buoy { UpperLeft, UpperRight, LowerLeft, LowerRight };

// The order in which marking, micro-adjust and the drawings visit the buoys.
inline constexpr std::array<Buoy, 4> kBuoyVisitOrder{Buoy::UpperLeft, Buoy::UpperRight,
                                                     Buoy::LowerLeft, Buoy::LowerRight};

// Reference point index, the order of setup files and of the solve: 1 upper right, 2 lower
// right, 3 upper left, 4 lower left.
int pointIndex(Buoy buoy);
Buoy buoyAtPoint(int index); // 1..4

struct Calibration
{
    CourseTransform transform;
    std::array<Point2, 4> marks{};  // on the picture, twips, by Buoy; never marked: the origin
    std::array<Point2, 4> survey{}; // on the course, metres, by Buoy
    Point2 jumpPoint;               // the jump reference point, course metres
    // setup_ok: the transform was solved or loaded and nothing has been edited since. It
    // gates measuring and the course drawing.
    bool complete = false;
    // The gate widths as percentages of the screen width (front: the lower gate, back: the
    // upper one), as the last perspective check found them; the accuracy report prints them.
    double frontRatio = 0.0;
    double backRatio = 0.0;

    Point2& mark(Buoy b) { return marks[size_t(b)]; }
    Point2 mark(Buoy b) const { return marks[size_t(b)]; }
    Point2& surveyPoint(Buoy b) { return survey[size_t(b)]; }
    Point2 surveyPoint(Buoy b) const { return survey[size_t(b)]; }

    // Marks and survey positions in point order, as files and the solve hold them.
    std::array<ReferencePoint, 4> referencePoints() const;
    void setReferencePoints(const std::array<ReferencePoint, 4>& points);

    bool operator==(const Calibration&) const = default;
};
