#include "results/results_session.h"

#include "app/name_list_items.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "measure/measure_tables.h"
#include "measure/pass_record.h"
#include "platform/clock.h"
#include "results/buoy_figures_text.h"
#include "results/database_line.h"
#include "results/day_logs.h"
#include "results/next_pass.h"
#include "results/pass_report.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kCrLfText = QString::fromLatin1(kCrLf);

} // namespace

ResultsSession::ResultsSession(RunParticulars& run, const NameListItems& names, PassRecord& pass,
                               const ProgramPlace& place, Services services, QObject* parent)
    : QObject(parent), runParticulars(run), names(names), pass(pass), place(place),
      clock(services.clock),
      figures_(services.settings, QDir(place.folder).filePath(QLatin1String(kRuleSetFolder)))
{
}

RunInfo ResultsSession::run() const
{
    return runParticulars.info();
}

bool ResultsSession::passMeasured() const
{
    return pass.measured;
}

QString ResultsSession::resultsPath(const QString& name) const
{
    return resultsFilePath(run().resultsFolder, name, place.folder);
}

QString ResultsSession::resultsFolder() const
{
    return QFileInfo(resultsPath(QStringLiteral("x"))).absolutePath();
}

void ResultsSession::offerRecordingOfMeasuredPass(const MediaPass& recording)
{
    if (left_ || readBack || !pass.measured || pass.media || review_.pass ||
        recording.sampleFramesUs.size() != size_t(pass.tenths) + 1)
        return;
    PassRecord recorded = pass;
    recorded.media = recording;
    review_ = reviewOfMeasuredPass(recorded, run(), figures_.ruleSet().rules);
    Q_EMIT reviewChanged();
}

void ResultsSession::load()
{
    const RunInfo info = run();
    left_ = false;
    legend_.clear();
    split.clear();
    full.clear();
    comment.clear();
    traces_.clear();
    readBack.reset();
    comingToward = info.direction == Direction::Toward;
    pendingLine = PendingDatabaseLine();
    figures_.load(info, pass);
    Q_EMIT figuresChanged();
    review_ = reviewOfMeasuredPass(pass, info, figures_.ruleSet().rules);
    Q_EMIT reviewChanged();
    Q_EMIT graphChanged();

    const QDateTime now = clock.now();
    QStringList failures;
    if (pass.measured) {
        legend_ << QStringLiteral("Black/Red - Measured Data")
                << QStringLiteral("Blue - Best Fit Path Line");
        Q_EMIT legendChanged(legend_);
        failures = reportPass(now);
    } else {
        Q_EMIT legendChanged(legend_);
        Q_EMIT notice(QStringLiteral("No Results loaded yet"));
    }
    writeBackCopies();

    // From here until the return, the pass's database line survives the program.
    bool pendingFailed = false;
    if (pass.measured) {
        pendingLine.begin(resultsFolder(), now);
        if (const std::optional<QString> failure = pendingLine.keep(databaseLineNow())) {
            failures << *failure;
            pendingFailed = true;
        }
    }
    // The pass stays on the screen whatever happens to the files; the operator learns in
    // one message what was not written and can still save the pass elsewhere.
    if (!failures.isEmpty())
        Q_EMIT warning(
            QStringLiteral("The pass is shown here, but these files were not written:\n\n") +
            failures.join('\n') +
            QStringLiteral("\n\nUse \"Save Result File\" to keep the pass in another folder.") +
            (pendingFailed ? QStringLiteral("\n\n") + QString::fromLatin1(kPendingLineNote)
                           : QString()));
}

QStringList ResultsSession::reportPass(const QDateTime& now)
{
    const RunInfo info = run();
    const PassAnalysis analysis = analysePass(info, pass.samples, pass.tenths, now);
    pass.statistics = analysis.statistics;
    Q_EMIT reportChanged(analysis.report);

    QStringList failures;
    const WriteResult side = appendText(resultsPath(QString::fromLatin1(kOriginalMeasurementsFile)),
                                        analysis.sideFileBlock);
    if (!side)
        failures << side.message;
    const WriteResult log =
        appendText(resultsPath(resultLogName(now)), resultLogRecord(analysis.report));
    if (!log)
        failures << log.message;
    if (figures_.hasFigures()) {
        const WriteResult buoys =
            appendText(resultsPath(buoyLogName(now)), buoyLogBlock(info, figures_.figures(), now));
        if (!buoys)
            failures << buoys.message;
    }
    return failures;
}

