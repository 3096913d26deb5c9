#include "results/ui/results.h"

#include "app/name_list_items.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "app/start_up.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "common/twips.h"
#include "measure/pass_record.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/navigator.h"
#include "picture/ui/screen_layout.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "results/database_line.h"
#include "results/day_logs.h"
#include "results/next_pass.h"
#include "results/pass_report.h"
#include "results/results_file.h"
#include "results/ui/buoy_panel.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("Wakeline");
const QString kErrorTitle = QStringLiteral("Error Message");

// The screen is not keyed for the overlay card, but the drawing surface erases where the
// key colour falls: a magenta trace is painted one step off the key.
Rgb unkeyed(Rgb c)
{
    return c == kMagenta ? Rgb{255, 0, 254} : c;
}

} // namespace

Results::Results(Navigator& navigator, Platform& platform, const ProgramPlace& place,
                 RunParticulars& run, const NameListItems& names, PassRecord& pass)
    : navigator(navigator), platform(platform), programPlace(place), runParticulars(run),
      names(names), pass(pass)
{
    setObjectName(QStringLiteral("Results"));
    setWindowTitle(QStringLiteral("Path Deviation Display and Information"));
    buildControls();
}

void Results::load()
{
    const RunInfo run = runParticulars.info();
    ReturnToMeasure = false;
    left = false;
    List1->clear();
    txtComment->clear();
    traces.clear();
    labelsComingToward = run.direction == Direction::Toward;

    pendingLine = PendingDatabaseLine();

    buoyPanel->load(run, pass);
    tabResults->setCurrentIndex(buoyPanel->hasFigures() ? BuoyTab : ReportTab);
    showGraphFrame(run.event, labelsComingToward);

    const QDateTime now = platform.clock.now();
    QStringList failures;
    if (pass.measured) {
        List1->addItem(QStringLiteral("Black/Red - Measured Data"));
        List1->addItem(QStringLiteral("Blue - Best Fit Path Line"));
        failures = reportPass(now);
    } else {
        platform.messages.plain(QStringLiteral("No Results loaded yet"), kTitle);
    }

    copyNameList(cbDrvCopy, int(NameList::Drivers));
    copyNameList(cbSkiCopy, int(NameList::Skiers));
    copyNameList(cbMnfCopy, int(NameList::Boats));
    copyNameList(cbMdlCopy, int(NameList::Models));

    cbSpeedCopy->clear();
    cbSpeedCopy->addItems(speedCopyItems(run.event));
    if (run.event == Event::Slalom) {
        cbNewLineCopy->setEnabled(true);
        cbNewLineCopy->clear();
        cbNewLineCopy->addItems(lineCopyItems());
        cbLineCopy->setEnabled(true);
        cbLineCopy->setCurrentIndex(run.lineLength);
        cbNewLineCopy->setCurrentIndex(run.lineLength);
        cbSpeedCopy->setCurrentIndex(speedCopyPosition(Event::Slalom, run.slalomSpeed));
    } else {
        cbNewLineCopy->setEnabled(false);
        cbSpeedCopy->setCurrentIndex(speedCopyPosition(Event::Jump, run.jumpSpeed));
    }
    txtNumCopy->setText(run.boatNumber);

    // From here until the return sequence, the pass's database line survives the program.
    bool pendingFailed = false;
    if (pass.measured) {
        pendingLine.begin(resultsFolderPath(), now);
        if (const std::optional<QString> failure = pendingLine.keep(databaseLineNow())) {
            failures << *failure;
            pendingFailed = true;
        }
    }
    // The pass stays on this screen whatever happens to the files; the operator learns in
    // one message what was not written and can still save the pass elsewhere.
    if (!failures.isEmpty())
        platform.messages.warning(
            QStringLiteral("The pass is shown here, but these files were not written:\n\n") +
                failures.join('\n') +
                QStringLiteral("\n\nUse \"Save Result File\" to keep the pass in another folder.") +
                (pendingFailed ? QStringLiteral("\n\n") + QString::fromLatin1(kPendingLineNote)
                               : QString()),
            kErrorTitle);
}

void Results::copyNameList(QComboBox* copy, int list)
{
    const auto which = NameList(list);
    const int position = runParticulars.namePosition(which);
    {
        // Filling the list must not pick an item on the start screen.
        const QSignalBlocker quiet(copy);
        copy->clear();
        copy->addItems(names[which]);
        copy->setCurrentIndex(-1);
    }
    if (position >= 0)
        copy->setCurrentIndex(position);
}

QString Results::resultsFolderPath() const
{
    return QFileInfo(resultsPath(QStringLiteral("x"))).absolutePath();
}

QString Results::resultsPath(const QString& name) const
{
    return resultsFilePath(runParticulars.info().resultsFolder, name, programPlace.folder);
}

