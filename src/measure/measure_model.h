#pragma once
// The measurement screen without its widgets: the pass, the markers and the lines, with every
// text the screen shows. The screen forwards its events here, paints the lines, shows the view
// and follows what the model announces with its signals.
//
// The samples of a pass are timed by a pass clock (pass_clock.h): the wall clock with a camera
// or the overlay card, the video's media clock while a video file lies under the screen. The
// operator's devices (input_devices.h), the display options (display_options.h) and the
// files a pass leaves (pass_files.h) each live apart; this class ties them to the pass.

#include "calibration/calibration.h"
#include "calibration/display_settings.h"
#include "common/overlay.h"
#include "common/run_info.h"
#include "measure/display_options.h"
#include "measure/input_devices.h"
#include "measure/line_record.h"
#include "measure/measure_tables.h"
#include "measure/measure_view.h"
#include "measure/media_pass_clock.h"
#include "measure/pass_clock.h"
#include "measure/pass_files.h"
#include "measure/pass_record.h"
#include "measure/wall_pass_clock.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

class Clock;
class HiResTimer;
class HiResTimerFactory;
class Joystick;
class KeyState;

class MeasureModel : public QObject, private PassSampler
{
    Q_OBJECT
public:
    struct Services
    {
        const Calibration& calibration;
        const DisplaySettings& display;
        PassRecord& pass;
        Clock& clock;
        KeyState& keys;
        Joystick& joystick;
        HiResTimerFactory& timers;
        const RunInfo& run; // the run particulars, read when needed
    };

    explicit MeasureModel(Services services);
    ~MeasureModel() override;

    // From now on each recorded pass keeps a marker in the run's results folder while it runs,
    // and a pass on a video is written to the day file of video passes there (a relative
    // folder is taken inside the program folder).
    void keepPassFilesIn(const QString& programFolder);

    // Loading: creates the timers and starts the two ordinary ones (input 50 ms, refresh 1 s).
    void createTimers();
    // Set up for the event and direction: line and boat marker at the entrance, markers,
    // labels, marks; armed when calibrated.
    void arm();

    // Start Pass (Enter on the button, or a click in mouse mode), on the media clock while a
    // video file lies under the screen, else on the wall clock. A running pass restarts.
    void startPass();
    // A pass on another clock (one that takes its samples from a recorded track, say); false
    // when none started. The clock lives until the pass is over.
    bool startPassOn(PassClock& clock);
    // Stops a running pass (Abort, Return to Start); the samples taken stay as they are.
    void stopPass();

    // The input tick: arrow keys, live deviation, markers, joystick, pointer.
    void inputTick();
    // Refresh of the buoy and course marks.
    void refreshMarks();
    // The nominal pass time has elapsed by the clock.
    void clockCheck();
    // The input tick of a running pass, counted.
    void passInputTick();

    // The video file's clock, told what its player does (frames, play, pause, seeks, the end).
    MediaPassClock& mediaClock() { return media; }
    // A pass runs on the video's clock: the video may only go forward, frame by frame.
    bool mediaPassRunning() const { return clock_ == &media; }

    // Devices.
    void mouseMoved(double xTwips) { devices.pointerMoved(xTwips); }
    // A click on the screen: starts a pass in mouse mode when none is running.
    bool mouseDown();
    // "Connect JoyStick": the detection code (kJoyNoError when found).
    int connectJoystick();

    // Display options.
    void setLineColour(LineColour colour);
    void setLineStyle(LineStyle style);
    void setBoundaryColour(BoundaryColour colour);
    void setThinLine(bool thin)
    {
        options.setThinLine(thin);
        optionChosen();
    }
    void setStatusHidden(bool hidden)
    {
        options.setStatusHidden(hidden);
        changed();
    }
    void setViewOnly(bool viewOnly);
    void setUseMouse(bool on)
    {
        devices.setUseMouse(on);
        optionChosen();
    }
    void setEdgeMarkers(bool on)
    {
        options.setEdgeMarkers(on);
        optionChosen();
    }
    void setPathMarkers(bool on)
    {
        options.setPathMarkers(on);
        optionChosen();
    }
    void setJumpPath(JumpPath path);
    void setBoatWidthText(const QString& text) { options.setBoatWidthText(text); }
    // Range-checked entries: while typing, and when editing finishes (the replacement text
    // for the box when the entry was out of range).
    void boundaryWidthEdited(const QString& text);
    std::optional<QString> boundaryWidthFinished(const QString& text);
    void jumpBoundaryEdited(const QString& text);
    std::optional<QString> jumpBoundaryFinished(const QString& text);

