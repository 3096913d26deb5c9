#pragma once
// Where the markers stand: the boat edge and path boundary markers around the measured
// position, the buoy marks and the course marks. A point that does not map to the screen is
// left out (its line keeps its place), so no infinite or undefined position ever reaches
// the screen.

#include "calibration/calibration.h"
#include "calibration/course_transform.h"
#include "common/overlay.h"
#include "common/run_info.h"
#include "measure/line_record.h"

#include <optional>

// The colour options of the boundary markers: five single colours and two schemes that
// colour the mandatory and the optional boundary differently.
enum class BoundaryColour { White, Black, Yellow, Red, Blue, RedGreen, BlackYellow };

// Screen point of a course point; none when it does not map.
std::optional<Point2> courseToScreen(const CourseTransform& transform, double courseX,
                                     double courseY);
// Course point of a screen point; none when it does not map.
std::optional<Point2> screenToCourse(const CourseTransform& transform, double screenX,
                                     double screenY);

struct MarkerPlacement
{
    double courseX = 0.0;     // measured course x of the line
    double courseY = 0.0;     // course y of the boat marker
    double centreLineX = 0.0; // ideal path
    double boatWidth = 0.0;   // metres
    double pathLimit = 0.0;   // metres outside the boat's half width
    int borderWidth = 1;      // pixels, of leftBoundary and rightBoundary
    double markerY = 0.0;     // screen y of the boat marker: the lower end of all four lines
    int mandatorySide = 0;    // 1: leftBoundary is mandatory, 0: rightBoundary
    BoundaryColour colours = BoundaryColour::White;
};

// Places leftEdge, rightEdge, leftBoundary and rightBoundary (their lower ends and x); upper ends
// stay. Each boundary line stands inside the path with its outer edge on its limit.
void placeMarkers(const CourseTransform& transform, MeasureLines& lines, const MarkerPlacement& m);

// How far the measurement line reaches past the course's ends on the screen (40 pixels):
// the boat's pylon stands above the water at the far end, and the line must show below
// the boat marker at the near end.
inline constexpr double kLineSpanMargin = 600.0;

// The measurement line's extent for a calibrated course: from above the far end of the
// ideal path to below its near end, covering every position the boat marker takes in a
// pass either way, so the line reaches the boat anywhere on the course. None when an end
// does not map to the screen.
std::optional<LineSpan> measureLineSpan(const CourseTransform& transform, double centreLineX,
                                        double courseLength);

// Circles of radius 2 x cross size on the four buoy marks and five points on each.
OverlayShapes buoyMarks(const Calibration& calibration, int crossSize);

// Slalom: crosses of half-length crossSize on the twelve boat guide buoys and ticks on the
// centre line at the gates; jump: a tick at the gate and the path line along `jumpCentreX`.
OverlayShapes courseMarks(const CourseTransform& transform, int crossSize, Event event,
                          double jumpCentreX);