CopyFields ResultsSession::copyFields() const
{
    const RunInfo info = run();
    CopyFields c;
    for (NameList list : kNameListsInLoadOrder) {
        c.names[size_t(list)] = names[list];
        c.namePositions[size_t(list)] = runParticulars.namePosition(list);
    }
    c.speedItems = speedCopyItems(info.event);
    c.lineCopies = info.event == Event::Slalom;
    if (c.lineCopies) {
        c.linePosition = info.lineLength;
        c.speedPosition = speedCopyPosition(Event::Slalom, info.slalomSpeed);
    } else {
        c.speedPosition = speedCopyPosition(Event::Jump, info.jumpSpeed);
    }
    c.boatNumber = info.boatNumber;
    return c;
}

void ResultsSession::writeBackCopies()
{
    // The copies select what the start screen has selected, and a selection writes back like
    // the operator's: the same names and number, but the line's text becomes the list's own,
    // without the blank the measurement screen puts before "9.75".
    const CopyFields c = copyFields();
    for (NameList list : kNameListsInLoadOrder) {
        const int position = c.namePositions[size_t(list)];
        if (position >= 0 && position < c.names[size_t(list)].size())
            runParticulars.pickName(list, position, c.names[size_t(list)][position]);
    }
    if (c.lineCopies && c.linePosition >= 0 && c.linePosition < int(kLineLengths.size())) {
        runParticulars.setLineLength(c.linePosition);
        pass.lineText = QString::fromLatin1(kLineLengths[size_t(c.linePosition)]);
    }
    runParticulars.setBoatNumber(c.boatNumber);
}

void ResultsSession::pickName(NameList list, int position)
{
    if (position >= 0 && position < names[list].size())
        runParticulars.pickName(list, position, names[list][position]);
    keepPendingLine();
}

void ResultsSession::setBoatNumber(const QString& text)
{
    runParticulars.setBoatNumber(text);
    keepPendingLine();
}

void ResultsSession::pickLineLength(int position)
{
    if (position < 0 || position >= int(kLineLengths.size()))
        return;
    runParticulars.setLineLength(position);
    // The list's own text, without the blank the measurement screen puts before "9.75".
    pass.lineText = QString::fromLatin1(kLineLengths[size_t(position)]);
    keepPendingLine();
}

void ResultsSession::setNotes(const QString& splitText, const QString& fullText,
                              const QString& commentText)
{
    split = splitText;
    full = fullText;
    comment = commentText;
    keepPendingLine();
}

QString ResultsSession::databaseLineNow() const
{
    DatabaseLineInputs in;
    in.run = run();
    in.speedText = pass.speedText;
    in.lineText = pass.lineText;
    in.samples = pass.samples;
    in.statistics = pass.statistics;
    in.split = split;
    in.full = full;
    in.comment = comment;
    return databaseLine(in);
}

void ResultsSession::keepPendingLine()
{
    if (const std::optional<QString> failure = pendingLine.keep(databaseLineNow()))
        Q_EMIT warning(*failure + QStringLiteral("\n\n") + QString::fromLatin1(kPendingLineNote));
}

void ResultsSession::saveResults(const QString& path, const QString& shownText)
{
    const WriteResult written = replaceFile(path, savedResultsText(shownText));
    if (!written)
        Q_EMIT warning(written.message);
}

