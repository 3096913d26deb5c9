// The shared-operand mappings on Global. They live with the transform they call; Global
// itself is plain state and lives below every feature.
#include "calibration/course_transform.h"
#include "common/global.h"

bool Global::screen_to_course()
{
    const auto mapped = CourseTransform::fromMatrix(grid_matrix).toCourse({screen_x, screen_y});
    if (!mapped) {
        transform_den = 0.0;
        return false;
    }
    course_x = mapped->point.x;
    course_y = mapped->point.y;
    transform_den = mapped->denominator;
    return true;
}

bool Global::course_to_screen()
{
    const auto mapped = CourseTransform::fromMatrix(grid_matrix).toScreen({course_x, course_y});
    if (!mapped) {
        transform_den = 0.0;
        return false;
    }
    screen_x = mapped->point.x;
    screen_y = mapped->point.y;
    transform_den = mapped->denominator;
    return true;
}
