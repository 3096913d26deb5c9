#include "course_display/accuracy_check.h"

#include "calibration/geometry_checks.h"
#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/paths.h"

#include <cmath>

namespace {

using GridTable = std::array<std::array<double, kAccuracyColumns>, kAccuracyRows>;

struct GridTables
{
    GridTable x{};
    GridTable y{};
};

// Corners first, then the edge columns by rows, then every row across: this order of
// interpolation fixes the last bits of each point.
GridTables buildGrid()
{
    constexpr int nh = kAccuracyRows - 1;    // intervals along the course
    constexpr int nv = kAccuracyColumns - 1; // intervals across it
    GridTables g;
    g.x[0][0] = 2.4;
    g.y[0][0] = -27.0;
    g.x[nh][0] = 2.4;
    g.y[nh][0] = -232.0;
    g.x[0][nv] = 0.1;
    g.y[0][nv] = -27.0;
    g.x[nh][nv] = 0.1;
    g.y[nh][nv] = -232.0;
    for (const int a : {0, nv}) {
        for (int b = 1; b < nh; ++b) {
            g.x[b][a] = g.x[0][a] + (g.x[nh][a] - g.x[0][a]) * b / nh;
            g.y[b][a] = g.y[0][a] + (g.y[nh][a] - g.y[0][a]) * b / nh;
        }
    }
    for (int b = 0; b <= nh; ++b) {
        for (int a = 1; a < nv; ++a) {
            g.x[b][a] = g.x[b][0] + (g.x[b][nv] - g.x[b][0]) * a / nv;
            g.y[b][a] = g.y[b][0] + (g.y[b][nv] - g.y[b][0]) * a / nv;
        }
    }
    return g;
}

QString r2(double v)
{
    return strForm(roundHalfUp(v, 2));
}

bool finite(Point2 p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Fills the point's values; false when any of its three screen points cannot be mapped.
bool measurePoint(const AccuracyCheckInput& in, AccuracyPoint& p)
{
    const auto screen = in.transform.toScreen(p.course);
    if (!screen || !finite(screen->point))
        return false;
    const Point2 s = screen->point;
    const auto here = jumpDistance(s, in.transform, in.jumpPoint);
    const auto right = jumpDistance({s.x + kPixelStep, s.y}, in.transform, in.jumpPoint);
    const auto below = jumpDistance({s.x, s.y + kPixelStep}, in.transform, in.jumpPoint);
    if (!here || !right || !below)
        return false;
    const Point2 p0 = here->course.point;
    const Point2 p1 = right->course.point;
    const double hinc = std::sqrt((p1.y - p0.y) * (p1.y - p0.y) + (p1.x - p0.x) * (p1.x - p0.x));
    if (!std::isfinite(hinc))
        return false;
    p.screen = s;
    p.D = here->distance;
    p.hinc = hinc;
    p.vval = below->distance;
    p.delta = hinc;
    p.belowCourse = below->course.point;
    p.text = accuracyIndicatorText(in.display, p.D, p.hinc);
    p.top = s.y + kPixelStep + kIndicatorDrop;
    p.left = s.x;
    return true;
}

QStringList pointReportLines(const AccuracyPoint& p)
{
    const Point2 below{p.screen.x, p.screen.y + kPixelStep};
    return {QStringLiteral("xpix: ") + strForm(std::floor(p.course.x)) +
                QStringLiteral("  ypix: ") + strForm(std::floor(p.course.y)) +
                QStringLiteral("  x: ") + r2(p.belowCourse.x) + QStringLiteral("  y: ") +
                r2(p.belowCourse.y) + QStringLiteral("  distance: ") + r2(p.D) +
                QStringLiteral("  v inc: ") + r2(p.vval) + QStringLiteral("  h inc: ") +
                r2(p.hinc) + QStringLiteral("  delta: ") + r2(p.delta),
            QStringLiteral("new method"),
            QStringLiteral("xpix: ") + strForm(below.x) + QStringLiteral("  ypix: ") +
                strForm(below.y) + QStringLiteral("  x: ") + r2(p.belowCourse.x) +
                QStringLiteral("  y: ") + r2(p.belowCourse.y) + QStringLiteral("  h inc: ") +
                r2(p.hinc)};
}

QString withLineEnds(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String(kCrLf);
    return text;
}

} // namespace

std::optional<AccuracyDisplay> accuracyDisplayFromName(const QString& name)
{
    if (name == QLatin1String("homlvl"))
        return AccuracyDisplay::HomologationLevel;
    if (name == QLatin1String("distance"))
        return AccuracyDisplay::Distance;
    if (name == QLatin1String("detail"))
        return AccuracyDisplay::Detail;
    return std::nullopt;
}

Point2 accuracyGridPoint(int row, int column)
{
    const GridTables g = buildGrid();
    return {g.x[size_t(row)][size_t(column)], g.y[size_t(row)][size_t(column)]};
}

std::array<Point2, kAccuracyPoints> accuracyGrid()
{
    const GridTables g = buildGrid();
    std::array<Point2, kAccuracyPoints> points{};
    for (int a = 0; a < kAccuracyColumns; ++a)
        for (int b = 0; b < kAccuracyRows; ++b)
            points[size_t(accuracyIndex(b, a))] = {g.x[size_t(b)][size_t(a)],
                                                   g.y[size_t(b)][size_t(a)]};
    return points;
}

QString homologationLevel(double hinc)
{
    if (hinc <= 0.1)
        return QStringLiteral("R");
    if (hinc <= 0.15)
        return QStringLiteral("L");
    if (hinc <= 0.2)
        return QStringLiteral("C");
    return QStringLiteral("NH");
}

QString accuracyIndicatorText(AccuracyDisplay display, double D, double hinc)
{
    switch (display) {
    case AccuracyDisplay::HomologationLevel:
        return homologationLevel(hinc);
    case AccuracyDisplay::Distance:
        return strForm(roundHalfUp(D, 1));
    case AccuracyDisplay::Detail:
        break;
    }
    const double delta = hinc;
    return strForm(roundHalfUp(delta, 2));
}

QStringList accuracyReportHeader(const AccuracyCheckInput& in)
{
    const QString gap = QStringLiteral("  ");
    const QString blank = QStringLiteral(" ");
    QStringList lines{dateText(in.clock) + gap + timeText(in.clock) +
                          QStringLiteral(" Accuracy Check"),
                      QStringLiteral("Grid Set-up for accuracy check"),
                      in.description1,
                      in.description2,
                      QStringLiteral("Grid Number: ") + printForm(in.gridNumber),
                      blank,
                      QStringLiteral("Front Ratio: ") + strForm(std::floor(in.frontRatio)),
                      QStringLiteral("Back Ratio: ") + strForm(std::floor(in.backRatio))};
    return lines << coordinateLines(in.boxes, QStringLiteral("Pixels"));
}

AccuracyCheckInput accuracyInputFrom(const Calibration& calibration, int gridNumber,
                                     const CoordinateTexts& boxes, const QString& description1,
                                     const QString& description2, AccuracyDisplay display,
                                     const QDateTime& clock)
{
    AccuracyCheckInput in;
    in.transform = calibration.transform;
    in.jumpPoint = calibration.jumpPoint;
    in.display = display;
    in.clock = clock;
    in.description1 = description1;
    in.description2 = description2;
    in.gridNumber = gridNumber;
    in.frontRatio = calibration.frontRatio;
    in.backRatio = calibration.backRatio;
    in.boxes = boxes;
    return in;
}

AccuracyCheckResult runAccuracyCheck(const AccuracyCheckInput& in)
{
    AccuracyCheckResult result;
    result.reportFileName = dayFileName(QStringLiteral("acc"), in.clock);
    QStringList lines = accuracyReportHeader(in);
    const auto grid = accuracyGrid();
    // Column by column, rows inside, as the report has always listed them.
    for (int i = 0; i < kAccuracyPoints; ++i) {
        AccuracyPoint& p = result.points[size_t(i)];
        p.index = i;
        p.course = grid[size_t(i)];
        p.placed = measurePoint(in, p);
        if (!p.placed) {
            // A point the calibration cannot place has no numbers worth writing.
            ++result.unplaced;
            continue;
        }
        lines += pointReportLines(p);
    }
    result.reportText = withLineEnds(lines);
    return result;
}

QString unplacedPointsMessage(int unplaced)
{
    return QStringLiteral("%1 of the %2 accuracy points cannot be placed on the screen with this "
                          "calibration; they are left out of the display and the report.")
        .arg(unplaced)
        .arg(kAccuracyPoints);
}

QString accuracyReportPath(const QString& resultsFolder, const QDateTime& clock,
                           const QString& programFolder)
{
    return resultsFilePath(withoutTrailingSeparator(resultsFolder),
                           dayFileName(QStringLiteral("acc"), clock), programFolder);
}

WriteResult appendAccuracyReport(const QString& path, const AccuracyCheckResult& result)
{
    return appendText(path, result.reportText);
}

QStringList accuracyIndicatorListing(const AccuracyCheckResult& result)
{
    QStringList lines;
    const QChar tab('\t');
    for (const AccuracyPoint& p : result.points) {
        QString line = QString::number(p.index) + tab + shortestRoundTrip(p.course.x) + tab +
                       shortestRoundTrip(p.course.y) + tab;
        if (p.placed)
            line +=
                shortestRoundTrip(p.screen.x) + tab + shortestRoundTrip(p.screen.y) + tab + p.text;
        else
            line += QStringLiteral("-\t-\t-");
        lines << line;
    }
    return lines;
}