ReadBackStep ResultsSession::openResultsFile(const QString& path)
{
    readBack.reset();
    const std::optional<QString> text = readTextFile(path, kResultsFileMaxBytes);
    if (!text)
        return ReadBackStep::Ended;
    Q_EMIT reportChanged(QString());

    const Event event = graphEvent();
    const ResultsFileRead read = readResultsFile(*text, event);
    if (read.status == ReadStatus::NotValid) {
        Q_EMIT notice(notValidResultsFileMessage(event));
        return ReadBackStep::Refused;
    }
    Q_EMIT reportChanged(read.shownLines.first() + kCrLfText);
    readBack = ReadBack{path, *text, read};
    // The report shown is no longer the measured pass's.
    review_ = {};
    Q_EMIT reviewChanged();
    return ReadBackStep::AskColour;
}

void ResultsSession::showResultsFile(int choice)
{
    if (!readBack || !isColourChoice(choice))
        return;
    const ReadBack file = *readBack;
    readBack.reset();
    legend_ << traceColourName(choice) + QStringLiteral(" - ") + file.path;
    Q_EMIT legendChanged(legend_);
    // One update for the rest of the file: a long file is not shown line by line.
    Q_EMIT reportChanged(file.read.shownLines.join(kCrLfText) + kCrLfText);
    const Event event = graphEvent();
    const QString fileFolder = QFileInfo(file.path).absolutePath();
    QStringList folders{fileFolder};
    if (QFileInfo(resultsFolder()) != QFileInfo(fileFolder))
        folders << resultsFolder();
    review_ = reviewOfResultsFile(file.read, event, folders, figures_.ruleSet().rules);
    Q_EMIT reviewChanged();
    if (file.read.status != ReadStatus::Ok)
        return;
    comingToward = file.read.comingToward;
    const OverlayShapes trace = readBackTrace(event, file.read.comingToward, file.read.deviations,
                                              file.read.positions, traceColour(choice));
    traces_.insert(traces_.end(), trace.begin(), trace.end());
    if (event == Event::Slalom) {
        figures_.showFile(file.path, file.text);
        Q_EMIT figuresChanged();
    }
    Q_EMIT graphChanged();
}

Event ResultsSession::graphEvent() const
{
    return run().event;
}

void ResultsSession::tracePass()
{
    const RunInfo info = run();
    comingToward = info.direction == Direction::Toward;
    traces_ = passGraph(info.event, info.direction, passDeviations(pass.samples, pass.tenths),
                        pass.statistics);
    Q_EMIT graphChanged();
}

std::vector<GraphRect> ResultsSession::buoyBands() const
{
    return graphEvent() == Event::Slalom ? buoyWindowBands(figures_.figures())
                                         : std::vector<GraphRect>{};
}

OverlayShapes ResultsSession::readingMarks() const
{
    return figures_.hasFigures() && !traces_.empty() ? figures_.readingMarksOnGraph()
                                                     : OverlayShapes{};
}

void ResultsSession::chooseRuleSet(int index)
{
    if (const std::optional<QString> message = figures_.chooseRuleSet(index))
        Q_EMIT warning(*message);
    Q_EMIT figuresChanged();
    Q_EMIT graphChanged();
}

void ResultsSession::leave(ResultsExit exit, NextPassChoice choice)
{
    left_ = true;
    const RunInfo info = run();
    const QDateTime now = clock.now();

    const QString line = databaseLineNow();
    const WriteResult written = pendingLine.append(resultsPath(databaseLogName(now)), line);
    if (!written)
        Q_EMIT warning(written.message +
                       (pendingLine.kept()
                            ? QStringLiteral("\n\nThe line is kept in %1 and offered again when "
                                             "Wakeline starts.")
                                  .arg(QDir::toNativeSeparators(pendingLine.path()))
                            : QString()) +
                       QStringLiteral("\n\nThe database line of this pass was:\n") + line);

    const NextPass next =
        nextPass(info.event, info.direction, choice.speedPosition, choice.linePosition);
    if (next.direction)
        runParticulars.setDirection(*next.direction);
    if (next.slalomSpeed >= 0)
        runParticulars.setSlalomSpeed(next.slalomSpeed);
    if (next.jumpSpeed >= 0)
        runParticulars.setJumpSpeed(next.jumpSpeed);
    if (next.lineLength >= 0) {
        runParticulars.setLineLength(next.lineLength);
        pass.lineText = next.lineLabel;
    }
    Q_EMIT left(exit);
}
