#include "common/text_file.h"
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
            samples.deviations[size_t(i)] = ((i * 37) % 41 - 20) / 100.0;
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

// A file written with the names left empty analyses like any other, and one written when the
// list titles were recorded as names still reads, its titles carried as the names they were.
TEST(AnalyseFile, EmptyNamesAndOldTitleNamesBothRead)
{
    PassSamples samples;
    summariseSamples(samples, 162);
    RunInfo titled;
    titled.skier = QStringLiteral("Skiers");
    titled.driver = QStringLiteral("Drivers");
    titled.boatMaker = QStringLiteral("Boat Manufacturer");
    for (const RunInfo& run : {RunInfo(), titled}) {
        const QString report = analysePass(run, samples, 161, kNow).report;
        const FileAnalysis a =
            analyseResultsFile(savedResultsText(report), kNow, AnalysisOutput::DatabaseLine);
        ASSERT_TRUE(a.ok) << a.reason.toStdString();
        const QStringList f = a.databaseLine.split('|');
        ASSERT_EQ(f.size(), 22);
        EXPECT_EQ(f[1], run.boatMaker);
        EXPECT_EQ(f[4], run.driver);
        EXPECT_EQ(f[5], run.skier);
        EXPECT_EQ(f[3], QStringLiteral("S"));
    }
}

TEST(AnalyseFile, UnknownPassLengthLeavesTheSpeedEmpty)
{
    RunInfo run = jumpRun();
    PassSamples samples;
    summariseSamples(samples, 100);
    const QString report = analysePass(run, samples, 99, kNow).report;
    const FileAnalysis a =
        analyseResultsFile(savedResultsText(report), kNow, AnalysisOutput::DatabaseLine);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.databaseLine.split('|')[6], QString());
    EXPECT_EQ(a.databaseLine.split('|')[7], QString());
    EXPECT_EQ(a.notes, QStringList{QStringLiteral(
                           "no speed gives a pass of 99 tenths; the speed field is empty")});
}

TEST(AnalyseFile, SlalomFileWithoutLineLengthGivesAReportButNoDatabaseLine)
{
    RunInfo run;
    PassSamples samples;
    summariseSamples(samples, 162);
    const QString report = analysePass(run, samples, 161, kNow).report;
    QString text = savedResultsText(report);
    text.remove(QStringLiteral("Line Length: 11.25m\r\n"));
    const FileAnalysis a = analyseResultsFile(text, kNow);
    ASSERT_TRUE(a.ok) << a.reason.toStdString();
    EXPECT_TRUE(a.report.contains(QStringLiteral("\r\nLine Length: \r\n")));
    const FileAnalysis db = analyseResultsFile(text, kNow, AnalysisOutput::DatabaseLine);
    EXPECT_FALSE(db.ok);
    EXPECT_EQ(db.line, 26);
    EXPECT_EQ(db.reason, QStringLiteral("no \"Line Length:\" line; the database line needs it"));
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
                    BadCase{"Jump Pass Results\r\nBoat is going away from camera\r\nFrame  0   "
                            "Course Position: 000.0   Deviation:  0\r\n\r\n",
                            3, "at least 11 samples"},
                    BadCase{"Slalom Pass Results\r\nLine Length: 30.00m\r\nBoat is going away "
                            "from camera\r\nFrame  0   Course Position: 000.0   Deviation:  0\r\n",
                            4, "at least 11"},
                    BadCase{"Slalom Pass Results\r\nBoat is going away from camera\r\nBuoy  1 "
                            "Sample: 27.0       -.05\r\n\r\n",
                            3, "\"Buoy\" layout"}));

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

