#include "results/buoy_figures_text.h"

#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/text_file.h"
#include "measure/measure_tables.h"
#include "measure/pass_rules.h"
#include "results/pass_report.h"

#include <algorithm>

namespace {

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
