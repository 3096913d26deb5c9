#include "results/results_graph.h"

#include "common/number_forms.h"
#include "common/text_file.h"
#include "measure/measure_tables.h"
#include "results/pass_report.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double kLeftEdge = 7080;
constexpr double kRightEdge = 8520;
// Read-back files can hold any number; keep drawn coordinates where the painter copes.
constexpr double kFarTwips = 1.0e6;

GraphPoint clamped(GraphPoint p)
{
    return {std::clamp(p.x, -kFarTwips, kFarTwips), std::clamp(p.y, -kFarTwips, kFarTwips)};
}

OverlayLine line(double x1, double y1, double x2, double y2, Rgb colour = kBlack)
{
    return OverlayLine{x1, y1, x2, y2, colour, 1};
}

constexpr std::array<const char*, 7> kColourNames{"Blue",    "Green",  "Cyan", "Red",
                                                  "Magenta", "Yellow", "White"};
// Palette colours 9..15 of the standard 16-colour palette.
constexpr std::array<Rgb, 7> kBrightColours{{{0, 0, 255},
                                             {0, 255, 0},
                                             {0, 255, 255},
                                             {255, 0, 0},
                                             {255, 0, 255},
                                             {255, 255, 0},
                                             {255, 255, 255}}};

} // namespace

double graphScale(Event event)
{
    return event == Event::Slalom ? 3000.0 : 1500.0;
}

double graphBottom(Event event)
{
    return event == Event::Slalom ? 6135.0 : 6615.0;
}

GraphPoint graphPoint(Event event, double deviation, double position)
{
    return {kGraphCentreX - graphScale(event) * deviation,
            kGraphTop + kTwipsPerCourseMetre * position};
}

std::array<QString, 6> buoyNumbers(bool comingToward)
{
    std::array<QString, 6> texts;
    for (int i = 0; i < 6; ++i)
        texts[size_t(i)] = QString::number(comingToward ? 6 - i : i + 1);
    return texts;
}

GraphCaption buoyNumberCaption(int row)
{
    return GraphCaption(int(GraphCaption::BuoyNumber1) + std::clamp(row, 0, 5));
}

GraphFrame graphFrame(Event event, bool comingToward)
{
    const bool slalom = event == Event::Slalom;
    const double bottom = graphBottom(event);
    GraphFrame f;
    f.box = {7000, 300, 8600, slalom ? 6135.0 : 6700.0};

    for (double x : {kLeftEdge, kGraphCentreX, kRightEdge, 7440.0, 8160.0})
        f.lines.push_back(line(x, kGraphTop, x, bottom));
    f.lines.push_back(line(kLeftEdge, kGraphTop, kRightEdge, kGraphTop));
    f.lines.push_back(line(kLeftEdge, bottom, kRightEdge, bottom));
    if (slalom) {
        f.lines.push_back(line(7200, kGraphTop, 7200, 6135, kRed));
        f.lines.push_back(line(8400, kGraphTop, 8400, 6135, kRed));
        // Each buoy line points to its buoy's side.
        const std::array<double, 6> buoyY{900, 1830, 2760, 3675, 4605, 5520};
        for (size_t i = 0; i < buoyY.size(); ++i)
            f.lines.push_back(i % 2 == 0 ? line(kRightEdge, buoyY[i], 6600, buoyY[i])
                                         : line(kLeftEdge, buoyY[i], 9000, buoyY[i]));
    } else {
        for (double y : {300.0, 1425.0, 2550.0, 3675.0, 4800.0, 5925.0})
            f.lines.push_back(line(kRightEdge, y, 8640, y));
        // The jump course sketch: 180 m and 150 m buoys and the ramp.
        f.lines.push_back(OverlayCircle{10290, 390, 90, kBlack, 1});
        f.lines.push_back(OverlayCircle{10290, 1065, 90, kBlack, 1});
        for (const OverlayLine& l :
             {line(10200, 4425, 10560, 4425), line(10560, 4425, 10560, 4665),
              line(10560, 4665, 10200, 4665), line(10200, 4665, 10200, 4425)})
            f.lines.push_back(l);
    }

    const auto numbers = buoyNumbers(comingToward);
    const std::array<std::pair<double, double>, 6> buoyLabelAt{
        {{9120, 5400}, {6240, 4440}, {9120, 3480}, {6240, 2640}, {9120, 1680}, {6240, 720}}};
    for (int i = 0; i < 6; ++i)
        f.labels.push_back({buoyNumberCaption(i), numbers[size_t(i)], buoyLabelAt[size_t(i)].first,
                            buoyLabelAt[size_t(i)].second, 300, slalom});
    f.labels.push_back({GraphCaption::RecordLimit, QStringLiteral("Red Line - 20cm Record Limit"),
                        8880, 360, 2400, slalom, kRed});
    f.labels.push_back({GraphCaption::Mark100m, QStringLiteral("100m"), 8760, 2440, 600, !slalom});
    f.labels.push_back({GraphCaption::Mark200m, QStringLiteral("200m"), 8760, 4700, 600, !slalom});
    f.labels.push_back(
        {GraphCaption::Buoy180m, QStringLiteral("180m buoy"), 10560, 270, 1200, !slalom});
    f.labels.push_back(
        {GraphCaption::Buoy150m, QStringLiteral("150m buoy"), 10560, 945, 1200, !slalom});
    f.labels.push_back({GraphCaption::Ramp, QStringLiteral("Ramp"), 10680, 4425, 900, !slalom});
    f.labels.push_back({GraphCaption::Scale,
                        slalom ? QStringLiteral("24    12     0    12    24")
                               : QStringLiteral("48    24     0    24    48"),
                        7000, slalom ? 6240.0 : 6720.0, 1575, true});
    return f;
}

