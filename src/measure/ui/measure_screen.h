#pragma once
// The measurement screen: the pass, the markers, the input devices and the display options
// over the picture under the screens (the overlay card's, a camera's or a video file's, or a
// still picture). The rules live in MeasureModel; this class holds the controls, forwards
// their events and the video's to it, and shows what the model decides and announces. A
// picture is scaled into the area right of the control column; the lines, marks and mouse
// follow it through the surface's mapping, in picture twips. The controls are built, placed
// and connected in measure_screen_controls.cpp.

#include "measure/measure_model.h"
#include "picture/ui/control_column.h"

#include <QMainWindow>
#include <optional>
#include <vector>

class DrawingSurface;
class LineOverlay;
class ReviewOverlay;
struct ReviewedPass;
class QAction;
class QCheckBox;
class QFrame;
class QVBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class CourseVideo;
class FileDialog;
class MessageBoxes;
class Navigator;
class VideoTransport;
class TrackPanel;
struct TrackingServices;
struct ProgramOptions;
struct ProgramPlace;
enum class PlaybackChange;

class MeasureScreen : public QMainWindow
{
    Q_OBJECT
public:
    // The platform services the screen uses itself.
    struct Services
    {
        MessageBoxes& messages;
        FileDialog& fileDialog; // for the video menu's file
        // Measuring from a track on a video file; none: no track panel.
        const TrackingServices* tracking = nullptr;
    };

    MeasureScreen(Navigator& navigator, MeasureModel& model, Services services,
                  const ProgramPlace& place, const ProgramOptions& options, const PassRecord& pass,
                  CourseVideo& video);
    ~MeasureScreen() override;

    // The speed and line length as shown (the pass record's texts).
    QString speedText() const;
    QString lineText() const;

    // "Review on Video": the pass's video at its first frame, the line as it was held drawn
    // over each frame, until a pass starts or the screen is left.
    void review(const ReviewedPass& pass);

