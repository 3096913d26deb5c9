#pragma once
// The four reference buoys as the calibration screen names them, their marks, the boxes
// that show them, and the rules for marking, nudging and editing them.

#include "calibration/calibration.h"
#include "calibration/course_transform.h"
#include "common/overlay.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

// What the eighteen coordinate boxes of the calibration screen hold.
enum class BoxKind { ScreenX, ScreenY, SurveyX, SurveyY, JumpX, JumpY };
struct CoordinateBox
{
    BoxKind kind;
    Buoy buoy = Buoy::UpperLeft; // not used by the jump boxes
};

struct BuoyTexts
{
    QString screenX = QStringLiteral("auto");
    QString screenY = QStringLiteral("auto");
    QString surveyX;
    QString surveyY;
};

// The texts of the eighteen coordinate boxes, as displayed (and as the journal and the
// accuracy report copy them).
struct CoordinateTexts
{
    std::array<BuoyTexts, 4> buoys; // indexed by Buoy
    QString jumpX = QStringLiteral("jump x");
    QString jumpY = QStringLiteral("jump y");

    BuoyTexts& operator[](Buoy b) { return buoys[size_t(b)]; }
    const BuoyTexts& operator[](Buoy b) const { return buoys[size_t(b)]; }
};

// The coordinate lines both the journal and the accuracy report write: each buoy's screen
// and survey pair (upper left, lower left, upper right, lower right) with a line of one space
// after it, then the jump point and one more. `screenUnit` names the unit of the screen pair.
QStringList coordinateLines(const CoordinateTexts& t, const QString& screenUnit);

// The text a screen box shows before its buoy is marked.
inline const QString kUnmarkedText = QStringLiteral("auto");
// The text a survey box shows when nothing is entered.
inline const QString kNoSurveyText = QStringLiteral("input");

// The buoy as the operator reads it: "upper left".
QString buoyCaption(Buoy buoy);
// The box as the operator reads it: "upper left buoy screen x", "jump y".
QString boxCaption(CoordinateBox box);

// The value part of the change rule, run when one of the eighteen boxes changes: a survey
// box sets its survey coordinate, a jump box the jump reference point; every change makes
// the calibration incomplete. Screen boxes store nothing: marks come only from clicks,
// loads and micro-adjust.
void applyCoordinateChange(Calibration& calibration, CoordinateBox box, const QString& text);

// The calibration screen's cross size scroll bar: half-length of a mark's cross in twips.
struct CrossSizeScroll
{
    static constexpr int Min = 15;
    static constexpr int Max = 105;
    static constexpr int SmallChange = 15;
    static constexpr int LargeChange = 15;
    static constexpr int Initial = 90;
};

// The scroll bar as a drawing reads it: its value is the half-length of a new cross, its
// maximum bounds every cross drawn so far, so erasing with it removes any earlier cross.
// With it, the radius of the circles now drawn around the marks (cross_radius), which an
// erase must cover too.
struct CrossSize
{
    int value = CrossSizeScroll::Initial;
    int max = CrossSizeScroll::Max;
    double circleRadius = 0.0;
};

// Marks, their circles and crosses are drawn two pixels wide.
inline constexpr int kMarkPenWidth = 2;

// A cross centred on c, horizontal line first, each arm `half` long.
void addCross(OverlayShapes& shapes, Point2 c, double half, Rgb colour, int penWidth);
// The white cross of a new buoy mark.
OverlayShapes markCrossShapes(Point2 mark, int crossSize);
// Erases an old mark in the key colour: its circle, then a cross as long as the scroll
// bar's maximum, so a cross drawn at any size goes.
OverlayShapes markEraseShapes(Point2 mark, double crossRadius,
                              int crossSizeMax = CrossSizeScroll::Max);

// A buoy mark moved by a click or a nudge: the screen writes it into the buoy's boxes.
struct MarkMove
{
    Buoy buoy;
    Point2 mark;
};

// What marking or nudging did: the moved marks and the drawing (old marks erased in the
// key colour, new crosses in white), in drawing order.
struct MarkResult
{
    std::vector<MarkMove> moved;
    OverlayShapes shapes;
};

// A mouse press on the screen with the selected buoy: the selected mark goes to the click,
// and with the grid locked the three others move by the same offset. Nothing happens
// without a selected buoy.
MarkResult markBuoy(Calibration& calibration, std::optional<Buoy> selected, bool locked,
                    Point2 click, CrossSize crossSize);

// A coordinate typed into a screen box, read when the operator finishes editing it: the
// whole text, blanks aside, must be a plain decimal number (" 5400", "-.5"). Anything else
// ("abc", "54o0", "1e3", empty) is no position: the leading-number rule would make it a
// mark at a place nobody typed.
std::optional<double> typedScreenCoordinate(const QString& text);

// Why a typed screen coordinate was not taken.
QString notAScreenPositionMessage(CoordinateBox box, const QString& typed);

// A typed coordinate moves the box's buoy as a click there would: the mark's other
// coordinate stays, and with the grid locked the three others move by the same offset.
MarkResult placeTypedMark(Calibration& calibration, CoordinateBox box, double value, bool locked,
                          CrossSize crossSize);

enum class AdjustDirection { Up, Down, Left, Right };
inline constexpr double kMicroAdjustStep = 15.0; // twips: one pixel

// One micro-adjust click: the selected mark, or all four when the grid is locked, moves
// one step.
MarkResult microAdjust(Calibration& calibration, std::optional<Buoy> selected, bool locked,
                       AdjustDirection direction, CrossSize crossSize);

// The lock may only be set once all four buoys are marked (no x screen box reads "auto").
bool canLockGrid(const CoordinateTexts& texts);
inline const QString kCannotLockMessage =
    QStringLiteral("Cannot Lock Grid Until buoy positions have been entered for all four buoys");

// What leaving the screen with a complete calibration draws: a cross of 100 twips either
// side of each mark and the two sides of the course.
inline constexpr double kExitCrossHalfLength = 100.0;
OverlayShapes exitShapes(const Calibration& calibration);
