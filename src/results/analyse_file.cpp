#include "results/analyse_file.h"

#include "common/number_forms.h"
#include "common/text_file.h"
#include "measure/measure_tables.h"
#include "measure/pass_record.h"
#include "results/database_line.h"
#include "results/next_pass.h"
#include "results/pass_report.h"
#include "results/results_file.h"

#include <QRegularExpression>
#include <array>

namespace {

FileAnalysis failure(int line, const QString& reason)
{
    FileAnalysis f;
    f.line = line;
    f.reason = reason;
    return f;
}

// A line as it appears in a message: quoted, short enough to read, and with any control
// bytes of a damaged file (a zero-filled tail) shown as "?" rather than sent to a terminal.
QString quoted(const QString& line)
{
    constexpr int kShown = 60;
    QString shown = line.size() > kShown ? line.left(kShown) + QStringLiteral("...") : line;
    for (QChar& c : shown)
        if (!c.isPrint())
            c = '?';
    return QStringLiteral("\"") + shown + QStringLiteral("\"");
}

// Line number of the first header line starting with `label`, 0 when there is none.
int headerLineNumber(const QStringList& header, const QString& label)
{
    for (int i = 0; i < header.size(); ++i)
        if (header[i].startsWith(label))
            return i + 1;
    return 0;
}

const QString kAwayLine = QStringLiteral("Boat is going away from camera");
const QString kTowardLine = QStringLiteral("Boat is coming toward the camera");
const QString kFramesLabel = QStringLiteral("Frames Measured: ");
const QString kLineLengthLabel = QStringLiteral("Line Length: ");

// The header must say one thing once: the reader takes the first of a repeated label, and
// the direction decides the sign of half the statistics, so a file that says two things, or
// nothing about the direction, is not analysed.
std::optional<FileAnalysis> checkHeader(const QStringList& header)
{
    static const std::array<const char*, 8> kLabels{
        "Skier Name: ", "Tournament: ", "Location: ",    "Date: ",
        "Driver: ",     "Boat: ",       "Line Length: ", "Frames Measured: "};
    for (const char* name : kLabels) {
        const QString label = QString::fromLatin1(name);
        const int first = headerLineNumber(header, label);
        if (first == 0)
            continue;
        for (int i = first; i < header.size(); ++i)
            if (header[i].startsWith(label) && header[i] != header[first - 1])
                return failure(i + 1, QStringLiteral("%1 again, with another value than line %2")
                                          .arg(quoted(label.trimmed()))
                                          .arg(first));
    }
    int direction = 0;
    for (int i = 0; i < header.size(); ++i) {
        if (!header[i].startsWith(QLatin1String("Boat is ")))
            continue;
        if (header[i] != kAwayLine && header[i] != kTowardLine)
            return failure(i + 1,
                           QStringLiteral("the direction line %1 is neither \"%2\" nor \"%3\"")
                               .arg(quoted(header[i]), kAwayLine, kTowardLine));
        if (direction != 0 && header[i] != header[direction - 1])
            return failure(i + 1,
                           QStringLiteral("this direction contradicts line %1").arg(direction));
        if (direction == 0)
            direction = i + 1;
    }
    if (direction == 0)
        return failure(int(header.size()),
                       QStringLiteral("no direction line (\"%1\" or \"%2\") before the samples")
                           .arg(kAwayLine, kTowardLine));
    return std::nullopt;
}

// A sample line exactly as the report writes it, give or take the width of the gaps.
const QRegularExpression& sampleLinePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^Frame +(\\d{1,6}) +Course Position: +(\\d+(?:\\.\\d*)?|\\.\\d+) +"
                       "Deviation: +(-?(?:\\d+(?:\\.\\d*)?|\\.\\d+)) *$"));
    return pattern;
}

