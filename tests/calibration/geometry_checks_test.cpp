#include "calibration/geometry_checks.h"
#include "support/worked_example.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

CoordinateTexts gates(double upperWidth, double lowerWidth)
{
    CoordinateTexts t;
    t[Buoy::UpperLeft].screenX = QString::number(5000);
    t[Buoy::UpperRight].screenX = QString::number(5000 + upperWidth);
    t[Buoy::LowerLeft].screenX = QString::number(3000);
    t[Buoy::LowerRight].screenX = QString::number(3000 + lowerWidth);
    return t;
}

struct RatioCase
{
    double upperTwips;
    bool warns;
    const char* warning;
};

class BackRatio : public testing::TestWithParam<RatioCase>
{
};

TEST_P(BackRatio, WarnsBelowOneSixthOfTheScreen)
{
    // 1024 pixels = 15360 twips; a sixth is 2560 twips.
    const RatioCase& c = GetParam();
    const PerspectiveCheck p = perspectiveCheck(1024, gates(c.upperTwips, 7680));
    EXPECT_DOUBLE_EQ(p.frontRatio, 50.0);
    EXPECT_DOUBLE_EQ(p.backRatio, std::abs(c.upperTwips) * 100 / 15360);
    EXPECT_EQ(p.warning.has_value(), c.warns);
    if (c.warns) {
        EXPECT_EQ(*p.warning, QString::fromLatin1(c.warning));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Widths, BackRatio,
    testing::Values(
        RatioCase{178, true, "Warning - back ratio is  1% where  16% minimum is required"},
        RatioCase{2458, true, "Warning - back ratio is  16% where  16% minimum is required"},
        RatioCase{0, true, "Warning - back ratio is  0% where  16% minimum is required"},
        RatioCase{2560, false, ""}, RatioCase{-4000, false, ""}));

TEST(PerspectiveCheck, KeepsBothRatiosInTheCalibrationAndSurvivesAnUnknownScreenWidth)
{
    Calibration calibration;
    EXPECT_TRUE(checkPerspective(calibration, 1024, gates(1536, 3072)));
    EXPECT_DOUBLE_EQ(calibration.backRatio, 10.0);
    EXPECT_DOUBLE_EQ(calibration.frontRatio, 20.0);
    EXPECT_FALSE(checkPerspective(calibration, 0, gates(10, 10)));
}

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
