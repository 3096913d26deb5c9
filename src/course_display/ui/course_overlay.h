#pragma once
// The course display on the calibration screen: "Draw Buoys" and "Show Course" over the
// picture, the cross size of the marks, the accuracy check with its indicators, the labels the
// operator drags out of the way and the background picture menu. The calibration screen builds
// it on its drawing surface, with the controls in its control column, and forwards to it: when
// the calibration becomes complete or not, when marking draws, when the marks are to be
// redrawn. Its rules and the accuracy report are the CourseDisplaySession's; the cross size and
// the circles' radius go to the calibration's session, whose marking erases with them. The
// indicators stand on the picture at their points, through the surface's mapping, and follow
// it when the picture is scaled or moved.

#include "calibration/buoy_marking.h"
#include "course_display/accuracy_check.h"
#include "course_display/overlay_geometry.h"

#include <QObject>
#include <array>
#include <vector>

class CalibrationSession;
class CourseDisplaySession;
class CoursePicture;
class DrawingSurface;
class FileDialog;
class MessageBoxes;
class PictureSource;
class QBoxLayout;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

class CourseOverlay : public QObject
{
    Q_OBJECT
public:
    // The platform services the overlay uses.
    struct Services
    {
        FileDialog& fileDialog;
        MessageBoxes& messages;
        PictureSource& pictures;
    };

    // Adds its controls to `controls` (a child of the surface), its indicators to the surface
    // and its entries to the picture menu.
    CourseOverlay(DrawingSurface& surface, QWidget& controls, QMenu& pictureMenu,
                  CalibrationSession& calibration, CourseDisplaySession& session, Services services,
                  CoursePicture& coursePicture, QObject* parent);

    // Adds the cross size (label over scroll bar) to a row of the column.
    void layOutCrossSize(QBoxLayout* row);
    // Adds the course and accuracy buttons and the accuracy options to the column.
    void layOutButtons(QBoxLayout* column);
    // While dragged with the mouse the label keeps the grabbed point under the pointer, and
    // `companion` travels with it.
    void makeDraggable(QWidget* label, QWidget* companion = nullptr);

    // Marking draws with the mark pen; "Show Course" draws with whatever pen was used last.
    void useMarkPen() { drawWidth = kMarkPenWidth; }
    // Redraws the four buoy marks (clears the drawing first).
    void showGrid();
    // The accuracy check is offered once the calibration is complete; when it is not, the
    // check and its indicators go.
    void offerAccuracyCheck();
    void withdrawAccuracyCheck();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void drawBuoys();
    void showCourse();
    void crossSizeChanged();
    void checkAccuracy();
    void showAccuracyResult(const AccuracyCheckResult& result);
    void clearAccuracyValues();
    void showDisplayOptions();
    void loadPicture();
    void clearPicture();
    void pastePicture();

private:
    void buildControls(QMenu& pictureMenu);
    void placeAccuracyIndicators();
    AccuracyDisplay accuracyDisplay() const;
    void showAccuracyIndicators(const AccuracyCheckResult& result);
    void clearAccuracyIndicators();

    struct Draggable
    {
        QWidget* label = nullptr;
        QWidget* companion = nullptr;
        LabelDrag drag;
    };

    DrawingSurface& surface;
    QWidget& controls;
    CalibrationSession& calibration;
    CourseDisplaySession& session;
    Services services;
    CoursePicture& coursePicture;

    // The surface's current pen width: showGrid, "Draw Buoys" and marking set it to 2,
    // "Show Course" draws with whatever it is.
    int drawWidth = 1;
    std::vector<Draggable> draggables;

    QLabel* crossSizeLabel = nullptr;
    QScrollBar* crossSizeSlider = nullptr;
    QPushButton* drawBuoysButton = nullptr;
    QPushButton* showCourseButton = nullptr;
    // The accuracy check's controls; the calibration hides and shows them by its rules.
    QPushButton* accuracyButton = nullptr;
    QPushButton* clearAccuracyButton = nullptr;
    QGroupBox* accuracyDisplayGroup = nullptr;
    QGroupBox* advancedAccuracyGroup = nullptr;
    QRadioButton* advancedAccuracyOption = nullptr;
    QRadioButton* distanceOption = nullptr;
    QRadioButton* detailOption = nullptr;
    QRadioButton* homologationLevelOption = nullptr;
    std::array<QLabel*, kAccuracyIndicatorCount> accuracyIndicatorLabels{};
    // Where each indicator's top-left corner lies on the picture, in picture twips.
    std::array<Point2, kAccuracyIndicatorCount> indicatorAt{};
};
