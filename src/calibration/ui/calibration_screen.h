#pragma once
// The calibration screen: the operator marks the four reference buoys on the picture,
// enters their survey positions, completes the setup, and loads or saves setup files. What
// those do is its CalibrationSession's: the screen forwards the operator's clicks and typing,
// asks the file dialog and the questions, and shows what the session announces. The course
// display over the picture is its CourseOverlay; its controls are built and placed in
// calibration_screen_controls.cpp.
//
// Every control stands in one column at the left edge, as wide as the measurement screen's,
// so that the picture under the screens (still picture, camera or video frame) fills the same
// rectangle on both and a calibration made here holds there. Marks, clicks and the accuracy
// indicators go through the surface's mapping, in picture twips.

#include "app/program_place.h"
#include "calibration/buoy_marking.h"
#include "common/overlay.h"
#include "picture/ui/control_column.h"
#include "platform/message_boxes.h"

#include <QMainWindow>
#include <array>
#include <optional>

class CalibrationSession;
class CourseDisplaySession;
class CourseOverlay;
class CourseVideo;
class DrawingSurface;
class FileDialog;
class Navigator;
class PictureSource;
class QAction;
class QButtonGroup;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class VideoTransport;

class CalibrationScreen : public QMainWindow
{
    Q_OBJECT
public:
    // The platform services the screen and its course overlay use.
    struct Services
    {
        FileDialog& fileDialog;
        MessageBoxes& messages;
        PictureSource& pictures;
    };

    CalibrationScreen(Navigator& navigator, CalibrationSession& session,
                      CourseDisplaySession& courseDisplay, const ProgramPlace& place,
                      CourseVideo& courseVideo, Services services);

    DrawingSurface& surface() { return *drawingSurface; }
    // The file name of the state picture shown in setupStateLabel.
    QString statePicture() const { return statePictureName; }
    // The radius of the circles last drawn around the marks, which moving a mark erases.
    double circleRadius() const;

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void loadSetup();
    void saveSetup();
    void leaveScreen();
    void complete();
    void selectNextGrid();
    void toggleGridLock();
    void toggleDescriptions();
    void markBuoyAt(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);

private:
    // calibration_screen_controls.cpp: the controls, their places and their connections.
    void buildControls();
    void placeControls();
    void layOutColumn();
    void placeColumn();
    void connectControls();
    void connectSession();
    QLineEdit* box(CoordinateBox box) const;

    // What the operator typed goes to the session; what the program wrote does not.
    void boxEdited(CoordinateBox box);

    // What the session announces.
    void showBoxes();
    void showSetupLines();
    void showGridCaption();
    void showComplete(bool complete);
    void showGridLock(bool locked);
    void showMarks(const OverlayShapes& shapes);
    void showMessage(const QString& text, const QString& title, MessageIcon icon);
    void showStatePicture(const QString& name);

    std::optional<Buoy> selectedBuoy() const;
    // The width in pixels of the picture the marks are made on: the still picture or video
    // frame under the screen, or the screen itself for the overlay card.
    int pictureWidth() const;

    Navigator& navigator;
    CalibrationSession& session;
    CourseDisplaySession& courseDisplay;
    const ProgramPlace& programPlace;
    CourseVideo& courseVideo;
    Services services;
    bool loaded = false;
    bool descriptionsVisible = true;
    QString statePictureName;

    DrawingSurface* drawingSurface = nullptr;
    std::optional<ControlColumn> controlColumn;
    QFrame* column = nullptr; // every control, at the left edge
    VideoTransport* transport = nullptr;
    // Draw Buoys, Show Course, the cross size, the accuracy check, the picture menu.
    CourseOverlay* overlay = nullptr;
    QAction* loadSetupAction = nullptr;
    QAction* saveSetupAction = nullptr;
    QMenu* pictureMenu = nullptr;
    QAction* exitAction = nullptr;

    QGroupBox* buoySelectionGroup = nullptr;
    QButtonGroup* buoyButtons = nullptr;
    QRadioButton* upperLeftOption = nullptr;
    QRadioButton* lowerLeftOption = nullptr;
    QRadioButton* upperRightOption = nullptr;
    QRadioButton* lowerRightOption = nullptr;

    QLabel* upperRightScreenLabel = nullptr;
    QLabel* upperRightSurveyLabel = nullptr;
    QLabel* lowerRightScreenLabel = nullptr;
    QLabel* lowerRightSurveyLabel = nullptr;
    QLabel* upperLeftScreenLabel = nullptr;
    QLabel* upperLeftSurveyLabel = nullptr;
    QLabel* lowerLeftScreenLabel = nullptr;
    QLabel* lowerLeftSurveyLabel = nullptr;
    // Which buoy each pair of coordinate rows belongs to.
    std::array<QLabel*, 4> buoyHeadings{};
    QLabel* jumpLabel = nullptr;
    // The eighteen coordinate boxes (upperLeftScreenXEdit ... jumpYEdit), found through box().
    std::array<QLineEdit*, 18> coordinateBoxes{};

    QCheckBox* gridLockCheck = nullptr;
    QLabel* gridLockedLabel = nullptr;
    QLabel* setupStateLabel = nullptr;
    QPushButton* completeButton = nullptr;
    QPushButton* selectGridButton = nullptr;
    QLabel* microAdjustLabel = nullptr;
    QToolButton* adjustUpButton = nullptr;
    QToolButton* adjustDownButton = nullptr;
    QToolButton* adjustLeftButton = nullptr;
    QToolButton* adjustRightButton = nullptr;
    QLineEdit* setupFileEdit = nullptr;
    QLineEdit* setupDescriptionEdit = nullptr;
    QPushButton* hideDescriptionsButton = nullptr;
};