namespace {

// A saved pass with its lines numbered as the report writes them: line 26 "Frames Measured:",
// line 28 + k sample k, the closing lines after the last sample.
QString savedSlalomPass(int passTenths, QString* report = nullptr)
{
    RunInfo run;
    run.direction = Direction::Away;
    PassSamples samples;
    for (int i = 0; i <= passTenths; ++i)
        samples.deviations[size_t(i)] = ((i * 37) % 41 - 20) / 100.0;
    samples.deviations[40] = 0.31;
    samples.deviations[size_t(passTenths)] = -0.12;
    summariseSamples(samples, passTenths + 1);
    const QString text = analysePass(run, samples, passTenths, kNow).report;
    if (report)
        *report = text;
    return savedResultsText(text);
}

QString joined(const QStringList& lines)
{
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

// The first `count` lines, each with its line end.
QString firstLines(const QString& text, int count)
{
    return joined(splitLines(text).mid(0, count));
}

// Line `number` (1-based) replaced by `with`; an empty list removes it.
QString withLine(const QString& text, int number, const QStringList& with)
{
    QStringList lines = splitLines(text);
    lines.removeAt(number - 1);
    for (int i = 0; i < with.size(); ++i)
        lines.insert(number - 1 + i, with[i]);
    return joined(lines);
}

QString lineOf(const QString& text, int number)
{
    return splitLines(text).value(number - 1);
}

// A way a file gets cut or damaged, and what the analysis makes of it: the whole pass, or a
// refusal that names the line and says why.
struct Damage
{
    const char* name;
    int passTenths;
    QString (*damage)(const QString& saved);
    int refusedAt; // 0: analysed, the report is the original's
    const char* reason;
};

void PrintTo(const Damage& d, std::ostream* os)
{
    *os << d.name;
}

class DamagedFile : public testing::TestWithParam<Damage>
{
};

TEST_P(DamagedFile, IsAnalysedWholeOrRefusedWithTheReason)
{
    const Damage& d = GetParam();
    QString report;
    const QString saved = savedSlalomPass(d.passTenths, &report);
    const FileAnalysis a = analyseResultsFile(d.damage(saved), kNow);
    if (d.refusedAt == 0) {
        ASSERT_TRUE(a.ok) << a.reason.toStdString();
        EXPECT_EQ(a.report, report);
        return;
    }
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.line, d.refusedAt);
    EXPECT_TRUE(a.reason.contains(QLatin1String(d.reason))) << a.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedFile,
    testing::Values(
        Damage{"ClosingLinesCutOff", 161, [](const QString& s) { return firstLines(s, 189); }, 0,
               ""},
        Damage{"RepeatedHeaderLine", 161,
               [](const QString& s) {
                   return withLine(s, 2, {lineOf(s, 2), lineOf(s, 2)});
               },
               0, ""},
        // "-.12" cut to "-.1" still reads as a number.
        Damage{"CutInsideTheLastSample", 161,
               [](const QString& s) { return firstLines(s, 189).chopped(3); }, 189, "no line end"},
        Damage{"CutAfterSample99", 161, [](const QString& s) { return firstLines(s, 127); }, 127,
               "stop after sample 99, but line 26 says 162 were measured: the file is cut off"},
        Damage{"ZeroFilledTail", 161,
               [](const QString& s) { return firstLines(s, 127) + QString(300, QChar(0)); }, 128,
               "line 26 says 162 were measured: the file is damaged"},
        // 46 km/h cut to the length of a 49 km/h pass, its count line gone too: the course
        // positions still tell.
        Damage{"CutToTheLengthOfAnotherSpeed", 203,
               [](const QString& s) { return withLine(firstLines(s, 218), 26, {}); }, 28,
               "course position 001.3 is not that of sample 1 in a pass of 191 samples (001.4)"},
        Damage{"RepeatedSampleLine", 161,
               [](const QString& s) {
                   return withLine(s, 100, {lineOf(s, 100), lineOf(s, 100)});
               },
               101, "sample 72 again"},
        Damage{"MissingSampleLine", 161, [](const QString& s) { return withLine(s, 100, {}); }, 100,
               "sample 73 where sample 72 belongs"},
        Damage{"SampleLineCutInHalf", 161,
               [](const QString& s) { return withLine(s, 100, {lineOf(s, 100).left(24)}); }, 100,
               "not a whole sample line"},
        Damage{"ForeignLineAmongSamples", 161,
               [](const QString& s) {
                   return withLine(s, 100, {lineOf(s, 100), QString()});
               },
               101, "a sample line follows at line 102"},
        Damage{"DeviationMovedOutOfItsColumns", 161,
               [](const QString& s) {
                   return withLine(s, 68,
                                   {lineOf(s, 68).replace(QStringLiteral("Deviation: "),
                                                          QStringLiteral("Deviation:      "))});
               },
               68, "not in the columns"},
        Damage{"NoDirectionLine", 161, [](const QString& s) { return withLine(s, 11, {}); }, 26,
               "no direction line"},
        Damage{"ContradictingDirection", 161,
               [](const QString& s) {
                   return withLine(
                       s, 11, {lineOf(s, 11), QStringLiteral("Boat is coming toward the camera")});
               },
               12, "contradicts line 11"}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

} // namespace
