#include "results/results_graph.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct MapCase
{
    Event event;
    double deviation;
    double position;
    GraphPoint expected;
};

class GraphMapping : public testing::TestWithParam<MapCase>
{
};

TEST_P(GraphMapping, DeviationAcrossCourseDown)
{
    const MapCase c = GetParam();
    EXPECT_EQ(graphPoint(c.event, c.deviation, c.position), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphMapping,
                         testing::Values(MapCase{Event::Slalom, 0.20, 0, {7200, 300}},
                                         MapCase{Event::Slalom, -0.20, 0, {8400, 300}},
                                         MapCase{Event::Slalom, 0.24, 259, {7080, 6127.5}},
                                         MapCase{Event::Jump, 0.48, 0, {7080, 300}},
                                         MapCase{Event::Jump, -0.48, 280, {8520, 6600}}));

template <typename T> std::vector<T> only(const OverlayShapes& shapes)
{
    std::vector<T> out;
    for (const OverlayShape& s : shapes)
        if (const T* t = std::get_if<T>(&s))
            out.push_back(*t);
    return out;
}

TEST(ResultsGraph, AllZeroSlalomPassRunsDownTheCentre)
{
    const std::vector<double> d(162, 0.0);
    const OverlayShapes shapes = passGraph(Event::Slalom, Direction::Toward, d, PassStatistics{});
    const auto lines = only<OverlayLine>(shapes);
    const auto dots = only<OverlayPoint>(shapes);
    ASSERT_EQ(lines.size(), 163u); // one segment per sample, then the reference line
    ASSERT_EQ(dots.size(), 5u * 162u);
    for (const OverlayLine& l : lines)
        EXPECT_TRUE(l.x1 == 7800 && l.x2 == 7800);
    EXPECT_EQ(lines.front().colour, kBlack);
    EXPECT_EQ(lines[1].y2, 300 + 22.5 * 259.0 / 161.0);
    const OverlayLine blue = lines.back();
    EXPECT_EQ(blue.colour, kBlue);
    EXPECT_EQ(blue.y1, 300);
    EXPECT_EQ(blue.y2, 6127.5);
    EXPECT_EQ(dots[1].x, 7830);
    EXPECT_EQ(dots[4].y, 300 - 30);
    EXPECT_EQ(dots[0].colour, kRed);
}

TEST(ResultsGraph, GoingAwayStartsAtTheBottomWithTheFitStartThere)
{
    std::vector<double> d(162, 0.0);
    d[0] = 0.1;
    PassStatistics s;
    s.fitStart = 0.1;
    s.fitEnd = -0.1;
    const auto lines = only<OverlayLine>(passGraph(Event::Slalom, Direction::Away, d, s));
    EXPECT_EQ(lines.front().y2, 6127.5);
    EXPECT_EQ(lines.front().x2, 7500);
    EXPECT_EQ(lines[161].y2, 300);
    const OverlayLine blue = lines.back();
    EXPECT_EQ(blue.x2, 7500); // fitStart at the bottom
    EXPECT_EQ(blue.y2, 6127.5);
    EXPECT_EQ(blue.x1, 8100);
}

TEST(ResultsGraph, JumpReferenceIsVerticalAtTheMean)
{
    const std::vector<double> d(141, 0.2);
    PassStatistics s;
    s.jumpMean = 0.2;
    const OverlayLine blue =
        only<OverlayLine>(passGraph(Event::Jump, Direction::Toward, d, s)).back();
    EXPECT_EQ(blue.x1, 7500);
    EXPECT_EQ(blue.x2, 7500);
    EXPECT_EQ(blue.y2, 300 + 22.5 * 280);
}

TEST(ResultsGraph, ReadBackTraceStartsFromItsStartingPoint)
{
    const std::vector<double> dev{0.1, -0.1};
    const std::vector<double> pos{0.0, 259.0};
    const auto toward = only<OverlayLine>(readBackTrace(Event::Slalom, true, dev, pos, kRed));
    ASSERT_EQ(toward.size(), 2u);
    EXPECT_EQ(toward[0].x1, 7800);
    EXPECT_EQ(toward[0].y1, 300);
    EXPECT_EQ(toward[0].y2, 300);
    EXPECT_EQ(toward[1].y2, 6127.5);
    // A pass that went away is drawn the way the live graph draws it: from the bottom.
    const auto away = only<OverlayLine>(readBackTrace(Event::Slalom, false, dev, pos, kRed));
    EXPECT_EQ(away[0].y1, 6135);
    EXPECT_EQ(away[0].y2, 6127.5);
    EXPECT_EQ(away[1].y2, 300);
    // The scale is the event selected now.
    const auto jump = only<OverlayLine>(readBackTrace(Event::Jump, true, dev, pos, kRed));
    EXPECT_EQ(jump[0].x2, 7650);
}

TEST(ResultsGraph, ReadBackTraceKeepsAbsurdValuesDrawable)
{
    const std::vector<double> dev{-99999999.0};
    const std::vector<double> pos{99999999.0};
    const auto l = only<OverlayLine>(readBackTrace(Event::Slalom, true, dev, pos, kRed));
    EXPECT_LE(std::abs(l[0].x2), 1.0e6);
    EXPECT_LE(std::abs(l[0].y2), 1.0e6);
}

TEST(ResultsGraph, BuoyNumbersFollowTheDirection)
{
    EXPECT_EQ(buoyNumbers(true)[0], QStringLiteral("6"));
    EXPECT_EQ(buoyNumbers(true)[5], QStringLiteral("1"));
    EXPECT_EQ(buoyNumbers(false)[0], QStringLiteral("1"));
    const GraphFrame slalom = graphFrame(Event::Slalom, false);
    const GraphFrame jump = graphFrame(Event::Jump, true);
    EXPECT_EQ(slalom.box.bottom, 6135);
    EXPECT_EQ(jump.box.bottom, 6700);
    auto label = [](const GraphFrame& f, GraphCaption caption) {
        for (const GraphLabel& l : f.labels)
            if (l.caption == caption)
                return l;
        return GraphLabel{};
    };
    EXPECT_TRUE(label(slalom, GraphCaption::RecordLimit).visible);
    EXPECT_FALSE(label(jump, GraphCaption::RecordLimit).visible);
    EXPECT_EQ(label(jump, GraphCaption::Scale).text, QStringLiteral("48    24     0    24    48"));
    EXPECT_EQ(label(jump, GraphCaption::Scale).top, 6720);
    EXPECT_EQ(label(slalom, buoyNumberCaption(0)).text, QStringLiteral("1"));
    // The red record-limit lines are slalom's alone.
    auto redLines = [](const GraphFrame& f) {
        int n = 0;
        for (const OverlayShape& s : f.lines)
            if (const auto* l = std::get_if<OverlayLine>(&s); l && l->colour == kRed)
                ++n;
        return n;
    };
    EXPECT_EQ(redLines(slalom), 2);
    EXPECT_EQ(redLines(jump), 0);
}

TEST(ResultsGraph, ColourChoices)
{
    EXPECT_EQ(traceColourName(3), QStringLiteral("Cyan"));
    EXPECT_EQ(traceColour(3), (Rgb{0, 255, 255}));
    EXPECT_EQ(traceColour(6), (Rgb{255, 255, 0}));
    EXPECT_EQ(colourPromptText(),
              QStringLiteral("Please input a color for the graph to display in:\r\n1 = Blue\r\n"
                             "2 = Green\r\n3 = Cyan\r\n4 = Red\r\n5 = Magenta\r\n6 = Yellow\r\n"
                             "7 = White"));
}

} // namespace

namespace {

TEST(ResultsGraph, ColourAnswers)
{
    EXPECT_EQ(colourAnswer(QStringLiteral(" 3 ")), 3);
    EXPECT_EQ(colourAnswer(QStringLiteral("2.5")), 2); // halves to even
    EXPECT_EQ(colourAnswer(QStringLiteral("-1")), -1);
    EXPECT_FALSE(colourAnswer(QStringLiteral("blue")).has_value());
    EXPECT_FALSE(colourAnswer(QString()).has_value());
    EXPECT_FALSE(colourAnswer(QStringLiteral("inf")).has_value());
    EXPECT_FALSE(isColourChoice(*colourAnswer(QStringLiteral("1e300"))));
    for (long long n : {0LL, 8LL, -1LL})
        EXPECT_FALSE(isColourChoice(n));
    EXPECT_TRUE(isColourChoice(7));
}

} // namespace
