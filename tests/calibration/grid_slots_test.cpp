#include "calibration/geometry_checks.h"
#include "calibration/grid_slots.h"
#include "support/paths.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

SetupFileData fixture(const char* name)
{
    const SetupFileRead r = readSetupFile(fixturePath(name));
    EXPECT_TRUE(r.data);
    return r.data.value_or(SetupFileData{});
}

TEST(GridSlots, LoadFillsSlotOneAndTheWorkingCalibration)
{
    Global g;
    g.grid_number = 2;
    g.grid_count = 1;
    const SetupFileData d = fixture("exponent-form-jump.ipt");
    applyLoadedSetup(g, d, "/x/jump.ipt");
    EXPECT_EQ(g.grid_number, 1);
    EXPECT_EQ(g.setup_ok, 1);
    EXPECT_TRUE(g.grid_loaded[1]);
    EXPECT_EQ(g.grid_desc1[1], "/x/jump.ipt");
    EXPECT_EQ(g.grid_desc2[1], "Jump course, west tower, 11 m, zoom 3");
    EXPECT_EQ(g.ur_screen_x, 7692);
    EXPECT_EQ(g.lr_screen_y, 9734);
    EXPECT_EQ(g.ul_screen_x, 7520);
    EXPECT_EQ(g.ll_screen_x, 7929);
    EXPECT_EQ(g.buoy_survey_y[2], -280);
    EXPECT_EQ(g.jump_survey_y, -180);
    EXPECT_EQ(g.slot_jump_x, 2);
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_EQ(g.grid_matrix[k][9], d.transform.c[k]);
    const SetupFileData slot = slotData(g, 1);
    EXPECT_EQ(slot.points[1].screen, d.points[1].screen);
    EXPECT_EQ(slot.transform.c, d.transform.c);
    EXPECT_EQ(slot.jump, d.jump);
    EXPECT_EQ(slot.trailer, d.trailer);
}

TEST(GridSlots, AnEmptySlotIsNoCalibrationAndSlotOneComesBackComplete)
{
    Global g;
    applyLoadedSetup(g, fixture("exponent-form-slalom.ipt"), "s.ipt");
    const GridMatrix loaded = g.grid_matrix;
    EXPECT_EQ(nextGridCaption(g, "Grid 1"), "Grid 2");
    EXPECT_EQ(slotBoxTexts(g, 2)[Buoy::LowerLeft].screenY, kUnmarkedText);
    EXPECT_FALSE(selectSlot(g, g.grid_number));
    EXPECT_EQ(g.setup_ok, 0);
    EXPECT_EQ(g.grid_matrix[1][9], 0);
    EXPECT_FALSE(currentSlotHoldsCalibration(g));

    EXPECT_EQ(nextGridCaption(g, "Grid 2"), "Grid 1");
    EXPECT_TRUE(selectSlot(g, g.grid_number));
    EXPECT_EQ(g.setup_ok, 1);
    EXPECT_EQ(g.grid_matrix, loaded);
    // A loaded slot is still incomplete while a slot up to grid_count is empty.
    g.grid_count = 2;
    EXPECT_FALSE(selectSlot(g, 1));
}

TEST(GridSlots, WorkingDataCarriesTheCurrentSlotNumber)
{
    Global g;
    applyLoadedSetup(g, fixture("exponent-form-slalom.ipt"), "s.ipt");
    g.jump_survey_x = 3;
    const SetupFileData d = workingData(g);
    EXPECT_EQ(d.trailer, (std::array<double, 3>{10, 2, 1}));
    EXPECT_EQ(d.jump.x, 3);
    EXPECT_EQ(d.points[0].screen, (Point2{8136, 4527}));
}

TEST(GridSlots, BoxTextsUseTheStrForm)
{
    const CoordinateTexts t = boxTextsFor(fixture("exponent-form-slalom.ipt"));
    EXPECT_EQ(t[Buoy::UpperRight].screenX, " 8136");
    EXPECT_EQ(t[Buoy::LowerLeft].surveyY, "-259");
    EXPECT_EQ(t[Buoy::UpperLeft].surveyX, " 2.5");
    EXPECT_EQ(t.jumpX, " 0");
}

TEST(StandardSetupFiles, ShippedFilesAreCompleteCalibrationsOfTheStandardCourses)
{
    struct Case
    {
        const char* resource;
        double width;
        double length;
    };
    for (const Case& c :
         {Case{":/program/SlalomOK.ipt", 2.5, -259}, Case{":/program/JumpOK.ipt", 4, -280}}) {
        QFile f(QString::fromLatin1(c.resource));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.resource;
        const SetupFileRead r = parseSetupFile(decodeText(f.readAll()));
        ASSERT_TRUE(r.data) << c.resource;
        EXPECT_EQ(r.data->points[2].survey, (Point2{c.width, 0}));
        EXPECT_EQ(r.data->points[3].survey, (Point2{c.width, c.length}));
        for (const ReferencePoint& p : r.data->points) {
            const auto m = r.data->transform.toCourse(p.screen);
            EXPECT_NEAR(m->point.x, p.survey.x, 1e-9);
            EXPECT_NEAR(m->point.y, p.survey.y, 1e-9);
            EXPECT_GE(p.screen.x, 0);
            EXPECT_LT(p.screen.x, 1024 * 15);
            EXPECT_LT(p.screen.y, 768 * 15);
        }
        EXPECT_FALSE(perspectiveCheck("1024", boxTextsFor(*r.data)).warning) << c.resource;
    }
}

} // namespace
