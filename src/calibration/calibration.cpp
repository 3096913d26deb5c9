#include "calibration/calibration.h"

#include <algorithm>

int pointIndex(Buoy b)
{
    switch (b) {
    case Buoy::UpperRight:
        return 1;
    case Buoy::LowerRight:
        return 2;
    case Buoy::UpperLeft:
        return 3;
    case Buoy::LowerLeft:
        return 4;
    }
    return 1;
}

Buoy buoyAtPoint(int index)
{
    static constexpr std::array<Buoy, 4> byIndex{Buoy::UpperRight, Buoy::LowerRight,
                                                 Buoy::UpperLeft, Buoy::LowerLeft};
    return byIndex[size_t(std::clamp(index, 1, 4) - 1)];
}

std::array<ReferencePoint, 4> Calibration::referencePoints() const
{
    std::array<ReferencePoint, 4> points{};
    for (int k = 1; k <= 4; ++k)
        points[size_t(k - 1)] = {mark(buoyAtPoint(k)), surveyPoint(buoyAtPoint(k))};
    return points;
}

void Calibration::setReferencePoints(const std::array<ReferencePoint, 4>& points)
{
    for (int k = 1; k <= 4; ++k) {
        mark(buoyAtPoint(k)) = points[size_t(k - 1)].screen;
        surveyPoint(buoyAtPoint(k)) = points[size_t(k - 1)].survey;
    }
}
