// wakeline-cli accuracy, run as a script would run it.

#include "calibration/setup_file.h"
#include "course_display/accuracy_check.h"
#include "support/cli_run.h"
#include "support/paths.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSlalom = sourcePath("resources/program/SlalomOK.ipt");
const QStringList kNow{"--now", "2026-12-07T14:05:09"};

TEST(CliAccuracy, ListsTheFortyTwoIndicatorsInIndexOrderThenTheReport)
{
    const CliRun r = runCli(QStringList{"accuracy", kSlalom} + kNow);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList listing = r.out.section("12-07-2026", 0, 0).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(listing.size(), 42);
    const auto file = readSetupFile(kSlalom);
    ASSERT_TRUE(file.data.has_value());
    for (int a = 0; a < kAccuracyColumns; ++a)
        for (int b = 0; b < kAccuracyRows; ++b) {
            const QStringList f = listing[b + 6 * a].split('\t');
            ASSERT_EQ(f.size(), 6) << listing[b + 6 * a].toStdString();
            EXPECT_EQ(f[0].toInt(), b + 6 * a);
            const Point2 course = accuracyGridPoint(b, a);
            EXPECT_EQ(f[1].toDouble(), course.x);
            EXPECT_EQ(f[2].toDouble(), course.y);
            const Point2 screen = file.data->transform.toScreen(course)->point;
            EXPECT_EQ(f[3].toDouble(), screen.x);
            EXPECT_EQ(f[4].toDouble(), screen.y);
            EXPECT_EQ(f[5], " .01"); // Detail unless told otherwise
        }
    const QStringList report = ("12-07-2026" + r.out.section("12-07-2026", 1)).split("\r\n");
    EXPECT_EQ(report[0], "12-07-2026  14:05:09 Accuracy Check");
    EXPECT_EQ(report[1], "Grid Set-up for accuracy check");
    EXPECT_EQ(report[2], kSlalom);
    EXPECT_EQ(report[3], "Standard slalom course, tower 300 m behind the near gates, 8 m high");
    EXPECT_EQ(report[4], "Grid Number:  1 ");
    EXPECT_EQ(report[14], "Upper Right X,Y Pixels:  8085   1815");
    EXPECT_EQ(report[18], "Lower Right X,Y Survey:  0  -259");
    EXPECT_EQ(report.filter("new method").size(), 42);
    EXPECT_TRUE(report[22].startsWith("xpix:  2  ypix: -27  x:  2.4")) << report[22].toStdString();
    EXPECT_EQ(report.last(), ""); // every line ends with CR LF
}

struct DisplayCase
{
    const char* name;
    const char* firstText;
};

class CliAccuracyDisplay : public testing::TestWithParam<DisplayCase>
{
};

TEST_P(CliAccuracyDisplay, ChoosesTheIndicatorText)
{
    const CliRun r = runCli(QStringList{"accuracy", kSlalom, "--display", GetParam().name} + kNow);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.section('\n', 0, 0).section('\t', 5), GetParam().firstText);
}

// The standard jump point is (0, 0): the first grid point (2.4, -27) is 27.1 m from it.
INSTANTIATE_TEST_SUITE_P(Options, CliAccuracyDisplay,
                         testing::Values(DisplayCase{"homlvl", "R"},
                                         DisplayCase{"distance", " 29.2"},
                                         DisplayCase{"detail", " .01"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CliAccuracy, RatiosNeedTheScreenWidth)
{
    const CliRun r = runCli(QStringList{"accuracy", kSlalom, "--screen-width", "1024"} + kNow);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("\r\nFront Ratio:  34\r\nBack Ratio:  18\r\n"));
    EXPECT_TRUE(runCli(QStringList{"accuracy", kSlalom} + kNow)
                    .out.contains("\r\nFront Ratio:  0\r\nBack Ratio:  0\r\n"));
}

TEST(CliAccuracy, MalformedFileExitsTwoWithFileLineAndReason)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("bad.ipt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x\r\nd\r\n 1 , 2 , 0 , 0 \r\n 3 , four , 0 , 0 \r\n");
    f.close();
    const CliRun r = runCli({"accuracy", f.fileName()});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains("bad.ipt: line 4: \"four\" is not a number")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CliAccuracy, BadArgumentsExitTwo)
{
    for (const QStringList& args :
         {QStringList{"accuracy"}, QStringList{"accuracy", kSlalom, "--display", "pixels"},
          QStringList{"accuracy", kSlalom, "--display"}, QStringList{"accuracy", kSlalom, kSlalom},
          QStringList{"accuracy", kSlalom, "--now", "yesterday"},
          QStringList{"accuracy", kSlalom, "--screen-width", "wide"},
          QStringList{"accuracy", kSlalom, "--fast"},
          QStringList{"accuracy", "/nonexistent/file.ipt"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }
}

} // namespace