    const MeasureLines& lines() const { return lines_; }
    const MeasureView& view() const { return view_; }
    bool running() const { return clock_ != nullptr; }
    bool statusHidden() const { return options.statusHidden(); }
    bool viewOnly() const { return options.viewOnly(); }
    bool clockCheckPending() const;
    int mandatorySide() const { return mandatorySide_; }
    // The measurement line's extent: the course's own once a calibrated activation fits it.
    const LineSpan& lineSpan() const { return span_; }
    double centreLineX() const { return centreLineX_; }
    double courseLength() const { return courseLength_; }
    double deviation() const { return deviation_; }
    int borderWidth() const { return options.borderWidth(); }
    double jumpBoundary() const { return options.jumpBoundary(); }
    // Armed: the next Start Pass begins a pass at the entrance (AwaitingStart).
    bool awaitingStart() const { return awaitingStart_; }
    // The next sample to take (SampleIndex); after a pass, the number taken.
    int sampleIndex() const { return sampleIndex_; }
    // Metres outside the boat's half width that the boundary markers stand (PathLimit).
    double pathLimit() const { return pathLimit_; }
    // Milliseconds on the monotonic clock at which the last pass on the wall clock started.
    qint64 passStartMs() const { return wall.startMs(); }

Q_SIGNALS:
    // Lines or texts changed: repaint.
    void viewChanged();
    // Marks for the retained drawing layer, and its clearing.
    void marksDrawn(const OverlayShapes& shapes);
    void marksCleared();
    // While armed, every arrow key hands the focus back to Start Pass, so that Enter starts.
    void startPassFocused();
    // A recorded pass ended: the samples go to the results.
    void passRecorded();
    // A view-only pass ended: the direction of the next pass, for the run particulars. The
    // screen is armed for it at once, so the receiver sets it before returning.
    void directionChosen(Direction direction);
    // A pass could not start on its clock, or was given up on the way (a video went back,
    // jumped, ended or was replaced): nothing was recorded, and the screen is armed again.
    // The operator's message says why.
    void passNotRecorded(const QString& message);
    // A file the pass leaves (its marker, where it lies on its video) could not be written or
    // removed. Said once the pass is over, never during it; the pass itself is measured as
    // usual. The operator's message names the file and the reason.
    void fileNotWritten(const QString& message);
    // The video is to pause and show the frame holding mediaUs (one the player skipped), and
    // then to play on: part of the pass on its clock.
    void videoFrameWanted(qint64 mediaUs);
    void videoPlayWanted();
    // For whoever keeps a pass's video beside its samples: a pass started (or restarted), each
    // sample with where the line stood when it was read (picture twips), and the pass's
    // timing stopped (ended, aborted or given up).
    void passStarted();
    void sampleTaken(int index, double lineX, double lineY);
    void passStopped();

private:
    // PassSampler
    int nextSample() const override { return sampleIndex_; }
    int lastSample() const override { return pass.tenths; }
    void countSampleTick() override;
    void readLiveDeviation() override { computeLiveDeviation(false, false); }
    void takeLiveSample() override;
    void takeSampleAtItsInstant(std::optional<double> lineX) override;
    void samplesTaken() override { changed(); }
    void giveUpPass(const QString& why) override;

    const RunInfo& run() const { return s.run; }
    void stopTicks();
    void fitLineToCourse();
    void placeBoatMarker(double distance, Direction direction);
    void endPass(const RunInfo& run);
    void tell(std::optional<QString> fileMessage);
    void computeLiveDeviation(bool snapInViewOnly, bool withMarkers);
    void placeAllMarkers(double courseX, double courseY, double pathLimit);
    void drawBuoyAndCourseMarks(const RunInfo& run);
    void changed();
    // A check box's option took effect (the keyboard stays with Start Pass while armed).
    void optionChosen();

    Services s;
    const Calibration& calibration;
    PassRecord& pass;
    MeasureLines lines_;
    LineSpan span_ = kInitialLineSpan;
    MeasureView view_;
    InputDevices devices;
    DisplayOptions options;
    PassFiles files;
    WallPassClock wall;
    MediaPassClock media;

    std::unique_ptr<HiResTimer> inputTimer;
    std::unique_ptr<HiResTimer> refreshTimer;
    std::unique_ptr<HiResTimer> clockTimer;
    std::unique_ptr<HiResTimer> passInputTimer;

    // The pass: the clock timing the running one; none between passes.
    PassClock* clock_ = nullptr;
    bool aborted_ = false;
    bool awaitingStart_ = false;
    int sampleIndex_ = 0;
    // Where the line stood at each sample taken at its instant, for the pass's review.
    std::vector<HeldLine> heldLines_;
    double pathLimit_ = kSlalomPathLimit;
    int inputTicks = 0;
    int sampleTicks = 0;
    int redrawCounter = 0;
    double deviation_ = 0.0;
    int mandatorySide_ = 0;
    double centreLineX_ = kSlalomCentreLineX;
    double courseLength_ = kSlalomCourseLength;
};
