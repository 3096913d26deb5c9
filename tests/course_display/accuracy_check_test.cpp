#include "course_display/accuracy_check.h"
#include "support/worked_example.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iomanip>
#include <ostream>

namespace {

AccuracyCheckInput workedExampleInput(AccuracyDisplay display = AccuracyDisplay::Detail)
{
    AccuracyCheckInput in;
    in.transform = workedExampleTransform();
    in.jumpPoint = {1.25, -150};
    in.display = display;
    in.clock = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3));
    in.description1 = QStringLiteral("C:\\Wakeline\\SlalomOK.ipt");
    in.description2 = QStringLiteral("Lake east bank, camera tower");
    in.gridNumber = 1;
    in.frontRatio = 26.0416;
    in.backRatio = 3.47;
    in.boxes[Buoy::UpperLeft] = {" 470", " 300", "2.5", "0"};
    in.boxes[Buoy::LowerLeft] = {" 300", " 900", "2.5", "-259"};
    in.boxes[Buoy::UpperRight] = {" 520", " 300", "0", "0"};
    in.boxes[Buoy::LowerRight] = {" 700", " 900", "0", "-259"};
    in.boxes.jumpX = QStringLiteral("1.25");
    in.boxes.jumpY = QStringLiteral("-150");
    return in;
}

struct LevelCase
{
    double hinc;
    const char* level;
    friend void PrintTo(const LevelCase& c, std::ostream* os)
    {
        *os << std::setprecision(10) << c.hinc << " m";
    }
};
class HomologationLevel : public ::testing::TestWithParam<LevelCase>
{
};

TEST_P(HomologationLevel, ThresholdsBelongToTheFinerLevel)
{
    EXPECT_EQ(accuracyIndicatorText(AccuracyDisplay::HomologationLevel, 50.0, GetParam().hinc),
              QString::fromLatin1(GetParam().level));
}

INSTANTIATE_TEST_SUITE_P(Thresholds, HomologationLevel,
                         ::testing::Values(LevelCase{0.0, "R"}, LevelCase{0.1, "R"},
                                           LevelCase{0.10000001, "L"}, LevelCase{0.15, "L"},
                                           LevelCase{0.15000001, "C"}, LevelCase{0.2, "C"},
                                           LevelCase{0.20000001, "NH"}, LevelCase{3.0, "NH"}));

