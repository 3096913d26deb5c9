// wakeline-cli solve, run as scripts run it: arguments, standard input, exit status.

#include "support/cli_run.h"
#include <array>
#include <cmath>
#include <gtest/gtest.h>

#include "common/number_forms.h"
#include "support/paths.h"
#include "support/qt_printers.h"

namespace {

const QByteArray kWorkedExample = "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n300 900 2.5 -259\n";

double exactly(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return v;
}

TEST(SolveCli, PrintsTheCoefficientsInTheSetupFileForm)
{
    const CliRun r = runCli({"solve"}, kWorkedExample);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty());
    const QStringList lines = r.out.split('\n');
    ASSERT_EQ(lines.size(), 9) << r.out.toStdString(); // eight lines and the final line end
    EXPECT_TRUE(lines[8].isEmpty());
    const std::array<double, 8> expected{-8.6,        0.02,   -0.006, 0,
                                         -7.0 / 1500, -414.4, 0,      2072.0 / 1500};
    for (size_t k = 0; k < 8; ++k) {
        const QString& line = lines[int(k)];
        const double c = exactly(line.trimmed());
        EXPECT_EQ(line, setupNumber(c)) << "c" << k + 1;
        EXPECT_NEAR(c, expected[k], 1e-12 * std::max(1.0, std::fabs(expected[k]))) << "c" << k + 1;
    }
}

TEST(SolveCli, ReadsSetupFilePointLinesAndSkipsTrailingBlankLines)
{
    const CliRun plain = runCli({"solve"}, kWorkedExample);
    const CliRun pasted =
        runCli({"solve"}, " 520 , 300 , 0 , 0 \r\n 700 , 900 , 0 ,-259 \r\n"
                          " 470 , 300 , 2.5 , 0 \r\n 300 , 900 , 2.5 ,-259 \r\n\r\n\r\n");
    EXPECT_EQ(pasted.code, 0) << pasted.err.toStdString();
    EXPECT_EQ(pasted.out, plain.out);
}

TEST(SolveCli, MapsOnePointBothWays)
{
    const CliRun forward = runCli({"solve", "--to-course", "495", "600"}, kWorkedExample);
    ASSERT_EQ(forward.code, 0) << forward.err.toStdString();
    ASSERT_TRUE(forward.out.endsWith('\n'));
    const QStringList course = forward.out.chopped(1).split(' ');
    ASSERT_EQ(course.size(), 2) << forward.out.toStdString();
    const double x = exactly(course[0]);
    const double y = exactly(course[1]);
    EXPECT_EQ(course[0], shortestRoundTrip(x));
    EXPECT_EQ(course[1], shortestRoundTrip(y));
    EXPECT_NEAR(x, 1.277778, 5e-7);
    EXPECT_NEAR(y, -230.2222, 5e-5);

    const CliRun back = runCli({"solve", "--to-screen", course[0], course[1]}, kWorkedExample);
    ASSERT_EQ(back.code, 0) << back.err.toStdString();
    const QStringList screen = back.out.trimmed().split(' ');
    ASSERT_EQ(screen.size(), 2);
    EXPECT_NEAR(exactly(screen[0]), 495, 1e-9);
    EXPECT_NEAR(exactly(screen[1]), 600, 1e-9);
}

struct FailureCase
{
    const char* name;
    QStringList args;
    QByteArray input;
    int exitCode;
    QStringList errParts;
};

void PrintTo(const FailureCase& c, std::ostream* os)
{
    *os << c.name;
}

class SolveCliFailure : public ::testing::TestWithParam<FailureCase>
{
};

TEST_P(SolveCliFailure, ExitsWithOneLineOnStandardError)
{
    const CliRun r = runCli(GetParam().args, GetParam().input);
    EXPECT_EQ(r.code, GetParam().exitCode) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
    EXPECT_TRUE(r.err.endsWith('\n'));
    EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    for (const QString& part : GetParam().errParts)
        EXPECT_TRUE(r.err.contains(part)) << r.err.toStdString() << " lacks " << part.toStdString();
}

// Marks for X = sx / D, Y = sy / D with D = 1 - sy / 2: the screen line sy = 2 is the
// horizon, and the course line Y = -2 has no screen position.
const QByteArray kHorizonAtTwo = "1 0 1 0\n1 1 2 2\n0 0 0 0\n0 1 0 2\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SolveCliFailure,
    ::testing::Values(
        FailureCase{"CoincidentMarks",
                    {"solve"},
                    "520 300 0 0\n520 300 0 -259\n470 300 2.5 0\n300 900 2.5 -259\n",
                    1,
                    {"No Unique Solution - Re-enter data\n"}},
        FailureCase{"ThreeMarksOnALine",
                    {"solve"},
                    "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n300 300 2.5 -259\n",
                    1,
                    {"No Unique Solution - Re-enter data\n"}},
        FailureCase{"ScreenPointOnTheHorizon",
                    {"solve", "--to-course", "5", "2"},
                    kHorizonAtTwo,
                    1,
                    {"zero denominator"}},
        FailureCase{"CoursePointWithoutScreenPosition",
                    {"solve", "--to-screen", "5", "-2"},
                    kHorizonAtTwo,
                    1,
                    {"zero denominator"}},
        FailureCase{"NonNumericField",
                    {"solve"},
                    "520 300 0 0\n700 900 0 -259\n470 abc 2.5 0\n300 900 2.5 -259\n",
                    2,
                    {"line 3", "field 2", "\"abc\""}},
        FailureCase{"ExtraField",
                    {"solve"},
                    "520 300 0 0\n700 900 0 -259 1\n470 300 2.5 0\n300 900 2.5 -259\n",
                    2,
                    {"line 2", "field 5"}},
        FailureCase{"MissingLine",
                    {"solve"},
                    "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n",
                    2,
                    {"line 4", "missing"}},
        FailureCase{"ExtraLine", {"solve"}, kWorkedExample + "1 2 3 4\n", 2, {"line 5"}},
        FailureCase{"NotFinite",
                    {"solve"},
                    "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n300 900 2.5 nan\n",
                    2,
                    {"line 4", "field 4"}},
        FailureCase{"NothingOnInput", {"solve"}, "", 2, {"line 1", "missing"}},
        FailureCase{"BinaryInput", {"solve"}, QByteArray(100000, '\0'), 2, {"longer than"}},
        FailureCase{"BadOptionValue",
                    {"solve", "--to-course", "495", "x"},
                    kWorkedExample,
                    2,
                    {"--to-course", "SY", "\"x\""}},
        FailureCase{"MissingOptionValue",
                    {"solve", "--to-screen", "1"},
                    kWorkedExample,
                    2,
                    {"--to-screen", "Y", "missing"}},
        FailureCase{"BothOptions",
                    {"solve", "--to-course", "1", "2", "--to-screen", "3", "4"},
                    kWorkedExample,
                    2,
                    {"only one"}},
        FailureCase{"UnknownOption", {"solve", "--fast"}, kWorkedExample, 2, {"\"--fast\""}},
        FailureCase{"UnknownCommand", {"solv"}, {}, 2, {"unknown command"}}));

TEST(SolveCli, HelpDescribesEveryCommand)
{
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"solve", "--help"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 0);
        for (const char* part : {"solve", "--to-course SX SY", "--to-screen X Y", "upper right",
                                 "Blank lines", "Exit status"})
            EXPECT_TRUE(r.out.contains(QLatin1String(part))) << part;
    }
    const CliRun bare = runCli({});
    EXPECT_EQ(bare.code, 2);
    EXPECT_TRUE(bare.out.contains("solve"));
}

} // namespace