QStringList Results::reportPass(const QDateTime& now)
{
    const RunInfo run = runParticulars.info();
    const PassAnalysis analysis = analysePass(run, pass.samples, pass.tenths, now);
    pass.statistics = analysis.statistics;
    txtResults->setPlainText(analysis.report);

    QStringList failures;
    const WriteResult side = appendText(resultsPath(QString::fromLatin1(kOriginalMeasurementsFile)),
                                        analysis.sideFileBlock);
    if (!side)
        failures << side.message;
    const WriteResult log =
        appendText(resultsPath(resultLogName(now)), resultLogRecord(analysis.report));
    if (!log)
        failures << log.message;
    if (const std::optional<WriteResult> buoys = buoyPanel->writeDayFile(run, now);
        buoys && !*buoys)
        failures << buoys->message;
    Timer1->start();
    return failures;
}

void Results::showGraphFrame(Event event, bool comingToward)
{
    const GraphFrame frame = graphFrame(event, comingToward);
    QImage background = graph->backgroundPicture();
    {
        QPainter p(&background);
        p.fillRect(background.rect(), Qt::white);
        const QRect box(
            QPoint(twipsToPixels(frame.box.left), twipsToPixels(frame.box.top)),
            QPoint(twipsToPixels(frame.box.right) - 1, twipsToPixels(frame.box.bottom) - 1));
        p.fillRect(box, palette().color(QPalette::Button));
        // A band of a window shorter than a pixel is still a line of one.
        if (event == Event::Slalom)
            for (const GraphRect& band : buoyWindowBands(buoyPanel->figures())) {
                const int top = twipsToPixels(band.top);
                const int bottom = std::max(twipsToPixels(band.bottom), top + 1);
                p.fillRect(QRect(QPoint(twipsToPixels(band.left), top),
                                 QPoint(twipsToPixels(band.right) - 1, bottom - 1)),
                           QColor(kBuoyBandColour.r, kBuoyBandColour.g, kBuoyBandColour.b));
            }
    }
    graph->setBackgroundPicture(background);
    graph->clearDrawing();
    graph->draw(frame.lines);
    for (const GraphLabel& l : frame.labels) {
        QLabel* label = graphLabels.at(l.caption);
        label->setText(l.text);
        label->setStyleSheet(QStringLiteral("color: rgb(%1, %2, %3)")
                                 .arg(l.colour.r)
                                 .arg(l.colour.g)
                                 .arg(l.colour.b));
        // The scale caption must keep its width to sit under the graph's lines: its type
        // shrinks until the caption fits. Other captions take the width of their text.
        QFont font = this->font();
        if (l.caption == GraphCaption::Scale)
            while (font.pointSizeF() > 5 &&
                   QFontMetrics(font).horizontalAdvance(l.text) > twipsToPixels(l.width))
                font.setPointSizeF(font.pointSizeF() - 0.5);
        label->setFont(font);
        const double width =
            l.caption == GraphCaption::Scale
                ? l.width
                : std::max(l.width,
                           pixelsToTwips(QFontMetrics(font).horizontalAdvance(l.text) + 4));
        place(label, l.left, l.top, width, 300);
        label->setVisible(l.visible);
    }
}

void Results::paint(const OverlayShapes& shapes)
{
    OverlayShapes painted = shapes;
    for (OverlayShape& s : painted)
        std::visit([](auto& shape) { shape.colour = unkeyed(shape.colour); }, s);
    graph->draw(painted);
}

void Results::Timer1_Timer()
{
    Timer1->stop();
    const RunInfo run = runParticulars.info();
    // The tick erases what was drawn before it, traces read back included.
    labelsComingToward = run.direction == Direction::Toward;
    traces = passGraph(run.event, run.direction, passDeviations(pass.samples, pass.tenths),
                       pass.statistics);
    redrawGraph();
    txtSplit->setFocus();
}

void Results::redrawGraph()
{
    showGraphFrame(runParticulars.info().event, labelsComingToward);
    paint(traces);
    if (buoyPanel->hasFigures() && !traces.empty())
        paint(buoyPanel->readingMarksOnGraph());
}

QString Results::shownText() const
{
    QString text = txtResults->toPlainText();
    text.replace('\n', QString::fromLatin1(kCrLf));
    return text;
}

void Results::btnSaveResults_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Result File");
    request.filter = QString::fromLatin1(kResultsFileFilter);
    request.filterIndex = kResultsFileFilterIndex;
    request.folder = resultsFolderPath();
    request.forSaving = true;
    if (const std::optional<QString> path = platform.fileDialog.choose(request)) {
        const WriteResult written = replaceFile(*path, savedResultsText(shownText()));
        if (!written)
            platform.messages.warning(written.message, kErrorTitle);
    }
    Command1->setFocus();
}

