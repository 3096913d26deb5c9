#include "measure/sample_reading.h"

#include "measure/marker_geometry.h"
#include "measure/pass_rules.h"

std::optional<Point2> boatMarkerPoint(const CourseTransform& transform, double centreLineX,
                                      double distance, Direction direction)
{
    return courseToScreen(transform, centreLineX, boatCourseY(distance, direction));
}

std::optional<LineReading> readLine(const CourseTransform& transform, double lineX, double markerY,
                                    double centreLineX)
{
    const auto c = screenToCourse(transform, lineX, markerY);
    if (!c)
        return std::nullopt;
    return LineReading{*c, liveDeviation(c->x, centreLineX)};
}
