// wakeline-cli analyse --buoys on passes saved by the program's own report writer, checked
// against the figures worked out here from the samples, in whole millimetres, from the
// description of the figures alone.

#include "common/text_file.h"
#include "results/pass_report.h"
#include "results/results_file.h"
#include "support/cli_run.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <vector>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(8, 0, 1));

// A rule set in the units of this check: windows in millimetres, tolerances in centimetres.
struct Rules
{
    const char* fileText; // nullptr: none given, the built-in default
    bool firstSkierRight;
    int buoyFrom, buoyTo, gateFrom, gateTo;
    bool twoHighest;
    int minimum;
    std::optional<int> buoyCm;
    std::array<std::optional<int>, 6> cumulativeCm;
    std::optional<int> gateCm;
};

// The newer preset's figures, which the tool uses when no rule set is given.
const Rules kDefault{.fileText = nullptr,
                     .firstSkierRight = true,
                     .buoyFrom = 0,
                     .buoyTo = 5000,
                     .gateFrom = -2000,
                     .gateTo = 2000,
                     .twoHighest = false,
                     .minimum = 1,
                     .buoyCm = 25,
                     .cumulativeCm = {25, 28, 35, 40, 45, 49},
                     .gateCm = std::nullopt};

// Narrow windows behind each buoy, so that some hold too few samples for a reading. At
// 58 km/h sample 115 lies on 185 m, the end of buoy 5's window; at 55 km/h sample 119 is
// computed a hair below 181.3 m, its start.
const Rules kOwn{.fileText = "# a judge's own figures\n"
                             "name = narrow windows, two highest\n"
                             "first skier side = left\n"
                             "buoy window = -9.7, -6\n"
                             "gate window = -2, 4\n"
                             "reading = two highest\n"
                             "minimum samples = 3\n"
                             "buoy tolerance = 15\n"
                             "cumulative tolerance = 15, 20, none, 30, 30, 30\n"
                             "gate tolerance = 10\n",
                 .firstSkierRight = false,
                 .buoyFrom = -9700,
                 .buoyTo = -6000,
                 .gateFrom = -2000,
                 .gateTo = 4000,
                 .twoHighest = true,
                 .minimum = 3,
                 .buoyCm = 15,
                 .cumulativeCm = {15, 20, std::nullopt, 30, 30, 30},
                 .gateCm = 10};

QString metres(long mm)
{
    const long a = mm < 0 ? -mm : mm;
    return QStringLiteral("%1%2.%3")
        .arg(mm < 0 ? "-" : "")
        .arg(a / 1000)
        .arg(a % 1000, 3, 10, QLatin1Char('0'));
}

QString limit(const std::optional<int>& cm)
{
    return cm ? metres(10L * *cm) : QString();
}

QString verdict(bool judged, bool within)
{
    return !judged ? QString() : within ? QStringLiteral("yes") : QStringLiteral("no");
}

// The CSV the description gives for `n` samples (whole centimetres) of a pass of `t` tenths.
QString expectedCsv(const std::vector<int>& cm, int t, bool toward, const Rules& r)
{
    const int n = int(cm.size());
    // Sample i lies at 259 i / t metres: inside [a, b] mm when a t <= 259000 i <= b t.
    auto inside = [&](long a, long b, int i) {
        return a * t <= 259000L * i && 259000L * i <= b * t;
    };
    // A window is reached when the pass got to its end.
    auto reached = [&](long b) { return n == t + 1 || 259000L * (n - 1) >= b * t; };
    auto within = [](long mm, const std::optional<int>& tolCm) {
        return (mm < 0 ? -mm : mm) <= 10L * *tolCm;
    };
    QString out = QStringLiteral("window,start_m,end_m,samples,reading_m,cumulative_m,limit_m,"
                                 "cumulative_limit_m,within\r\n");

    int gateSamples = 0, gateIndex = -1;
    for (int i = 0; i < n; ++i)
        if (inside(r.gateFrom, r.gateTo, i)) {
            ++gateSamples;
            if (gateIndex < 0 || std::abs(cm[i]) > std::abs(cm[gateIndex]))
                gateIndex = i;
        }
    const bool gateRead = reached(r.gateTo) && gateSamples >= r.minimum;
    const long gateMm = gateRead ? 10L * cm[gateIndex] * (toward ? 1 : -1) : 0; // + boat's right
    out +=
        QStringLiteral("gate,%1,%2,%3,%4,,%5,,%6\r\n")
            .arg(metres(r.gateFrom), metres(r.gateTo))
            .arg(gateSamples)
            .arg(gateRead ? metres(gateMm) : QString(), limit(r.gateCm),
                 verdict(gateRead && r.gateCm, gateRead && r.gateCm && within(gateMm, r.gateCm)));

    std::optional<long> sum = 0;
    for (int k = 1; k <= 6; ++k) {
        const long g = 27000L + 41000L * (k - 1);
        const long a = g + r.buoyFrom, b = g + r.buoyTo;
        const int sign = (k % 2 == 1 ? 1 : -1) * (toward ? 1 : -1) * (r.firstSkierRight ? 1 : -1);
        std::vector<long> values;
        for (int i = 0; i < n; ++i)
            if (inside(a, b, i))
                values.push_back(10L * sign * cm[i]);
        std::sort(values.rbegin(), values.rend());
        const size_t needed = size_t(std::max(r.minimum, r.twoHighest ? 2 : 1));
        std::optional<long> reading;
        if (reached(b) && values.size() >= needed)
            reading = r.twoHighest ? (values[0] + values[1]) / 2 : values[0];
        sum = sum && reading ? std::optional<long>(*sum + *reading) : std::nullopt;
        const std::optional<int>& cumulativeCm = r.cumulativeCm[size_t(k - 1)];
        const bool readingJudged = reading && r.buoyCm;
        const bool sumJudged = sum && cumulativeCm;
        const bool in = (!readingJudged || within(*reading, r.buoyCm)) &&
                        (!sumJudged || within(*sum, cumulativeCm));
        out +=
            QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9\r\n")
                .arg(k)
                .arg(metres(a), metres(b))
                .arg(values.size())
                .arg(reading ? metres(*reading) : QString(), sum ? metres(*sum) : QString(),
                     limit(r.buoyCm), limit(cumulativeCm), verdict(readingJudged || sumJudged, in));
    }
    return out;
}

