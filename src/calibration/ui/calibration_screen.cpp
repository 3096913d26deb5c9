#include "calibration/ui/calibration_screen.h"

#include "app/run_particulars.h"
#include "calibration/calibration_checks.h"
#include "calibration/geometry_checks.h"
#include "calibration/grid_slots.h"
#include "calibration/screen_activation.h"
#include "calibration/setup_completion.h"
#include "calibration/setup_file.h"
#include "common/number_forms.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "course_display/ui/course_overlay.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/navigator.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

namespace {

const QString kIncompletePicture = QStringLiteral("msgbox03.ico");
const QString kCompletePicture = QStringLiteral("face02.ico");
const QString kLoadFilter =
    QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
const QString kSaveFilter =
    QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|");
constexpr int kParameterFilesEntry = 3;
const QString kInvalidPathMessage = QStringLiteral("Invalid path, change in configuration screen");
const QString kLeaveIncompleteQuestion =
    QStringLiteral("Do you want to leave the grid setup with the grid setup not complete?");
const QString kGridSetupErrorTitle = QStringLiteral("Grid Setup Error");
const QString kScreenTitle = QStringLiteral("Grid Setup");

} // namespace

CalibrationScreen::CalibrationScreen(Navigator& navigator, Platform& platform,
                                     const ProgramPlace& place, const RunParticulars& run,
                                     Calibration& calibration, GridSlots& slots,
                                     DisplaySettings& display, CourseVideo& courseVideo)
    : navigator(navigator), platform(platform), programPlace(place), run(run),
      calibration(calibration), slots(slots), display(display), courseVideo(courseVideo)
{
    setObjectName(QStringLiteral("CalibrationScreen"));
    setWindowTitle(kScreenTitle);
    buildControls();
    load();
}

void CalibrationScreen::load()
{
    slots.current = 1;
    slots.count = 1;
    showGridCaption(gridCaption(1));
    for (Buoy b : kBuoyVisitOrder)
        calibration.mark(b) = {};
    calibration.complete = false;
    QDir::setCurrent(programPlace.folder);
    showStatePicture(kIncompletePicture);
    gridLockedLabel->hide();
    placeControls();
}

void CalibrationScreen::setVisible(bool visible)
{
    if (visible && !loaded) {
        loaded = true;
        placeControls();
    }
    QMainWindow::setVisible(visible);
}

void CalibrationScreen::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Shown by the program (from the start screen), not restored by the window system.
    if (!event->spontaneous())
        activate();
}

void CalibrationScreen::activate()
{
    const RunInfo r = run.info();
    for (const BoxWrite& w :
         surveyDefaults(r.event, box({BoxKind::SurveyX, Buoy::UpperLeft})->text())) {
        box(w.box)->setText(w.text);
        calibration.complete = false;
    }
    reportWriteFailures(
        appendSessionHeaders(r.resultsFolder, programPlace.folder, platform.clock.now()));
}

bool CalibrationScreen::eventFilter(QObject* watched, QEvent* event)
{
    // The column keeps the surface's full height whatever the window does.
    if (watched == drawingSurface && event->type() == QEvent::Resize)
        placeColumn();
    return QMainWindow::eventFilter(watched, event);
}

void CalibrationScreen::closeEvent(QCloseEvent* event)
{
    event->accept();
    navigator.endProgram();
}

double CalibrationScreen::circleRadius() const
{
    return overlay->circleRadius();
}

// ---- state pictures, perspective, journal --------------------------------------------------

void CalibrationScreen::showStatePicture(const QString& name)
{
    if (name == statePictureName)
        return;
    statePictureName = name;
    QPixmap picture(QDir(programPlace.folder).filePath(name));
    // The operator may have deleted or damaged the copy; the built-in one always exists.
    if (picture.isNull())
        picture = QPixmap(QStringLiteral(":/program/") + name);
    setupStateLabel->setPixmap(picture);
    setupStateLabel->setToolTip(name == kCompletePicture ? QStringLiteral("Setup complete")
                                                         : QStringLiteral("Setup not complete"));
}

