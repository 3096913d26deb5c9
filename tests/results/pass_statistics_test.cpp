#include "results/pass_statistics.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<double> constant(int n, double v)
{
    return std::vector<double>(size_t(n), v);
}

TEST(PassStatistics, AllZeroPassGivesZerosAndFullCentre)
{
    const auto d = constant(162, 0.0);
    StatisticsOutcome o = passStatistics(d, Event::Slalom, -1.0);
    const PassStatistics& s = o.statistics;
    for (double v : {s.meanFitDeviation, s.maxFitDeviation, s.fitStart, s.fitEnd, s.totalDeviation,
                     s.jumpMean, s.meanDeviation, s.startDeviation, s.exitDeviation, s.leftPercent,
                     s.rightPercent, o.driverMean, o.driverMax})
        EXPECT_EQ(v, 0.0);
    EXPECT_EQ(s.centerPercent, 100);
    const QString block = originalMeasurementsBlock(o, Event::Slalom, QDateTime());
    EXPECT_TRUE(block.contains(QStringLiteral("\r\nLEFT=  0 %\r\n")));
    EXPECT_TRUE(block.contains(QStringLiteral("\r\nCENTER=  100 %  RIGHT=  0 %  ")));

    PassStatistics shares = s;
    applyReportShares(shares, d, Event::Slalom, -1.0);
    EXPECT_EQ(shares.leftPercent, 0);
    EXPECT_EQ(shares.centerPercent, 100);
    EXPECT_EQ(shares.rightPercent, 0);
}

TEST(PassStatistics, EvenlyRisingDeviationsAreFittedExactly)
{
    const int t = 160;
    std::vector<double> d;
    for (int j = 0; j <= t; ++j)
        d.push_back(0.01 * j - 0.8);
    const PassStatistics s = passStatistics(d, Event::Slalom, 1.0).statistics;
    EXPECT_NEAR(s.meanFitDeviation, 0.0, 1e-12);
    EXPECT_NEAR(s.maxFitDeviation, 0.0, 1e-12);
    EXPECT_NEAR(s.fitStart, -0.8, 1e-12);
    EXPECT_NEAR(s.fitEnd, 0.8, 1e-12);
    EXPECT_NEAR(s.totalDeviation, 0.01 * t, 1e-12);
}

// Independent reference: residuals (+e, -e, -e, +e) repeated are orthogonal to both the
// constant and x_j = j + 1 over whole blocks of four, so the least-squares line of
// D_j = a + b x_j + residual_j is exactly a + b x, whatever formula the code uses.
TEST(PassStatistics, LeastSquaresLineOfConstructedPassHasClosedForm)
{
    const double a = 0.05;
    const double b = -0.002;
    const double e = 0.03;
    const int n = 164; // 41 blocks of four: PassTenths 163
    const int pattern[4] = {1, -1, -1, 1};
    std::vector<double> d;
    for (int j = 0; j < n; ++j)
        d.push_back(a + b * (j + 1) + e * pattern[j % 4]);
    const PassStatistics s = passStatistics(d, Event::Slalom, -1.0).statistics;
    EXPECT_NEAR(s.fitStart, a + b * 1, 1e-12);
    EXPECT_NEAR(s.fitEnd, a + b * n, 1e-12);
    EXPECT_NEAR(s.totalDeviation, b * (n - 1), 1e-12);
    EXPECT_NEAR(s.meanFitDeviation, e, 1e-12);
    EXPECT_NEAR(s.maxFitDeviation, e, 1e-12);
}

struct BandCase
{
    double deviation;
    double sign;
    int left;
    int centre;
    int right;
};

class BandCount : public testing::TestWithParam<BandCase>
{
};

TEST_P(BandCount, SampleFallsOnTheExpectedSide)
{
    const BandCase c = GetParam();
    auto d = constant(11, 0.0);
    d[5] = c.deviation;
    const StatisticsOutcome o = passStatistics(d, Event::Slalom, c.sign);
    EXPECT_EQ(o.leftCount, c.left);
    EXPECT_EQ(o.rightCount, c.right);
    EXPECT_EQ(o.centerCount, 10 + c.centre);
}

INSTANTIATE_TEST_SUITE_P(Slalom, BandCount,
                         testing::Values(BandCase{0.13, -1.0, 0, 0, 1},
                                         BandCase{0.13, 1.0, 1, 0, 0},
                                         BandCase{-0.13, -1.0, 1, 0, 0},
                                         BandCase{0.12, 1.0, 0, 1, 0},
                                         BandCase{-0.12, -1.0, 0, 1, 0}));

struct MeanCase
{
    double mean;
    Event event;
    double sign;
    double expected;
};

class MeanDeviationRounding : public testing::TestWithParam<MeanCase>
{
};

