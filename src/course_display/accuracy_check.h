#pragma once
// The accuracy check: a 6 x 7 grid of course points over the slalom course, how much course
// one screen pixel covers at each, the 42 indicator texts and positions, and the lines the
// check adds to the day's accuracy report ("acc" + MM + DD + ".txt").

#include "calibration/buoy_marking.h"
#include "calibration/course_transform.h"
#include "common/text_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The indicator labels: 51 exist, the check uses 0 to 41 (index b + 6a).
inline constexpr int kAccuracyIndicatorCount = 51;
inline constexpr int kAccuracyRows = 6;    // b, along the course
inline constexpr int kAccuracyColumns = 7; // a, across it
inline constexpr int kAccuracyPoints = kAccuracyRows * kAccuracyColumns;
// "Clear Accuracy Values" hides 6i + j for i, j from 0 to 7: indices 0 to 49.
inline constexpr int kClearAccuracyLastIndex = 49;
// One pixel in twips: the step to the right and down at each grid point.
inline constexpr double kPixelStep = 15.0;
// The indicator stands this far below the point one pixel down.
inline constexpr double kIndicatorDrop = 60.0;

enum class AccuracyDisplay { HomologationLevel, Distance, Detail };

// "homlvl", "distance" or "detail"; no value for anything else.
std::optional<AccuracyDisplay> accuracyDisplayFromName(const QString& name);

constexpr int accuracyIndex(int row, int column)
{
    return row + kAccuracyRows * column;
}

// The grid's course point at row b (0..5) and column a (0..6).
Point2 accuracyGridPoint(int row, int column);
// All 42, by index.
std::array<Point2, kAccuracyPoints> accuracyGrid();

// Homologation level of a per-pixel resolution: "R" up to 0.1 m, "L" up to 0.15, "C" up
// to 0.2, "NH" beyond.
QString homologationLevel(double hinc);
// The indicator caption for the chosen display: the level of hinc, the jump distance D to
// 0.1 m, or the per-pixel resolution (delta, equal to hinc) to 0.01 m.
QString accuracyIndicatorText(AccuracyDisplay display, double D, double hinc);

// Everything one check needs.
struct AccuracyCheckInput
{
    CourseTransform transform;
    Point2 jumpPoint;
    AccuracyDisplay display = AccuracyDisplay::Detail;
    QDateTime clock;
    QString description1; // the setup file's path as the screen shows it
    QString description2; // its description line
    int gridNumber = 1;
    double frontRatio = 0.0;
    double backRatio = 0.0;
    CoordinateTexts boxes; // the report copies the eighteen boxes as the screen shows them
};

// What one grid point gives.
struct AccuracyPoint
{
    int index = 0;
    Point2 course;       // the grid point
    bool placed = false; // false: the calibration cannot map it (zero denominator)
    Point2 screen;       // the grid point on the screen, twips
    double D = 0.0;      // jump distance at the point
    double hinc = 0.0;   // course metres covered by one pixel to the right
    double vval = 0.0;   // jump distance one pixel below
    double delta = 0.0;  // equal to hinc
    Point2 belowCourse;  // the course point one pixel below
    QString text;        // the indicator's caption
    double top = 0.0;    // indicator position, twips
    double left = 0.0;
};

struct AccuracyCheckResult
{
    std::array<AccuracyPoint, kAccuracyPoints> points; // by index
    QString reportText;     // the lines for the day's file, each ended by CR LF
    QString reportFileName; // "acc" + MM + DD + ".txt"
    int unplaced = 0;
};

// The input from the calibration in use (coefficients, jump point, ratios), the current
// grid slot and what the calibration screen shows.
AccuracyCheckInput accuracyInputFrom(const Calibration& calibration, int gridNumber,
                                     const CoordinateTexts& boxes, const QString& description1,
                                     const QString& description2, AccuracyDisplay display,
                                     const QDateTime& clock);

AccuracyCheckResult runAccuracyCheck(const AccuracyCheckInput& input);

// Told to the operator when some grid points have no place on the screen.
QString unplacedPointsMessage(int unplaced);

// The report lines before the grid points, without line ends.
QStringList accuracyReportHeader(const AccuracyCheckInput& input);

// The day's report file in the results folder (a relative folder is taken in the program
// folder), and the append of one check's lines to it.
QString accuracyReportPath(const QString& resultsFolder, const QDateTime& clock,
                           const QString& programFolder = QString());
WriteResult appendAccuracyReport(const QString& path, const AccuracyCheckResult& result);

// One line per indicator in index order, tab-separated: index, course x, course y, screen
// x, screen y, indicator text ("-" for a point with no screen position).
QStringList accuracyIndicatorListing(const AccuracyCheckResult& result);
