#pragma once
// What the calibration screen draws over the picture to check a calibration by eye: the
// buoy marks with their circles and the twelve boat-guide buoys of "Show Course"; and the
// screen's small conveniences (label drag, hiding the descriptions). All in twips, all pure.
// The mark cross, its erase and the exit drawing belong to the marking (buoy_marking.h).

#include "calibration/buoy_marking.h"
#include "calibration/course_transform.h"
#include "common/overlay.h"

#include <QString>
#include <optional>
#include <vector>

// A value the scroll bar can hold: anything outside the range is pulled back into it.
int clampCrossSize(int value);
// `cross_radius`: the circle around a mark is twice the cross size.
double crossRadiusFor(int crossSize);

// Shown by "Draw Buoys" and "Show Course" while the calibration is not complete.
inline constexpr const char* kSetupNotOkMessage =
    "Setup needs to be OK to do this - look for the smiley face";

struct ShowGridDrawing
{
    OverlayShapes shapes;
    double crossRadius = 0.0; // the new `cross_radius`
};

// The buoy marks redrawn (after the screen has cleared its surface): a circle of twice the
// cross size around each mark, then five points per mark (centre, below, above, right, left
// by 5 twips), marks in the order upper left, upper right, lower left, lower right.
// A mark never set is drawn at the origin.
ShowGridDrawing showGridShapes(const Calibration& calibration, int crossSize);

// The boat-guide buoys in drawing order: column 0.1 first, rows -27 to -232. The loops
// step by repeated addition, as the course drawing always has, so both columns appear.
std::vector<Point2> guideBuoyCoursePoints();

struct CourseCrosses
{
    OverlayShapes shapes;
    std::vector<Point2> screenPoints; // the centre of each cross drawn
    int skipped = 0;                  // guide buoys with no screen position (zero denominator)
};

// "Show Course": a cross of half-length crossSize on each guide buoy mapped to the screen,
// horizontal line first. A buoy the transform cannot place is left out.
CourseCrosses showCourseShapes(const CourseTransform& transform, int crossSize, int penWidth);

// Drag of a label (and what travels with it): the grabbed point stays under the pointer.
class LabelDrag
{
public:
    struct Offset
    {
        double dx = 0.0;
        double dy = 0.0;
    };
    // Positions in the label's own coordinates.
    void press(double x, double y);
    // How far the label (and its companions) move; nothing while not dragging.
    std::optional<Offset> move(double x, double y) const;
    void release() { dragging = false; }
    bool isDragging() const { return dragging; }

private:
    bool dragging = false;
    double pressX = 0.0;
    double pressY = 0.0;
};

// The "Hide"/"Show" button's caption: what a click on it does next.
QString descriptionsButtonCaption(bool descriptionsVisible);
