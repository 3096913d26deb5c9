#include "results/analyse_file.h"

#include "common/global.h"
#include "common/text_file.h"
#include "results/database_line.h"
#include "results/next_pass.h"
#include "results/pass_report.h"
#include "results/results_file.h"

namespace {

FileAnalysis failure(int line, const QString& reason)
{
    FileAnalysis f;
    f.line = line;
    f.reason = reason;
    return f;
}

// Line number of the first header line starting with `label`, 0 when there is none.
int headerLineNumber(const QStringList& header, const QString& label)
{
    for (int i = 0; i < header.size(); ++i)
        if (header[i].startsWith(label))
            return i + 1;
    return 0;
}

} // namespace

FileAnalysis analyseResultsFile(const QString& text, const QDateTime& now)
{
    const QStringList lines = splitLines(text);
    const QString first = lines.isEmpty() ? QString() : lines.first();
    Event event;
    if (first == resultsFileTitle(Event::Slalom))
        event = Event::Slalom;
    else if (first == resultsFileTitle(Event::Jump))
        event = Event::Jump;
    else
        return failure(1, QStringLiteral("the first line is neither \"Slalom Pass Results\" nor "
                                         "\"Jump Pass Results\""));

    const ResultsFileRead read = readResultsFile(text, event);
    if (read.status == ReadStatus::NoSamples)
        return failure(int(lines.size()), QStringLiteral("the file ends before any sample line"));
    if (read.status == ReadStatus::TooMany)
        return failure(read.firstSampleLine + kMaxReadSamples,
                       QStringLiteral("more than %1 sample lines").arg(kMaxReadSamples));
    const int count = int(read.deviations.size());
    if (count < kMinAnalysedSamples)
        return failure(read.firstSampleLine,
                       QStringLiteral("a pass needs at least %1 samples, the file has %2")
                           .arg(kMinAnalysedSamples)
                           .arg(count));

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
        const QString label = QStringLiteral("Line Length: ");
        const std::optional<QString> length = headerValue(read.headerLines, label);
        if (!length)
            return failure(read.firstSampleLine - 1, QStringLiteral("no \"Line Length:\" line"));
        for (int i = 0; i < int(kLineLengths.size()); ++i)
            if (reportLineLength(i).trimmed() == length->trimmed())
                run.lineLength = i;
        if (run.lineLength < 0)
            return failure(headerLineNumber(read.headerLines, label),
                           QStringLiteral("unknown line length \"%1\"").arg(*length));
    }

    PassSamples samples;
    for (int i = 0; i < count; ++i)
        samples.Deviations[size_t(i)] = read.deviations[size_t(i)];
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
    }
    if (event == Event::Slalom)
        db.lineText = QString::fromLatin1(kLineLengths[size_t(run.lineLength)]);
    db.samples = samples;
    db.statistics = analysis.statistics;
    out.databaseLine = databaseLine(db);
    return out;
}