TEST_P(MeanDeviationRounding, RoundsHalfUpThenSigns)
{
    const MeanCase c = GetParam();
    const PassStatistics s = passStatistics(constant(161, c.mean), c.event, c.sign).statistics;
    EXPECT_DOUBLE_EQ(s.meanDeviation, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MeanDeviationRounding,
                         testing::Values(MeanCase{0.0126, Event::Slalom, 1.0, 0.013},
                                         MeanCase{0.0124, Event::Slalom, 1.0, 0.012},
                                         MeanCase{-0.0124, Event::Slalom, 1.0, -0.012},
                                         MeanCase{-0.0126, Event::Slalom, 1.0, -0.013},
                                         MeanCase{0.0126, Event::Slalom, -1.0, -0.013},
                                         MeanCase{-0.0124, Event::Slalom, -1.0, 0.012},
                                         MeanCase{0.0126, Event::Jump, -1.0, 0.013}));

TEST(PassStatistics, ReportSharesOfPass203)
{
    auto d = constant(204, 0.0);
    for (int j = 0; j < 51; ++j)
        d[size_t(j)] = -0.2; // left when coming toward (sign -1)
    for (int j = 51; j < 153; ++j)
        d[size_t(j)] = 0.2;
    PassStatistics s = passStatistics(d, Event::Slalom, -1.0).statistics;
    applyReportShares(s, d, Event::Slalom, -1.0);
    EXPECT_EQ(s.leftPercent, 25);
    EXPECT_EQ(s.rightPercent, 50);
    EXPECT_EQ(s.centerPercent, 25);
}

TEST(PassStatistics, JumpBandIsWiderAndCentreTakesTheRest)
{
    auto d = constant(3, 0.2); // inside the 0.24 m jump band
    d[0] = 0.3;
    PassStatistics s;
    applyReportShares(s, d, Event::Jump, -1.0);
    EXPECT_EQ(s.rightPercent, 33);
    EXPECT_EQ(s.leftPercent, 0);
    EXPECT_EQ(s.centerPercent, 67);
}

TEST(PassStatistics, JumpMeasuresFromTheMeanAndHasNoDrift)
{
    auto d = constant(178, 0.1);
    d[40] = 0.5;
    const StatisticsOutcome o = passStatistics(d, Event::Jump, -1.0);
    const PassStatistics& s = o.statistics;
    const double mean = (177 * 0.1 + 0.5) / 178;
    EXPECT_NEAR(s.jumpMean, mean, 1e-12);
    EXPECT_NEAR(s.maxFitDeviation, 0.5 - mean, 1e-12);
    EXPECT_EQ(s.fitStart, 0.0);
    EXPECT_EQ(s.fitEnd, 0.0);
    EXPECT_EQ(s.totalDeviation, 0.0);
    EXPECT_EQ(o.driverMean, 0.0);
    EXPECT_EQ(o.driverMax, 0.0);
    EXPECT_EQ(o.leftCount + o.centerCount + o.rightCount, 0);
}

TEST(PassStatistics, StartSkipsSampleZeroAndExitTakesTheLastTen)
{
    auto d = constant(21, 0.0);
    d[0] = 9.0;
    for (int j = 1; j <= 10; ++j)
        d[size_t(j)] = 0.1;
    d[20] = 1.0; // the last ten are 11..20
    const PassStatistics s = passStatistics(d, Event::Slalom, -1.0).statistics;
    EXPECT_NEAR(s.startDeviation, -0.1, 1e-12);
    EXPECT_NEAR(s.exitDeviation, -0.1, 1e-12);
}

TEST(PassStatistics, EmptyOrShortPassNeverReadsOutsideItsSamples)
{
    EXPECT_EQ(passStatistics({}, Event::Slalom, 1.0).statistics.startDeviation, 0.0);
    const std::vector<double> d{0.0, 0.2, 0.4};
    const PassStatistics s = passStatistics(d, Event::Slalom, 1.0).statistics;
    EXPECT_NEAR(s.startDeviation, 0.3, 1e-12);
    EXPECT_NEAR(s.exitDeviation, 0.2, 1e-12);
}

TEST(PassStatistics, SideFileBlockLines)
{
    auto d = constant(4, 0.0);
    d[0] = 0.2; // one left of four with sign +1: 25
    const StatisticsOutcome o = passStatistics(d, Event::Slalom, 1.0);
    const QString block =
        originalMeasurementsBlock(o, Event::Slalom, QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)));
    const QStringList lines = block.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 11);
    EXPECT_EQ(lines[0], QStringLiteral("Slalom"));
    EXPECT_EQ(lines[1], QStringLiteral("12-07-2026"));
    EXPECT_EQ(lines[2], QStringLiteral("14:05:09"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("MEAN ABSOLUTE DEVIATION = ")));
    EXPECT_TRUE(lines[3].contains(QStringLiteral(" M   MAXIMUM DEVIATION = ")));
    EXPECT_EQ(lines[4],
              QStringLiteral("DRIVER DEVIATION OFF CENTER =  .05  M  MAX DEVIATION =  .2  M"));
    EXPECT_EQ(lines[5], QStringLiteral("LEFT=  25 %"));
    EXPECT_EQ(lines[6],
              QStringLiteral("CENTER=  75 %  RIGHT=  0 %  AVERAGE DISTANCE FROM CENTER:  .05 "));
    EXPECT_TRUE(lines[7].startsWith(QStringLiteral("DEVIATION AT START: ")));
    EXPECT_EQ(lines[10], QString());
}

} // namespace
