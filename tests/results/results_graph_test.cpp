#include "results/results_graph.h"

#include <gtest/gtest.h>
#include <map>
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

namespace {

RuleSet presetRules(const char* file)
{
    const RuleSetRead read = readRuleSetFile(QStringLiteral(":/program/rules/") + file);
    EXPECT_TRUE(read.ruleSet) << read.message.toStdString();
    return read.ruleSet.value_or(RuleSet{});
}

// The graph's fixed buoy lines, from the top: where buoys 1..6 lie coming toward the camera,
// and 6..1 going away.
constexpr std::array<double, 6> kBuoyLineY{900, 1830, 2760, 3675, 4605, 5520};

// A window on its buoy (0 m long) is a band on that buoy's line, the line the graph numbers
// with the buoy, in both directions; a window after the buoy lies downstream of the line.
TEST(BuoyWindowBands, LieOnTheBuoyLinesAlongTheTravel)
{
    RuleSet rules = presetRules("2021-largest-20cm.txt");
    for (Direction dir : {Direction::Toward, Direction::Away}) {
        const std::vector<double> d(162, 0.0);
        rules.buoyWindow = {0.0, 0.0};
        const auto onLines = buoyWindowBands(computeBuoyFigures(d, 161, dir, rules));
        rules.buoyWindow = {0.0, 5.0};
        const auto after = buoyWindowBands(computeBuoyFigures(d, 161, dir, rules));
        ASSERT_EQ(onLines.size(), 6u);
        ASSERT_EQ(after.size(), 6u);
        for (int k = 1; k <= 6; ++k) {
            const double lineY = kBuoyLineY[size_t(dir == Direction::Toward ? k - 1 : 6 - k)];
            const GraphRect band = onLines[size_t(k - 1)];
            // The fixed lines are drawn to the nearest 7.5 twips (half a pixel).
            EXPECT_NEAR(band.top, lineY, 7.5) << k;
            EXPECT_EQ(band.bottom, band.top) << k;
            EXPECT_EQ(band.left, 7000);
            EXPECT_EQ(band.right, 8600);
            const GraphRect five = after[size_t(k - 1)];
            EXPECT_DOUBLE_EQ(five.bottom - five.top, 5 * 22.5);
            // Coming toward the camera the boat runs down the graph, going away up it.
            EXPECT_DOUBLE_EQ(dir == Direction::Toward ? five.top : five.bottom, band.top) << k;
        }
    }
}

TEST(BuoyWindowBands, CutToTheGraphAndLeftOutBeyondIt)
{
    RuleSet rules = presetRules("2021-largest-20cm.txt");
    rules.buoyWindow = {-35.0, -8.0}; // buoy 1's: 8 m before the gate to 19 m after
    const std::vector<double> d(162, 0.0);
    const auto away = buoyWindowBands(computeBuoyFigures(d, 161, Direction::Away, rules));
    ASSERT_EQ(away.size(), 6u);
    EXPECT_EQ(away[0].bottom, 6135); // cut at the graph's foot
    rules.buoyWindow = {-35.0, -30.0};
    EXPECT_EQ(buoyWindowBands(computeBuoyFigures(d, 161, Direction::Toward, rules)).size(), 5u);
}

struct MarkCase
{
    const char* rules;
    ReadingMethod reading;
    Direction direction;
};

void PrintTo(const MarkCase& c, std::ostream* os)
{
    *os << c.rules << (c.reading == ReadingMethod::Largest ? ", largest" : ", two highest")
        << (c.direction == Direction::Toward ? ", toward" : ", away");
}

class ReadingMarks : public testing::TestWithParam<MarkCase>
{
};

// Each mark rings a point of the pass's own trace, the sample(s) the reading was taken at,
// in the colour of the reading's verdict.
TEST_P(ReadingMarks, RingTheSamplesOfTheReadingsOnTheTrace)
{
    const MarkCase c = GetParam();
    RuleSet rules = presetRules(c.rules);
    rules.reading = c.reading;
    // 58 km/h: buoy 1's window (27..32 m) holds samples 17..19, buoy 2's (68..73 m) 43..45.
    std::vector<double> d(162, 0.0);
    const double towardSkier1 = c.direction == Direction::Toward ? 1.0 : -1.0;
    d[18] = 0.22 * towardSkier1;
    d[19] = 0.10 * towardSkier1;
    d[44] = -0.05 * towardSkier1; // toward buoy 2's skier, on the other side
    d[0] = 0.03;
    const BuoyFigures f = computeBuoyFigures(d, 161, c.direction, rules);
    const OverlayShapes marks = readingMarks(f, d);
    const OverlayShapes trace = passGraph(Event::Slalom, c.direction, d, PassStatistics{});
    auto traceSampleAt = [&](double x, double y) {
        // The trace's first red dot of sample i is its point; five dots per sample.
        const auto dots = only<OverlayPoint>(trace);
        for (size_t i = 0; i < dots.size(); i += 5)
            if (dots[i].x == x && dots[i].y == y)
                return int(i / 5);
        return -1;
    };
    std::map<int, Rgb> ringed;
    for (const OverlayCircle& ring : only<OverlayCircle>(marks))
        ringed[traceSampleAt(ring.cx, ring.cy)] = ring.colour;
    EXPECT_EQ(ringed.count(-1), 0u) << "a mark off the trace";

    const bool pair = c.reading == ReadingMethod::TwoHighest;
    const bool strict = QString::fromLatin1(c.rules).startsWith(QStringLiteral("2021"));
    EXPECT_EQ(ringed.at(0), strict ? kWithinColour : kNotJudgedColour); // the gate
    // Buoy 1: 22 cm (or the mean 16 cm with 10 cm) against 20 cm or 25 cm.
    const Rgb buoy1 = strict && !pair ? kOutColour : kWithinColour;
    EXPECT_EQ(ringed.at(18), buoy1);
    EXPECT_EQ(ringed.count(19), pair ? 1u : 0u);
    EXPECT_EQ(ringed.at(44), kWithinColour);
    // The gate, six buoys, and the second sample of each mean.
    EXPECT_EQ(marks.size(), pair ? 13u : 7u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadingMarks,
    testing::Values(MarkCase{"2021-largest-20cm.txt", ReadingMethod::Largest, Direction::Toward},
                    MarkCase{"2021-largest-20cm.txt", ReadingMethod::TwoHighest, Direction::Away},
                    MarkCase{"2024-largest-25cm.txt", ReadingMethod::Largest, Direction::Away}));

} // namespace