void CalibrationScreen::showIncomplete()
{
    showStatePicture(kIncompletePicture);
    overlay->withdrawAccuracyCheck();
}

void CalibrationScreen::showComplete()
{
    showStatePicture(kCompletePicture);
    overlay->offerAccuracyCheck();
}

void CalibrationScreen::checkPerspective()
{
    // The marks are picture pixels: the gates are measured against the picture they were made
    // on. The overlay card's picture is the screen.
    const int pictureWidth = drawingSurface->hasBackgroundPicture()
                                 ? drawingSurface->backgroundPicture().width()
                                 : programPlace.screenWidthPixels;
    if (const auto warning = ::checkPerspective(calibration, pictureWidth, coordinateTexts()))
        platform.messages.plain(*warning);
}

bool CalibrationScreen::enterProgramFolder()
{
    if (QDir::setCurrent(programPlace.folder))
        return true;
    platform.messages.warning(kInvalidPathMessage);
    return false;
}

void CalibrationScreen::reportWriteFailures(const QStringList& failures)
{
    if (!failures.isEmpty())
        platform.messages.warning(failures.join('\n'), kScreenTitle);
}

void CalibrationScreen::appendJournal(JournalForm form)
{
    const QString path =
        resultsFilePath(run.info().resultsFolder, kJournalFileName, programPlace.folder);
    const QString block =
        journalBlock(platform.clock.now(), setupFileEdit->text(), setupDescriptionEdit->text(),
                     slots.current, coordinateTexts(), form);
    const WriteResult r = appendText(path, block);
    if (!r)
        reportWriteFailures({r.message});
}

// ---- coordinate boxes ----------------------------------------------------------------------

CoordinateTexts CalibrationScreen::coordinateTexts() const
{
    CoordinateTexts t;
    for (Buoy b : kBuoyVisitOrder)
        t[b] = {box({BoxKind::ScreenX, b})->text(), box({BoxKind::ScreenY, b})->text(),
                box({BoxKind::SurveyX, b})->text(), box({BoxKind::SurveyY, b})->text()};
    t.jumpX = box({BoxKind::JumpX})->text();
    t.jumpY = box({BoxKind::JumpY})->text();
    return t;
}

void CalibrationScreen::showTexts(const CoordinateTexts& t)
{
    for (Buoy b : kBuoyVisitOrder) {
        box({BoxKind::ScreenX, b})->setText(t[b].screenX);
        box({BoxKind::ScreenY, b})->setText(t[b].screenY);
        box({BoxKind::SurveyX, b})->setText(t[b].surveyX);
        box({BoxKind::SurveyY, b})->setText(t[b].surveyY);
    }
    box({BoxKind::JumpX})->setText(t.jumpX);
    box({BoxKind::JumpY})->setText(t.jumpY);
}

void CalibrationScreen::showGridCaption(const QString& caption)
{
    selectGridButton->setText(caption);
    selectGridButton->setAccessibleName(caption);
}

void CalibrationScreen::showDescriptions(const QString& first, const QString& second)
{
    setupFileEdit->setText(first);
    setupDescriptionEdit->setText(second);
    // Long paths and descriptions are read from their beginning.
    setupFileEdit->setCursorPosition(0);
    setupDescriptionEdit->setCursorPosition(0);
}

void CalibrationScreen::coordinateChanged(CoordinateBox b)
{
    const QLineEdit* field = box(b);
    // The program's own writes leave the box unmodified; the operator's typing does not.
    if ((b.kind == BoxKind::ScreenX || b.kind == BoxKind::ScreenY) && !field->isModified())
        shownScreenText(b) = field->text();
    applyCoordinateChange(calibration, b, field->text());
    showIncomplete();
}

QString& CalibrationScreen::shownScreenText(CoordinateBox b)
{
    return shownScreenTexts[size_t(b.buoy)][b.kind == BoxKind::ScreenX ? 0 : 1];
}

