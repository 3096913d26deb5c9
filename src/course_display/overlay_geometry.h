#pragma once
// What the calibration screen draws over the picture: the buoy marks with their circles,
// the twelve boat-guide buoys of "Show Course", the crosses and course sides drawn on
// leaving the screen, and the mark cross with its erase. All in twips, all pure.

#include "calibration/course_transform.h"
#include "common/overlay.h"

#include <QString>
#include <optional>
#include <vector>

// The cross-size scroll bar `Setup_Cross_size`: half-length of a mark's cross in twips.
struct CrossSizeScroll
{
    static constexpr int Min = 15;
    static constexpr int Max = 105;
    static constexpr int SmallChange = 15;
    static constexpr int LargeChange = 15;
    static constexpr int Initial = 90;
};

// A value the scroll bar can hold: anything outside the range is pulled back into it.
int clampCrossSize(int value);
// `cross_radius`: the circle around a mark is twice the cross size.
double crossRadiusFor(int crossSize);

inline constexpr int kMarkPenWidth = 2;
inline constexpr double kExitCrossHalfLength = 100.0;
// Shown by "Draw Buoys" and "Show Course" while the calibration is not complete.
inline constexpr const char* kSetupNotOkMessage =
    "Setup needs to be OK to do this - look for the smiley face";

// The four buoy marks as the screen shows them (a mark never set is at 0, 0).
struct CornerMarks
{
    Point2 upperLeft;
    Point2 upperRight;
    Point2 lowerLeft;
    Point2 lowerRight;
};

CornerMarks cornerMarks(const Global& g);

struct ShowGridDrawing
{
    OverlayShapes shapes;
    double crossRadius = 0.0; // the new `cross_radius`
};

// `Show_grid` (after the screen has cleared its surface): a circle of twice the cross size
// around each mark, then five points per mark (centre, below, above, right, left by 5
// twips), marks in the order upper left, upper right, lower left, lower right.
ShowGridDrawing showGridShapes(const CornerMarks& marks, int crossSize);

// The boat-guide buoys in drawing order: column 0.1 first, rows -27 to -232. The loops
// step by repeated addition, as the course drawing always has, so both columns appear.
std::vector<Point2> guideBuoyCoursePoints();

struct CourseCrosses
{
    OverlayShapes shapes;
    std::vector<Point2> screenPoints; // the centre of each cross drawn
    int skipped = 0;                  // guide buoys with no screen position (zero denominator)
    // The last mapping evaluated, for the shared operands.
    std::optional<Point2> lastCourse;
    std::optional<MappedPoint> lastScreen;
};

// "Show Course": a cross of half-length crossSize on each guide buoy mapped to the screen,
// horizontal line first. A buoy the transform cannot place is left out.
CourseCrosses showCourseShapes(const CourseTransform& transform, int crossSize, int penWidth);

// "E&xit" with a complete calibration: a 100-twip cross on each mark (upper left, upper
// right, lower left, lower right), then the right side (lower right to upper right) and the
// left side (lower left to upper left) of the course.
OverlayShapes exitShapes(const CornerMarks& marks);

// The white cross of a new buoy mark, horizontal line first.
OverlayShapes markCrossShapes(Point2 mark, int crossSize);
// Erases an old mark in the key colour: its circle, then crosses as long as the scroll
// bar's maximum, so any cross drawn at any size goes.
OverlayShapes markEraseShapes(Point2 mark, double crossRadius,
                              int crossSizeMax = CrossSizeScroll::Max);

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

// The "Hide"/"Show" button: the caption it gets after a click, and whether the
// description fields are visible afterwards.
struct HideToggle
{
    QString caption;
    bool descriptionsVisible = true;
};
HideToggle toggleDescriptions(const QString& currentCaption);
