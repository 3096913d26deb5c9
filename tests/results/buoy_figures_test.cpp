#include "measure/measure_tables.h"
#include "results/buoy_figures_text.h"
#include "support/qt_printers.h"

#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

RuleSet preset(int year)
{
    const RuleSetRead read =
        readRuleSetFile(QStringLiteral(":/program/rules/%1")
                            .arg(year == 2021 ? "2021-largest-20cm.txt" : "2024-largest-25cm.txt"));
    EXPECT_TRUE(read.ruleSet) << read.message.toStdString();
    return read.ruleSet.value_or(RuleSet{});
}

int tenths(int kmh)
{
    for (size_t i = 0; i < kSlalomSpeeds.size(); ++i)
        if (kSlalomSpeeds[i].kmh == kmh)
            return passTenthsFor(Event::Slalom, int(i)).value();
    return 0;
}

// The skier of buoy k sits on the boat's right for odd k; the boat's right is +x coming
// toward the camera and -x going away. Returns the deviation that points at that skier.
double towardSkier(int k, Direction dir, double metres)
{
    const bool skierRight = k % 2 == 1;
    const bool plusIsRight = dir == Direction::Toward;
    return skierRight == plusIsRight ? metres : -metres;
}

struct StraightCase
{
    Direction direction;
    double deviation;
    int buoyOneSign; // +1 when the boat leans to buoy 1's skier
    const char* gateSide;
};

class StraightPass : public testing::TestWithParam<StraightCase>
{
};

