#pragma once
// The measurement screen: the pass, the markers, the input devices and the display options
// over the picture under the screens (the overlay card's, a camera's or a video file's, or a
// still picture). The rules live in MeasureModel; this class holds the controls, forwards
// their events and the video's to it, and shows what the model decides. A picture is scaled
// into the area right of the control column; the lines, marks and mouse follow it through the
// surface's mapping, in picture twips. The controls are built, placed and connected in
// measure_screen_controls.cpp.

#include "measure/measure_model.h"
#include "picture/ui/control_column.h"

#include <QMainWindow>
#include <memory>
#include <optional>

class DrawingSurface;
class LineOverlay;
class QAction;
class QCheckBox;
class QFrame;
class QGridLayout;
class QVBoxLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class CourseVideo;
class Navigator;
class RunParticulars;
class VideoTransport;
struct Platform;
struct ProgramOptions;
struct ProgramPlace;
enum class PlaybackChange;

class Measure : public QMainWindow, private MeasureListener
{
    Q_OBJECT
public:
    Measure(Navigator& navigator, Platform& platform, const ProgramPlace& place,
            const ProgramOptions& options, RunParticulars& run, const Calibration& calibration,
            const DisplaySettings& display, PassRecord& pass, CourseVideo& video);
    ~Measure() override;

    // The speed and line length as shown (the pass record's texts).
    QString speedLabel() const;
    QString lineLabel() const;

    // For tests and the benchmark: the rules behind the screen and the lines it paints.
    const MeasureModel& model() const { return *model_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void Command1_Click();
    void btnAbort_Click();
    void cmdJoy_Click();
    void cmdStatus_Click();
    void chkUseMouse_Click(bool checked);
    void chkEdgeOn_Click(bool checked);
    void cbPath_Click(bool checked);
    void chkThinLine_Click(bool checked);
    void chkViewOnly_Click(bool checked);
    void txtBoundryWidth_Change(const QString& text);
    void txtBoundryWidth_Finished();
    void txtJumpBoundry_Change(const QString& text);
    void txtJumpBoundry_Finished();
    void txtBoatWidth_Change(const QString& text);
    void Form_MouseMove(Qt::MouseButtons buttons, double xTwips, double yTwips);
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double xTwips,
                        double yTwips);
    void mnuStart_Click();
    void mnuExit_Click();

private:
    // MeasureListener
    void measureChanged() override;
    void drawMarks(const OverlayShapes& shapes) override;
    void clearMarks() override;
    void focusStartButton() override;
    void passRecorded() override;
    void setDirection(Direction direction) override;
    void passNotRecorded(const QString& message) override;
    void showVideoAt(qint64 mediaUs) override;
    void playVideo() override;
    void passMarkerNotWritten(const QString& message) override;

    // The video's clock for the pass engine.
    void followVideoSource();
    void videoPlaybackChanged(PlaybackChange change);
    // The day file of passes measured on a video.
    void keepVideoPass();

    void showModel();
    // What the status button offers: to show the indicators when they are hidden.
    static QString statusCaption(bool statusHidden);

    // measure_screen_controls.cpp: the control column, its names and connections, and the arrow
    // keys kept from the controls.
    void buildControls();
    void buildOptions(QVBoxLayout* rows);
    // Every input gets an accessible name from its caption.
    void nameInputs();
    void swallowArrowKeys();
    QList<QWidget*> statusControls() const;

    Navigator& navigator;
    Platform& platform;
    const ProgramPlace& place;
    const bool diagnostics; // the engine's counters are shown
    RunParticulars& run;
    const PassRecord& pass;
    CourseVideo& video;
    std::unique_ptr<MeasureModel> model_;
    // Marks already on the retained layer since it was last cleared: redrawing the same
    // shapes would change nothing on the screen.
    std::vector<OverlayShapes> marksOnLayer;
    // Blocks of the video passes file that could not be written yet: they go with the next.
    QString unwrittenVideoPasses;

    DrawingSurface* surface = nullptr;
    LineOverlay* lineOverlay = nullptr;
    std::optional<ControlColumn> controlColumn;
    QFrame* column = nullptr; // every control, at the left edge
    VideoTransport* transport = nullptr;

    QPushButton* Command1 = nullptr;
    QPushButton* btnAbort = nullptr;
    QPushButton* cmdJoy = nullptr;
    QPushButton* cmdStatus = nullptr;
    QLineEdit* txtSample = nullptr;
    QLineEdit* txtDistance = nullptr;
    QLineEdit* txtDeviation = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* txtStep = nullptr;
    QLineEdit* txtCount = nullptr;
    QLineEdit* txtCount1 = nullptr;
    QLineEdit* txtCount2 = nullptr;
    QLineEdit* txtTest = nullptr;
    QLineEdit* txtBoatWidth = nullptr;
    QLineEdit* txtBoundryWidth = nullptr;
    QLineEdit* txtJumpBoundry = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label12 = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    // Captions of the pass's figures (Text2, Text3, txtStep) and, with --diagnostics, of the
    // engine's counters (txtCount1 and txtCount2, txtTest).
    QLabel* lblStartTime = nullptr;
    QLabel* lblEndTime = nullptr;
    QLabel* lblSamples = nullptr;
    QLabel* lblTicks = nullptr;
    QLabel* lblRedraws = nullptr;
    QLabel* lblSpeed = nullptr;
    QLabel* lblLine = nullptr;
    QLabel* lblDriver = nullptr;
    QLabel* lblBoat = nullptr;
    QLabel* lblSkier = nullptr;
    QLabel* lblModel = nullptr;
    QLabel* status = nullptr;
    QLabel* Labelx = nullptr;
    QLabel* Labely = nullptr;
    QCheckBox* chkUseMouse = nullptr;
    QCheckBox* chkViewOnly = nullptr;
    QCheckBox* chkThinLine = nullptr;
    QCheckBox* chkEdgeOn = nullptr;
    QCheckBox* cbPath = nullptr;
    QGroupBox* Frame1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QGroupBox* Frame3 = nullptr;
    QGroupBox* frmJumpPath = nullptr;
    QRadioButton* optWhite = nullptr;
    QRadioButton* optBlack = nullptr;
    QRadioButton* optYellow = nullptr;
    QRadioButton* optSolid = nullptr;
    QRadioButton* optDash = nullptr;
    QRadioButton* optDot = nullptr;
    QRadioButton* optBWhite = nullptr;
    QRadioButton* optBBlack = nullptr;
    QRadioButton* optBYellow = nullptr;
    QRadioButton* optBRed = nullptr;
    QRadioButton* optBBlue = nullptr;
    QRadioButton* OptRG = nullptr;
    QRadioButton* OptBY = nullptr;
    QRadioButton* optjnarrow = nullptr;
    QRadioButton* optjnarrowsplit = nullptr;
    QRadioButton* optjsplit = nullptr;
    QRadioButton* optjwidesplit = nullptr;
    QRadioButton* optjwide = nullptr;
    QAction* mnuStart = nullptr;
    QAction* mnuExit = nullptr;
};
