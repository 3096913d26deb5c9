#include "results/ui/results_screen.h"

#include "common/text_file.h"
#include "picture/ui/navigator.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "results/next_pass.h"
#include "results/results_file.h"
#include "results/ui/buoy_panel.h"
#include "results/ui/results_graph_view.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>

namespace {

const QString kTitle = QStringLiteral("Wakeline");

// The screen is not keyed for the overlay card, but the drawing surface erases where the
// key colour falls: a magenta trace is painted one step off the key.
OverlayShapes unkeyed(OverlayShapes shapes)
{
    for (OverlayShape& s : shapes)
        std::visit(
            [](auto& shape) {
                if (shape.colour == kMagenta)
                    shape.colour = Rgb{255, 0, 254};
            },
            s);
    return shapes;
}

} // namespace

ResultsScreen::ResultsScreen(Navigator& navigator, ResultsSession& session, Services services)
    : navigator(navigator), session(session), services(services)
{
    setObjectName(QStringLiteral("ResultsScreen"));
    setWindowTitle(QStringLiteral("Path Deviation Display and Information"));
    buildControls();
    connectControls();
}

void ResultsScreen::load()
{
    {
        const QSignalBlocker quietSplit(splitEdit), quietFull(fullEdit), quietComment(commentEdit);
        splitEdit->clear();
        fullEdit->clear();
        commentEdit->clear();
    }
    reportEdit->clear();
    session.load();
    resultPagesGroup->setCurrentIndex(session.figures().hasFigures() ? BuoyFiguresPage
                                                                     : ReportPage);
    fillCopyFields();
    if (session.passMeasured())
        graphTimer->start();
}

void ResultsScreen::fillCopyFields()
{
    // The copies show what the start screen has selected; the session has taken that in as
    // it loaded, so filling them tells it nothing.
    const CopyFields c = session.copyFields();
    const std::array<QComboBox*, 4> nameCopies{driverCopyCombo, skierCopyCombo, boatMakerCopyCombo,
                                               boatModelCopyCombo};
    for (NameList list : kNameListsInLoadOrder) {
        QComboBox* copy = nameCopies[size_t(list)];
        const QSignalBlocker quiet(copy);
        copy->clear();
        copy->addItems(c.names[size_t(list)]);
        copy->setCurrentIndex(c.namePositions[size_t(list)]);
    }
    const QSignalBlocker quietSpeed(nextSpeedCombo), quietLine(lineCopyCombo),
        quietNextLine(nextLineCombo), quietNumber(boatNumberCopyEdit);
    nextSpeedCombo->clear();
    nextSpeedCombo->addItems(c.speedItems);
    if (c.lineCopies) {
        nextLineCombo->setEnabled(true);
        nextLineCombo->clear();
        nextLineCombo->addItems(lineCopyItems());
        lineCopyCombo->setEnabled(true);
        lineCopyCombo->setCurrentIndex(c.linePosition);
        nextLineCombo->setCurrentIndex(c.linePosition);
    } else {
        nextLineCombo->setEnabled(false);
    }
    nextSpeedCombo->setCurrentIndex(c.speedPosition);
    boatNumberCopyEdit->setText(c.boatNumber);
}

void ResultsScreen::drawGraph()
{
    graphTimer->stop();
    // The tick erases what was drawn before it, traces read back included.
    session.tracePass();
    splitEdit->setFocus();
}

void ResultsScreen::redrawGraph()
{
    OverlayShapes shapes = unkeyed(session.traces());
    const OverlayShapes marks = unkeyed(session.readingMarks());
    shapes.insert(shapes.end(), marks.begin(), marks.end());
    graph->showGraph(session.graphEvent(), session.buoyNumbersComingToward(), session.buoyBands(),
                     shapes);
}

QString ResultsScreen::shownText() const
{
    QString text = reportEdit->toPlainText();
    text.replace('\n', QString::fromLatin1(kCrLf));
    return text;
}

void ResultsScreen::saveResults()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Save Result File");
    request.filter = QString::fromLatin1(kResultsFileFilter);
    request.filterIndex = kResultsFileFilterIndex;
    request.folder = session.resultsFolder();
    request.forSaving = true;
    if (const std::optional<QString> path = services.fileDialog.choose(request))
        session.saveResults(*path, shownText());
    returnToMainButton->setFocus();
}

void ResultsScreen::readResultsFile()
{
    FileDialogRequest request;
    request.title = QStringLiteral("Read and Display Results File");
    request.filter = QString::fromLatin1(kResultsFileFilter);
    request.filterIndex = kResultsFileFilterIndex;
    request.folder = session.resultsFolder();
    const std::optional<QString> path = services.fileDialog.choose(request);
    const auto finish = [this] { returnToMainButton->setFocus(); };
    if (!path)
        return finish();
    switch (session.openResultsFile(*path)) {
    case ReadBackStep::Ended:
        return finish();
    case ReadBackStep::Refused:
        return;
    case ReadBackStep::AskColour:
        break;
    }
    long long choice = 0;
    do {
        const std::optional<QString> answer = services.messages.input(colourPromptText(), kTitle);
        const std::optional<long long> number = answer ? colourAnswer(*answer) : std::nullopt;
        if (!number)
            return finish();
        choice = *number;
    } while (!isColourChoice(choice));
    session.showResultsFile(int(choice));
    finish();
}

void ResultsScreen::boatNumberEdited()
{
    session.setBoatNumber(boatNumberCopyEdit->text());
}

void ResultsScreen::lineCopyPicked()
{
    session.pickLineLength(lineCopyCombo->currentIndex());
}

void ResultsScreen::notesEdited()
{
    session.setNotes(splitEdit->text(), fullEdit->text(), commentEdit->text());
}

void ResultsScreen::returnToMain()
{
    leave(ResultsExit::ToStart);
}

void ResultsScreen::returnToMeasure()
{
    leave(ResultsExit::ToMeasurement);
}

void ResultsScreen::reviewOnVideo()
{
    if (!session.review().pass)
        return;
    reviewing = session.review().pass;
    leave(ResultsExit::ToReview);
}

void ResultsScreen::showReviewOffer()
{
    const ReviewOffer& offer = session.review();
    reviewOnVideoButton->setEnabled(offer.pass.has_value());
    reviewNoteLabel->setText(offer.note);
    reviewNoteLabel->setVisible(!offer.note.isEmpty());
}

void ResultsScreen::leave(ResultsExit exit)
{
    session.leave(exit, {nextSpeedCombo->currentIndex(), nextLineCombo->currentIndex()});
}

void ResultsScreen::leaveFor(ResultsExit exit)
{
    navigator.closeResults();
    if (exit == ResultsExit::ToReview && reviewing)
        navigator.openReview(*reviewing);
    else if (exit == ResultsExit::ToMeasurement)
        navigator.openMeasurement();
    else
        navigator.showStart();
}

void ResultsScreen::closeEvent(QCloseEvent* event)
{
    // The return sequence hides the window itself; a close that comes after it has
    // nothing left to do.
    event->ignore();
    if (!session.hasLeft())
        returnToMain();
}