void CalibrationScreen::screenBoxEdited(CoordinateBox b)
{
    QLineEdit* field = box(b);
    if (applyingTypedMark || !field->isModified())
        return;
    applyingTypedMark = true;
    const QString typed = field->text();
    if (const auto value = typedScreenCoordinate(typed)) {
        overlay->useMarkPen();
        showMarks(placeTypedMark(calibration, b, *value, gridLockCheck->isChecked(),
                                 overlay->crossSize()));
        field->setModified(false);
    } else {
        field->setText(shownScreenText(b));
        platform.messages.warning(notAScreenPositionMessage(b, typed), kGridSetupErrorTitle);
    }
    applyingTypedMark = false;
}

void CalibrationScreen::commitTypedMarks()
{
    for (Buoy b : kBuoyVisitOrder)
        for (BoxKind kind : {BoxKind::ScreenX, BoxKind::ScreenY})
            screenBoxEdited({kind, b});
}

// ---- marking, lock, micro-adjust -------------------------------------------------------------

std::optional<Buoy> CalibrationScreen::selectedBuoy() const
{
    if (upperLeftOption->isChecked())
        return Buoy::UpperLeft;
    if (upperRightOption->isChecked())
        return Buoy::UpperRight;
    if (lowerLeftOption->isChecked())
        return Buoy::LowerLeft;
    if (lowerRightOption->isChecked())
        return Buoy::LowerRight;
    return std::nullopt;
}

void CalibrationScreen::showMarks(const MarkResult& result)
{
    drawingSurface->draw(result.shapes);
    for (const MarkMove& m : result.moved) {
        box({BoxKind::ScreenX, m.buoy})->setText(strForm(m.mark.x));
        box({BoxKind::ScreenY, m.buoy})->setText(strForm(m.mark.y));
    }
}

void CalibrationScreen::markBuoyAt(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    if (selectedBuoy())
        overlay->useMarkPen();
    // On a scaled picture a click falls between twips; a whole twip (a fifteenth of a picture
    // pixel) keeps the boxes and the setup file readable and loses nothing a click can aim at.
    const Point2 at{std::round(x), std::round(y)};
    showMarks(markBuoy(calibration, selectedBuoy(), gridLockCheck->isChecked(), at,
                       overlay->crossSize()));
}

void CalibrationScreen::nudge(AdjustDirection direction)
{
    overlay->useMarkPen();
    showMarks(microAdjust(calibration, selectedBuoy(), gridLockCheck->isChecked(), direction,
                          overlay->crossSize()));
}

void CalibrationScreen::toggleGridLock()
{
    commitTypedMarks();
    if (gridLockCheck->isChecked() && !canLockGrid(coordinateTexts())) {
        platform.messages.plain(kCannotLockMessage);
        gridLockCheck->setChecked(false);
    }
    gridLockedLabel->setVisible(gridLockCheck->isChecked());
}

void CalibrationScreen::unlockGrid()
{
    gridLockCheck->setChecked(false);
    gridLockedLabel->hide();
}

void CalibrationScreen::toggleDescriptions()
{
    descriptionsVisible = !descriptionsVisible;
    setupFileEdit->setVisible(descriptionsVisible);
    setupDescriptionEdit->setVisible(descriptionsVisible);
    const QString caption = descriptionsButtonCaption(descriptionsVisible);
    hideDescriptionsButton->setText(caption);
    hideDescriptionsButton->setAccessibleName(caption + QStringLiteral(" descriptions"));
}

// ---- files, Complete, grid selection, Exit ---------------------------------------------------