// The sample lines are those of one whole pass: each line whole and numbered in turn, read
// as written, as many as the report says were measured, at the course positions of a pass
// of that length, and no sample line after them. A file that fails any of these would give
// the statistics of another pass.
std::optional<FileAnalysis> checkSamples(const QString& text, const QStringList& lines,
                                         const ResultsFileRead& read, Event event, int passTenths)
{
    const int first = read.firstSampleLine - 1; // index of the first sample line
    const int count = int(read.deviations.size());
    const int end = first + count; // index of the first line after the samples
    const bool endsWithSamples = end == int(lines.size());
    QStringList positions;
    for (int j = 0; j < count; ++j) {
        const QString& line = lines[first + j];
        const int number = first + j + 1;
        // Every line the report writes ends in a line end; a last line without one may have
        // lost the end of its deviation (" .1" of " .12") and still look whole.
        if (endsWithSamples && j == count - 1 && !text.endsWith('\n') && !text.endsWith('\r'))
            return failure(number, QStringLiteral("the file's last line has no line end: the file "
                                                  "is cut off inside this sample line"));
        const QRegularExpressionMatch m = sampleLinePattern().match(line);
        if (!m.hasMatch())
            return failure(number, QStringLiteral("not a whole sample line: %1").arg(quoted(line)));
        const int frame = m.captured(1).toInt();
        if (frame != j) {
            if (frame == j - 1)
                return failure(number,
                               QStringLiteral("sample %1 again: a repeated line").arg(frame));
            return failure(number, QStringLiteral("sample %1 where sample %2 belongs: sample lines "
                                                  "are missing or out of order")
                                       .arg(frame)
                                       .arg(j));
        }
        // The reader takes the deviation from fixed columns; wider gaps put it elsewhere.
        if (leadingNumber(m.captured(3)) != read.deviations[size_t(j)])
            return failure(number, QStringLiteral("the deviation \"%1\" is not in the columns "
                                                  "the results reader takes it from")
                                       .arg(m.captured(3)));
        positions << m.captured(2);
    }
    for (int k = end; k < int(lines.size()); ++k)
        if (lines[k].startsWith(QLatin1String("Frame ")) ||
            lines[k].startsWith(QLatin1String("Buoy")))
            return failure(end + 1, QStringLiteral("the samples stop here, yet a sample line "
                                                   "follows at line %1: a damaged line among the "
                                                   "samples, or a second pass in the file")
                                        .arg(k + 1));

    const int framesLine = headerLineNumber(read.headerLines, kFramesLabel);
    if (framesLine > 0) {
        bool whole = false;
        const int measured =
            read.headerLines[framesLine - 1].mid(kFramesLabel.size()).trimmed().toInt(&whole);
        if (!whole)
            return failure(framesLine,
                           QStringLiteral("\"Frames Measured:\" is not a whole number"));
        if (count < measured)
            return failure(
                endsWithSamples ? end : end + 1,
                QStringLiteral("the samples stop after sample %1, but line %2 says %3 "
                               "were measured: the file is %4")
                    .arg(count - 1)
                    .arg(framesLine)
                    .arg(measured)
                    .arg(endsWithSamples ? QStringLiteral("cut off") : QStringLiteral("damaged")));
        if (count > measured)
            return failure(first + measured + 1,
                           QStringLiteral("%1 samples, but line %2 says %3 were measured")
                               .arg(count)
                               .arg(framesLine)
                               .arg(measured));
    }
    if (count < kMinAnalysedSamples)
        return failure(read.firstSampleLine,
                       QStringLiteral("a pass needs at least %1 samples, the file has %2")
                           .arg(kMinAnalysedSamples)
                           .arg(count));

    // Sample i of a pass of T tenths lies at i x L / T: a file that lost its last samples, or
    // gained some, has its positions out of step, "Frames Measured:" line or not.
    const double length = courseLength(event);
    for (int j = 0; j < count; ++j) {
        const QString expected = format000_0(double(j) * length / passTenths);
        const QString written = format000_0(leadingNumber(positions[j]));
        if (written != expected)
            return failure(first + j + 1,
                           QStringLiteral("course position %1 is not that of sample %2 in a pass "
                                          "of %3 samples (%4): samples are missing or the file "
                                          "is cut off")
                               .arg(positions[j])
                               .arg(j)
                               .arg(passTenths + 1)
                               .arg(expected));
    }
    return std::nullopt;
}