struct PassCase
{
    const char* name;
    int speedIndex; // 0: 58 km/h, 161 tenths; 1: 55, 170; 3: 49, 190; 4: 46, 203
    int tenths;
    int samples; // fewer than tenths + 1: the pass stopped early
    bool toward;
    const Rules* rules;
};

void PrintTo(const PassCase& c, std::ostream* os)
{
    *os << c.name;
}

class AnalyseBuoys : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    // The pass as the results screen saves it; a pass that stopped early keeps the sample
    // lines it has, counted by its "Frames Measured:" line.
    QString savePass(const std::vector<int>& cm, int tenths, int speedIndex, bool toward)
    {
        RunInfo run;
        run.skier = QStringLiteral("Ann");
        run.slalomSpeed = speedIndex;
        run.direction = toward ? Direction::Toward : Direction::Away;
        PassSamples samples;
        for (size_t i = 0; i < cm.size(); ++i)
            samples.deviations[i] = cm[i] / 100.0;
        summariseSamples(samples, int(cm.size()));
        QStringList lines = analysePass(run, samples, tenths, kNow).report.split("\r\n");
        const qsizetype firstCut =
            lines.indexOf(QRegularExpression(QStringLiteral("Frame +%1 .*").arg(cm.size())));
        if (firstCut > 0)
            lines.remove(firstCut, tenths + 1 - qsizetype(cm.size()));
        const QString path = dir.filePath(QStringLiteral("pass.txt"));
        EXPECT_TRUE(replaceFile(path, savedResultsText(lines.join("\r\n"))).ok);
        return path;
    }

    QTemporaryDir dir;
};

class AnalyseBuoysCsv : public AnalyseBuoys, public testing::WithParamInterface<PassCase>
{
};

