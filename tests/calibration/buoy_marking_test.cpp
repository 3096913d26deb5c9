#include "calibration/buoy_marking.h"

#include <gtest/gtest.h>

namespace {

Calibration markedCalibration()
{
    Calibration c;
    c.mark(Buoy::UpperLeft) = {5000, 2000};
    c.mark(Buoy::UpperRight) = {8000, 2000};
    c.mark(Buoy::LowerLeft) = {3000, 9000};
    c.mark(Buoy::LowerRight) = {11000, 9000};
    return c;
}

TEST(BuoyMarking, PointIndicesFollowTheReferenceOrder)
{
    EXPECT_EQ(pointIndex(Buoy::UpperRight), 1);
    EXPECT_EQ(pointIndex(Buoy::LowerRight), 2);
    EXPECT_EQ(pointIndex(Buoy::UpperLeft), 3);
    EXPECT_EQ(pointIndex(Buoy::LowerLeft), 4);
    for (int k = 1; k <= 4; ++k)
        EXPECT_EQ(pointIndex(buoyAtPoint(k)), k);
}

TEST(BuoyMarking, ClickWithoutASelectedBuoyChangesNothing)
{
    for (bool locked : {false, true}) {
        Calibration calibration = markedCalibration();
        const MarkResult r = markBuoy(calibration, std::nullopt, locked, {1, 2}, {});
        EXPECT_TRUE(r.moved.empty());
        EXPECT_TRUE(r.shapes.empty());
        EXPECT_EQ(calibration.mark(Buoy::UpperLeft), (Point2{5000, 2000}));
    }
}

TEST(BuoyMarking, UnlockedClickMovesOnlyTheSelectedBuoyAndErasesItsOldMark)
{
    Calibration calibration = markedCalibration();
    const MarkResult r =
        markBuoy(calibration, Buoy::LowerLeft, false, {3150, 9300}, {60, 105, 180});
    ASSERT_EQ(r.moved.size(), 1u);
    EXPECT_EQ(r.moved[0].buoy, Buoy::LowerLeft);
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft), (Point2{3150, 9300}));
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft), (Point2{5000, 2000}));
    const OverlayShapes expected{OverlayCircle{3000, 9000, 180, kMagenta, 2},
                                 OverlayLine{3000 - 105, 9000, 3000 + 105, 9000, kMagenta, 2},
                                 OverlayLine{3000, 9000 - 105, 3000, 9000 + 105, kMagenta, 2},
                                 OverlayLine{3150 - 60, 9300, 3150 + 60, 9300, kWhite, 2},
                                 OverlayLine{3150, 9300 - 60, 3150, 9300 + 60, kWhite, 2}};
    EXPECT_EQ(r.shapes, expected);
}

TEST(BuoyMarking, LockedClickMovesTheGridRigidly)
{
    Calibration calibration = markedCalibration();
    const MarkResult r = markBuoy(calibration, Buoy::UpperRight, true, {8300, 1850}, {});
    ASSERT_EQ(r.moved.size(), 4u);
    EXPECT_EQ(r.moved[0].buoy, Buoy::UpperLeft); // visiting order
    EXPECT_EQ(calibration.mark(Buoy::UpperRight), (Point2{8300, 1850}));
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft), (Point2{5300, 1850}));
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft), (Point2{3300, 8850}));
    EXPECT_EQ(calibration.mark(Buoy::LowerRight), (Point2{11300, 8850}));
    EXPECT_EQ(r.shapes.size(), 4u * 5u);
}

TEST(MicroAdjust, OneStepIsOnePixel)
{
    struct Case
    {
        AdjustDirection direction;
        Point2 expected;
    };
    for (const Case& c :
         {Case{AdjustDirection::Up, {5000, 1985}}, Case{AdjustDirection::Down, {5000, 2015}},
          Case{AdjustDirection::Left, {4985, 2000}}, Case{AdjustDirection::Right, {5015, 2000}}}) {
        Calibration calibration = markedCalibration();
        const MarkResult r = microAdjust(calibration, Buoy::UpperLeft, false, c.direction, {});
        ASSERT_EQ(r.moved.size(), 1u);
        EXPECT_EQ(calibration.mark(Buoy::UpperLeft), c.expected);
        EXPECT_EQ(calibration.mark(Buoy::LowerRight), (Point2{11000, 9000}));
    }
}

TEST(MicroAdjust, NothingSelectedAndUnlockedDoesNothing)
{
    Calibration calibration = markedCalibration();
    EXPECT_TRUE(
        microAdjust(calibration, std::nullopt, false, AdjustDirection::Up, {}).moved.empty());
    EXPECT_EQ(microAdjust(calibration, std::nullopt, true, AdjustDirection::Up, {}).moved.size(),
              4u);
}

TEST(MicroAdjust, TwentyRightThenTwentyLeftReturnsEveryMark)
{
    Calibration calibration = markedCalibration();
    const Calibration before = calibration;
    for (int i = 0; i < 20; ++i)
        microAdjust(calibration, Buoy::LowerRight, true, AdjustDirection::Right, {});
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).x, 5300);
    for (int i = 0; i < 20; ++i)
        microAdjust(calibration, Buoy::LowerRight, true, AdjustDirection::Left, {});
    EXPECT_EQ(calibration.marks, before.marks);
}