std::optional<FileAnalysis> checkRead(const QStringList& lines, const ResultsFileRead& read)
{
    if (read.status == ReadStatus::NoSamples)
        return failure(int(lines.size()), QStringLiteral("the file ends before any sample line"));
    if (read.status == ReadStatus::TooMany)
        return failure(read.firstSampleLine + kMaxReadSamples,
                       QStringLiteral("more than %1 sample lines").arg(kMaxReadSamples));
    // Samples at the buoys only: the statistics, made for one sample every tenth of a second,
    // would describe no pass.
    if (read.buoyLayout)
        return failure(read.firstSampleLine,
                       QStringLiteral("the older \"Buoy\" layout holds samples at the buoys, not "
                                      "one every tenth of a second; it cannot be analysed"));
    return checkHeader(read.headerLines);
}

const QString kNotAResultsFile =
    QStringLiteral("the first line is neither \"Slalom Pass Results\" nor \"Jump Pass Results\"");

} // namespace

FileAnalysis analyseResultsFile(const QString& text, const QDateTime& now, AnalysisOutput output)
{
    const QStringList lines = splitLines(text);
    const QString first = lines.isEmpty() ? QString() : lines.first();
    Event event;
    if (first == resultsFileTitle(Event::Slalom))
        event = Event::Slalom;
    else if (first == resultsFileTitle(Event::Jump))
        event = Event::Jump;
    else
        return failure(1, kNotAResultsFile);

    const ResultsFileRead read = readResultsFile(text, event);
    if (const std::optional<FileAnalysis> bad = checkRead(lines, read))
        return *bad;
    if (const std::optional<FileAnalysis> bad =
            checkSamples(text, lines, read, event, int(read.deviations.size()) - 1))
        return *bad;
    const int count = int(read.deviations.size());

    RunInfo run;
    run.event = event;
    auto value = [&](const char* label) {
        return headerValue(read.headerLines, QString::fromLatin1(label)).value_or(QString());
    };
    run.skier = value("Skier Name: ");
    run.tournament = value("Tournament: ");
    run.location = value("Location: ");
    run.date = value("Date: ");
    run.driver = value("Driver: ");
    run.boatMaker = value("Boat: ");
    // Not carried by the report.
    run.boatModel.clear();
    run.boatNumber.clear();
    run.direction = read.comingToward ? Direction::Toward : Direction::Away;
    run.lineLength = -1;
    if (event == Event::Slalom) {
        const std::optional<QString> length = headerValue(read.headerLines, kLineLengthLabel);
        // The report shows a missing line length as an empty one; the database line has a
        // field for it that nothing else can fill.
        if (!length && output == AnalysisOutput::DatabaseLine)
            return failure(read.firstSampleLine - 1,
                           QStringLiteral("no \"Line Length:\" line; the database line needs it"));
        if (length) {
            for (int i = 0; i < int(kLineLengths.size()); ++i)
                if (reportLineLength(i).trimmed() == length->trimmed())
                    run.lineLength = i;
            if (run.lineLength < 0)
                return failure(headerLineNumber(read.headerLines, kLineLengthLabel),
                               QStringLiteral("unknown line length \"%1\"").arg(*length));
        }
    }

    PassSamples samples;
    for (int i = 0; i < count; ++i)
        samples.deviations[size_t(i)] = read.deviations[size_t(i)];
    summariseSamples(samples, count);
    const int passTenths = count - 1;
    const std::optional<int> speed = speedIndexForPassTenths(event, passTenths);
    if (speed)
        (event == Event::Slalom ? run.slalomSpeed : run.jumpSpeed) = *speed;

    const PassAnalysis analysis = analysePass(run, samples, passTenths, now);
    FileAnalysis out;
    out.ok = true;
    out.report = analysis.report;
    DatabaseLineInputs db;
    db.run = run;
    if (speed) {
        const SpeedChoice& choice =
            event == Event::Slalom ? kSlalomSpeeds[size_t(*speed)] : kJumpSpeeds[size_t(*speed)];
        db.speedText = QString::number(choice.kmh);
    } else if (output == AnalysisOutput::DatabaseLine) {
        out.notes << QStringLiteral("no speed gives a pass of %1 tenths; the speed field is empty")
                         .arg(passTenths);
    }
    if (run.lineLength >= 0)
        db.lineText = QString::fromLatin1(kLineLengths[size_t(run.lineLength)]);
    db.samples = samples;
    db.statistics = analysis.statistics;
    out.databaseLine = databaseLine(db);
    if (!lines.mid(read.firstSampleLine - 1 + count)
             .contains(QStringLiteral("End of Pass Analysis")))
        out.notes << QStringLiteral("the file ends without \"End of Pass Analysis\"; every sample "
                                    "of the pass is there");
    return out;
}