TEST_P(AnalyseBuoysCsv, CsvIsTheFiguresOfTheSavedSamples)
{
    const PassCase c = GetParam();
    std::mt19937 random(unsigned(c.tenths * 1000 + c.samples));
    std::vector<int> cm(size_t(c.samples));
    for (int& v : cm)
        v = std::uniform_int_distribution<int>(-32, 32)(random);
    const QString pass = savePass(cm, c.tenths, c.speedIndex, c.toward);
    QStringList args{QStringLiteral("analyse"), pass, QStringLiteral("--buoys"),
                     QStringLiteral("--csv")};
    if (c.rules->fileText) {
        const QString rules = dir.filePath(QStringLiteral("own.txt"));
        ASSERT_TRUE(replaceFile(rules, QString::fromLatin1(c.rules->fileText)).ok);
        args << QStringLiteral("--rules") << rules;
    }

    const CliRun r = runCli(args);
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, expectedCsv(cm, c.tenths, c.toward, *c.rules));
    // The rule set used is named beside the CSV, never inside it.
    EXPECT_TRUE(r.err.contains(c.rules->fileText ? "Rule set file: " + dir.filePath("own.txt")
                                                 : "Rule set: 2024 windows, largest reading"))
        << r.err.toStdString();
    EXPECT_EQ(r.err.contains("not reached"), c.samples <= c.tenths);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, AnalyseBuoysCsv,
    testing::Values(PassCase{"WholeTowardDefault", 0, 161, 162, true, &kDefault},
                    PassCase{"WholeAwayDefault", 3, 190, 191, false, &kDefault},
                    PassCase{"OwnRulesSampleOnAWindowEnd", 0, 161, 162, true, &kOwn},
                    PassCase{"OwnRulesSampleOnAWindowStart", 1, 170, 171, false, &kOwn},
                    // Stop inside buoy 3's window (110.4 m) and inside buoy 5's (182.6 m).
                    PassCase{"StoppedEarlyDefault", 3, 190, 82, true, &kDefault},
                    PassCase{"StoppedEarlyOwnRules", 4, 203, 144, false, &kOwn}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AnalyseBuoys, TableNamesItsRuleSetAndKeepsTheZones)
{
    const QString pass = savePass(std::vector<int>(82, 10), 190, 3, true);
    const CliRun r = runCli({QStringLiteral("analyse"), pass, QStringLiteral("--buoys")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n');
    EXPECT_EQ(lines.value(0), "Rule set file: none given, so the built-in "
                              "\"2024-largest-25cm.txt\" (--rules FILE chooses another)");
    EXPECT_EQ(lines.value(1), "Rule set: 2024 windows, largest reading, 25 cm");
    EXPECT_EQ(lines.filter(QRegularExpression("^zone [1-6] ")).size(), 6);
    EXPECT_EQ(lines.filter(QRegularExpression("^[3-6] .*not reached")).size(), 4);
    EXPECT_TRUE(r.out.contains("The pass stops at 110.4 m")) << r.out.toStdString();
}

// Every refusal exits 2 and says what was wrong, naming the file and the line.
TEST_F(AnalyseBuoys, RefusesWhatGivesNoFigures)
{
    const std::vector<int> cm(162, 5);
    const QString whole = savePass(cm, 161, 0, true);
    QString text = *readTextFile(whole, kResultsFileMaxBytes);

    QString jump = text;
    jump.replace("Slalom Pass Results", "Jump Pass Results");
    ASSERT_TRUE(replaceFile(dir.filePath("jump.txt"), jump).ok);

    // Cut after a whole line: "Frames Measured:" still counts the whole pass.
    const qsizetype cutAt = text.indexOf("Frame  100 ");
    ASSERT_TRUE(replaceFile(dir.filePath("cut.txt"), text.left(cutAt)).ok);
    // The same cut with no count to tell it by.
    QString uncounted = text.left(cutAt);
    uncounted.remove(QRegularExpression("Frames Measured: [^\r]*\r\n"));
    ASSERT_TRUE(replaceFile(dir.filePath("uncounted.txt"), uncounted).ok);
    // One sample: no pass length to place it by (this once hung the tool).
    QString single = text.left(text.indexOf("Frame  1 "));
    single.replace("Frames Measured:  162", "Frames Measured:  1");
    ASSERT_TRUE(replaceFile(dir.filePath("single.txt"), single).ok);
    ASSERT_TRUE(replaceFile(dir.filePath("bad-rules.txt"),
                            "name = mine\nreading = largest\nbuoy window = 0; 5\n")
                    .ok);

    struct Refusal
    {
        QStringList args;
        const char* says;
    };
    const QString rulesOption = QStringLiteral("--rules");
    const std::vector<Refusal> refusals{
        {{dir.filePath("jump.txt"), "--buoys"},
         "jump.txt, line 1: a jump pass has no buoy figures"},
        {{dir.filePath("cut.txt"), "--buoys", "--csv"}, "the file is cut off"},
        {{dir.filePath("uncounted.txt"), "--buoys"}, "the file may be cut off"},
        {{dir.filePath("single.txt"), "--buoys"},
         "a pass needs at least 11 samples, the file has 1"},
        {{whole, "--buoys", rulesOption, dir.filePath("bad-rules.txt")},
         "Rule set file \"bad-rules.txt\", line 3, \"buoy window\": two numbers"},
        {{whole, "--buoys", rulesOption, dir.filePath("missing.txt")},
         "Rule set file \"missing.txt\": cannot be read"},
        {{whole, "--csv"}, "--csv and --rules go with --buoys"},
        {{whole, "--buoys", "--db"}, "choose one"},
    };
    for (const Refusal& refusal : refusals) {
        const CliRun r = runCli(QStringList{QStringLiteral("analyse")} + refusal.args);
        EXPECT_EQ(r.code, 2) << refusal.says;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(refusal.says))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << refusal.says;
    }
}

} // namespace