TEST(ChangeRule, SurveyAndJumpBoxesStoreTheirLeadingNumber)
{
    Calibration calibration;
    calibration.complete = true;
    applyCoordinateChange(calibration, {BoxKind::SurveyY, Buoy::LowerLeft},
                          QStringLiteral("-259.5m"));
    EXPECT_EQ(calibration.surveyPoint(Buoy::LowerLeft).y, -259.5);
    EXPECT_FALSE(calibration.complete);
    calibration.surveyPoint(Buoy::UpperRight).x = 7;
    applyCoordinateChange(calibration, {BoxKind::SurveyX, Buoy::UpperRight}, QStringLiteral("abc"));
    EXPECT_EQ(calibration.surveyPoint(Buoy::UpperRight).x, 0.0);
    applyCoordinateChange(calibration, {BoxKind::JumpX}, QStringLiteral(" 2"));
    applyCoordinateChange(calibration, {BoxKind::JumpY}, QStringLiteral("-180"));
    EXPECT_EQ(calibration.jumpPoint, (Point2{2.0, -180.0}));
    calibration.mark(Buoy::UpperLeft).x = 77;
    calibration.complete = true;
    applyCoordinateChange(calibration, {BoxKind::ScreenX, Buoy::UpperLeft}, QStringLiteral("12"));
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).x,
              77); // marks come only from clicks, loads and nudges
    EXPECT_FALSE(calibration.complete);
}

struct TypedText
{
    const char* text;
    std::optional<double> value;
};

class TypedScreenCoordinate : public testing::TestWithParam<TypedText>
{
};

TEST_P(TypedScreenCoordinate, OnlyAWholeNumberIsAPosition)
{
    EXPECT_EQ(typedScreenCoordinate(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedScreenCoordinate,
    testing::Values(TypedText{" 5400", 5400}, TypedText{"4800.5 ", 4800.5}, TypedText{"-.5", -0.5},
                    TypedText{"+15", 15}, TypedText{"7.", 7},
                    // The leading-number rule would take each of these as a mark nobody typed.
                    TypedText{"", {}}, TypedText{"auto", {}}, TypedText{"54o0", {}},
                    TypedText{"5400 px", {}}, TypedText{"1e3", {}}, TypedText{"1,5", {}},
                    TypedText{"-", {}}, TypedText{".", {}}, TypedText{"nan", {}},
                    TypedText{"٣", {}}, TypedText{"1.2.3", {}}));

TEST(TypedMark, MovesLikeAClickOnTheOtherCoordinate)
{
    Calibration calibration = markedCalibration();
    MarkResult r =
        placeTypedMark(calibration, {BoxKind::ScreenX, Buoy::LowerLeft}, 3300, false, {});
    ASSERT_EQ(r.moved.size(), 1u);
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft), (Point2{3300, 9000}));
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft), (Point2{5000, 2000}));

    // Locked, the grid moves rigidly by the typed buoy's offset.
    r = placeTypedMark(calibration, {BoxKind::ScreenY, Buoy::UpperRight}, 1700, true, {});
    ASSERT_EQ(r.moved.size(), 4u);
    EXPECT_EQ(calibration.mark(Buoy::UpperRight), (Point2{8000, 1700}));
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft), (Point2{3300, 8700}));
}

TEST(GridLock, RefusedWhileAnyBuoyIsUnmarked)
{
    CoordinateTexts t;
    EXPECT_FALSE(canLockGrid(t));
    for (Buoy b : kBuoyVisitOrder)
        t[b].screenX = QStringLiteral(" 100");
    EXPECT_TRUE(canLockGrid(t));
    t[Buoy::LowerRight].screenX = kUnmarkedText;
    EXPECT_FALSE(canLockGrid(t));
}

TEST(Drawings, EraseCoversAnyCrossTheScrollBarAllowsAndTheCircle)
{
    const OverlayShapes erase{OverlayCircle{1000, 2000, 180, kMagenta, 2},
                              OverlayLine{895, 2000, 1105, 2000, kMagenta, 2},
                              OverlayLine{1000, 1895, 1000, 2105, kMagenta, 2}};
    EXPECT_EQ(markEraseShapes({1000, 2000}, 180), erase);
    const OverlayShapes cross{OverlayLine{970, 2000, 1030, 2000, kWhite, 2},
                              OverlayLine{1000, 1970, 1000, 2030, kWhite, 2}};
    EXPECT_EQ(markCrossShapes({1000, 2000}, 30), cross);
}

TEST(Drawings, ExitDrawsFourCrossesAndTheTwoSides)
{
    const Calibration calibration = markedCalibration();
    const OverlayShapes s = exitShapes(calibration);
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s[0], OverlayShape(OverlayLine{4900, 2000, 5100, 2000, kWhite, 2}));
    EXPECT_EQ(s[3], OverlayShape(OverlayLine{8000, 1900, 8000, 2100, kWhite, 2}));
    EXPECT_EQ(s[8], OverlayShape(OverlayLine{11000, 9000, 8000, 2000, kWhite, 2}));
    EXPECT_EQ(s[9], OverlayShape(OverlayLine{3000, 9000, 5000, 2000, kWhite, 2}));
}

} // namespace
