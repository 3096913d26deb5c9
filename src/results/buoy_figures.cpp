#include "results/buoy_figures.h"

#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/text_file.h"
#include "measure/measure_tables.h"
#include "measure/pass_rules.h"
#include "results/pass_report.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace {

// A sample whose distance lies on a window's end belongs to the window. i / T x 259 and the
// window ends are not exact in binary, so the ends are widened by a micrometre; samples lie
// more than a metre apart, so no sample that is really outside is taken in.
constexpr double kEdgeSlackMetres = 1e-6;
// Readings of whole centimetres (0.20 m is 20.000000000000004 cm in binary) sit exactly on
// their limit; the comparison allows for that.
constexpr double kLimitSlackCm = 1e-6;

bool withinLimit(double metres, const std::optional<double>& limitCm)
{
    return std::abs(metres) * 100.0 <= *limitCm + kLimitSlackCm;
}

// +1 when a positive deviation (course x above the centre line) points to buoy k's skier.
// The course's x axis grows to the camera's left, so the boat's right is +x coming toward
// the camera and -x going away.
double towardSkierSign(int k, Direction direction, SkierSide firstSide)
{
    const double alternate = k % 2 == 1 ? 1.0 : -1.0;
    const double travel = direction == Direction::Toward ? 1.0 : -1.0;
    const double side = firstSide == SkierSide::Right ? 1.0 : -1.0;
    return alternate * travel * side;
}

// The mean of the two highest needs two values, whatever the rule set's minimum says.
int samplesNeeded(WindowKind kind, const RuleSet& rules)
{
    const bool pair = kind != WindowKind::Gate && rules.reading == ReadingMethod::TwoHighest;
    return std::max(rules.minimumSamples, pair ? 2 : 1);
}

struct Window
{
    WindowKind kind;
    int buoy;
    WindowSpan span; // metres from the entrance gate
};