// A boat 10 cm off the centre all along: the readings alternate, the cumulative swings.
TEST_P(StraightPass, ReadingsAlternateAndCumulativeSwings)
{
    const StraightCase c = GetParam();
    const std::vector<double> d(size_t(tenths(58) + 1), c.deviation);
    const BuoyFigures f = computeBuoyFigures(d, tenths(58), c.direction, preset(2021));
    ASSERT_TRUE(f.ok);
    for (int k = 1; k <= 6; ++k) {
        const double expected = (k % 2 == 1 ? 0.10 : -0.10) * c.buoyOneSign;
        EXPECT_NEAR(f.buoy[k - 1].reading, expected, 1e-12) << k;
        EXPECT_NEAR(f.zone[k - 1].reading, expected, 1e-12) << k;
        EXPECT_NEAR(f.buoy[k - 1].cumulative.value(), k % 2 == 1 ? expected : 0.0, 1e-12) << k;
        EXPECT_EQ(f.buoy[k - 1].within(), true) << k;
    }
    EXPECT_NEAR(std::abs(f.gate.reading), 0.10, 1e-12);
    const QStringList table = buoyFiguresTable(f);
    EXPECT_TRUE(table.filter(QRegularExpression("^gate .* 10\\.0 " + QString(c.gateSide))).size() ==
                1)
        << table.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(BuoyFigures, StraightPass,
                         testing::Values(StraightCase{Direction::Toward, 0.10, +1, "right"},
                                         StraightCase{Direction::Away, 0.10, -1, "left"},
                                         StraightCase{Direction::Away, -0.10, +1, "right"},
                                         StraightCase{Direction::Toward, -0.10, -1, "left"}));

// The boat swings 14 cm toward each skier exactly over the buoy windows: every reading is
// toward the skier and the cumulative climbs past the tolerances; 28 cm at buoy 2 sits on
// its limit (28.000000000000004 in binary) and is within.
TEST(BuoyFigures, SwingTowardEachSkierAddsUp)
{
    for (Direction dir : {Direction::Toward, Direction::Away}) {
        const int t = tenths(49);
        std::vector<double> d(size_t(t + 1), 0.0);
        for (int i = 0; i <= t; ++i)
            for (int k = 1; k <= 6; ++k) {
                const double at = i * 259.0 / t, g = 27.0 + 41.0 * (k - 1);
                if (at >= g && at <= g + 5.0)
                    d[size_t(i)] = towardSkier(k, dir, 0.14);
            }
        const BuoyFigures f = computeBuoyFigures(d, t, dir, preset(2021));
        const std::vector<bool> cumulativeWithin{true, true, false, false, false, false};
        for (int k = 1; k <= 6; ++k) {
            EXPECT_NEAR(f.buoy[k - 1].reading, 0.14, 1e-12);
            EXPECT_NEAR(f.buoy[k - 1].cumulative.value(), 0.14 * k, 1e-9);
            EXPECT_EQ(f.buoy[k - 1].readingWithin(), true);
            EXPECT_EQ(f.buoy[k - 1].cumulativeWithin(), cumulativeWithin[size_t(k - 1)]) << k;
        }
    }
}

// 22 cm at buoy 1 and at the gate: out under the 20 cm figures, within (and the gate not
// judged) under the 25 cm figures.
TEST(BuoyFigures, PresetsJudgeTheSamePassDifferently)
{
    const int t = tenths(58);
    std::vector<double> d(size_t(t + 1), 0.0);
    d[0] = 0.22;
    d[18] = 0.22; // 28.96 m: buoy 1's window
    const QStringList csv2021 =
        buoyFiguresCsv(computeBuoyFigures(d, t, Direction::Toward, preset(2021))).split("\r\n");
    const QStringList csv2024 =
        buoyFiguresCsv(computeBuoyFigures(d, t, Direction::Toward, preset(2024))).split("\r\n");
    EXPECT_EQ(computeBuoyFigures(d, t, Direction::Toward, preset(2021)).buoy[0].readingSamples,
              std::vector<int>{18});
    EXPECT_EQ(csv2021[1], "gate,-2.000,2.000,2,0.220,,0.200,,no");
    EXPECT_EQ(csv2024[1], "gate,-2.000,2.000,2,0.220,,,,");
    EXPECT_EQ(csv2021[2], "1,27.000,32.000,3,0.220,0.220,0.200,0.200,no");
    EXPECT_EQ(csv2024[2], "1,27.000,32.000,3,0.220,0.220,0.250,0.250,yes");
    EXPECT_EQ(csv2021[3], "2,68.000,73.000,3,0.000,0.220,0.200,0.280,yes");
}

// Sample 23 of a 58 km/h pass lies at exactly 37 m, the end of buoy 1's zone.
TEST(BuoyFigures, SampleOnAWindowEndBelongsToIt)
{
    const int t = tenths(58);
    ASSERT_EQ(23 * 259 % t, 0);
    std::vector<double> d(size_t(t + 1), 0.0);
    d[23] = 0.30;
    d[24] = 0.40;
    const BuoyFigures f = computeBuoyFigures(d, t, Direction::Toward, preset(2021));
    EXPECT_NEAR(f.zone[0].reading, 0.30, 1e-12);
    EXPECT_EQ(f.zone[0].samples, 10);
}

// Samples per window at the real pass lengths, counted with whole numbers: sample i lies in
// [a, b] when a T <= 259 i <= b T.
TEST(BuoyFigures, SampleCountsFollowTheSpeed)
{
    for (int kmh : {58, 49, 46}) {
        const int t = tenths(kmh);
        const BuoyFigures f = computeBuoyFigures(std::vector<double>(size_t(t + 1), 0.0), t,
                                                 Direction::Away, preset(2024));
        for (const WindowFigures* w : f.rows()) {
            int expected = 0;
            for (int i = 0; i <= t; ++i)
                expected +=
                    std::lround(w->start) * t <= 259 * i && 259 * i <= std::lround(w->end) * t;
            EXPECT_EQ(w->samples, expected) << kmh << " km/h, window from " << w->start;
        }
        EXPECT_EQ(f.buoy[0].samples, kmh == 58 ? 3 : 4);
    }
}

TEST(BuoyFigures, TwoHighestNeedTwoSamples)
{
    RuleSet rules = preset(2021);
    rules.reading = ReadingMethod::TwoHighest;
    rules.buoyWindow = {0.0, 1.0}; // narrower than the 1.6 m between samples at 58 km/h
    const int t = tenths(58);
    std::vector<double> d(size_t(t + 1), 0.0);
    d[14] = towardSkier(1, Direction::Toward, 0.10); // zone 1: 0.10, 0.30, 0.20
    d[15] = towardSkier(1, Direction::Toward, 0.30);
    d[16] = towardSkier(1, Direction::Toward, 0.20);
    const BuoyFigures f = computeBuoyFigures(d, t, Direction::Toward, rules);
    EXPECT_NEAR(f.zone[0].reading, 0.25, 1e-12);
    EXPECT_EQ(f.zone[0].readingSamples, (std::vector<int>{15, 16}));
    EXPECT_EQ(f.buoy[0].samples, 1);
    EXPECT_EQ(f.buoy[0].state, WindowState::TooFew);
    EXPECT_FALSE(f.buoy[5].cumulative); // one missing reading leaves every later sum unknown
    EXPECT_TRUE(buoyFiguresTable(f).join('\n').contains("no reading: 1 of 2 sample(s) needed"));
    EXPECT_EQ(buoyFiguresCsv(f).split("\r\n")[2], "1,27.000,28.000,1,,,0.200,0.200,");
    const BuoyTableRow buoy1 = buoyTableRows(f)[1];
    EXPECT_EQ(buoy1.verdict, "too few samples");
    EXPECT_EQ(buoy1.reading, "-");
    EXPECT_TRUE(buoy1.detail.contains("1 of 2"));
    EXPECT_FALSE(buoy1.within);
}

TEST(BuoyFigures, ShortPassStopsAtTheWindowsItReached)
{
    const int t = tenths(49);
    const std::vector<double> d(80, 0.05); // last sample at 107.7 m
    const BuoyFigures f = computeBuoyFigures(d, t, Direction::Toward, preset(2021));
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.buoy[1].state, WindowState::Read);
    EXPECT_NEAR(f.buoy[1].cumulative.value(), 0.0, 1e-12);
    EXPECT_EQ(f.zone[2].state, WindowState::NotReached); // 104..119 m, partly covered
    EXPECT_GT(f.zone[2].samples, 0);
    EXPECT_EQ(f.buoy[2].state, WindowState::NotReached);
    EXPECT_FALSE(f.buoy[2].cumulative);
    EXPECT_EQ(buoyFiguresCsv(f).split("\r\n")[4], "3,109.000,114.000,0,,,0.200,0.350,");
    const QString table = buoyFiguresTable(f).join('\n');
    EXPECT_TRUE(table.contains("The pass stops at 107.7 m, before the exit gate at 259 m"));
    EXPECT_TRUE(table.contains(
        QRegularExpression("\nzone 3 .* not reached to its end: the pass stops inside\n")));
    const auto rows = buoyTableRows(f);
    EXPECT_EQ(rows[2].verdict, "within");
    EXPECT_EQ(rows[2].reading, "-5.0");
    EXPECT_EQ(rows[2].cumulative, "0.0");
    EXPECT_EQ(rows[3].verdict, "not reached");
    EXPECT_EQ(rows[3].cumulative, "-");
    EXPECT_FALSE(rows[3].readingWithin);
}

