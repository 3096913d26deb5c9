#include "calibration/ui/calibration_screen.h"

#include "calibration/calibration_session.h"
#include "course_display/overlay_geometry.h"
#include "course_display/ui/course_overlay.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/navigator.h"
#include "platform/file_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kIncompletePicture = QStringLiteral("msgbox03.ico");
const QString kCompletePicture = QStringLiteral("face02.ico");

} // namespace

CalibrationScreen::CalibrationScreen(Navigator& navigator, CalibrationSession& session,
                                     CourseDisplaySession& courseDisplay, const ProgramPlace& place,
                                     CourseVideo& courseVideo, Services services)
    : navigator(navigator), session(session), courseDisplay(courseDisplay), programPlace(place),
      courseVideo(courseVideo), services(services)
{
    setObjectName(QStringLiteral("CalibrationScreen"));
    setWindowTitle(kGridSetupTitle);
    buildControls();
    showStatePicture(kIncompletePicture);
    gridLockedLabel->hide();
    connectSession();
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
        session.activate();
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
    return session.circleRadius();
}

int CalibrationScreen::pictureWidth() const
{
    return drawingSurface->hasBackgroundPicture() ? drawingSurface->backgroundPicture().width()
                                                  : programPlace.screenWidthPixels;
}

// ---- what the session announces -------------------------------------------------------------

void CalibrationScreen::connectSession()
{
    connect(&session, &CalibrationSession::boxesChanged, this, &CalibrationScreen::showBoxes);
    connect(&session, &CalibrationSession::setupLinesChanged, this,
            &CalibrationScreen::showSetupLines);
    connect(&session, &CalibrationSession::gridChanged, this, &CalibrationScreen::showGridCaption);
    connect(&session, &CalibrationSession::completeChanged, this, &CalibrationScreen::showComplete);
    connect(&session, &CalibrationSession::gridLockChanged, this, &CalibrationScreen::showGridLock);
    connect(&session, &CalibrationSession::marksDrawn, this, &CalibrationScreen::showMarks);
    connect(&session, &CalibrationSession::courseSidesDrawn, drawingSurface,
            qOverload<const OverlayShapes&>(&DrawingSurface::draw));
    connect(&session, &CalibrationSession::drawingCleared, drawingSurface,
            &DrawingSurface::clearDrawing);
    connect(&session, &CalibrationSession::message, this, &CalibrationScreen::showMessage);
}

void CalibrationScreen::showSetupLines()
{
    setupFileEdit->setText(session.setupFile());
    setupDescriptionEdit->setText(session.setupDescription());
    // Long paths and descriptions are read from their beginning.
    setupFileEdit->setCursorPosition(0);
    setupDescriptionEdit->setCursorPosition(0);
}

void CalibrationScreen::showGridCaption()
{
    const QString caption = session.gridCaption();
    selectGridButton->setText(caption);
    selectGridButton->setAccessibleName(caption);
}

void CalibrationScreen::showComplete(bool complete)
{
    showStatePicture(complete ? kCompletePicture : kIncompletePicture);
    if (complete)
        overlay->offerAccuracyCheck();
    else
        overlay->withdrawAccuracyCheck();
}

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

void CalibrationScreen::showGridLock(bool locked)
{
    gridLockCheck->setChecked(locked);
    gridLockedLabel->setVisible(locked);
}

void CalibrationScreen::showMarks(const OverlayShapes& shapes)
{
    overlay->useMarkPen();
    drawingSurface->draw(shapes);
}

void CalibrationScreen::showMessage(const QString& text, const QString& title, MessageIcon icon)
{
    services.messages.show(text, title, icon);
}

// ---- what the operator does -------------------------------------------------------------------

void CalibrationScreen::boxEdited(CoordinateBox b)
{
    const QString text = box(b)->text();
    if (text != session.boxText(b))
        session.editBox(b, text);
}

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

void CalibrationScreen::markBuoyAt(Qt::MouseButton, Qt::KeyboardModifiers, double x, double y)
{
    session.markAt(selectedBuoy(), {x, y});
}

void CalibrationScreen::toggleGridLock()
{
    session.setGridLocked(gridLockCheck->isChecked());
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

void CalibrationScreen::loadSetup()
{
    const auto request = session.startLoad();
    if (!request)
        return;
    const auto path = services.fileDialog.choose(*request);
    if (path && session.loadSetup(*path, pictureWidth()))
        overlay->showGrid();
}

void CalibrationScreen::saveSetup()
{
    const auto request = session.startSave();
    if (!request)
        return;
    const auto path = services.fileDialog.choose(*request);
    if (!path)
        return;
    const QString description =
        services.messages.input(kSetupDescriptionPrompt, kSetupDescriptionTitle)
            .value_or(QString());
    session.saveSetup(*path, description);
}

void CalibrationScreen::complete()
{
    session.complete();
}

void CalibrationScreen::selectNextGrid()
{
    session.selectNextGrid();
}

void CalibrationScreen::leaveScreen()
{
    session.commitTypedMarks();
    if (!session.isComplete() &&
        !services.messages.askYesNo(kLeaveIncompleteQuestion, kGridSetupErrorTitle))
        return;
    hide();
    navigator.showStart();
    session.leave();
}