WindowFigures figuresOf(const Window& w, std::span<const double> d, int passTenths,
                        Direction direction, const RuleSet& rules)
{
    WindowFigures f;
    f.kind = w.kind;
    f.buoy = w.buoy;
    f.start = w.span.start;
    f.end = w.span.end;
    const double sign = w.kind == WindowKind::Gate
                            ? (direction == Direction::Toward ? 1.0 : -1.0)
                            : towardSkierSign(w.buoy, direction, rules.firstSkierSide);
    // Toward the skier (the boat's right for the gate), with the sample it comes from.
    std::vector<std::pair<double, int>> values;
    for (size_t i = 0; i < d.size(); ++i) {
        const double at = sampleDistance(int(i), passTenths, kSlalomCourseLength);
        if (at >= f.start - kEdgeSlackMetres && at <= f.end + kEdgeSlackMetres)
            values.emplace_back(sign * d[i], int(i));
    }
    f.samples = int(values.size());

    const bool wholePass = int(d.size()) > passTenths;
    const double reachedTo =
        d.empty() ? -std::numeric_limits<double>::infinity()
                  : sampleDistance(int(d.size()) - 1, passTenths, kSlalomCourseLength);
    if (!wholePass && reachedTo < f.end - kEdgeSlackMetres)
        f.state = WindowState::NotReached;
    else if (f.samples < samplesNeeded(w.kind, rules))
        f.state = WindowState::TooFew;
    else
        f.state = WindowState::Read;
    if (f.state != WindowState::Read)
        return f;

    if (w.kind == WindowKind::Gate) {
        // The first of equal largest deviations stands, as in the pass summary.
        auto largest = values.front();
        for (const auto& v : values)
            if (std::abs(v.first) > std::abs(largest.first))
                largest = v;
        f.reading = largest.first;
        f.readingSamples = {largest.second};
        return f;
    }
    // Highest first; among equal values the earlier sample first.
    std::stable_sort(values.begin(), values.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    if (rules.reading == ReadingMethod::Largest) {
        f.reading = values[0].first;
        f.readingSamples = {values[0].second};
    } else {
        f.reading = (values[0].first + values[1].first) / 2.0;
        f.readingSamples = {values[0].second, values[1].second};
    }
    return f;
}

QString centimetres(double metres)
{
    const double cm = roundHalfUp(metres * 100.0, 1);
    const QString text = QString::number(cm, 'f', 1);
    return cm > 0.0 ? QLatin1Char('+') + text : cm == 0.0 ? QStringLiteral("0.0") : text;
}

QString csvMetres(double metres)
{
    return QString::number(roundHalfUp(metres, 3), 'f', 3);
}

QString windowLabel(const WindowFigures& f)
{
    switch (f.kind) {
    case WindowKind::Gate:
        return QStringLiteral("gate");
    case WindowKind::Buoy:
        return QString::number(f.buoy);
    case WindowKind::Zone:
        return QStringLiteral("zone %1").arg(f.buoy);
    }
    return QString();
}

QString verdictWord(const std::optional<bool>& within)
{
    return !within   ? QStringLiteral("not judged")
           : *within ? QStringLiteral("within")
                     : QStringLiteral("OUT");
}

QString stateText(const WindowFigures& f, const RuleSet& rules)
{
    if (f.state == WindowState::NotReached)
        return f.samples > 0 ? QStringLiteral("not reached to its end: the pass stops inside")
                             : QStringLiteral("not reached");
    return QStringLiteral("no reading: %1 of %2 sample(s) needed")
        .arg(f.samples)
        .arg(samplesNeeded(f.kind, rules));
}

QString spanText(const WindowFigures& f)
{
    return ruleFigure(f.start) + QStringLiteral("..") + ruleFigure(f.end);
}

QString readingCell(const WindowFigures& w)
{
    if (w.state != WindowState::Read)
        return QStringLiteral("-");
    if (w.kind != WindowKind::Gate)
        return centimetres(w.reading);
    return QString::number(roundHalfUp(std::abs(w.reading) * 100.0, 1), 'f', 1) +
           (w.reading > 0.0   ? QStringLiteral(" right")
            : w.reading < 0.0 ? QStringLiteral(" left")
                              : QString());
}

QString cumulativeCell(const WindowFigures& w)
{
    if (w.kind != WindowKind::Buoy)
        return QString();
    return w.cumulative ? centimetres(*w.cumulative) : QStringLiteral("-");
}

QString toleranceCell(const WindowFigures& w)
{
    auto text = [](const std::optional<double>& t) {
        return t ? ruleFigure(*t) : QStringLiteral("none");
    };
    return w.kind == WindowKind::Buoy
               ? text(w.limitCm) + QStringLiteral(" / ") + text(w.cumulativeLimitCm)
               : text(w.limitCm);
}

// Columns padded to their widest cell, two blanks apart.
QStringList aligned(const QList<QStringList>& rows)
{
    QList<int> widths;
    for (const QStringList& row : rows)
        for (int c = 0; c < row.size(); ++c) {
            if (c >= widths.size())
                widths << 0;
            widths[c] = std::max(widths[c], int(row[c].size()));
        }
    QStringList lines;
    for (const QStringList& row : rows) {
        QString line;
        for (int c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? row[c].leftJustified(widths[c] + 2) : row[c];
        lines << line;
    }
    return lines;
}

} // namespace

double guideBuoyDistance(int k)
{
    return kEntranceGateToFirstBuoy + kGuideBuoySpacing * (k - 1);
}

std::optional<bool> WindowFigures::readingWithin() const
{
    if (state != WindowState::Read || !limitCm)
        return std::nullopt;
    return withinLimit(reading, limitCm);
}

std::optional<bool> WindowFigures::cumulativeWithin() const
{
    if (!cumulative || !cumulativeLimitCm)
        return std::nullopt;
    return withinLimit(*cumulative, cumulativeLimitCm);
}

std::optional<bool> WindowFigures::within() const
{
    const std::optional<bool> r = readingWithin();
    const std::optional<bool> c = cumulativeWithin();
    if (!r && !c)
        return std::nullopt;
    return r.value_or(true) && c.value_or(true);
}

std::array<const WindowFigures*, 1 + kGuideBuoys> BuoyFigures::csvRows() const
{
    std::array<const WindowFigures*, 1 + kGuideBuoys> out{};
    out[0] = &gate;
    for (int k = 0; k < kGuideBuoys; ++k)
        out[size_t(1 + k)] = &buoy[size_t(k)];
    return out;
}

std::array<const WindowFigures*, 1 + 2 * kGuideBuoys> BuoyFigures::rows() const
{
    std::array<const WindowFigures*, 1 + 2 * kGuideBuoys> out{};
    out[0] = &gate;
    for (int k = 0; k < kGuideBuoys; ++k) {
        out[size_t(1 + k)] = &buoy[size_t(k)];
        out[size_t(1 + kGuideBuoys + k)] = &zone[size_t(k)];
    }
    return out;
}

BuoyFigures computeBuoyFigures(std::span<const double> deviations, int passTenths,
                               Direction direction, const RuleSet& rules)
{
    BuoyFigures f;
    f.rules = rules;
    f.direction = direction;
    f.passTenths = passTenths;
    f.sampleCount = int(deviations.size());
    if (passTenths < 1) {
        f.message =
            QStringLiteral("The pass has no length (%1 tenths of a second).").arg(passTenths);
        return f;
    }
    for (size_t i = 0; i < deviations.size(); ++i)
        if (!std::isfinite(deviations[i])) {
            f.message = QStringLiteral("Sample %1 of the pass is not a number.").arg(i);
            return f;
        }

    f.gate = figuresOf({WindowKind::Gate, 0, rules.gateWindow}, deviations, passTenths, direction,
                       rules);
    f.gate.limitCm = rules.gateTolerance;
    std::optional<double> sum = 0.0;
    for (int k = 1; k <= kGuideBuoys; ++k) {
        const double g = guideBuoyDistance(k);
        const WindowSpan buoySpan{g + rules.buoyWindow.start, g + rules.buoyWindow.end};
        const WindowSpan zoneSpan{g + rules.zoneWindow.start, g + rules.zoneWindow.end};
        WindowFigures& b = f.buoy[size_t(k - 1)];
        b = figuresOf({WindowKind::Buoy, k, buoySpan}, deviations, passTenths, direction, rules);
        b.limitCm = rules.buoyTolerance;
        b.cumulativeLimitCm = rules.cumulativeTolerance[size_t(k - 1)];
        // A buoy without a reading leaves every later sum unknown, not smaller.
        if (sum && b.state == WindowState::Read)
            sum = *sum + b.reading;
        else
            sum.reset();
        b.cumulative = sum;
        WindowFigures& z = f.zone[size_t(k - 1)];
        z = figuresOf({WindowKind::Zone, k, zoneSpan}, deviations, passTenths, direction, rules);
        z.limitCm = rules.buoyTolerance;
    }
    f.ok = true;
    return f;
}

QStringList buoyFiguresNotes(const BuoyFigures& f)
{
    QStringList lines;
    lines << QStringLiteral("Boat %1; %2 of %3 samples")
                 .arg(f.direction == Direction::Toward
                          ? QStringLiteral("coming toward the camera")
                          : QStringLiteral("going away from the camera"))
                 .arg(f.sampleCount)
                 .arg(f.passTenths + 1);
    if (f.ok && f.sampleCount > 0 && f.sampleCount <= f.passTenths)
        lines << QStringLiteral("The pass stops at %1 m, before the exit gate at %2 m: the windows "
                                "beyond are not reached")
                     .arg(ruleFigure(roundHalfUp(
                         sampleDistance(f.sampleCount - 1, f.passTenths, kSlalomCourseLength), 1)))
                     .arg(ruleFigure(kSlalomCourseLength));
    if (!f.ok) {
        lines << QStringLiteral("No buoy figures: ") + f.message;
        return lines;
    }
    lines << QStringLiteral("Readings in cm: + toward the buoy's skier, - away from the skier; "
                            "gate: largest deviation, boat's side");
    return lines;
}

QStringList buoyFiguresTable(const BuoyFigures& f)
{
    QStringList lines = ruleSetFigures(f.rules);
    lines << buoyFiguresNotes(f);
    if (!f.ok)
        return lines;

    QList<QStringList> rows;
    rows << QStringList{QStringLiteral("Window"),        QStringLiteral("From..to m"),
                        QStringLiteral("Samples"),       QStringLiteral("Reading cm"),
                        QStringLiteral("Cumulative cm"), QStringLiteral("Tolerance cm"),
                        QStringLiteral("Within/out")};
    for (const WindowFigures* w : f.rows()) {
        QString verdict = w->state != WindowState::Read ? stateText(*w, f.rules)
                                                        : verdictWord(w->readingWithin());
        if (w->kind == WindowKind::Buoy && w->cumulative)
            verdict += QStringLiteral(" / ") + verdictWord(w->cumulativeWithin());
        rows << QStringList{windowLabel(*w), spanText(*w),       QString::number(w->samples),
                            readingCell(*w), cumulativeCell(*w), toleranceCell(*w),
                            verdict};
    }
    lines << aligned(rows);
    lines << QStringLiteral("Buoy rows: tolerance and verdict of the reading / of the cumulative.");
    return lines;
}

std::array<BuoyTableRow, 1 + kGuideBuoys> buoyTableRows(const BuoyFigures& f)
{
    std::array<BuoyTableRow, 1 + kGuideBuoys> out;
    const auto windows = f.csvRows();
    for (size_t i = 0; i < windows.size(); ++i) {
        const WindowFigures& w = *windows[i];
        BuoyTableRow& row = out[i];
        row.window = w.kind == WindowKind::Gate ? QStringLiteral("Gate")
                                                : QStringLiteral("Buoy %1").arg(w.buoy);
        row.span = spanText(w) + QStringLiteral(" m");
        row.samples = QString::number(w.samples);
        row.tolerance = toleranceCell(w);
        if (!f.ok)
            continue;
        row.reading = readingCell(w);
        row.cumulative = cumulativeCell(w);
        row.readingWithin = w.readingWithin();
        row.cumulativeWithin = w.cumulativeWithin();
        row.within = w.within();
        switch (w.state) {
        case WindowState::Read:
            row.verdict = verdictWord(row.within);
            break;
        case WindowState::NotReached:
            row.verdict = QStringLiteral("not reached");
            row.detail = stateText(w, f.rules);
            break;
        case WindowState::TooFew:
            row.verdict = QStringLiteral("too few samples");
            row.detail = stateText(w, f.rules);
            break;
        }
    }
    return out;
}

QString buoyFiguresCsv(const BuoyFigures& f)
{
    const QString crlf = QLatin1String(kCrLf);
    QString out = QStringLiteral("window,start_m,end_m,samples,reading_m,cumulative_m,limit_m,"
                                 "cumulative_limit_m,within") +
                  crlf;
    if (!f.ok)
        return out;
    for (const WindowFigures* w : f.csvRows()) {
        const std::optional<bool> within = w->within();
        const QStringList fields{
            windowLabel(*w),
            csvMetres(w->start),
            csvMetres(w->end),
            QString::number(w->samples),
            w->state == WindowState::Read ? csvMetres(w->reading) : QString(),
            w->cumulative ? csvMetres(*w->cumulative) : QString(),
            w->limitCm ? csvMetres(*w->limitCm / 100.0) : QString(),
            w->cumulativeLimitCm ? csvMetres(*w->cumulativeLimitCm / 100.0) : QString(),
            !within   ? QString()
            : *within ? QStringLiteral("yes")
                      : QStringLiteral("no"),
        };
        out += fields.join(QLatin1Char(',')) + crlf;
    }
    return out;
}

QString buoyLogName(const QDateTime& now)
{
    return dayFileName(QStringLiteral("BuoyLog"), now);
}

QString buoyLogBlock(const RunInfo& run, const BuoyFigures& figures, const QDateTime& now)
{
    const SpeedChoice* speed = run.speed();
    // A maker or model left empty leaves no stray blank or comma.
    QStringList boatParts;
    for (const QString& part : {run.boatMaker, run.boatModel})
        if (!part.isEmpty())
            boatParts << part;
    QString boat = boatParts.join(QLatin1Char(' '));
    if (!run.boatNumber.isEmpty())
        boat += (boat.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("number ") +
                run.boatNumber;
    QStringList lines{
        QStringLiteral("Buoy Figures"),
        QStringLiteral("Date of Measurement: ") + dateText(now),
        QStringLiteral("Time of Measurement: ") + timeText(now),
        QStringLiteral("Tournament: ") + run.tournament,
        QStringLiteral("Date: ") + run.date,
        QStringLiteral("Skier Name: ") + run.skier,
        QStringLiteral("Driver: ") + run.driver,
        QStringLiteral("Boat: ") + boat,
        QStringLiteral("Speed: ") + (speed ? QString::number(speed->kmh) + QStringLiteral(" km/h")
                                           : QStringLiteral("not selected")),
        QStringLiteral("Line Length: ") + reportLineLength(run.lineLength),
        run.direction == Direction::Away ? QStringLiteral("Boat is going away from camera")
                                         : QStringLiteral("Boat is coming toward the camera"),
    };
    lines << buoyFiguresTable(figures);
    const QString crlf = QLatin1String(kCrLf);
    return lines.join(crlf) + crlf + crlf;
}
