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
    Calibration calibration;
    GridSlots slots;
    slots.current = 2;
    slots.count = 1;
    const SetupFileData d = fixture("exponent-form-jump.ipt");
    applyLoadedSetup(calibration, slots, d, "/x/jump.ipt");
    EXPECT_EQ(slots.current, 1);
    EXPECT_TRUE(calibration.complete);
    ASSERT_TRUE(slots.slot(1));
    EXPECT_EQ(slots.slot(1)->savedPath, "/x/jump.ipt");
    EXPECT_EQ(slots.slot(1)->description, "Jump course, west tower, 11 m, zoom 3");
    EXPECT_EQ(calibration.mark(Buoy::UpperRight).x, 7692);
    EXPECT_EQ(calibration.mark(Buoy::LowerRight).y, 9734);
    EXPECT_EQ(calibration.mark(Buoy::UpperLeft).x, 7520);
    EXPECT_EQ(calibration.mark(Buoy::LowerLeft).x, 7929);
    EXPECT_EQ(calibration.surveyPoint(Buoy::LowerRight).y, -280);
    EXPECT_EQ(calibration.jumpPoint, (Point2{2, -180}));
    EXPECT_EQ(calibration.transform, d.transform);
    const SetupFileData slot = slotData(slots, 1);
    EXPECT_EQ(slot.points[1].screen, d.points[1].screen);
    EXPECT_EQ(slot.transform.c, d.transform.c);
    EXPECT_EQ(slot.jump, d.jump);
    EXPECT_EQ(slot.trailer, d.trailer);
}

TEST(GridSlots, AnEmptySlotIsNoCalibrationAndSlotOneComesBackComplete)
{
    Calibration calibration;
    GridSlots slots;
    applyLoadedSetup(calibration, slots, fixture("exponent-form-slalom.ipt"), "s.ipt");
    const CourseTransform loaded = calibration.transform;
    EXPECT_EQ(selectNextGrid(slots), 2);
    EXPECT_EQ(gridCaption(slots.current), "Grid 2");
    EXPECT_EQ(slotBoxTexts(slots, 2)[Buoy::LowerLeft].screenY, kUnmarkedText);
    EXPECT_FALSE(selectSlot(calibration, slots, slots.current));
    EXPECT_FALSE(calibration.complete);
    EXPECT_EQ(calibration.transform.c[1], 0);
    EXPECT_FALSE(currentSlotHoldsCalibration(slots));

    EXPECT_EQ(selectNextGrid(slots), 1);
    EXPECT_TRUE(selectSlot(calibration, slots, slots.current));
    EXPECT_TRUE(calibration.complete);
    EXPECT_EQ(calibration.transform, loaded);
    // A loaded slot is still incomplete while a slot up to count is empty.
    slots.count = 2;
    EXPECT_FALSE(selectSlot(calibration, slots, 1));
}

TEST(GridSlots, WorkingDataCarriesTheCurrentSlotNumber)
{
    Calibration calibration;
    GridSlots slots;
    applyLoadedSetup(calibration, slots, fixture("exponent-form-slalom.ipt"), "s.ipt");
    calibration.jumpPoint.x = 3;
    const SetupFileData d = workingData(calibration, slots.current);
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
        EXPECT_FALSE(perspectiveCheck(1024, boxTextsFor(*r.data)).warning) << c.resource;
    }
}

} // namespace
