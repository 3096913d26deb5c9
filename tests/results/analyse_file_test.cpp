#include "results/analyse_file.h"
#include "results/pass_report.h"
#include "results/results_file.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 4, 3));

RunInfo jumpRun()
{
    RunInfo r;
    r.event = Event::Jump;
    r.jumpSpeed = 8; // "72/45": 140 tenths
    r.skier = QStringLiteral("Ann");
    r.driver = QStringLiteral("Carl");
    r.boatMaker = QStringLiteral("Malibu");
    r.tournament = QStringLiteral("Open");
    r.location = QStringLiteral("Lake");
    r.date = QStringLiteral("Dec 7");
    return r;
}

TEST(AnalyseFile, SavedPassGivesBackTheSameReport)
{
    for (const RunInfo& run : {jumpRun(), [] {
                                   RunInfo r;
                                   r.lineLength = 8;
                                   r.direction = Direction::Away;
                                   r.slalomSpeed = 4;
                                   return r;
                               }()}) {
        const int tenths = run.event == Event::Jump ? 140 : 203;
        PassSamples samples;
        for (int i = 0; i <= tenths; ++i)
            samples.Deviations[size_t(i)] = ((i * 37) % 41 - 20) / 100.0;
        summariseSamples(samples, tenths + 1);
        const QString report = analysePass(run, samples, tenths, kNow).report;
        const FileAnalysis a = analyseResultsFile(savedResultsText(report), kNow);
        ASSERT_TRUE(a.ok) << a.reason.toStdString();
        EXPECT_EQ(a.report, report);
    }
}

TEST(AnalyseFile, DatabaseLineTakesSpeedFromTheTenthsAndLineFromTheHeader)
{
    RunInfo run;
    run.lineLength = 8;  // " 9.75m"
    run.slalomSpeed = 1; // 55 km/h: 170 tenths
    PassSamples samples;
    summariseSamples(samples, 171);
    const QString report = analysePass(run, samples, 170, kNow).report;
    const FileAnalysis a = analyseResultsFile(savedResultsText(report), kNow);
    ASSERT_TRUE(a.ok);
    const QStringList f = a.databaseLine.split('|');
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[3], QStringLiteral("S"));
    EXPECT_EQ(f[6], QStringLiteral("55"));
    EXPECT_EQ(f[7], QStringLiteral("9.75"));
    EXPECT_EQ(f[12] + f[13] + f[21], QString());
}

TEST(AnalyseFile, UnknownPassLengthLeavesTheSpeedEmpty)
{
    RunInfo run = jumpRun();
    PassSamples samples;
    summariseSamples(samples, 100);
    const QString report = analysePass(run, samples, 99, kNow).report;
    const FileAnalysis a = analyseResultsFile(savedResultsText(report), kNow);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.databaseLine.split('|')[6], QString());
    EXPECT_EQ(a.databaseLine.split('|')[7], QString());
}

struct BadCase
{
    const char* text;
    int line;
    const char* reason;
};

class BadFile : public testing::TestWithParam<BadCase>
{
};

TEST_P(BadFile, NamesTheLineAndTheReason)
{
    const FileAnalysis a = analyseResultsFile(QString::fromLatin1(GetParam().text), kNow);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.line, GetParam().line);
    EXPECT_TRUE(a.reason.contains(QLatin1String(GetParam().reason))) << a.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFile,
    testing::Values(BadCase{"", 1, "neither"}, BadCase{"\xff\xfe\x00garbage", 1, "neither"},
                    BadCase{"Jump Pass Results\r\nSkier Name: A\r\n", 2, "before any sample"},
                    BadCase{"Jump Pass Results\r\nFrame  0   Course Position: 000.0   "
                            "Deviation:  0\r\n\r\n",
                            2, "at least 11 samples"},
                    BadCase{"Slalom Pass Results\r\nLine Length: 30.00m\r\nFrame  0   Course "
                            "Position: 000.0   Deviation:  0\r\n\r\n",
                            3, "at least 11"}));

} // namespace

namespace {

TEST(AnalyseFile, UnknownLineLengthNamesItsLine)
{
    RunInfo run;
    PassSamples samples;
    summariseSamples(samples, 162);
    QString text = savedResultsText(analysePass(run, samples, 161, kNow).report);
    text.replace(QStringLiteral("Line Length: 11.25m"), QStringLiteral("Line Length: 30.00m"));
    const FileAnalysis a = analyseResultsFile(text, kNow);
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.line, 10);
    EXPECT_EQ(a.reason, QStringLiteral("unknown line length \"30.00m\""));
}

} // namespace
