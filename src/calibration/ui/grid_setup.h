#pragma once
// The calibration screen: the operator marks the four reference buoys on the picture,
// enters their survey positions, completes the setup, and loads or saves setup files.

#include "app/program_place.h"
#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "calibration/calibration_journal.h"
#include "calibration/display_settings.h"
#include "calibration/grid_slots.h"
#include "course_display/accuracy_check.h"
#include "course_display/overlay_geometry.h"

#include <QMainWindow>
#include <array>
#include <optional>

class DrawingSurface;
class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;
class CoursePicture;
class Navigator;
class RunParticulars;
struct Platform;

class Grid_Setup : public QMainWindow
{
    Q_OBJECT
public:
    Grid_Setup(Navigator& navigator, Platform& platform, const ProgramPlace& place,
               const RunParticulars& run, Calibration& calibration, GridSlots& slots,
               DisplaySettings& display, CoursePicture& coursePicture);

    DrawingSurface& surface() { return *drawingSurface; }
    // The file name of the state picture shown in grid_state_icon.
    QString statePicture() const { return statePictureName; }
    // The radius of the circles last drawn around the marks, which moving a mark erases.
    double circleRadius() const { return circleRadius_; }

    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Mouse press, move and release on the two draggable labels.
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void gridLoad_Click();
    void gridSave_Click();
    void gridExit_Click();
    void Load_Click();
    void grid_select_Click();
    void chkboxGridLock_Click();
    void cmdHide_Click();
    void show_alignment_Click();
    void btnShowAllBuoys_Click();
    void Setup_Cross_size_Change();
    void btnAccuracyCheck_Click();
    void btnClearAccuracy_Click();
    void optAdvancedAccuracy_Click();
    void mnuLoadPicture_Click();
    void mnuClearPicture_Click();
    void mnuPaste_Click();
    void AdjustUp_Click();
    void AdjustDown_Click();
    void AdjustLeft_Click();
    void AdjustRight_Click();
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, double x, double y);

    void upper_left_x_Change();
    void upper_left_y_Change();
    void upper_right_x_Change();
    void upper_right_y_Change();
    void lower_left_x_Change();
    void lower_left_y_Change();
    void lower_right_x_Change();
    void lower_right_y_Change();
    void ul_survey_x_Change();
    void ul_survey_y_Change();
    void ur_survey_x_Change();
    void ur_survey_y_Change();
    void ll_survey_x_Change();
    void ll_survey_y_Change();
    void lr_survey_x_Change();
    void lr_survey_y_Change();
    void jump_x_Change();
    void jump_y_Change();

