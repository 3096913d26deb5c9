#include "measure/measure_tables.h"
#include "measure/pass_rules.h"

#include <gtest/gtest.h>

namespace {

struct TenthsCase
{
    Event event;
    int speed;
    int tenths;
    const char* kmh;
};

class PassTenthsTest : public ::testing::TestWithParam<TenthsCase>
{
};

TEST_P(PassTenthsTest, SpeedGivesPassLengthAndLabel)
{
    const TenthsCase c = GetParam();
    RunInfo r;
    r.event = c.event;
    (c.event == Event::Slalom ? r.slalomSpeed : r.jumpSpeed) = c.speed;
    EXPECT_EQ(passTenthsFor(r), c.tenths);
    EXPECT_EQ(speedLabelFor(r), QString::fromLatin1(c.kmh));
    // The table is the course length over the speed, in tenths of a second.
    const double length = c.event == Event::Slalom ? 259.0 : 280.0;
    EXPECT_EQ(c.tenths, int(std::lround(length / (std::atoi(c.kmh) / 3.6) * 10)));
}

INSTANTIATE_TEST_SUITE_P(
    AllSpeeds, PassTenthsTest,
    ::testing::Values(
        TenthsCase{Event::Slalom, 0, 161, "58"}, TenthsCase{Event::Slalom, 1, 170, "55"},
        TenthsCase{Event::Slalom, 2, 179, "52"}, TenthsCase{Event::Slalom, 3, 190, "49"},
        TenthsCase{Event::Slalom, 4, 203, "46"}, TenthsCase{Event::Jump, 0, 210, "48"},
        TenthsCase{Event::Jump, 1, 198, "51"}, TenthsCase{Event::Jump, 2, 187, "54"},
        TenthsCase{Event::Jump, 3, 177, "57"}, TenthsCase{Event::Jump, 4, 168, "60"},
        TenthsCase{Event::Jump, 5, 160, "63"}, TenthsCase{Event::Jump, 6, 153, "66"},
        TenthsCase{Event::Jump, 7, 146, "69"}, TenthsCase{Event::Jump, 8, 140, "72"}));

TEST(PassTenths, NoSpeedOfTheEventSelectedGivesNothing)
{
    RunInfo r;
    r.event = Event::Jump;
    r.slalomSpeed = 0;
    r.jumpSpeed = -1;
    EXPECT_FALSE(passTenthsFor(r));
    EXPECT_FALSE(speedLabelFor(r));
}

TEST(LineLabel, ShortLinesGetALeadingBlank)
{
    EXPECT_EQ(lineLabelFor(0), QStringLiteral("18.25"));
    EXPECT_EQ(lineLabelFor(8), QStringLiteral(" 9.75"));
    EXPECT_EQ(lineLabelFor(9), QStringLiteral(" 9.25"));
    EXPECT_FALSE(lineLabelFor(-1));
    EXPECT_FALSE(lineLabelFor(10));
}

struct DeviationCase
{
    double courseX;
    double expected;
};

class LiveDeviationTest : public ::testing::TestWithParam<DeviationCase>
{
};

TEST_P(LiveDeviationTest, RoundsHalfUp)
{
    EXPECT_DOUBLE_EQ(liveDeviation(GetParam().courseX, 1.25), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Halves, LiveDeviationTest,
                         ::testing::Values(DeviationCase{1.125, -0.12}, DeviationCase{1.375, 0.13},
                                           DeviationCase{1.25, 0.0}, DeviationCase{1.2449, -0.01},
                                           DeviationCase{-0.05, -1.3}, DeviationCase{3.0, 1.75}));

TEST(SampleDistance, RunsFromZeroToExactlyTheCourseLength)
{
    EXPECT_EQ(sampleDistance(0, 161, 259.0), 0.0);
    EXPECT_EQ(sampleDistance(161, 161, 259.0), 259.0);
    EXPECT_EQ(sampleDistance(140, 140, 280.0), 280.0);
    EXPECT_EQ(sampleDistance(5, 0, 259.0), 0.0); // never a division by zero
}

TEST(BoatCourseY, TowardRunsFromZeroDownAwayRunsUpToZero)
{
    EXPECT_EQ(boatCourseY(0.0, Direction::Toward), 0.0);
    EXPECT_EQ(boatCourseY(259.0, Direction::Toward), -259.0);
    EXPECT_EQ(boatCourseY(280.0, Direction::Toward), -280.0);
    EXPECT_EQ(boatCourseY(0.0, Direction::Away), -259.0);
    EXPECT_EQ(boatCourseY(259.0, Direction::Away), 0.0);
}

// The stretches of a 58 km/h pass coming toward the camera.
int expectedSide58(int p)
{
    if (p <= 29)
        return 0;
    if (p <= 54)
        return 1;
    if (p <= 80)
        return 0;
    if (p <= 105)
        return 1;
    if (p <= 131)
        return 0;
    return 1;
}

TEST(MandatorySide, StretchesOfA58KmhPassAndTheirInversionGoingAway)
{
    int toward = 1;
    int away = 1;
    for (int p = 1; p <= 161; ++p) {
        toward = mandatorySide(p, 161, toward, Direction::Toward);
        away = mandatorySide(p, 161, away, Direction::Away);
        ASSERT_EQ(toward, expectedSide58(p)) << "sample " << p;
        ASSERT_EQ(away, 1 - expectedSide58(p)) << "sample " << p;
    }
}

TEST(MandatorySide, AtTheFirstSampleThePreviousValueStandsAndIsInvertedGoingAway)
{
    EXPECT_EQ(mandatorySide(0, 161, 1, Direction::Toward), 1);
    EXPECT_EQ(mandatorySide(0, 161, 0, Direction::Toward), 0);
    EXPECT_EQ(mandatorySide(0, 161, 1, Direction::Away), 0);
    EXPECT_EQ(mandatorySide(0, 161, 0, Direction::Away), 1);
}

TEST(Summary, FirstIndexWinsATieAndTheMeanIsOverTheSamplesTaken)
{
    PassSamples s;
    s.deviations[0] = 0.1;
    s.deviations[1] = -0.4;
    s.deviations[2] = 0.4;
    s.deviations[3] = 0.3;
    s.deviations[4] = 9.0; // beyond the count: not part of this pass
    summarisePass(s, 4);
    EXPECT_EQ(s.sampleCount, 4);
    EXPECT_DOUBLE_EQ(s.maxAbsDeviation, 0.4);
    EXPECT_EQ(s.maxDeviationIndex, 1);
    EXPECT_DOUBLE_EQ(s.meanAbsDeviation, 1.2 / 4);
}

TEST(Summary, APassOfZerosReportsFrameZeroNotAnEarlierPassesFrame)
{
    PassSamples s;
    s.deviations[7] = 0.5;
    summarisePass(s, 10);
    ASSERT_EQ(s.maxDeviationIndex, 7);
    s.deviations[7] = 0.0;
    summarisePass(s, 10);
    EXPECT_EQ(s.maxDeviationIndex, 0);
    EXPECT_EQ(s.maxAbsDeviation, 0.0);
}

} // namespace