struct TextCase
{
    AccuracyDisplay display;
    double D;
    double hinc;
    const char* text;
    friend void PrintTo(const TextCase& c, std::ostream* os)
    {
        *os << int(c.display) << " D " << c.D << " hinc " << c.hinc;
    }
};
class IndicatorText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(IndicatorText, RoundedHalfUpInTheNumberTextForm)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(accuracyIndicatorText(c.display, c.D, c.hinc), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(Displays, IndicatorText,
                         ::testing::Values(TextCase{AccuracyDisplay::Detail, 99.0, 0.047, " .05"},
                                           TextCase{AccuracyDisplay::Detail, 99.0, 0.125, " .13"},
                                           TextCase{AccuracyDisplay::Detail, 99.0, 0.004, " 0"},
                                           TextCase{AccuracyDisplay::Detail, 99.0, 1.2, " 1.2"},
                                           TextCase{AccuracyDisplay::Distance, 125.149, 0.5,
                                                    " 125.1"},
                                           TextCase{AccuracyDisplay::Distance, 3.25, 0.5, " 3.3"},
                                           TextCase{AccuracyDisplay::Distance, 2.1, 0.5, " 2.1"}));

TEST(AccuracyGrid, RowsAlongTheCourseColumnsAcrossFromTheFarLine)
{
    const auto grid = accuracyGrid();
    const double rows[] = {-27, -68, -109, -150, -191, -232};
    for (int a = 0; a < kAccuracyColumns; ++a) {
        for (int b = 0; b < kAccuracyRows; ++b) {
            const Point2 p = grid[size_t(b + 6 * a)];
            EXPECT_EQ(p, accuracyGridPoint(b, a));
            EXPECT_NEAR(p.y, rows[b], 1e-12);
            EXPECT_NEAR(p.x, 2.4 - 2.3 * a / 6, 1e-12);
        }
    }
    // The corners are the given values, not interpolated ones.
    EXPECT_EQ(grid[0], (Point2{2.4, -27}));
    EXPECT_EQ(grid[41], (Point2{0.1, -232}));
}

TEST(AccuracyCheck, FortyTwoIndicatorsIndexedRowPlusSixTimesColumn)
{
    const AccuracyCheckResult r = runAccuracyCheck(workedExampleInput());
    EXPECT_EQ(r.unplaced, 0);
    const CourseTransform t = workedExampleTransform();
    for (int a = 0; a < kAccuracyColumns; ++a) {
        for (int b = 0; b < kAccuracyRows; ++b) {
            const AccuracyPoint& p = r.points[size_t(b + 6 * a)];
            EXPECT_EQ(p.index, b + 6 * a);
            EXPECT_TRUE(p.placed);
            EXPECT_EQ(p.course, accuracyGridPoint(b, a));
            const Point2 s = t.toScreen(p.course)->point;
            EXPECT_EQ(p.screen, s);
            // Placed under the point one pixel below the grid point.
            EXPECT_EQ(p.left, s.x);
            EXPECT_EQ(p.top, s.y + 15 + 60);
            EXPECT_EQ(p.delta, p.hinc);
        }
    }
    // Values checked by hand from the worked example's mapping.
    EXPECT_NEAR(r.points[0].screen.x, 469.7631439192775, 1e-9);
    EXPECT_NEAR(r.points[0].screen.y, 308.6032926181625, 1e-9);
    EXPECT_NEAR(r.points[0].hinc, 0.681587837837839, 1e-12);
    EXPECT_EQ(r.points[0].text, QStringLiteral(" .68"));
    EXPECT_EQ(r.points[41].text, QStringLiteral(" .16"));
}

TEST(AccuracyCheck, ReportHeaderAndPointLinesByteForByte)
{
    const AccuracyCheckResult r = runAccuracyCheck(workedExampleInput());
    EXPECT_EQ(r.reportFileName, QStringLiteral("acc1207.txt"));
    const QString expectedHeader = QStringLiteral("12-07-2026  09:05:03 Accuracy Check\r\n"
                                                  "Grid Set-up for accuracy check\r\n"
                                                  "C:\\Wakeline\\SlalomOK.ipt\r\n"
                                                  "Lake east bank, camera tower\r\n"
                                                  "Grid Number:  1 \r\n"
                                                  " \r\n"
                                                  "Front Ratio:  26\r\n"
                                                  "Back Ratio:  3\r\n"
                                                  "Upper Left X,Y Pixels:  470   300\r\n"
                                                  "Upper Left X,Y Survey: 2.5  0\r\n"
                                                  " \r\n"
                                                  "Lower Left X,Y Pixels:  300   900\r\n"
                                                  "Lower Left X,Y Survey: 2.5  -259\r\n"
                                                  " \r\n"
                                                  "Upper Right X,Y Pixels:  520   300\r\n"
                                                  "Upper Right X,Y Survey: 0  0\r\n"
                                                  " \r\n"
                                                  "Lower Right X,Y Pixels:  700   900\r\n"
                                                  "Lower Right X,Y Survey: 0  -259\r\n"
                                                  " \r\n"
                                                  "Jump X,Y Survey: 1.25  -150\r\n"
                                                  " \r\n");
    const QString firstPoint = QStringLiteral(
        "xpix:  2  ypix: -27  x:  2.25  y: -63.91  distance:  125.11  v inc:  88.19  h inc:  .68"
        "  delta:  .68\r\n"
        "new method\r\n"
        "xpix:  469.763143919278  ypix:  323.603292618163  x:  2.25  y: -63.91  h inc:  .68\r\n");
    const QString lastPoint = QStringLiteral(
        "xpix:  0  ypix: -232  x:  .14  y: -234.33  distance:  84.11  v inc:  86.44  h inc:  .16"
        "  delta:  .16\r\n"
        "new method\r\n"
        "xpix:  603.964285714285  ypix:  625.714285714286  x:  .14  y: -234.33  h inc:  .16\r\n");
    EXPECT_TRUE(r.reportText.startsWith(expectedHeader + firstPoint)) << r.reportText.toStdString();
    EXPECT_TRUE(r.reportText.endsWith(lastPoint)) << r.reportText.toStdString();
    EXPECT_EQ(r.reportText.count(QStringLiteral("\r\n")), 22 + 42 * 3);
    EXPECT_EQ(r.reportText.count(QStringLiteral("\n")), 22 + 42 * 3); // no bare line feeds
}

TEST(AccuracyCheck, DisplayOptionChangesOnlyTheIndicators)
{
    const AccuracyCheckResult detail = runAccuracyCheck(workedExampleInput());
    const AccuracyCheckResult level =
        runAccuracyCheck(workedExampleInput(AccuracyDisplay::HomologationLevel));
    const AccuracyCheckResult distance =
        runAccuracyCheck(workedExampleInput(AccuracyDisplay::Distance));
    EXPECT_EQ(detail.reportText, level.reportText);
    EXPECT_EQ(detail.reportText, distance.reportText);
    EXPECT_EQ(level.points[0].text, QStringLiteral("NH")); // .68 m per pixel
    EXPECT_EQ(level.points[41].text, QStringLiteral("C")); // .16 m per pixel
    EXPECT_EQ(distance.points[0].text, QStringLiteral(" 125.1"));
    EXPECT_EQ(distance.points[3].text, QStringLiteral(" 3.3"));
}

TEST(AccuracyCheck, CalibrationThatPlacesNothingWritesNoNonsense)
{
    // The empty second grid slot: zero coefficients, every mapping fails.
    AccuracyCheckInput in = workedExampleInput();
    in.transform = CourseTransform{};
    const AccuracyCheckResult r = runAccuracyCheck(in);
    EXPECT_EQ(r.unplaced, 42);
    for (const AccuracyPoint& p : r.points)
        EXPECT_FALSE(p.placed);
    EXPECT_FALSE(r.reportText.contains(QStringLiteral("nan"), Qt::CaseInsensitive));
    EXPECT_FALSE(r.reportText.contains(QStringLiteral("inf"), Qt::CaseInsensitive));
    EXPECT_EQ(r.reportText.count(QStringLiteral("\r\n")), 22);
    EXPECT_TRUE(unplacedPointsMessage(r.unplaced).startsWith(QStringLiteral("42 of the 42")));
    for (const QString& line : accuracyIndicatorListing(r))
        EXPECT_TRUE(line.endsWith(QStringLiteral("\t-\t-\t-"))) << line.toStdString();
}

TEST(AccuracyCheck, InputFromTheProgramWideCalibration)
{
    const AccuracyCheckInput expected = workedExampleInput(AccuracyDisplay::Distance);
    Calibration calibration;
    calibration.transform = expected.transform;
    calibration.jumpPoint = {1.25, -150};
    calibration.frontRatio = expected.frontRatio;
    calibration.backRatio = expected.backRatio;
    const AccuracyCheckInput in =
        accuracyInputFrom(calibration, 1, expected.boxes, expected.description1,
                          expected.description2, AccuracyDisplay::Distance, expected.clock);
    const AccuracyCheckResult a = runAccuracyCheck(in);
    const AccuracyCheckResult b = runAccuracyCheck(expected);
    EXPECT_EQ(a.reportText, b.reportText);
    EXPECT_EQ(accuracyIndicatorListing(a), accuracyIndicatorListing(b));
}

TEST(AccuracyCheck, DisplayNamesOfTheCommandLine)
{
    EXPECT_EQ(accuracyDisplayFromName(QStringLiteral("homlvl")),
              AccuracyDisplay::HomologationLevel);
    EXPECT_EQ(accuracyDisplayFromName(QStringLiteral("distance")), AccuracyDisplay::Distance);
    EXPECT_EQ(accuracyDisplayFromName(QStringLiteral("detail")), AccuracyDisplay::Detail);
    EXPECT_FALSE(accuracyDisplayFromName(QStringLiteral("Detail")).has_value());
}

TEST(AccuracyCheck, ListingKeepsIndexOrderAndTheIndicatorText)
{
    const AccuracyCheckResult r = runAccuracyCheck(workedExampleInput());
    const QStringList lines = accuracyIndicatorListing(r);
    ASSERT_EQ(lines.size(), 42);
    EXPECT_EQ(lines[0], QStringLiteral("0\t2.4\t-27\t469.7631439192775\t308.6032926181625\t .68"));
    EXPECT_TRUE(lines[41].startsWith(QStringLiteral("41\t0.1\t-232\t")));
}

TEST(AccuracyReportFile, TwoChecksTheSameDayAppendToOneFile)
{
    QTemporaryDir results;
    ASSERT_TRUE(results.isValid());
    AccuracyCheckInput in = workedExampleInput();
    const QString path = accuracyReportPath(results.path(), in.clock);
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("acc1207.txt"));
    const AccuracyCheckResult first = runAccuracyCheck(in);
    ASSERT_TRUE(appendAccuracyReport(path, first).ok);
    in.clock = in.clock.addSecs(3600);
    in.display = AccuracyDisplay::HomologationLevel;
    const AccuracyCheckResult second = runAccuracyCheck(in);
    ASSERT_EQ(accuracyReportPath(results.path(), in.clock), path);
    ASSERT_TRUE(appendAccuracyReport(path, second).ok);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), first.reportText + second.reportText);

    // After midnight the next check starts the next day's file.
    const QDateTime nextDay(QDate(2026, 12, 8), QTime(0, 0, 1));
    EXPECT_EQ(QFileInfo(accuracyReportPath(results.path(), nextDay)).fileName(),
              QStringLiteral("acc1208.txt"));
}

TEST(AccuracyReportFile, UnwritableFolderIsReportedWithTheFileName)
{
    QTemporaryDir results;
    const QString path =
        accuracyReportPath(results.path() + QStringLiteral("/missing"), workedExampleInput().clock);
    const WriteResult w = appendAccuracyReport(path, runAccuracyCheck(workedExampleInput()));
    EXPECT_FALSE(w.ok);
    EXPECT_TRUE(w.message.contains(QStringLiteral("acc1207.txt"))) << w.message.toStdString();
}

} // namespace