TEST(BuoyFigures, RefusesPassesItCannotPlace)
{
    EXPECT_FALSE(
        computeBuoyFigures(std::vector<double>(10, 0.0), 0, Direction::Toward, preset(2021)).ok);
    std::vector<double> d(162, 0.0);
    d[40] = std::nan("");
    const BuoyFigures f = computeBuoyFigures(d, 161, Direction::Toward, preset(2021));
    EXPECT_FALSE(f.ok);
    EXPECT_TRUE(f.message.contains("Sample 40"));
    EXPECT_EQ(buoyFiguresCsv(f).count("\r\n"), 1);
}

// Written from the description of the figures in whole centimetres and whole numbers, not
// through the production code path.
TEST(BuoyFigures, AgreesWithAnIndependentComputationOnRandomPasses)
{
    std::mt19937 random(20260714);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int pass = 0; pass < 60; ++pass) {
        const int t = passTenthsFor(Event::Slalom, pick(0, 4)).value();
        const int n = pass % 3 == 0 ? pick(1, t) : t + 1;
        const Direction dir = pick(0, 1) ? Direction::Toward : Direction::Away;
        RuleSet r = preset(pick(0, 1) ? 2021 : 2024);
        r.reading = pick(0, 1) ? ReadingMethod::Largest : ReadingMethod::TwoHighest;
        r.minimumSamples = pick(1, 3);
        r.firstSkierSide = pick(0, 1) ? SkierSide::Right : SkierSide::Left;
        const int bs = pick(-3, 1), zs = pick(-8, -2);
        r.buoyWindow = {double(bs), double(bs + pick(0, 6))};
        r.zoneWindow = {double(zs), double(pick(4, 12))};
        std::vector<int> cm(static_cast<size_t>(n));
        std::vector<double> d(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            d[size_t(i)] = (cm[size_t(i)] = pick(-40, 40)) / 100.0;
        const BuoyFigures f = computeBuoyFigures(d, t, dir, r);
        ASSERT_TRUE(f.ok);

        int gateIndex = -1, gateSamples = 0;
        for (int i = 0; i < n && 259 * i <= 2 * t; ++i, ++gateSamples)
            if (gateIndex < 0 || std::abs(cm[size_t(i)]) > std::abs(cm[size_t(gateIndex)]))
                gateIndex = i;
        const int rightSign = dir == Direction::Toward ? 1 : -1;
        ASSERT_EQ(f.gate.state == WindowState::Read,
                  (n > t || 259 * (n - 1) >= 2 * t) && gateSamples >= r.minimumSamples);
        if (f.gate.state == WindowState::Read) {
            EXPECT_NEAR(f.gate.reading, rightSign * cm[size_t(gateIndex)] / 100.0, 1e-9);
        }

        int sumHalf = 0; // half centimetres, so that a mean of two stays whole
        bool sumKnown = true;
        for (int k = 1; k <= 6; ++k) {
            const bool skierRight = (k % 2 == 1) == (r.firstSkierSide == SkierSide::Right);
            const int toward = skierRight == (dir == Direction::Toward) ? 1 : -1;
            for (const auto& [w, span] : {std::pair{&f.buoy[k - 1], r.buoyWindow},
                                          std::pair{&f.zone[k - 1], r.zoneWindow}}) {
                const int g = 27 + 41 * (k - 1);
                const int a = g + int(span.start), b = g + int(span.end);
                std::vector<int> in;
                for (int i = 0; i < n; ++i)
                    if (a * t <= 259 * i && 259 * i <= b * t)
                        in.push_back(toward * cm[size_t(i)]);
                std::sort(in.rbegin(), in.rend());
                const bool reached = n > t || 259 * (n - 1) >= b * t;
                const size_t needed = size_t(
                    std::max(r.minimumSamples, r.reading == ReadingMethod::TwoHighest ? 2 : 1));
                const bool read = reached && in.size() >= needed;
                const int half = !read                                 ? 0
                                 : r.reading == ReadingMethod::Largest ? 2 * in[0]
                                                                       : in[0] + in[1];
                ASSERT_EQ(w->samples, int(in.size())) << pass << " buoy " << k;
                ASSERT_EQ(w->state == WindowState::Read, read) << pass << " buoy " << k;
                if (read) {
                    EXPECT_NEAR(w->reading, half / 200.0, 1e-9);
                    EXPECT_EQ(w->readingWithin().value(),
                              std::abs(half) <= 2 * int(r.buoyTolerance.value()));
                }
                if (w->kind != WindowKind::Buoy)
                    continue;
                sumKnown = sumKnown && read;
                sumHalf += half;
                ASSERT_EQ(w->cumulative.has_value(), sumKnown);
                if (sumKnown) {
                    EXPECT_NEAR(*w->cumulative, sumHalf / 200.0, 1e-9);
                    EXPECT_EQ(w->cumulativeWithin().value(),
                              std::abs(sumHalf) <= 2 * int(*r.cumulativeTolerance[size_t(k - 1)]));
                }
            }
        }
    }
}

} // namespace