private:
    void buildControls();
    void load();
    void activate();
    void placeControls();

    // Redraws the four buoy marks (clears the drawing first).
    void showGrid();
    // Hides every accuracy indicator.
    void clearAccuracyIndicators();
    // The perspective check of the marked gates; shows the back-ratio warning.
    void checkPerspective();

    // The change rule of the eighteen coordinate boxes.
    void coordinateChanged(CoordinateBox box, QLineEdit* field);
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

    QLineEdit* box(CoordinateBox box) const;
    CoordinateTexts coordinateTexts() const;
    void showTexts(const CoordinateTexts& texts);
    void showDescriptions(const QString& first, const QString& second);
    void showMarks(const MarkResult& result);
    std::optional<Buoy> selectedBuoy() const;
    CrossSize crossSize() const;
    void nudge(AdjustDirection direction);
    void unlockGrid();
    void appendJournal(JournalForm form);
    void reportWriteFailures(const QStringList& failures);
    AccuracyDisplay accuracyDisplay() const;
    void showAccuracyIndicators(const AccuracyCheckResult& result);
    // Press, move or release on a draggable label; `companion` travels with it.
    bool dragLabel(LabelDrag& drag, QWidget* label, QWidget* companion, QEvent* event);

    Navigator& navigator;
    Platform& platform;
    const ProgramPlace& programPlace;
    const RunParticulars& run;
    Calibration& calibration;
    GridSlots& slots;
    DisplaySettings& display;
    CoursePicture& coursePicture;
    bool loaded = false;
    // cross_radius: the radius of the circles now drawn around the marks on this screen's
    // surface, which moving a mark erases.
    double circleRadius_ = 0.0;
    bool descriptionsVisible = true;
    QString statePictureName;
    // The surface's current pen width: showGrid, "Draw Buoys" and marking set it to 2,
    // "Show Course" draws with whatever it is.
    int drawWidth = 1;
    LabelDrag crossSizeDrag;
    LabelDrag gridLockedDrag;
    // What the program last wrote into each screen box (by buoy, x then y): an edit that is
    // not a number goes back to it.
    std::array<std::array<QString, 2>, 4> shownScreenTexts;
    // A message shown while applying a typed mark takes the focus, which finishes the edit
    // a second time.
    bool applyingTypedMark = false;

    DrawingSurface* drawingSurface = nullptr;
    QAction* gridLoad = nullptr;
    QAction* gridSave = nullptr;
    QMenu* mnuSetupPicture = nullptr;
    QAction* mnuLoadPicture = nullptr;
    QAction* mnuClearPicture = nullptr;
    QAction* mnuPaste = nullptr;
    QAction* gridExit = nullptr;

    QGroupBox* fmGateBuoySelection = nullptr;
    QButtonGroup* buoyButtons = nullptr;
    QRadioButton* upper_left_button = nullptr;
    QRadioButton* lower_left_button = nullptr;
    QRadioButton* upper_right_button = nullptr;
    QRadioButton* lower_right_button = nullptr;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    std::array<QLabel*, 4> leftCaptions{};
    QLabel* jumpCaption = nullptr;
    QLineEdit* upper_left_x = nullptr;
    QLineEdit* upper_left_y = nullptr;
    QLineEdit* upper_right_x = nullptr;
    QLineEdit* upper_right_y = nullptr;
    QLineEdit* lower_left_x = nullptr;
    QLineEdit* lower_left_y = nullptr;
    QLineEdit* lower_right_x = nullptr;
    QLineEdit* lower_right_y = nullptr;
    QLineEdit* ul_survey_x = nullptr;
    QLineEdit* ul_survey_y = nullptr;
    QLineEdit* ur_survey_x = nullptr;
    QLineEdit* ur_survey_y = nullptr;
    QLineEdit* ll_survey_x = nullptr;
    QLineEdit* ll_survey_y = nullptr;
    QLineEdit* lr_survey_x = nullptr;
    QLineEdit* lr_survey_y = nullptr;
    QLineEdit* jump_x = nullptr;
    QLineEdit* jump_y = nullptr;

    QCheckBox* chkboxGridLock = nullptr;
    QLabel* gridLockedLabel = nullptr;
    QLabel* grid_state_icon = nullptr;
    QPushButton* Load = nullptr;
    QPushButton* grid_select = nullptr;
    QLabel* AdjustmentLabel = nullptr;
    QToolButton* AdjustUp = nullptr;
    QToolButton* AdjustDown = nullptr;
    QToolButton* AdjustLeft = nullptr;
    QToolButton* AdjustRight = nullptr;
    QLineEdit* ipt_file_description = nullptr;
    QLineEdit* ipt_file_description_2 = nullptr;
    QPushButton* cmdHide = nullptr;
    QLabel* CrossSizeLabel = nullptr;
    QScrollBar* Setup_Cross_size = nullptr;
    QPushButton* show_alignment = nullptr;
    QPushButton* btnShowAllBuoys = nullptr;

    // The accuracy check's controls; the calibration hides and shows them by its rules.
    QPushButton* btnAccuracyCheck = nullptr;
    QPushButton* btnClearAccuracy = nullptr;
    QGroupBox* fmAccuracyConfig = nullptr;
    QGroupBox* fmAccuracyDisplay = nullptr;
    QRadioButton* optAdvancedAccuracy = nullptr;
    QRadioButton* optDisplayDistance = nullptr;
    QRadioButton* optDetailMeasurement = nullptr;
    QRadioButton* optHomolgationLevel = nullptr;
    std::array<QLabel*, kAccuracyIndicatorCount> AccuracyIndicator{};
};
