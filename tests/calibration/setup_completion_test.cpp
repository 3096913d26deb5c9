#include "calibration/grid_slots.h"
#include "calibration/setup_completion.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

// Marks and survey boxes of a slalom course seen from behind.
struct Marked
{
    Calibration calibration;
    GridSlots slots;
    CoordinateTexts texts;
    Marked()
    {
        const std::array<std::pair<Buoy, Point2>, 4> marks{{{Buoy::UpperRight, {8085, 1815}},
                                                            {Buoy::LowerRight, {12315, 9780}},
                                                            {Buoy::UpperLeft, {5190, 1815}},
                                                            {Buoy::LowerLeft, {6945, 9780}}}};
        for (const auto& [b, m] : marks) {
            markBuoy(calibration, b, false, m, {});
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
        calibration.jumpPoint = {1, -2};
    }
    CompletionResult complete(const QString& description1 = {}, const QString& description2 = {})
    {
        return completeSetup(calibration, slots, texts, description1, description2);
    }
};

TEST(Complete, SolvesStoresSlotOneAndMarksComplete)
{
    Marked m;
    m.slots.current = 2;
    const CompletionResult r = m.complete("desc one", "desc two");
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(m.calibration.complete);
    EXPECT_EQ(m.slots.current, 1);
    ASSERT_TRUE(m.slots.slot(1));
    const SetupFileData& slot = *m.slots.slot(1);
    EXPECT_EQ(slot.savedPath, QStringLiteral("desc one"));
    EXPECT_EQ(slot.description, QStringLiteral("desc two"));
    const CourseTransform& t = m.calibration.transform;
    for (const ReferencePoint& p : m.calibration.referencePoints()) {
        const auto c = t.toCourse(p.screen);
        EXPECT_NEAR(c->point.x, p.survey.x, 1e-9);
        EXPECT_NEAR(c->point.y, p.survey.y, 1e-9);
    }
    EXPECT_EQ(slot.points[0].screen.x, 8085); // point 1 screen x
    EXPECT_EQ(slot.points[1].screen.y, 9780); // point 2 screen y
    EXPECT_EQ(slot.points[1].survey.y, -259); // point 2 survey y
    EXPECT_EQ(slot.transform, t);
    EXPECT_EQ(slot.jump, (Point2{1, -2}));
    EXPECT_EQ(slot.trailer, (std::array<double, 3>{10, 2, 5}));
}

TEST(Complete, OnlyTheFirstGridCountMakesItComplete)
{
    Marked m;
    m.slots.count = 2;
    ASSERT_TRUE(m.complete().ok);
    EXPECT_FALSE(m.calibration.complete);
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
    m.calibration.transform.c[3] = 42.0;
    m.calibration.complete = true;
    const CompletionResult r = m.complete();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("Warning - Not all parameters have been set up on grid"));
    EXPECT_EQ(m.calibration.transform.c[3], 42.0);
    EXPECT_TRUE(m.calibration.complete);
    EXPECT_FALSE(m.slots.slot(1));
}

INSTANTIATE_TEST_SUITE_P(EveryBox, CompleteMissing,
                         testing::Combine(testing::Values(Buoy::UpperLeft, Buoy::UpperRight,
                                                          Buoy::LowerLeft, Buoy::LowerRight),
                                          testing::Values(0, 1, 2, 3)));

TEST(Complete, TwoBuoysOnOnePointKeepThePreviousCoefficients)
{
    Marked m;
    ASSERT_TRUE(m.complete().ok);
    const CourseTransform before = m.calibration.transform;
    const GridSlots slotsBefore = m.slots;
    markBuoy(m.calibration, Buoy::LowerLeft, false, {12315, 9780}, {}); // onto the lower right
    m.calibration.complete = false;
    const CompletionResult r = m.complete("x", "y");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, QStringLiteral("No Unique Solution - Re-enter data"));
    EXPECT_EQ(m.calibration.transform, before);
    EXPECT_EQ(m.slots, slotsBefore);
    EXPECT_FALSE(m.calibration.complete);
}

struct Spoiled
{
    const char* name;
    std::function<void(Marked&)> spoil;
    const char* messagePart;
};

void PrintTo(const Spoiled& s, std::ostream* os)
{
    *os << s.name;
}

class CompleteImpossible : public testing::TestWithParam<Spoiled>
{
};

TEST_P(CompleteImpossible, IsRefusedAndKeepsTheCalibrationInUse)
{
    Marked m;
    ASSERT_TRUE(m.complete().ok);
    const CourseTransform before = m.calibration.transform;
    const GridSlots slotsBefore = m.slots;
    GetParam().spoil(m);
    m.calibration.complete = false;
    const CompletionResult r = m.complete("x", "y");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QString::fromLatin1(GetParam().messagePart)))
        << r.message.toStdString();
    EXPECT_EQ(m.calibration.transform, before);
    EXPECT_EQ(m.slots, slotsBefore);
    EXPECT_FALSE(m.calibration.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Calibrations, CompleteImpossible,
    testing::Values(
        Spoiled{"MarkBeyondAnyPicture",
                [](Marked& m) {
                    markBuoy(m.calibration, Buoy::LowerLeft, false, {300000, 9780}, {});
                },
                "Warning - The lower left buoy's mark (300000, 9780) lies beyond the reach"},
        // A tenth of a twip off the upper gate's line: no click can tell it from on it.
        Spoiled{"MarksNearlyInLine",
                [](Marked& m) {
                    markBuoy(m.calibration, Buoy::LowerLeft, false, {6945, 1815.1}, {});
                },
                "No Unique Solution - Re-enter data"},
        Spoiled{"SurveyBeyondAnyCourse",
                [](Marked& m) { m.texts[Buoy::UpperLeft].surveyX = "1" + QString(300, '0'); },
                "Warning - The upper left buoy's survey position"},
        Spoiled{"LowerGateSurveySwapped",
                [](Marked& m) {
                    m.texts[Buoy::LowerLeft].surveyX = QStringLiteral("0");
                    m.texts[Buoy::LowerRight].surveyX = QStringLiteral("2.5");
                },
                "Warning - The transform puts the picture's horizon between the marks"}),
    [](const testing::TestParamInfo<Spoiled>& info) { return std::string(info.param.name); });

TEST(Complete, SurveyBoxesAreReadByTheirLeadingNumber)
{
    Marked m;
    m.texts[Buoy::LowerLeft].surveyY = QStringLiteral("-259 m");
    m.texts[Buoy::UpperLeft].surveyX = QStringLiteral("2.5abc");
    ASSERT_TRUE(m.complete().ok);
    EXPECT_EQ(m.calibration.surveyPoint(Buoy::LowerLeft).y, -259);
    EXPECT_EQ(m.calibration.surveyPoint(Buoy::UpperLeft).x, 2.5);
}

} // namespace