void CalibrationScreen::loadSetup()
{
    unlockGrid();
    if (!enterProgramFolder())
        return;
    const auto path =
        platform.fileDialog.choose({QStringLiteral("Load Setup Data File"), kLoadFilter,
                                    kParameterFilesEntry, programPlace.folder, false});
    if (!path)
        return;
    // The whole file is read and checked before anything changes.
    const SetupFileRead read = readSetupFile(*path);
    if (!read.data) {
        platform.messages.warning(setupFileProblemMessage(*path, read.problem), kErrorMessageTitle);
        return;
    }
    const SetupCheck checked = checkSetup(*read.data);
    if (!checked.data) {
        platform.messages.warning(setupFileProblemMessage(*path, checked.problem),
                                  kErrorMessageTitle);
        return;
    }
    showDescriptions(*path, checked.data->description);
    showTexts(boxTextsFor(*checked.data));
    // After the box writes, so the values are the file's own to the last bit.
    applyLoadedSetup(calibration, slots, *checked.data, *path);
    appendJournal(JournalForm::Twips);
    drawingSurface->clearDrawing();
    // Said over the loaded boxes, before the perspective check's own warning.
    if (checked.replaced)
        platform.messages.warning(coefficientsSolvedAgainMessage(*path, *checked.replaced),
                                  kErrorMessageTitle);
    checkPerspective();
    showComplete();
    showGridCaption(gridCaption(slots.current));
    overlay->showGrid();
}

void CalibrationScreen::saveSetup()
{
    commitTypedMarks();
    if (!currentSlotHoldsCalibration(slots)) {
        platform.messages.warning(nothingToSaveMessage(slots.current), kGridSetupErrorTitle);
        return;
    }
    unlockGrid();
    if (!enterProgramFolder())
        return;
    const auto path =
        platform.fileDialog.choose({QStringLiteral("Save Data Setup File"), kSaveFilter,
                                    kParameterFilesEntry, programPlace.folder, true});
    if (!path)
        return;
    const QString description = platform.messages
                                    .input(QStringLiteral("Enter descriptive line about grid"),
                                           QStringLiteral("Grid Description"))
                                    .value_or(QString());
    SetupFileData data = workingData(calibration, slots.current);
    data.savedPath = *path;
    data.description = description;
    const WriteResult written = writeSetupFile(*path, data);
    if (!written) {
        platform.messages.warning(
            written.message + QStringLiteral(" The setup has not been saved."), kScreenTitle);
        return;
    }
    storeSavedSetup(slots, data, *path);
    showDescriptions(*path, description);
}

void CalibrationScreen::complete()
{
    commitTypedMarks();
    const CompletionResult r = completeSetup(calibration, slots, coordinateTexts(),
                                             setupFileEdit->text(), setupDescriptionEdit->text());
    if (r.ok) {
        QDir::setCurrent(programPlace.folder);
        showComplete();
        // The solved calibration went into slot 1, which is now the current one.
        showGridCaption(gridCaption(slots.current));
        drawingSurface->clearDrawing();
    } else {
        platform.messages.warning(r.message, kErrorMessageTitle);
    }
    appendJournal(JournalForm::Pixels);
}

void CalibrationScreen::selectNextGrid()
{
    drawingSurface->clearDrawing();
    const int slot = ::selectNextGrid(slots);
    showGridCaption(gridCaption(slot));
    showTexts(slotBoxTexts(slots, slot));
    const SetupFileData shown = slotData(slots, slot);
    showDescriptions(shown.savedPath, shown.description);
    // After the box writes, whose change rule marks the calibration incomplete.
    if (selectSlot(calibration, slots, slot)) {
        QDir::setCurrent(programPlace.folder);
        showComplete();
    } else {
        // Box writes that change nothing run no change rule: say it here.
        showIncomplete();
    }
}

void CalibrationScreen::leaveScreen()
{
    commitTypedMarks();
    if (calibration.complete) {
        hide();
        navigator.showStart();
        restoreSlot(calibration, slots, 1);
        showGridCaption(gridCaption(slots.current));
        drawingSurface->draw(exitShapes(calibration));
        return;
    }
    if (platform.messages.askYesNo(kLeaveIncompleteQuestion, kGridSetupErrorTitle)) {
        hide();
        navigator.showStart();
    }
}
