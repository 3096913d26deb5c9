#include "calibration/calibration_checks.h"

#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "common/number_forms.h"

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QString buoyAt(int point)
{
    return buoyCaption(buoyAtPoint(point));
}

QString pair(Point2 p)
{
    return QStringLiteral("(%1, %2)")
        .arg(QString::number(p.x, 'g', 15), QString::number(p.y, 'g', 15));
}

bool within(double v, double reach)
{
    return std::isfinite(v) && std::fabs(v) <= reach;
}

// "the upper right and lower left", "the upper right, upper left and lower left"
QString buoyList(std::initializer_list<int> points)
{
    QStringList names;
    for (int p : points)
        names << buoyAt(p);
    const QString last = names.takeLast();
    return QStringLiteral("the ") + names.join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           last;
}

double cross(Point2 a, Point2 b, Point2 c)
{
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

double distance(Point2 a, Point2 b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

// The third mark's distance from the line through the other two, as a share of the
// triangle's longest side.
double inLineShare(Point2 a, Point2 b, Point2 c)
{
    const double longest = std::max({distance(a, b), distance(b, c), distance(a, c)});
    return std::fabs(cross(a, b, c)) / (longest * longest);
}

std::optional<CalibrationProblem> reachProblem(const std::array<ReferencePoint, 4>& points)
{
    for (int k = 1; k <= 4; ++k) {
        const ReferencePoint& p = points[size_t(k - 1)];
        if (!within(p.screen.x, kMarkReachTwips) || !within(p.screen.y, kMarkReachTwips))
            return CalibrationProblem{
                CalibrationFault::MarkOutOfReach, k,
                QStringLiteral("the %1 buoy's mark %2 lies beyond the reach of any picture "
                               "(marks are twips, 15 to the picture's pixel, within %3 of its "
                               "top-left corner across and down)")
                    .arg(buoyAt(k), pair(p.screen), QString::number(kMarkReachTwips, 'f', 0))};
        if (!within(p.survey.x, kSurveyReachMetres) || !within(p.survey.y, kSurveyReachMetres))
            return CalibrationProblem{
                CalibrationFault::SurveyOutOfReach, k,
                QStringLiteral("the %1 buoy's survey position %2 is no place on the course "
                               "(survey values are metres, within %3 of the origin)")
                    .arg(buoyAt(k), pair(p.survey), QString::number(kSurveyReachMetres, 'f', 0))};
    }
    return std::nullopt;
}

std::optional<CalibrationProblem> coincidenceProblem(const std::array<Point2, 4>& m)
{
    double farthest = 0.0;
    double closest = std::numeric_limits<double>::infinity();
    int first = 1;
    int second = 2;
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            const double d = distance(m[size_t(i)], m[size_t(j)]);
            farthest = std::max(farthest, d);
            if (d < closest) {
                closest = d;
                first = i + 1;
                second = j + 1;
            }
        }
    if (farthest == 0.0)
        return CalibrationProblem{
            CalibrationFault::MarksCoincide, 0,
            QStringLiteral("all four buoys are marked at one point %1").arg(pair(m[0]))};
    if (closest < kInLineShare * farthest)
        return CalibrationProblem{CalibrationFault::MarksCoincide, 0,
                                  QStringLiteral("%1 buoys are marked at one point %2")
                                      .arg(buoyList({first, second}), pair(m[size_t(first - 1)]))};
    return std::nullopt;
}

std::optional<CalibrationProblem> inLineProblem(const std::array<Point2, 4>& m)
{
    // The four triples, each named by the points it holds.
    constexpr std::array<std::array<int, 3>, 4> triples{
        {{1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}}};
    int inLine = 0;
    std::optional<std::array<int, 3>> firstInLine;
    for (const auto& t : triples) {
        if (inLineShare(m[size_t(t[0] - 1)], m[size_t(t[1] - 1)], m[size_t(t[2] - 1)]) <
            kInLineShare) {
            ++inLine;
            if (!firstInLine)
                firstInLine = t;
        }
    }
    if (inLine == 4)
        return CalibrationProblem{CalibrationFault::MarksInLine, 0,
                                  QStringLiteral("all four buoys are marked on one line")};
    if (firstInLine) {
        const auto& t = *firstInLine;
        return CalibrationProblem{
            CalibrationFault::MarksInLine, 0,
            QStringLiteral("%1 buoys are marked on one line").arg(buoyList({t[0], t[1], t[2]}))};
    }
    return std::nullopt;
}

QString metres(double v)
{
    return std::isfinite(v) ? QString::number(v, 'f', 2) + QStringLiteral(" m")
                            : QStringLiteral("infinitely far");
}

} // namespace

std::optional<CalibrationProblem> referencePointProblem(const std::array<ReferencePoint, 4>& points)
{
    if (auto problem = reachProblem(points))
        return problem;
    std::array<Point2, 4> marks{};
    for (size_t k = 0; k < 4; ++k)
        marks[k] = points[k].screen;
    if (auto problem = coincidenceProblem(marks))
        return problem;
    return inLineProblem(marks);
}

