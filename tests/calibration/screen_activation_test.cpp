#include "calibration/screen_activation.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kDay(QDate(2026, 12, 7), QTime(8, 30, 0));

TEST(SurveyDefaults, SwitchOnlyWhenTheUpperLeftXDiffers)
{
    EXPECT_TRUE(surveyDefaults(Event::Slalom, "2.5").empty());
    EXPECT_TRUE(surveyDefaults(Event::Slalom, " 2.5").empty());
    EXPECT_TRUE(surveyDefaults(Event::Jump, "4").empty());
    const auto jump = surveyDefaults(Event::Jump, "2.5");
    ASSERT_EQ(jump.size(), 4u);
    EXPECT_EQ(jump[0].box.kind, BoxKind::SurveyX);
    EXPECT_EQ(jump[0].box.buoy, Buoy::UpperLeft);
    EXPECT_EQ(jump[0].text, "4");
    EXPECT_EQ(jump[1].box.buoy, Buoy::LowerLeft);
    EXPECT_EQ(jump[2].box.kind, BoxKind::SurveyY);
    EXPECT_EQ(jump[2].text, "-280");
    EXPECT_EQ(jump[3].box.buoy, Buoy::LowerRight);
    const auto slalom = surveyDefaults(Event::Slalom, "input");
    ASSERT_EQ(slalom.size(), 4u);
    EXPECT_EQ(slalom[0].text, "2.5");
    EXPECT_EQ(slalom[3].text, "-259");
}

TEST(SurveyDefaults, StandardCoursesInPointOrder)
{
    const auto jump = standardSurvey(Event::Jump);
    EXPECT_EQ(jump[0], (Point2{0, 0}));
    EXPECT_EQ(jump[1], (Point2{0, -280}));
    EXPECT_EQ(jump[2], (Point2{4, 0}));
    EXPECT_EQ(jump[3], (Point2{4, -280}));
    EXPECT_EQ(standardSurvey(Event::Slalom)[3], (Point2{2.5, -259}));
}

TEST(SessionHeaders, OneLineInEachDayLogPerActivation)
{
    QTemporaryDir dir;
    EXPECT_TRUE(appendSessionHeaders(dir.path(), QString(), kDay).isEmpty());
    EXPECT_TRUE(appendSessionHeaders(dir.path() + "/", QString(), kDay).isEmpty());
    QFile result(dir.filePath("ResultLog1207.txt"));
    QFile database(dir.filePath("dbResultLog1207.txt"));
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    ASSERT_TRUE(database.open(QIODevice::ReadOnly));
    const QByteArray line1 = "Test Session Results Log Setup Starting 12-07-2026 08:30:00\r\n";
    const QByteArray line2 = "Test Session Database Log Setup Starting 12-07-2026 08:30:00\r\n";
    EXPECT_EQ(result.readAll(), line1 + line1);
    EXPECT_EQ(database.readAll(), line2 + line2);
}

TEST(SessionHeaders, RelativeFolderIsInsideTheProgramFolder)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("Default");
    EXPECT_TRUE(appendSessionHeaders("Default", dir.path(), kDay).isEmpty());
    EXPECT_TRUE(QFile::exists(dir.filePath("Default/ResultLog1207.txt")));
}

TEST(SessionHeaders, AMissingFolderIsReportedPerFile)
{
    QTemporaryDir dir;
    const QStringList failures = appendSessionHeaders(dir.filePath("gone"), QString(), kDay);
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[0].contains("ResultLog1207.txt"));
    EXPECT_TRUE(failures[1].contains("dbResultLog1207.txt"));
}

} // namespace
