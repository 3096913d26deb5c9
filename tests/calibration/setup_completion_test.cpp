#include "calibration/grid_slots.h"
#include "calibration/setup_completion.h"

#include <gtest/gtest.h>

namespace {

// Marks and survey boxes of a slalom course seen from behind.
struct Marked
{
    Global g;
    CoordinateTexts texts;
    Marked()
    {
        const std::array<std::pair<Buoy, Point2>, 4> marks{{{Buoy::UpperRight, {8085, 1815}},
                                                            {Buoy::LowerRight, {12315, 9780}},
                                                            {Buoy::UpperLeft, {5190, 1815}},
                                                            {Buoy::LowerLeft, {6945, 9780}}}};
        for (const auto& [b, m] : marks) {
            markBuoy(g, b, false, m, {});
            texts[b].screenX = QString::number(m.x);
            texts[b].screenY = QString::number(m.y);
        }
        texts[Buoy::UpperLeft].surveyX = QStringLiteral("2.5");
        texts[Buoy::UpperLeft].surveyY = QStringLiteral("0");
        texts[Buoy::UpperRight].surveyX = QStringLiteral("0");
        texts[Buoy::UpperRight].surveyY = QStringLiteral("0");
        texts[Buoy::LowerLeft].surveyX = QStringLiteral("2.5");
        texts[Buoy::LowerLeft].surveyY = QStringLiteral("-259");
        texts[Buoy::LowerRight].surveyX = QStringLiteral("0");
        texts[Buoy::LowerRight].surveyY = QStringLiteral("-259");
        g.slot_jump_x = 1;
        g.slot_jump_y = -2;
    }
};

TEST(Complete, SolvesStoresSlotOneAndMarksComplete)
{
    Marked m;
    const CompletionResult r = completeSetup(m.g, m.texts, "desc one", "desc two");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(m.g.setup_ok, 1);
    EXPECT_TRUE(m.g.grid_loaded[1]);
    EXPECT_EQ(m.g.grid_desc1[1], QStringLiteral("desc one"));
    EXPECT_EQ(m.g.grid_desc2[1], QStringLiteral("desc two"));
    const CourseTransform t = CourseTransform::fromMatrix(m.g.grid_matrix);
    for (size_t k = 1; k <= 4; ++k) {
        const auto c = t.toCourse({m.g.buoy_screen_x[k], m.g.buoy_screen_y[k]});
        EXPECT_NEAR(c->point.x, m.g.buoy_survey_x[k], 1e-9);
        EXPECT_NEAR(c->point.y, m.g.buoy_survey_y[k], 1e-9);
    }
    const auto& slot = m.g.grid_slots[1];
    EXPECT_EQ(slot[3], 8085);  // point 1 screen x
    EXPECT_EQ(slot[8], 9780);  // point 2 screen y
    EXPECT_EQ(slot[10], -259); // point 2 survey y
    EXPECT_EQ(slot[19], t.c[1]);
    EXPECT_EQ(slot[27], 1);
    EXPECT_EQ(slot[28], -2);
    EXPECT_EQ(slot[29], 10);
    EXPECT_EQ(slot[30], 2);
    EXPECT_EQ(slot[31], 5);
}

TEST(Complete, OnlyTheFirstGridCountMakesItComplete)
{
    Marked m;
    m.g.grid_count = 2;
    ASSERT_TRUE(completeSetup(m.g, m.texts, "", "").ok);
    EXPECT_EQ(m.g.setup_ok, 0);
}

class CompleteMissing : public testing::TestWithParam<std::tuple<Buoy, int>>
{
};

TEST_P(CompleteMissing, WarnsAndKeepsEverything)
{
    Marked m;
    const auto [buoy, field] = GetParam();
    QString* texts[] = {&m.texts[buoy].screenX, &m.texts[buoy].screenY, &m.texts[buoy].surveyX,
                        &m.texts[buoy].surveyY};
    *texts[field] = field < 2 ? kUnmarkedText : kNoSurveyText;
    m.g.grid_matrix[3][9] = 42.0;
    m.g.setup_ok = 1;
    const CompletionResult r = completeSetup(m.g, m.texts, "", "");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("Warning - Not all parameters have been set up on grid"));
    EXPECT_EQ(m.g.grid_matrix[3][9], 42.0);
    EXPECT_EQ(m.g.setup_ok, 1);
    EXPECT_FALSE(m.g.grid_loaded[1]);
}

INSTANTIATE_TEST_SUITE_P(EveryBox, CompleteMissing,
                         testing::Combine(testing::Values(Buoy::UpperLeft, Buoy::UpperRight,
                                                          Buoy::LowerLeft, Buoy::LowerRight),
                                          testing::Values(0, 1, 2, 3)));

TEST(Complete, TwoBuoysOnOnePointKeepThePreviousCoefficients)
{
    Marked m;
    ASSERT_TRUE(completeSetup(m.g, m.texts, "", "").ok);
    const GridMatrix before = m.g.grid_matrix;
    const GridSlots slotsBefore = m.g.grid_slots;
    markBuoy(m.g, Buoy::LowerLeft, false, {12315, 9780}, {}); // onto the lower right mark
    m.g.setup_ok = 0;
    const CompletionResult r = completeSetup(m.g, m.texts, "x", "y");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("No Unique Solution - Re-enter data"));
    EXPECT_EQ(m.g.grid_matrix, before);
    EXPECT_EQ(m.g.grid_slots, slotsBefore);
    EXPECT_EQ(m.g.setup_ok, 0);
}

TEST(Complete, SurveyBoxesAreReadByTheirLeadingNumber)
{
    Marked m;
    m.texts[Buoy::LowerLeft].surveyY = QStringLiteral("-259 m");
    m.texts[Buoy::UpperLeft].surveyX = QStringLiteral("2.5abc");
    ASSERT_TRUE(completeSetup(m.g, m.texts, "", "").ok);
    EXPECT_EQ(m.g.buoy_survey_y[4], -259);
    EXPECT_EQ(m.g.buoy_survey_x[3], 2.5);
}

} // namespace
