#include "course_display/overlay_geometry.h"
#include "support/worked_example.h"

#include <gtest/gtest.h>
#include <ostream>

namespace {

template <typename T> const T& as(const OverlayShape& s)
{
    EXPECT_TRUE(std::holds_alternative<T>(s));
    return std::get<T>(s);
}

struct Marks
{
    Point2 upperLeft{470, 300};
    Point2 upperRight{520, 300};
    Point2 lowerLeft{300, 900};
    Point2 lowerRight{700, 900};
};
const Marks kMarks;

Calibration markedCalibration()
{
    Calibration c;
    c.mark(Buoy::UpperLeft) = kMarks.upperLeft;
    c.mark(Buoy::UpperRight) = kMarks.upperRight;
    c.mark(Buoy::LowerLeft) = kMarks.lowerLeft;
    c.mark(Buoy::LowerRight) = kMarks.lowerRight;
    return c;
}

struct RadiusCase
{
    int crossSize;
    double radius;
    friend void PrintTo(const RadiusCase& c, std::ostream* os) { *os << "size " << c.crossSize; }
};
class CrossRadius : public ::testing::TestWithParam<RadiusCase>
{
};

TEST_P(CrossRadius, CircleAroundEachMarkIsTwiceTheCrossSize)
{
    const ShowGridDrawing d = showGridShapes(markedCalibration(), GetParam().crossSize);
    EXPECT_EQ(d.crossRadius, GetParam().radius);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(as<OverlayCircle>(d.shapes[size_t(i)]).radius, GetParam().radius);
}

INSTANTIATE_TEST_SUITE_P(ScrollRange, CrossRadius,
                         ::testing::Values(RadiusCase{90, 180}, RadiusCase{15, 30},
                                           RadiusCase{105, 210}));

TEST(CrossSizeScroll, StaysInsideFifteenToOneHundredFive)
{
    EXPECT_EQ(CrossSizeScroll::Initial, 90);
    EXPECT_EQ(clampCrossSize(0), 15);
    EXPECT_EQ(clampCrossSize(120), 105);
    EXPECT_EQ(clampCrossSize(45), 45);
}

TEST(ShowGrid, AMarkNeverSetIsDrawnAtTheOrigin)
{
    const ShowGridDrawing d = showGridShapes(Calibration{}, 90);
    EXPECT_EQ(as<OverlayCircle>(d.shapes[0]), (OverlayCircle{0, 0, 180, kWhite, 2}));
    EXPECT_EQ(as<OverlayPoint>(d.shapes[4 + 15 + 4]), (OverlayPoint{-5, 0, kWhite, 2}));
}

TEST(ShowGrid, CirclesInMarkOrderThenFivePointsPerMark)
{
    const ShowGridDrawing d = showGridShapes(markedCalibration(), 90);
    ASSERT_EQ(d.shapes.size(), 4u + 20u);
    const std::array<Point2, 4> order{kMarks.upperLeft, kMarks.upperRight, kMarks.lowerLeft,
                                      kMarks.lowerRight};
    for (size_t i = 0; i < 4; ++i) {
        const auto& c = as<OverlayCircle>(d.shapes[i]);
        EXPECT_EQ(Point2(c.cx, c.cy), order[i]);
        EXPECT_EQ(c.colour, kWhite);
        EXPECT_EQ(c.penWidth, 2);
    }
    const Point2 m = kMarks.lowerLeft; // third mark: points 14 .. 18
    const std::array<Point2, 5> expected{m, Point2{m.x, m.y + 5}, Point2{m.x, m.y - 5},
                                         Point2{m.x + 5, m.y}, Point2{m.x - 5, m.y}};
    for (size_t i = 0; i < 5; ++i) {
        const auto& p = as<OverlayPoint>(d.shapes[4 + 10 + i]);
        EXPECT_EQ(Point2(p.x, p.y), expected[i]);
        EXPECT_EQ(p.penWidth, 2);
    }
}

TEST(ShowCourse, TwelveGuideBuoysColumnPointOneFirst)
{
    const std::vector<Point2> points = guideBuoyCoursePoints();
    ASSERT_EQ(points.size(), 12u);
    const double rows[] = {-27, -68, -109, -150, -191, -232};
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(points[i].x, i < 6 ? 0.1 : 2.4) << i;
        EXPECT_EQ(points[i].y, rows[i % 6]) << i;
    }
}

TEST(ShowCourse, CrossOfCrossSizeOnEachMappedBuoy)
{
    const CourseTransform t = workedExampleTransform();
    const CourseCrosses crosses = showCourseShapes(t, 45, 3);
    ASSERT_EQ(crosses.shapes.size(), 24u);
    ASSERT_EQ(crosses.screenPoints.size(), 12u);
    EXPECT_EQ(crosses.skipped, 0);
    const std::vector<Point2> course = guideBuoyCoursePoints();
    for (size_t i = 0; i < 12; ++i) {
        const Point2 s = t.toScreen(course[i])->point;
        const auto& h = as<OverlayLine>(crosses.shapes[2 * i]);
        const auto& v = as<OverlayLine>(crosses.shapes[2 * i + 1]);
        EXPECT_EQ(h, (OverlayLine{s.x - 45, s.y, s.x + 45, s.y, kWhite, 3}));
        EXPECT_EQ(v, (OverlayLine{s.x, s.y - 45, s.x, s.y + 45, kWhite, 3}));
        // The cross sits on the buoy: mapping its centre back gives the guide buoy.
        const Point2 back = t.toCourse(s)->point;
        EXPECT_NEAR(back.x, course[i].x, 1e-9);
        EXPECT_NEAR(back.y, course[i].y, 1e-9);
    }
}

TEST(ShowCourse, BuoysWithNoScreenPositionAreLeftOut)
{
    // An empty calibration (the unused second grid slot): every denominator is zero.
    const CourseCrosses crosses = showCourseShapes(CourseTransform{}, 90, 2);
    EXPECT_TRUE(crosses.shapes.empty());
    EXPECT_EQ(crosses.skipped, 12);
}

TEST(LabelDrag, GrabbedPointFollowsThePointerOnlyWhileDragging)
{
    LabelDrag drag;
    EXPECT_FALSE(drag.move(400, 10).has_value());
    drag.press(100, 10);
    const auto offset = drag.move(400, 10);
    ASSERT_TRUE(offset.has_value());
    EXPECT_EQ(offset->dx, 300);
    EXPECT_EQ(offset->dy, 0);
    drag.release();
    EXPECT_FALSE(drag.move(500, 50).has_value());
}

TEST(HideButton, OffersWhatTheNextClickDoes)
{
    EXPECT_EQ(descriptionsButtonCaption(true), QStringLiteral("Hide"));
    EXPECT_EQ(descriptionsButtonCaption(false), QStringLiteral("Show"));
}

} // namespace
