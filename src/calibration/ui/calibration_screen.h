#pragma once
// The calibration screen: the operator marks the four reference buoys on the picture,
// enters their survey positions, completes the setup, and loads or saves setup files. The
// course display over the picture is its CourseOverlay; its controls are built and placed in
// calibration_screen_controls.cpp.
//
// Every control stands in one column at the left edge, as wide as the measurement screen's,
// so that the picture under the screens (still picture, camera or video frame) fills the same
// rectangle on both and a calibration made here holds there. Marks, clicks and the accuracy
// indicators go through the surface's mapping, in picture twips.

#include "app/program_place.h"
#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "calibration/calibration_journal.h"
#include "calibration/display_settings.h"
#include "calibration/grid_slots.h"
#include "picture/ui/control_column.h"

#include <QMainWindow>
#include <array>
#include <optional>

class CourseOverlay;
class CourseVideo;
class DrawingSurface;
class Navigator;
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
class RunParticulars;
class VideoTransport;
struct Platform;

class CalibrationScreen : public QMainWindow
{
    Q_OBJECT
public:
    CalibrationScreen(Navigator& navigator, Platform& platform, const ProgramPlace& place,
                      const RunParticulars& run, Calibration& calibration, GridSlots& slots,
                      DisplaySettings& display, CourseVideo& courseVideo);

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
    void markBuoyAt(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);

private:
    // calibration_screen_controls.cpp: the controls, their places and their connections.
    void buildControls();
    void placeControls();
    void layOutColumn();
    void placeColumn();
    void connectControls();
    QLineEdit* box(CoordinateBox box) const;

    void load();
    void activate();

    // The perspective check of the marked gates; shows the back-ratio warning.
    void checkPerspective();

    // The change rule of the eighteen coordinate boxes.
    void coordinateChanged(CoordinateBox box);
    // The operator finished editing a screen box: its number moves the mark, anything else
    // puts back what the box showed.
    void screenBoxEdited(CoordinateBox box);
    // Applies screen boxes still being edited, so what is solved, saved or journalled is
    // what the boxes show.
    void commitTypedMarks();
    QString& shownScreenText(CoordinateBox box);
    void showGridCaption(const QString& caption);
    void showIncomplete();
    void showComplete();
    void showStatePicture(const QString& name);
    bool enterProgramFolder();

    CoordinateTexts coordinateTexts() const;
    void showTexts(const CoordinateTexts& texts);
    void showDescriptions(const QString& first, const QString& second);
    void showMarks(const MarkResult& result);
    std::optional<Buoy> selectedBuoy() const;
    void nudge(AdjustDirection direction);
    void unlockGrid();
    void appendJournal(JournalForm form);
    void reportWriteFailures(const QStringList& failures);

    Navigator& navigator;
    Platform& platform;
    const ProgramPlace& programPlace;
    const RunParticulars& run;
    Calibration& calibration;
    GridSlots& slots;
    DisplaySettings& display;
    CourseVideo& courseVideo;
    bool loaded = false;
    bool descriptionsVisible = true;
    QString statePictureName;
    // What the program last wrote into each screen box (by buoy, x then y): an edit that is
    // not a number goes back to it.
    std::array<std::array<QString, 2>, 4> shownScreenTexts;
    // A message shown while applying a typed mark takes the focus, which finishes the edit
    // a second time.
    bool applyingTypedMark = false;

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
