#include "measure/marker_geometry.h"
#include "support/calibrated_course.h"

#include <gtest/gtest.h>

namespace {

class MarkerGeometryTest : public ::testing::Test
{
protected:
    void SetUp() override { calibrateSlalom(calibration); }

    MarkerPlacement at(double courseX, double courseY, int width = 1, int side = 0,
                       BoundaryColour colours = BoundaryColour::White)
    {
        MarkerPlacement m;
        m.courseX = courseX;
        m.courseY = courseY;
        m.centreLineX = 1.25;
        m.boatWidth = 2.2;
        m.pathLimit = 0.2;
        m.borderWidth = width;
        m.markerY = 4321;
        m.mandatorySide = side;
        m.colours = colours;
        return m;
    }

    Calibration calibration;
    MeasureLines lines = initialMeasureLines();
};

// A calibration whose course x grows to the right on the screen: calibrateSlalom's marks
// with the two sides' survey values exchanged.
void calibrateMirrored(Calibration& calibration)
{
    auto marks = slalomMarks();
    std::swap(marks[0].survey.x, marks[2].survey.x);
    std::swap(marks[1].survey.x, marks[3].survey.x);
    calibration.transform = *solveCourseTransform(marks);
}

TEST_F(MarkerGeometryTest, BoundaryLinesStandInsideThePathWithTheirOuterEdgeOnTheLimit)
{
    for (const bool growsLeft : {true, false}) {
        if (!growsLeft)
            calibrateMirrored(calibration);
        ASSERT_EQ(screenOf(calibration, 2.5, -100).x < screenOf(calibration, 0, -100).x, growsLeft);
        for (const int width : {1, 4}) {
            placeMarkers(calibration.transform, lines, at(1.25, -100, width));
            const double row = screenOf(calibration, 0, -100).y;
            const double halfPen = width * 15.0 / 2.0;
            // 2.2 m boat, 0.2 m limit: the path runs from -0.05 to 2.55.
            for (const auto& [line, limit] :
                 {std::pair{&lines.leftBoundary, -0.05}, std::pair{&lines.rightBoundary, 2.55}}) {
                const double a = courseOf(calibration, line->x1 - halfPen, row).x;
                const double b = courseOf(calibration, line->x1 + halfPen, row).x;
                const auto where = testing::Message()
                                   << (growsLeft ? "x grows left" : "x grows right") << ", width "
                                   << width << ", limit " << limit;
                for (const double edge : {a, b}) {
                    EXPECT_GE(edge, -0.05 - 1e-9) << where;
                    EXPECT_LE(edge, 2.55 + 1e-9) << where;
                }
                EXPECT_NEAR(std::min(std::abs(a - limit), std::abs(b - limit)), 0.0, 1e-9) << where;
            }
        }
    }
    EXPECT_EQ(lines.leftBoundary.x1, lines.leftBoundary.x2);
    EXPECT_EQ(lines.leftBoundary.y2, 4321);
    EXPECT_EQ(lines.rightBoundary.y2, 4321);
    EXPECT_EQ(lines.leftBoundary.y1, 720); // upper ends keep their place
}

TEST(MeasureLineSpan, ReachesEveryBoatPositionOfAPassOnTheShippedCourses)
{
    for (const auto& [file, length] : {std::pair{"SlalomOK.ipt", 259.0}, {"JumpOK.ipt", 280.0}}) {
        Calibration shipped;
        const auto setup = loadShippedSetup(shipped, QString::fromLatin1(file));
        ASSERT_TRUE(setup) << file;
        // The boat marker's rows, through the file's own transform: coming toward the camera
        // from 0 to -length, going away from -259 to length - 259.
        double highest = 1e300, lowest = -1e300;
        for (int i = 0; i <= 100; ++i) {
            const double d = length * i / 100.0;
            for (const double y : {-d, d - 259.0}) {
                const double row = setup->transform.toScreen({2.0, y})->point.y;
                highest = std::min(highest, row);
                lowest = std::max(lowest, row);
            }
        }
        const auto span = measureLineSpan(shipped.transform, 2.0, length);
        ASSERT_TRUE(span) << file;
        EXPECT_NEAR(span->top, highest - kLineSpanMargin, 1e-6) << file;
        EXPECT_NEAR(span->bottom, lowest + kLineSpanMargin, 1e-6) << file;
    }
    const CourseTransform none; // all coefficients zero: no course point maps to the screen
    EXPECT_FALSE(measureLineSpan(none, 1.25, 259.0));
}

TEST_F(MarkerGeometryTest, EdgeMarkersFollowTheMeasuredPosition)
{
    placeMarkers(calibration.transform, lines, at(1.6, -50));
    EXPECT_NEAR(lines.leftEdge.x1, screenOf(calibration, 0.5, -50).x, 1e-9);
    EXPECT_NEAR(lines.rightEdge.x1, screenOf(calibration, 2.7, -50).x, 1e-9);
    EXPECT_EQ(lines.leftEdge.y2, 4321);
    EXPECT_EQ(lines.rightEdge.y1, 720);
}

struct StyleCase
{
    int side;
    BoundaryColour colours;
    Rgb left;
    Rgb right;
};

class BoundaryStyleTest : public MarkerGeometryTest, public ::testing::WithParamInterface<StyleCase>
{
};

TEST_P(BoundaryStyleTest, MandatoryIsSolidOptionalDashed)
{
    const StyleCase c = GetParam();
    placeMarkers(calibration.transform, lines, at(1.25, 0, 1, c.side, c.colours));
    const LineRecord& mandatory = c.side ? lines.leftBoundary : lines.rightBoundary;
    const LineRecord& optional = c.side ? lines.rightBoundary : lines.leftBoundary;
    EXPECT_EQ(mandatory.style, LineStyle::Solid);
    EXPECT_EQ(optional.style, LineStyle::Dash);
    EXPECT_EQ(lines.leftBoundary.colour, c.left);
    EXPECT_EQ(lines.rightBoundary.colour, c.right);
}

const Rgb kGreen{0, 255, 0};
const Rgb kYellow{255, 255, 0};

INSTANTIATE_TEST_SUITE_P(
    Schemes, BoundaryStyleTest,
    ::testing::Values(StyleCase{0, BoundaryColour::RedGreen, kGreen, kRed},
                      StyleCase{1, BoundaryColour::RedGreen, kRed, kGreen},
                      StyleCase{0, BoundaryColour::BlackYellow, kYellow, kBlack},
                      StyleCase{1, BoundaryColour::BlackYellow, kBlack, kYellow},
                      // A single colour leaves the colours as they were.
                      StyleCase{1, BoundaryColour::Red, kWhite, kWhite}));

TEST_F(MarkerGeometryTest, BuoyMarksCircleEachCornerWithTwiceTheCrossSize)
{
    const OverlayShapes shapes = buoyMarks(calibration, 60);
    ASSERT_EQ(shapes.size(), 4u + 20u);
    EXPECT_EQ(std::get<OverlayCircle>(shapes[0]), (OverlayCircle{4500, 1200, 120}));
    EXPECT_EQ(std::get<OverlayCircle>(shapes[3]), (OverlayCircle{7500, 6600, 120}));
    EXPECT_EQ(std::get<OverlayPoint>(shapes[5]), (OverlayPoint{4500, 1205}));
    EXPECT_EQ(std::get<OverlayPoint>(shapes[8]), (OverlayPoint{4495, 1200}));
}

TEST_F(MarkerGeometryTest, SlalomCourseMarksAreTwelveCrossesAndSevenCentreTicks)
{
    const OverlayShapes shapes = courseMarks(calibration.transform, 90, Event::Slalom, 2.0);
    ASSERT_EQ(shapes.size(), 12u * 2 + 7u);
    const Point2 firstGuide = screenOf(calibration, 0.1, -27);
    EXPECT_EQ(std::get<OverlayLine>(shapes[0]),
              (OverlayLine{firstGuide.x - 90, firstGuide.y, firstGuide.x + 90, firstGuide.y}));
    const Point2 gate = screenOf(calibration, 1.25, 0);
    EXPECT_EQ(std::get<OverlayLine>(shapes[24]),
              (OverlayLine{gate.x, gate.y - 90, gate.x, gate.y + 90}));
}

TEST_F(MarkerGeometryTest, JumpCourseMarkIsATickAndAPathOfEightSegments)
{
    const OverlayShapes shapes = courseMarks(calibration.transform, 90, Event::Jump, 3.0);
    ASSERT_EQ(shapes.size(), 1u + 8u);
    const Point2 start = screenOf(calibration, 3.0, 0);
    const Point2 end = screenOf(calibration, 3.0, -281);
    const auto& last = std::get<OverlayLine>(shapes[8]);
    EXPECT_NEAR(last.x2, end.x, 1e-9);
    EXPECT_NEAR(last.y2, end.y, 1e-9);
    const auto& first = std::get<OverlayLine>(shapes[1]);
    EXPECT_NEAR(first.x1, start.x, 1e-9);
}

TEST_F(MarkerGeometryTest, NothingIsPlacedOrDrawnWhereTheTransformHasNoPoint)
{
    const CourseTransform none; // all coefficients zero: no course point maps to the screen
    const MeasureLines before = lines;
    placeMarkers(none, lines, at(1.25, 0));
    EXPECT_EQ(lines.leftBoundary.x1, before.leftBoundary.x1);
    EXPECT_EQ(lines.rightBoundary.y2, before.rightBoundary.y2);
    EXPECT_EQ(lines.leftEdge, before.leftEdge);
    EXPECT_TRUE(courseMarks(none, 90, Event::Slalom, 2.0).empty());
    EXPECT_TRUE(courseMarks(none, 90, Event::Jump, 2.0).empty());
    EXPECT_FALSE(courseToScreen(none, 1.0, 1.0));
}

} // namespace