OverlayShapes passGraph(Event event, Direction direction, std::span<const double> d,
                        const PassStatistics& s)
{
    OverlayShapes shapes;
    const double length = courseLength(event);
    const bool away = direction == Direction::Away;
    const long t = long(d.size()) - 1;
    shapes.reserve(d.size() * 6 + 1);
    GraphPoint previous{};
    for (long i = 0; i <= t; ++i) {
        const double along = t > 0 ? double(i) * length / double(t) : 0.0;
        const GraphPoint p =
            clamped(graphPoint(event, d[size_t(i)], away ? length - along : along));
        if (i == 0)
            previous = p;
        shapes.push_back(line(previous.x, previous.y, p.x, p.y, kBlack));
        for (const auto& [dx, dy] : std::array<std::pair<double, double>, 5>{
                 {{0, 0}, {30, 0}, {-30, 0}, {0, 30}, {0, -30}}})
            shapes.push_back(OverlayPoint{p.x + dx, p.y + dy, kRed, 1});
        previous = p;
    }
    const double k = graphScale(event);
    const double startX = kGraphCentreX - k * (event == Event::Slalom ? s.fitStart : s.jumpMean);
    const double endX = kGraphCentreX - k * (event == Event::Slalom ? s.fitEnd : s.jumpMean);
    const double top = kGraphTop;
    const double foot = kGraphTop + kTwipsPerCourseMetre * length;
    shapes.push_back(away ? line(endX, top, startX, foot, kBlue)
                          : line(startX, top, endX, foot, kBlue));
    return shapes;
}

OverlayShapes readBackTrace(Event event, bool comingToward, std::span<const double> deviations,
                            std::span<const double> positions, Rgb colour)
{
    OverlayShapes shapes;
    const double length = courseLength(event);
    GraphPoint previous =
        comingToward ? GraphPoint{kGraphCentreX, 300} : GraphPoint{kGraphCentreX, 6135};
    const size_t n = std::min(deviations.size(), positions.size());
    shapes.reserve(n * 2);
    for (size_t j = 0; j < n; ++j) {
        const double p = comingToward ? positions[j] : length - positions[j];
        const GraphPoint q = clamped(graphPoint(event, deviations[j], p));
        shapes.push_back(line(previous.x, previous.y, q.x, q.y, colour));
        shapes.push_back(OverlayPoint{q.x, q.y, colour, 2});
        previous = q;
    }
    return shapes;
}

namespace {

// A distance along the boat's travel on the graph's course axis, as passGraph puts it.
double graphPosition(const BuoyFigures& f, double along)
{
    return f.direction == Direction::Away ? kSlalomCourseLength - along : along;
}

} // namespace

std::vector<GraphRect> buoyWindowBands(const BuoyFigures& f)
{
    std::vector<GraphRect> bands;
    if (!f.ok)
        return bands;
    const GraphRect box = graphFrame(Event::Slalom, true).box;
    for (const WindowFigures& w : f.buoy) {
        const double a = kGraphTop + kTwipsPerCourseMetre * graphPosition(f, w.start);
        const double b = kGraphTop + kTwipsPerCourseMetre * graphPosition(f, w.end);
        const double top = std::max(std::min(a, b), kGraphTop);
        const double bottom = std::min(std::max(a, b), graphBottom(Event::Slalom));
        if (top <= bottom)
            bands.push_back({box.left, top, box.right, bottom});
    }
    return bands;
}

OverlayShapes readingMarks(const BuoyFigures& f, std::span<const double> d)
{
    OverlayShapes marks;
    if (!f.ok || f.passTenths < 1)
        return marks;
    for (const WindowFigures* w : f.csvRows()) {
        const std::optional<bool> within = w->readingWithin();
        const Rgb colour = !within ? kNotJudgedColour : *within ? kWithinColour : kOutColour;
        for (int i : w->readingSamples) {
            if (i < 0 || size_t(i) >= d.size())
                continue;
            const double along = double(i) * kSlalomCourseLength / double(f.passTenths);
            const GraphPoint p =
                clamped(graphPoint(Event::Slalom, d[size_t(i)], graphPosition(f, along)));
            marks.push_back(OverlayCircle{p.x, p.y, 90, colour, 2});
        }
    }
    return marks;
}

Rgb traceColour(int choice)
{
    return choice >= 1 && choice <= 7 ? kBrightColours[size_t(choice - 1)] : kBlack;
}

QString traceColourName(int choice)
{
    return choice >= 1 && choice <= 7 ? QString::fromLatin1(kColourNames[size_t(choice - 1)])
                                      : QString();
}

QString colourPromptText()
{
    QString text = QStringLiteral("Please input a color for the graph to display in:");
    for (int i = 1; i <= 7; ++i)
        text += QString::fromLatin1(kCrLf) + QString::number(i) + QStringLiteral(" = ") +
                traceColourName(i);
    return text;
}

std::optional<long long> colourAnswer(const QString& answer)
{
    bool ok = false;
    const double v = answer.trimmed().toDouble(&ok);
    // Far outside the choices is as good as any other wrong number: ask again.
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return std::abs(v) > 1e9 ? 0 : roundHalfEven(v);
}

bool isColourChoice(long long choice)
{
    return choice >= 1 && choice <= 7;
}
