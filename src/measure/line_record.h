#pragma once
// The line objects of the measurement screen (measurement line, boat marker, edge and
// boundary markers) as plain records in twips. The logic moves them; the screen paints them
// over the drawing surface whenever they change.

#include "common/overlay.h"

enum class LineStyle { Solid = 1, Dash = 2, Dot = 3 };

struct LineRecord
{
    double x1 = 0.0; // upper end
    double y1 = 0.0;
    double x2 = 0.0; // lower end
    double y2 = 0.0;
    Rgb colour = kWhite;
    LineStyle style = LineStyle::Solid;
    int width = 1; // pixels
    bool visible = true;

    // Dashes and dots are only drawn on one-pixel lines; wider lines are always solid.
    LineStyle paintedStyle() const { return width == 1 ? style : LineStyle::Solid; }
    void putAtX(double x) { x1 = x2 = x; }
    bool operator==(const LineRecord&) const = default;
};

struct MeasureLines
{
    LineRecord measureLine;
    LineRecord measureLineColumn2; // the second pixel column of the measurement line
    LineRecord boatMarker;         // across the boat's course position, 800 twips long
    LineRecord leftEdge;
    LineRecord rightEdge;
    LineRecord leftBoundary;
    LineRecord rightBoundary;

    // Both columns of the measurement line at x, the second `secondColumn` twips beside the
    // first: 15 to the right where the line is placed on the course, 15 to the left where a
    // joystick or the pointer puts it.
    void putMeasureLineAt(double x, double secondColumn)
    {
        measureLine.putAtX(x);
        measureLineColumn2.putAtX(x + secondColumn);
    }

    bool operator==(const MeasureLines&) const = default;
};

// The vertical extent of the measurement line in twips: its upper end starts at `top` and
// can be lowered by the arrow keys; its lower end stays at `bottom`.
struct LineSpan
{
    double top = 0.0;
    double bottom = 0.0;
    bool operator==(const LineSpan&) const = default;
};

// Where the line stands before a calibration gives the course's own extent.
inline constexpr LineSpan kInitialLineSpan{720.0, 6360.0};

// The positions and looks the screen starts with.
MeasureLines initialMeasureLines();
