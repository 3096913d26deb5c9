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

// The coordinate boxes as the screen displays them; the report copies these texts.
struct AccuracyBoxTexts
{
    QString upper_left_x, upper_left_y, ul_survey_x, ul_survey_y;
    QString lower_left_x, lower_left_y, ll_survey_x, ll_survey_y;
    QString upper_right_x, upper_right_y, ur_survey_x, ur_survey_y;
    QString lower_right_x, lower_right_y, lr_survey_x, lr_survey_y;
    QString jump_x, jump_y;
};

// The texts the report copies, from the eighteen coordinate boxes.
AccuracyBoxTexts accuracyBoxTexts(const CoordinateTexts& texts);

// Everything one check needs.
struct AccuracyCheckInput
{
    CourseTransform transform;
    Point2 jumpPoint; // jump_survey_x, jump_survey_y
    AccuracyDisplay display = AccuracyDisplay::Detail;
    QDateTime clock;
    QString description1; // ipt_file_description
    QString description2; // ipt_file_description_2
    int grid_number = 1;
    double front_ratio = 0.0;
    double back_ratio = 0.0;
    AccuracyBoxTexts boxes;
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

// The input from the program-wide calibration (coefficients, jump point, grid number,
// ratios) and what the calibration screen shows.
AccuracyCheckInput accuracyInputFrom(const Global& g, const AccuracyBoxTexts& boxes,
                                     const QString& description1, const QString& description2,
                                     AccuracyDisplay display, const QDateTime& clock);

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