void Results::btnDisplay_Click()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Read and Display Results File");
    request.filter = QString::fromLatin1(kResultsFileFilter);
    request.filterIndex = kResultsFileFilterIndex;
    request.folder = resultsFolderPath();
    const std::optional<QString> path = platform.fileDialog.choose(request);
    const auto finish = [this] { Command1->setFocus(); };
    if (!path)
        return finish();
    const std::optional<QString> text = readTextFile(*path, kResultsFileMaxBytes);
    if (!text)
        return finish();
    txtResults->clear();

    const Event event = runParticulars.info().event;
    const ResultsFileRead read = readResultsFile(*text, event);
    if (read.status == ReadStatus::NotValid) {
        platform.messages.plain(notValidResultsFileMessage(event), kTitle);
        return;
    }
    const QString nl = QString::fromLatin1(kCrLf);
    txtResults->setPlainText(read.shownLines.first() + nl);

    long long choice = 0;
    do {
        const std::optional<QString> answer = platform.messages.input(colourPromptText(), kTitle);
        const std::optional<long long> number = answer ? colourAnswer(*answer) : std::nullopt;
        if (!number)
            return finish();
        choice = *number;
    } while (!isColourChoice(choice));
    List1->addItem(traceColourName(int(choice)) + QStringLiteral(" - ") + *path);

    // One update for the rest of the file: a long file is not appended line by line.
    txtResults->setPlainText(read.shownLines.join(nl) + nl);
    if (read.status == ReadStatus::Ok) {
        const std::array<QString, 6> numbers = buoyNumbers(read.comingToward);
        for (int i = 0; i < 6; ++i)
            graphLabels.at(buoyNumberCaption(i))->setText(numbers[size_t(i)]);
        labelsComingToward = read.comingToward;
        const OverlayShapes trace = readBackTrace(event, read.comingToward, read.deviations,
                                                  read.positions, traceColour(int(choice)));
        traces.insert(traces.end(), trace.begin(), trace.end());
        paint(trace);
        if (event == Event::Slalom) {
            buoyPanel->showFiguresOfFile(*path, *text);
            redrawGraph();
        }
    }
    finish();
}

void Results::cbDrvCopy_Click()
{
    pickName(cbDrvCopy, NameList::Drivers);
}

void Results::cbSkiCopy_Click()
{
    pickName(cbSkiCopy, NameList::Skiers);
}

void Results::cbMnfCopy_Click()
{
    pickName(cbMnfCopy, NameList::Boats);
}

void Results::cbMdlCopy_Click()
{
    pickName(cbMdlCopy, NameList::Models);
}

void Results::pickName(const QComboBox* copy, NameList list)
{
    const int position = copy->currentIndex();
    if (position >= 0)
        runParticulars.pickName(list, position, copy->itemText(position));
    keepPendingLine();
}

void Results::txtNumCopy_Change()
{
    runParticulars.setBoatNumber(txtNumCopy->text());
    keepPendingLine();
}

void Results::cbLineCopy_Click()
{
    const int k = cbLineCopy->currentIndex();
    if (k < 0 || k >= int(kLineLengths.size()))
        return;
    runParticulars.setLineLength(k);
    // The list's own text, without the blank the measurement screen puts before "9.75".
    pass.lineText = QString::fromLatin1(kLineLengths[size_t(k)]);
    keepPendingLine();
}

void Results::keepPendingLine()
{
    if (const std::optional<QString> failure = pendingLine.keep(databaseLineNow()))
        platform.messages.warning(
            *failure + QStringLiteral("\n\n") + QString::fromLatin1(kPendingLineNote), kErrorTitle);
}

void Results::Command1_Click()
{
    returnSequence();
}

void Results::Command2_Click()
{
    ReturnToMeasure = true;
    returnSequence();
}

void Results::closeEvent(QCloseEvent* event)
{
    // The return sequence hides the window itself; a close that comes after it has
    // nothing left to do.
    event->ignore();
    if (!left)
        Command1_Click();
}

QString Results::databaseLineNow() const
{
    DatabaseLineInputs in;
    in.run = runParticulars.info();
    in.speedText = pass.speedText;
    in.lineText = pass.lineText;
    in.samples = pass.samples;
    in.statistics = pass.statistics;
    in.split = txtSplit->text();
    in.full = txtFull->text();
    in.comment = txtComment->text();
    return databaseLine(in);
}

void Results::returnSequence()
{
    left = true;
    const RunInfo run = runParticulars.info();
    const QDateTime now = platform.clock.now();

    const QString line = databaseLineNow();
    const WriteResult written = pendingLine.append(resultsPath(databaseLogName(now)), line);
    if (!written)
        platform.messages.warning(
            written.message +
                (pendingLine.kept()
                     ? QStringLiteral("\n\nThe line is kept in %1 and offered again when "
                                      "Wakeline starts.")
                           .arg(QDir::toNativeSeparators(pendingLine.path()))
                     : QString()) +
                QStringLiteral("\n\nThe database line of this pass was:\n") + line,
            kErrorTitle);

    const NextPass next = nextPass(run.event, run.direction, cbSpeedCopy->currentIndex(),
                                   cbNewLineCopy->currentIndex());
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

    const bool toMeasure = ReturnToMeasure;
    ReturnToMeasure = false;
    navigator.closeResults();
    if (toMeasure)
        navigator.openMeasurement();
    else
        navigator.showStart();
}