MarkMiss largestMarkMiss(const std::array<ReferencePoint, 4>& points,
                         const CourseTransform& transform)
{
    MarkMiss worst{0.0, 1};
    for (int k = 1; k <= 4; ++k) {
        const ReferencePoint& p = points[size_t(k - 1)];
        const auto mapped = transform.toCourse(p.screen);
        double d =
            mapped ? distance(mapped->point, p.survey) : std::numeric_limits<double>::infinity();
        if (!std::isfinite(d))
            d = std::numeric_limits<double>::infinity();
        if (d > worst.metres) {
            worst = {d, k};
        }
    }
    return worst;
}

std::optional<CalibrationProblem> transformProblem(const std::array<ReferencePoint, 4>& points,
                                                   const CourseTransform& transform)
{
    for (size_t k = 1; k <= 8; ++k)
        if (!std::isfinite(transform.c[k]))
            return CalibrationProblem{CalibrationFault::TransformUnusable, 0,
                                      QStringLiteral("the transform is not finite")};
    const MarkMiss miss = largestMarkMiss(points, transform);
    if (!(miss.metres <= kMarkOnSurveyMetres))
        return CalibrationProblem{
            CalibrationFault::TransformUnusable, 0,
            QStringLiteral("the transform puts the %1 buoy's mark %2 from its survey position")
                .arg(buoyAt(miss.point), metres(miss.metres))};
    // The denominator is linear across the picture: with one sign at all four marks it has
    // that sign over everything between them. Changing sign, it is zero on a line between
    // the marks, the picture's horizon, where the course would run off to infinity; no
    // camera sees its horizon between buoys floating in front of it.
    int positive = 0;
    for (const ReferencePoint& p : points)
        if (1.0 + transform.c[4] * p.screen.x + transform.c[5] * p.screen.y > 0.0)
            ++positive;
    if (positive != 0 && positive != 4)
        return CalibrationProblem{
            CalibrationFault::TransformUnusable, 0,
            QStringLiteral("the transform puts the picture's horizon between the marks, so "
                           "the water between them would run off to infinity (are the survey "
                           "positions of two buoys swapped?)")};
    for (int k = 1; k <= 4; ++k) {
        const ReferencePoint& p = points[size_t(k - 1)];
        const auto back = transform.toScreen(p.survey);
        if (!back || !(distance(back->point, p.screen) <= kSurveyOnMarkTwips))
            return CalibrationProblem{
                CalibrationFault::TransformUnusable, 0,
                QStringLiteral("the transform does not take the %1 buoy's survey position back "
                               "onto its mark: it is singular (two survey positions at one "
                               "place, or three on one line)")
                    .arg(buoyAt(k))};
    }
    return std::nullopt;
}

CheckedSolve solveChecked(const std::array<ReferencePoint, 4>& points)
{
    if (auto problem = referencePointProblem(points))
        return {std::nullopt, problem};
    const auto solved = solveCourseTransform(points);
    if (!solved)
        return {std::nullopt,
                CalibrationProblem{CalibrationFault::NoUniqueSolution, 0,
                                   QStringLiteral("the marks and survey positions give no "
                                                  "unique solution")}};
    if (auto problem = transformProblem(points, *solved))
        return {std::nullopt, problem};
    return {solved, std::nullopt};
}

SetupCheck checkSetup(const SetupFileData& data)
{
    const CheckedSolve solve = solveChecked(data.points);
    if (!solve.transform) {
        // A point's own fault is on its line of the file: points 1 to 4 are lines 3 to 6.
        const int line = solve.problem->point > 0 ? solve.problem->point + 2 : 0;
        return {std::nullopt, {line, solve.problem->reason}, std::nullopt};
    }
    const MarkMiss miss = largestMarkMiss(data.points, data.transform);
    if (miss.metres <= kMarkOnSurveyMetres)
        return {data, {}, std::nullopt};
    SetupFileData solved = data;
    solved.transform = *solve.transform;
    return {solved, {}, miss};
}

QString coefficientsSolvedAgainMessage(const QString& path, const MarkMiss& miss)
{
    const QString where = std::isfinite(miss.metres)
                              ? QStringLiteral("put the %1 buoy's mark %2 from its survey position")
                                    .arg(buoyAt(miss.point), metres(miss.metres))
                              : QStringLiteral("put the %1 buoy's mark on the picture's horizon")
                                    .arg(buoyAt(miss.point));
    return QStringLiteral("The coefficients in the setup file %1 do not belong to its buoy marks: "
                          "they %2. The coefficients have been solved again from the marks "
                          "and survey positions; save the setup to keep them.")
        .arg(QDir::toNativeSeparators(path), where);
}
