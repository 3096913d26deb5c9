#pragma once
// The rules that refuse an impossible calibration: marks that no picture can hold, survey
// values that are no place on a lake, marks on one point or one line, and a transform that
// does not take the marks onto their survey points and back. Loading a setup file,
// "Complete" and wakeline-cli's check all go through here, so the screen and the command
// refuse the same files.

#include "calibration/course_transform.h"
#include "calibration/setup_file.h"

#include <QString>
#include <array>
#include <optional>

// How far from the picture's top-left corner a mark may lie, in twips along either axis.
// The largest picture the program meets is 7680 pixels wide (8K UHD; cameras and screens
// here reach 3840), 115200 twips. Twice that keeps every mark on such a picture and a
// whole picture's width beyond any edge (a buoy just out of view, placed by estimate),
// where clicks, typed values and a locked grid pushed off the picture can go; a mark
// further out belongs to no picture, and its products in the solve lose the centimetres
// the course needs.
inline constexpr double kMarkReachTwips = 2.0 * 7680 * 15;

// How far from the survey origin a survey value may lie, in metres. Courses are a few
// hundred metres; even a national grid's coordinates stay within 10000 km of its origin.
inline constexpr double kSurveyReachMetres = 1.0e7;

// Marks nearly on one line: for three marks, twice their triangle's area over the square
// of its longest side, which is the third mark's distance from the line through the other
// two as a share of that side; the same for any picture size. A click lands on a whole
// pixel, so a mark less than half a pixel from the line through two others is on that line
// as far as clicks can tell: on the largest common picture (3840 x 2160, a diagonal of
// 4406 pixels) that is a share of 1.1e-4. Real views lie well above: the standard files
// 0.20 and 0.23, the exponent-form files from a long lens 0.028 and 0.033, a camera 1 m
// above the water 100 m behind the course and 30 m to its side about 9.5e-4, and at 0.5 m
// 4.7e-4. Of the cameras tried (0.5 m to 20 m high, 10 m to 1200 m behind, up to 40 m to
// the side), only those half a metre above the water within 20 m of the near gate and 30 m
// or more to its side fall below: the course is a strip a dozen pixels high and its
// across-course direction points at the lens, so no deviation could be measured from it.
// The same share, between the closest and the farthest two marks, makes two marks one.
inline constexpr double kInLineShare = 1.0e-4;

// A stored or solved transform must take each mark to within a centimetre of its survey
// point: the measurement reports centimetres.
inline constexpr double kMarkOnSurveyMetres = 0.01;
// And each survey point back to within a twip of its mark; a sound solve lands within
// 1e-8 twips, a singular transform (two survey points at one place, three on one line)
// cannot take two survey points back onto two marks.
inline constexpr double kSurveyOnMarkTwips = 1.0;

enum class CalibrationFault {
    MarkOutOfReach,    // a mark not finite or beyond kMarkReachTwips
    SurveyOutOfReach,  // a survey value not finite or beyond kSurveyReachMetres
    MarksCoincide,     // two or more marks at one point
    MarksInLine,       // three or four marks on one line
    NoUniqueSolution,  // the solve found no transform
    TransformUnusable, // not finite, infinite between the marks, or not mapping both ways
};

struct CalibrationProblem
{
    CalibrationFault fault = CalibrationFault::NoUniqueSolution;
    int point = 0;  // 1..4 (point order) when one point is at fault, else 0
    QString reason; // lower case, no full stop: "the lower left buoy's mark ... is beyond ..."
};

// The marks and survey values alone (points in point order: upper right, lower right,
// upper left, lower left): reach, then coincident marks, then marks in line.
std::optional<CalibrationProblem>
referencePointProblem(const std::array<ReferencePoint, 4>& points);

// A transform against its points: finite, each mark within kMarkOnSurveyMetres of its
// survey point, the picture's horizon not between the marks, each survey point back within
// kSurveyOnMarkTwips of its mark.
std::optional<CalibrationProblem> transformProblem(const std::array<ReferencePoint, 4>& points,
                                                   const CourseTransform& transform);

// The points' checks, the solve and the transform's check: the transform or the problem.
struct CheckedSolve
{
    std::optional<CourseTransform> transform;
    std::optional<CalibrationProblem> problem; // set when there is no transform
};
CheckedSolve solveChecked(const std::array<ReferencePoint, 4>& points);

// The mark that a transform puts farthest from its survey point; infinite distance when a
// mark does not map at all (on the transform's horizon).
struct MarkMiss
{
    double metres = 0.0;
    int point = 1; // 1..4
};
MarkMiss largestMarkMiss(const std::array<ReferencePoint, 4>& points,
                         const CourseTransform& transform);

// A setup file as loading takes it. Refused when its points or the transform solved from
// them fail the checks above. Otherwise its own coefficients are kept, to the last bit,
// when they take every mark to within a centimetre of its survey point; when they do not,
// they give way to the ones solved from the marks.
struct SetupCheck
{
    std::optional<SetupFileData> data; // what to load; none when refused
    SetupFileProblem problem;          // when refused: the file's line (0: no one line) and why
    std::optional<MarkMiss> replaced;  // set when the coefficients were solved again
};
SetupCheck checkSetup(const SetupFileData& data);

// The one message of a load whose coefficients were solved again.
QString coefficientsSolvedAgainMessage(const QString& path, const MarkMiss& miss);