namespace {

// The course positions as the reader took them, checked against a pass of `passTenths` tenths
// to the tenth of a metre they are written to.
bool positionsFit(const std::vector<double>& positions, int passTenths)
{
    if (passTenths < 1) // a single sample has no pass length to fit
        return false;
    const double length = courseLength(Event::Slalom);
    for (size_t i = 0; i < positions.size(); ++i)
        if (format000_0(positions[i]) != format000_0(double(i) * length / passTenths))
            return false;
    return true;
}

} // namespace

SlalomPassRead readSlalomPass(const QString& text)
{
    SlalomPassRead out;
    auto refuse = [&out](const FileAnalysis& bad) {
        out.line = bad.line;
        out.reason = bad.reason;
        return out;
    };
    const QStringList lines = splitLines(text);
    const QString first = lines.isEmpty() ? QString() : lines.first();
    if (first == resultsFileTitle(Event::Jump))
        return refuse(failure(1, QStringLiteral("a jump pass has no buoy figures yet: they are "
                                                "made for slalom passes")));
    if (first != resultsFileTitle(Event::Slalom))
        return refuse(failure(1, kNotAResultsFile));
    const ResultsFileRead read = readResultsFile(text, Event::Slalom);
    if (const std::optional<FileAnalysis> bad = checkRead(lines, read))
        return refuse(*bad);

    const int count = int(read.deviations.size());
    int passTenths = count - 1;
    // The positions are written to a tenth of a metre: a pass that stopped early shows its
    // length for certain only among the lengths of the slalom speeds, which lie 5% apart.
    if (!positionsFit(read.positions, passTenths)) {
        std::vector<int> fits;
        for (int speed = 0; speed < int(kSlalomSpeeds.size()); ++speed) {
            const std::optional<int> tenths = passTenthsFor(Event::Slalom, speed);
            if (tenths && *tenths > count - 1 && positionsFit(read.positions, *tenths))
                fits.push_back(*tenths);
        }
        if (fits.size() == 1)
            passTenths = fits.front();
    }
    // Without a count of its own, a pass that stops early cannot be told from a file cut off
    // after a whole line.
    if (passTenths > count - 1 && headerLineNumber(read.headerLines, kFramesLabel) == 0)
        return refuse(failure(
            read.firstSampleLine + count - 1,
            QStringLiteral("the samples stop at %1 m, before the exit gate, and no \"%2\" line "
                           "says the pass stopped there: the file may be cut off")
                .arg(format000_0(read.positions.back()), kFramesLabel.trimmed())));
    if (const std::optional<FileAnalysis> bad =
            checkSamples(text, lines, read, Event::Slalom, passTenths))
        return refuse(*bad);

    out.ok = true;
    out.deviations = read.deviations;
    out.passTenths = passTenths;
    out.direction = read.comingToward ? Direction::Toward : Direction::Away;
    return out;
}
