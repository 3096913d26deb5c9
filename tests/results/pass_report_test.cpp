#include "common/text_file.h"
#include "results/day_logs.h"
#include "results/pass_report.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 4, 3));

RunInfo sampleRun()
{
    RunInfo r;
    r.tournament = QStringLiteral("Spring Open");
    r.location = QStringLiteral("Lake Ivy");
    r.date = QStringLiteral("7th Dec");
    r.skier = QStringLiteral("Ann | Bee");
    r.driver = QStringLiteral("Carl");
    r.boatMaker = QStringLiteral("Nautique");
    r.lineLength = 1; // "16.00"
    r.direction = Direction::Away;
    return r;
}

TEST(PassReport, HeaderAndStatisticsLinesAreExact)
{
    PassSamples samples;
    samples.deviations[3] = -0.2;
    summariseSamples(samples, 162);
    const PassAnalysis a = analysePass(sampleRun(), samples, 161, kNow);
    const QStringList lines = splitLines(a.report);
    const QStringList expected{
        QStringLiteral("Slalom Pass Results"),
        QStringLiteral("Skier Name: Ann | Bee"),
        QStringLiteral("Tournament: Spring Open"),
        QStringLiteral("Location: Lake Ivy"),
        QStringLiteral("Date: 7th Dec"),
        QStringLiteral("Driver: Carl"),
        QStringLiteral("Boat: Nautique"),
        QStringLiteral("Date of Measurement: 12-07-2026"),
        QStringLiteral("Time of Measurement: 09:04:03"),
        QStringLiteral("Line Length: 16.00m"),
        QStringLiteral("Boat is going away from camera"),
        QString(),
        QStringLiteral("Full Path Deviation Measurement"),
        QString(),
        QStringLiteral("Boat Path Deviation"),
        QString(),
        QStringLiteral("Boat Statistics: "),
        QStringLiteral("Mean Boat Deviation from best fit line:  .003"),
        QStringLiteral("Maximum Deviation from best fit line:  .195"),
        QString(),
        QStringLiteral("Driver Statistics"),
        QStringLiteral("Mean Absolute Deviation (from center):  .001"),
        QStringLiteral("Max deviation (from center) of  .2 at frame  3"),
        QStringLiteral("Left:  0%  Center:  99%  Right:  1%"),
        QString(),
        QStringLiteral("Frames Measured:  162"),
        QString(),
        QStringLiteral("Frame  0   Course Position: 000.0   Deviation:  0"),
    };
    ASSERT_GE(lines.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
    EXPECT_EQ(lines[30], QStringLiteral("Frame  3   Course Position: 004.8   Deviation: -.2"));
    // Every line, the last one included, ends in CR LF.
    EXPECT_TRUE(a.report.endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(a.report.count(QStringLiteral("\r\n")), a.report.count('\n'));
}

// A run whose names were never picked records them empty: the report, and so the result log
// that takes the report whole, carries no list title as a name.
TEST(PassReport, NamesNotPickedAreRecordedEmpty)
{
    PassSamples samples;
    summariseSamples(samples, 162);
    const QString report = analysePass(RunInfo(), samples, 161, kNow).report;
    const QStringList lines = splitLines(report);
    ASSERT_GE(lines.size(), 7);
    EXPECT_EQ(lines[1], QStringLiteral("Skier Name: "));
    EXPECT_EQ(lines[5], QStringLiteral("Driver: "));
    EXPECT_EQ(lines[6], QStringLiteral("Boat: "));
    const QString logged = resultLogRecord(report);
    for (const char* title : {"Skiers", "Drivers", "Boat Manufacturer", "Boat Model"})
        EXPECT_FALSE(logged.contains(QLatin1String(title))) << title;
}

TEST(PassReport, OneFrameLinePerSampleEndingAtTheCourseLength)
{
    PassSamples samples;
    summariseSamples(samples, 204);
    RunInfo run = sampleRun();
    run.direction = Direction::Toward;
    const QString report = analysePass(run, samples, 203, kNow).report;
    const QStringList frames =
        splitLines(report).filter(QRegularExpression(QStringLiteral("^Frame ")));
    ASSERT_EQ(frames.size(), 204);
    EXPECT_EQ(frames.first(), QStringLiteral("Frame  0   Course Position: 000.0   Deviation:  0"));
    EXPECT_EQ(frames.last(), QStringLiteral("Frame  203   Course Position: 259.0   Deviation:  0"));
    EXPECT_TRUE(report.contains(QStringLiteral("\r\nBoat is coming toward the camera\r\n")));
}

TEST(PassReport, SampleLineLayoutOfTheTwelfthFrame)
{
    PassSamples samples;
    samples.deviations[12] = 0.05;
    summariseSamples(samples, 161);
    const QString report = analysePass(sampleRun(), samples, 160, kNow).report;
    EXPECT_TRUE(report.contains(
        QStringLiteral("\r\nFrame  12   Course Position: 019.4   Deviation:  .05\r\n")));
}

TEST(PassReport, JumpHasNoLineLengthAndUsesTheJumpCourse)
{
    PassSamples samples;
    summariseSamples(samples, 141);
    RunInfo run = sampleRun();
    run.event = Event::Jump;
    const QString report = analysePass(run, samples, 140, kNow).report;
    EXPECT_TRUE(report.startsWith(QStringLiteral("Jump Pass Results\r\n")));
    EXPECT_FALSE(report.contains(QStringLiteral("Line Length")));
    EXPECT_TRUE(report.contains(QStringLiteral("Frame  140   Course Position: 280.0")));
}

TEST(PassReport, ShortLineLengthsCarryALeadingBlank)
{
    EXPECT_EQ(reportLineLength(8), QStringLiteral(" 9.75m"));
    EXPECT_EQ(reportLineLength(9), QStringLiteral(" 9.25m"));
    EXPECT_EQ(reportLineLength(0), QStringLiteral("18.25m"));
    EXPECT_EQ(reportLineLength(-1), QString());
}

TEST(PassReport, SummaryKeepsTheFirstLargestDeviation)
{
    PassSamples samples;
    samples.maxDeviationIndex = 77; // left from an earlier pass when all are zero
    summariseSamples(samples, 20);
    EXPECT_EQ(samples.maxDeviationIndex, 77);
    samples.deviations[4] = -0.3;
    samples.deviations[9] = 0.3;
    summariseSamples(samples, 20);
    EXPECT_EQ(samples.maxDeviationIndex, 4);
    EXPECT_DOUBLE_EQ(samples.meanAbsDeviation, 0.03);
}

} // namespace