    // For tests and the benchmark: the rules behind the screen and the lines it paints.
    const MeasureModel& model() const { return model_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void startPass();
    void abortPass();
    void connectJoystick();
    void toggleStatusIndicators();
    void switchMouseMode(bool on);
    void switchEdgeMarkers(bool on);
    void switchPathMarkers(bool on);
    void switchThinLine(bool on);
    void switchViewOnly(bool on);
    void boundaryWidthEdited(const QString& text);
    void boundaryWidthFinished();
    void jumpBoundaryEdited(const QString& text);
    void jumpBoundaryFinished();
    void boatWidthEdited(const QString& text);
    void followPointer(Qt::MouseButtons buttons, double xTwips, double yTwips);
    void clickPicture(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double xTwips,
                      double yTwips);
    void returnToStart();
    void exitProgram();

private:
    // What the model announces.
    void followModel();
    void drawMarks(const OverlayShapes& shapes);
    void clearMarks();
    void showResults();
    void showVideoFrameAt(qint64 mediaUs);
    void playVideo();

    // The video's clock for the pass engine.
    void followVideoSource();
    void videoPlaybackChanged(PlaybackChange change);

    void showModel();
    // What the status button offers: to show the indicators when they are hidden.
    static QString statusCaption(bool statusHidden);

    // measure_screen_controls.cpp: the control column, its names and connections, and the
    // arrow keys kept from the controls.
    void buildControls();
    void buildOptions(QVBoxLayout* rows);
    // Every input gets an accessible name from its caption.
    void nameInputs();
    void swallowArrowKeys();
    QList<QWidget*> statusControls() const;

    Navigator& navigator;
    MeasureModel& model_;
    Services services;
    const ProgramPlace& place;
    const bool diagnostics; // the engine's counters are shown
    const PassRecord& pass;
    CourseVideo& video;
    // Marks already on the retained layer since it was last cleared: redrawing the same
    // shapes would change nothing on the screen.
    std::vector<OverlayShapes> marksOnLayer;

    DrawingSurface* surface = nullptr;
    LineOverlay* lineOverlay = nullptr;
    ReviewOverlay* reviewOverlay = nullptr;
    std::optional<ControlColumn> controlColumn;
    QFrame* column = nullptr; // every control, at the left edge
    VideoTransport* transport = nullptr;
    TrackPanel* trackPanel = nullptr;

    // The pass.
    QPushButton* startPassButton = nullptr;
    QPushButton* abortButton = nullptr;
    QLabel* deviationLabel = nullptr;
    QLineEdit* deviationEdit = nullptr;
    QLabel* distanceLabel = nullptr;
    QLineEdit* distanceEdit = nullptr;
    QLabel* sampleLabel = nullptr;
    QLineEdit* sampleEdit = nullptr;
    QLabel* mouseStartLabel = nullptr; // "Click Mouse to Start Measuring"
    // The pass's figures with their captions, and, with --diagnostics, the engine's counters.
    QLabel* startTimeLabel = nullptr;
    QLineEdit* startTimeEdit = nullptr;
    QLabel* endTimeLabel = nullptr;
    QLineEdit* endTimeEdit = nullptr;
    QLabel* sampleCountLabel = nullptr;
    QLineEdit* sampleCountEdit = nullptr;
    QLabel* timeLabel = nullptr; // "Time", then the samples taken when the time ran out
    QLabel* doneLabel = nullptr;
    QLabel* ticksLabel = nullptr;
    QLineEdit* inputTicksEdit = nullptr;
    QLineEdit* sampleTicksEdit = nullptr;
    QLabel* redrawsLabel = nullptr;
    QLineEdit* markRedrawsEdit = nullptr;
    QLineEdit* countEdit = nullptr; // kept from the old screen's controls; nothing fills it

    // The run.
    QLabel* eventLabel = nullptr;
    QLabel* speedLabel = nullptr;
    QLabel* lineLengthLabel = nullptr;
    QLabel* skierLabel = nullptr;
    QLabel* driverLabel = nullptr;
    QLabel* boatLabel = nullptr;
    QLabel* boatModelLabel = nullptr;

    // The devices.
    QPushButton* connectJoystickButton = nullptr;
    QLabel* joystickStatusLabel = nullptr;
    QLabel* joystickXLabel = nullptr;
    QLabel* joystickYLabel = nullptr;
    QCheckBox* useMouseCheck = nullptr;
    QLabel* instructionLabel = nullptr;

    // The display options.
    QPushButton* statusButton = nullptr;
    QCheckBox* viewOnlyCheck = nullptr;
    QCheckBox* thinLineCheck = nullptr;
    QCheckBox* edgeMarkersCheck = nullptr;
    QCheckBox* pathMarkersCheck = nullptr;
    QLabel* boatWidthLabel = nullptr;
    QLineEdit* boatWidthEdit = nullptr;
    QLabel* boundaryWidthLabel = nullptr;
    QLineEdit* boundaryWidthEdit = nullptr;
    QLabel* jumpBoundaryLabel = nullptr;
    QLineEdit* jumpBoundaryEdit = nullptr;
    QLabel* redGreenLegendLabel = nullptr;
    QLabel* blackYellowLegendLabel = nullptr;
    QLabel* styleLegendLabel = nullptr;
    QGroupBox* lineColourGroup = nullptr;
    QRadioButton* whiteLineOption = nullptr;
    QRadioButton* blackLineOption = nullptr;
    QRadioButton* yellowLineOption = nullptr;
    QGroupBox* lineStyleGroup = nullptr;
    QRadioButton* solidLineOption = nullptr;
    QRadioButton* dashLineOption = nullptr;
    QRadioButton* dotLineOption = nullptr;
    QGroupBox* boundaryColourGroup = nullptr;
    QRadioButton* whiteBoundaryOption = nullptr;
    QRadioButton* blackBoundaryOption = nullptr;
    QRadioButton* yellowBoundaryOption = nullptr;
    QRadioButton* redBoundaryOption = nullptr;
    QRadioButton* blueBoundaryOption = nullptr;
    QRadioButton* redGreenBoundaryOption = nullptr;
    QRadioButton* blackYellowBoundaryOption = nullptr;
    QGroupBox* jumpPathGroup = nullptr;
    QRadioButton* narrowPathOption = nullptr;
    QRadioButton* narrowSplitPathOption = nullptr;
    QRadioButton* splitPathOption = nullptr;
    QRadioButton* wideSplitPathOption = nullptr;
    QRadioButton* widePathOption = nullptr;

    QAction* returnToStartAction = nullptr;
    QAction* exitProgramAction = nullptr;
};
