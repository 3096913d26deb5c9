#pragma once
// The results graph in twips of the results screen: the course runs down, the deviation
// across (positive to the left). The screen paints what these functions return.

#include "common/overlay.h"
#include "common/run_info.h"
#include "measure/pass_record.h"
#include "results/buoy_figures.h"

#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

struct GraphPoint
{
    double x;
    double y;
    bool operator==(const GraphPoint&) const = default;
};

inline constexpr double kGraphCentreX = 7800.0;
inline constexpr double kGraphTop = 300.0;
inline constexpr double kTwipsPerCourseMetre = 22.5;

// Horizontal scale k, twips per metre of deviation: 3000 slalom, 1500 jump.
double graphScale(Event event);
// Bottom of the graph's lines: 6135 slalom, 6615 jump.
double graphBottom(Event event);
// (d, p) -> (7800 - k d, 300 + 22.5 p)
GraphPoint graphPoint(Event event, double deviation, double position);

struct GraphRect
{
    double left, top, right, bottom;
};

// The captions on and beside the graph.
enum class GraphCaption {
    Scale,       // the deviation scale under the graph, in centimetres
    BuoyNumber1, // the six buoy numbers, from the bottom of the graph up
    BuoyNumber2,
    BuoyNumber3,
    BuoyNumber4,
    BuoyNumber5,
    BuoyNumber6,
    RecordLimit, // slalom: what the red lines are
    Mark100m,    // jump: the course marks and the course sketch
    Mark200m,
    Buoy180m,
    Buoy150m,
    Ramp,
};
// The buoy number caption of a row, 0 at the bottom of the graph.
GraphCaption buoyNumberCaption(int row);

// A caption placed on the graph: which one, its text, top-left corner in twips.
struct GraphLabel
{
    GraphCaption caption = GraphCaption::Scale;
    QString text;
    double left;
    double top;
    double width;
    bool visible;
    Rgb colour = kBlack;
};

// The fixed elements for the event, with the buoy numbers for the direction.
struct GraphFrame
{
    GraphRect box; // filled with the button-face colour, erasing earlier traces
    OverlayShapes lines;
    std::vector<GraphLabel> labels;
};
GraphFrame graphFrame(Event event, bool comingToward);
// The buoy numbers from the bottom of the graph up: "6".."1" coming toward, "1".."6" going
// away.
std::array<QString, 6> buoyNumbers(bool comingToward);

// The pass: black segments with five red dots per sample, then the blue reference line.
OverlayShapes passGraph(Event event, Direction direction, std::span<const double> deviations,
                        const PassStatistics& statistics);

// The buoy windows of slalom figures as bands across the graph box, buoy 1 first, where the
// pass runs on the graph (its start at the top coming toward the camera, at the bottom going
// away); cut to the graph, and left out where a window lies wholly outside it.
std::vector<GraphRect> buoyWindowBands(const BuoyFigures& figures);
inline constexpr Rgb kBuoyBandColour{255, 236, 160};

// Each gate and buoy reading ringed at its sample(s) on the pass's trace: green within its
// tolerance, red out, grey where it is not judged. `deviations` are the figures' samples.
OverlayShapes readingMarks(const BuoyFigures& figures, std::span<const double> deviations);
inline constexpr Rgb kWithinColour{0, 150, 0};
inline constexpr Rgb kOutColour{220, 0, 0};
inline constexpr Rgb kNotJudgedColour{96, 96, 96};

// A trace read back from a file, in `colour`, with the scale of the event selected now.
// Positions of a pass that went away are reversed as the live graph does, so the trace runs
// the same way as the pass.
OverlayShapes readBackTrace(Event event, bool comingToward, std::span<const double> deviations,
                            std::span<const double> positions, Rgb colour);

// The colour prompt's choices 1..7: palette colour n + 8 and its name.
Rgb traceColour(int choice);
QString traceColourName(int choice);
// The colour prompt's text.
QString colourPromptText();

// An answer to the colour prompt: std::nullopt when it is not a number (the read ends);
// otherwise the choice, which the prompt asks again for while it is outside 1..7.
std::optional<long long> colourAnswer(const QString& answer);
bool isColourChoice(long long choice);
