#include "course_display/jump_distance.h"
#include "worked_example.h"

#include <gtest/gtest.h>

namespace {

TEST(JumpDistance, PointOnTheJumpReferenceGivesTheAllowance)
{
    const CourseTransform t = workedExampleTransform();
    const Point2 jump = t.toCourse({495, 600})->point;
    const auto d = jumpDistance({495, 600}, t, jump);
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->distance, 2.1);
}

TEST(JumpDistance, StraightLineFromTheCoursePointPlusAllowance)
{
    const CourseTransform t = workedExampleTransform();
    const auto d = jumpDistance({495, 600}, t, {1.277778 + 3.0, -230.2222 + 4.0});
    ASSERT_TRUE(d.has_value());
    EXPECT_NEAR(d->course.point.x, 1.277778, 1e-6);
    EXPECT_NEAR(d->course.point.y, -230.2222, 1e-4);
    EXPECT_NEAR(d->distance, 5.0 + 2.1, 1e-4);
}

TEST(JumpDistance, PointOnTheHorizonHasNoDistance)
{
    // D = 1 + c5 * sy is exactly zero at sy = 256.
    CourseTransform t;
    t.c[2] = t.c[8] = 1.0;
    t.c[5] = -1.0 / 256.0;
    EXPECT_FALSE(jumpDistance({10, 256}, t, {0, 0}).has_value());
    EXPECT_TRUE(jumpDistance({10, 255}, t, {0, 0}).has_value());
}

} // namespace
