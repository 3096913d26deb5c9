#include "calibration/buoy_marking.h"

#include <gtest/gtest.h>

namespace {

Global markedGlobal()
{
    Global g;
    g.cross_radius = 180;
    setCornerMark(g, Buoy::UpperLeft, {5000, 2000});
    setCornerMark(g, Buoy::UpperRight, {8000, 2000});
    setCornerMark(g, Buoy::LowerLeft, {3000, 9000});
    setCornerMark(g, Buoy::LowerRight, {11000, 9000});
    for (Buoy b : kBuoyVisitOrder) {
        const size_t k = size_t(pointIndex(b));
        g.buoy_screen_x[k] = cornerMark(g, b).x;
        g.buoy_screen_y[k] = cornerMark(g, b).y;
    }
    return g;
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
        Global g = markedGlobal();
        const MarkResult r = markBuoy(g, std::nullopt, locked, {1, 2}, {});
        EXPECT_TRUE(r.moved.empty());
        EXPECT_TRUE(r.shapes.empty());
        EXPECT_EQ(cornerMark(g, Buoy::UpperLeft), (Point2{5000, 2000}));
        EXPECT_EQ(g.click_x, 0.0);
    }
}

TEST(BuoyMarking, UnlockedClickMovesOnlyTheSelectedBuoyAndErasesItsOldMark)
{
    Global g = markedGlobal();
    const MarkResult r = markBuoy(g, Buoy::LowerLeft, false, {3150, 9300}, {60, 105});
    ASSERT_EQ(r.moved.size(), 1u);
    EXPECT_EQ(r.moved[0].buoy, Buoy::LowerLeft);
    EXPECT_EQ(cornerMark(g, Buoy::LowerLeft), (Point2{3150, 9300}));
    EXPECT_EQ(g.buoy_screen_x[4], 3150);
    EXPECT_EQ(g.point_y[4], 9300);
    EXPECT_EQ(cornerMark(g, Buoy::UpperLeft), (Point2{5000, 2000}));
    EXPECT_EQ(g.click_x, 3150);
    const OverlayShapes expected{OverlayCircle{3000, 9000, 180, kMagenta, 2},
                                 OverlayLine{3000 - 105, 9000, 3000 + 105, 9000, kMagenta, 2},
                                 OverlayLine{3000, 9000 - 105, 3000, 9000 + 105, kMagenta, 2},
                                 OverlayLine{3150 - 60, 9300, 3150 + 60, 9300, kWhite, 2},
                                 OverlayLine{3150, 9300 - 60, 3150, 9300 + 60, kWhite, 2}};
    EXPECT_EQ(r.shapes, expected);
}

TEST(BuoyMarking, LockedClickMovesTheGridRigidly)
{
    Global g = markedGlobal();
    const MarkResult r = markBuoy(g, Buoy::UpperRight, true, {8300, 1850}, {});
    ASSERT_EQ(r.moved.size(), 4u);
    EXPECT_EQ(r.moved[0].buoy, Buoy::UpperLeft); // visiting order
    EXPECT_EQ(cornerMark(g, Buoy::UpperRight), (Point2{8300, 1850}));
    EXPECT_EQ(cornerMark(g, Buoy::UpperLeft), (Point2{5300, 1850}));
    EXPECT_EQ(cornerMark(g, Buoy::LowerLeft), (Point2{3300, 8850}));
    EXPECT_EQ(cornerMark(g, Buoy::LowerRight), (Point2{11300, 8850}));
    EXPECT_EQ(g.buoy_screen_x[2], 11300);
    EXPECT_EQ(g.point_x[3], 5300);
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
        Global g = markedGlobal();
        const MarkResult r = microAdjust(g, Buoy::UpperLeft, false, c.direction, {});
        ASSERT_EQ(r.moved.size(), 1u);
        EXPECT_EQ(cornerMark(g, Buoy::UpperLeft), c.expected);
        EXPECT_EQ(g.buoy_screen_y[3], c.expected.y);
        EXPECT_EQ(cornerMark(g, Buoy::LowerRight), (Point2{11000, 9000}));
    }
}

TEST(MicroAdjust, NothingSelectedAndUnlockedDoesNothing)
{
    Global g = markedGlobal();
    EXPECT_TRUE(microAdjust(g, std::nullopt, false, AdjustDirection::Up, {}).moved.empty());
    EXPECT_EQ(microAdjust(g, std::nullopt, true, AdjustDirection::Up, {}).moved.size(), 4u);
}

TEST(MicroAdjust, TwentyRightThenTwentyLeftReturnsEveryMark)
{
    Global g = markedGlobal();
    const Global before = g;
    for (int i = 0; i < 20; ++i)
        microAdjust(g, Buoy::LowerRight, true, AdjustDirection::Right, {});
    EXPECT_EQ(cornerMark(g, Buoy::UpperLeft).x, 5300);
    for (int i = 0; i < 20; ++i)
        microAdjust(g, Buoy::LowerRight, true, AdjustDirection::Left, {});
    for (Buoy b : kBuoyVisitOrder)
        EXPECT_EQ(cornerMark(g, b), cornerMark(before, b));
    EXPECT_EQ(g.buoy_screen_x, before.buoy_screen_x);
}

TEST(ChangeRule, SurveyAndJumpBoxesStoreTheirLeadingNumber)
{
    Global g;
    g.setup_ok = 1;
    applyCoordinateChange(g, {BoxKind::SurveyY, Buoy::LowerLeft}, QStringLiteral("-259.5m"));
    EXPECT_EQ(g.buoy_survey_y[4], -259.5);
    EXPECT_EQ(g.setup_ok, 0);
    applyCoordinateChange(g, {BoxKind::SurveyX, Buoy::UpperRight}, QStringLiteral("abc"));
    EXPECT_EQ(g.buoy_survey_x[1], 0.0);
    applyCoordinateChange(g, {BoxKind::JumpX}, QStringLiteral(" 2"));
    applyCoordinateChange(g, {BoxKind::JumpY}, QStringLiteral("-180"));
    EXPECT_EQ(g.jump_survey_x, 2.0);
    EXPECT_EQ(g.slot_jump_x, 2.0);
    EXPECT_EQ(g.jump_survey_y, -180.0);
    EXPECT_EQ(g.slot_jump_y, -180.0);
    g.buoy_screen_x[3] = 77;
    g.setup_ok = 1;
    applyCoordinateChange(g, {BoxKind::ScreenX, Buoy::UpperLeft}, QStringLiteral("12"));
    EXPECT_EQ(g.buoy_screen_x[3], 77); // marks come only from clicks, loads and nudges
    EXPECT_EQ(g.setup_ok, 0);
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
    Global g = markedGlobal();
    g.click_x = 1;
    MarkResult r = placeTypedMark(g, {BoxKind::ScreenX, Buoy::LowerLeft}, 3300, false, {});
    ASSERT_EQ(r.moved.size(), 1u);
    EXPECT_EQ(cornerMark(g, Buoy::LowerLeft), (Point2{3300, 9000}));
    EXPECT_EQ(g.buoy_screen_x[4], 3300);
    EXPECT_EQ(g.point_x[4], 3300);
    EXPECT_EQ(cornerMark(g, Buoy::UpperLeft), (Point2{5000, 2000}));
    EXPECT_EQ(g.click_x, 1); // typing is not a click

    // Locked, the grid moves rigidly by the typed buoy's offset.
    r = placeTypedMark(g, {BoxKind::ScreenY, Buoy::UpperRight}, 1700, true, {});
    ASSERT_EQ(r.moved.size(), 4u);
    EXPECT_EQ(cornerMark(g, Buoy::UpperRight), (Point2{8000, 1700}));
    EXPECT_EQ(cornerMark(g, Buoy::LowerLeft), (Point2{3300, 8700}));
    EXPECT_EQ(g.buoy_screen_y[2], 8700);
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
    const Global g = markedGlobal();
    const OverlayShapes s = exitShapes(g);
    ASSERT_EQ(s.size(), 10u);
    EXPECT_EQ(s[0], OverlayShape(OverlayLine{4900, 2000, 5100, 2000, kWhite, 2}));
    EXPECT_EQ(s[3], OverlayShape(OverlayLine{8000, 1900, 8000, 2100, kWhite, 2}));
    EXPECT_EQ(s[8], OverlayShape(OverlayLine{11000, 9000, 8000, 2000, kWhite, 2}));
    EXPECT_EQ(s[9], OverlayShape(OverlayLine{3000, 9000, 5000, 2000, kWhite, 2}));
}

} // namespace
