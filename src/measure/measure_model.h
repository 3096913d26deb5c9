#pragma once
// The measurement screen without its widgets: the pass engine, the markers, the input
// devices and the display options, with every text and line the screen shows. The screen
// forwards its events here and paints what this holds.
//
// Timing: sample i of a pass is due at start + i x 100 ms on the pass clock. With a camera or
// the overlay card that is the injected monotonic clock: the sample timer only wakes the
// engine; each wake-up takes every sample that has fallen due, so a late wake-up makes its
// samples late without moving the later ones, and the pass always has PassTenths + 1 samples
// spread over PassTenths x 100 ms.
//
// With a video file under the screen it is the video's media clock (MediaSampleSchedule):
// the pass starts on the frame on screen, and sample i is taken when the video reaches
// start + i x 100 ms, while the frame holding that instant is on screen, at any playback rate,
// paused, or stepped frame by frame. The screen forwards what the player does (frames, play,
// pause, seeks, the end) and the engine wakes itself at each sample's own instant.

#include "calibration/calibration.h"
#include "calibration/display_settings.h"
#include "common/overlay.h"
#include "common/run_info.h"
#include "measure/display_options.h"
#include "measure/line_record.h"
#include "measure/marker_geometry.h"
#include "measure/measure_tables.h"
#include "measure/media_sample_schedule.h"
#include "measure/pass_marker.h"
#include "measure/pass_record.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class Clock;
class HiResTimer;
class HiResTimerFactory;
class Joystick;
class KeyState;

// Texts and visibilities the model decides; the screen shows each in one control (its
// object name beside it).
struct MeasureView
{
    QString deviation;   // txtDeviation: the live deviation, metres
    QString sample;      // txtSample: the sample just taken
    QString distance;    // txtDistance: its distance from the entrance, metres
    QString startTime;   // Text2: when the pass started
    QString endTime;     // Text3: when it ended
    QString sampleCount; // txtStep: the samples of the finished pass
    QString inputTicks;  // txtCount1: input ticks of the pass
    QString sampleTicks; // txtCount2: sample ticks of the pass
    QString markRedraws; // txtTest: how often the marks were drawn
    // Label3: "Time" until the pass time runs out, then the samples taken by then.
    QString timeLabel = QStringLiteral("Time");
    bool timeLabelVisible = false;
    bool doneVisible = false;         // Label7, "Done"
    QString joystickStatus;           // status
    QString joystickX;                // Labelx
    QString joystickY;                // Labely
    QString driver;                   // lblDriver
    QString boatMaker;                // lblBoat
    QString skier;                    // lblSkier
    QString boatModel;                // lblModel
    QString eventTitle;               // Label9: "Slalom" or "Jump"
    bool lineLengthVisible = true;    // lblLine
    bool jumpBoundaryVisible = false; // Label10 and txtJumpBoundry
    bool jumpPathsVisible = false;    // frmJumpPath
    // Label11: "Click Mouse to Start Measuring", only while a pass waits for that click.
    bool mouseStartHintVisible = false;
    bool redGreenLegendVisible = false;    // Label12
    bool blackYellowLegendVisible = false; // Label13
    bool styleLegendVisible = true;        // Label14: "Solid-Mandatory, dashed-Optional"
};

// What the model asks of the screen around it.
class MeasureListener
{
public:
    virtual ~MeasureListener() = default;
    // Lines or texts changed: repaint.
    virtual void measureChanged() = 0;
    // Marks for the retained drawing layer.
    virtual void drawMarks(const OverlayShapes& shapes) = 0;
    virtual void clearMarks() = 0;
    // While armed, every arrow key hands the focus back to Start Pass, so Enter starts.
    virtual void focusStartButton() = 0;
    // A recorded pass ended: hand the samples over to the results.
    virtual void passRecorded() = 0;
    // A view-only pass ended: the direction of the next pass, for the run particulars.
    virtual void setDirection(Direction direction) = 0;
    // A pass on a video's clock could not start, or was given up on the way (the video went
    // back, jumped, ended or was replaced): nothing was recorded, and the screen is armed
    // again. The operator's message says why.
    virtual void passNotRecorded(const QString& message) = 0;
    // The player skipped the frame holding an instant of the pass (it fell behind): pause the
    // video and show the frame holding mediaUs. The seek is part of the pass.
    virtual void showVideoAt(qint64 mediaUs) = 0;
    // That frame was measured: play on.
    virtual void playVideo() = 0;
    // The file that marks a pass in progress could not be written or removed. Said once the
    // pass is over, never during it; the pass itself is measured as usual.
    virtual void passMarkerNotWritten(const QString& message) = 0;
};

// The video file under the screen, whose clock times the passes.
struct MediaClockFile
{
    QString path;
    qint64 durationUs = 0; // 0 when unknown
};

class MeasureModel
{
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
        MeasureListener& listener;
    };

    explicit MeasureModel(Services services);
    ~MeasureModel();
    MeasureModel(const MeasureModel&) = delete;
    MeasureModel& operator=(const MeasureModel&) = delete;

    // From now on each recorded pass keeps a marker in the run's results folder while it runs
    // (a relative folder taken inside the program folder), so that the next start can tell a
    // pass lost to a stopped program.
    void keepPassMarkers(const QString& programFolder);

    // Loading: creates the timers and starts the two ordinary ones (input 50 ms, refresh 1 s).
    void createTimers();
    // Set up for the event and direction: line and boat marker at the entrance, markers,
    // labels, marks; armed when calibrated.
    void arm();

    // Start Pass (Enter on the button, or a click in mouse mode). A running pass restarts.
    void startPass();
    // Stops a running pass (Abort, Return to Start); the samples taken stay as they are.
    void stopPass();

    // The input tick: arrow keys, live deviation, markers, joystick, pointer.
    void inputTick();
    // Refresh of the buoy and course marks.
    void refreshMarks();
    // The nominal pass time has elapsed by the clock.
    void clockCheck();
    // The two high-resolution ticks of a pass.
    void passInputTick();
    void sampleTick();

    // The clock of the passes: a video file's media clock while one lies under the screen,
    // else (a camera, the overlay card) the wall clock. A pass running on a file's clock is
    // given up when the file is replaced.
    void setMediaFile(const std::optional<MediaClockFile>& file);
    bool onMediaClock() const { return mediaFile.has_value(); }
    // What the file's player did, followed whether or not a pass runs (media times in
    // microseconds, on the player's position clock).
    void mediaFrameShown(qint64 startUs, qint64 durationUs);
    void mediaPlaying(double rate); // play, resume or a new rate
    void mediaPaused();
    void mediaSeeked();
    void mediaEnded();
    // The wake-up at a sample's own instant within the frame on screen.
    void mediaWake();
    // A pass runs on the video's clock: the video may only go forward, frame by frame.
    bool mediaPassRunning() const { return running_ && mediaPass_; }
    const MediaSampleSchedule& mediaSchedule() const { return schedule; }

    // Devices.
    void mouseMoved(double xTwips);
    // A click on the screen: starts a pass in mouse mode when none is running.
    bool mouseDown();
    // "Connect JoyStick": the detection code (kJoyNoError when found).
    int connectJoystick();

    // Display options.
    void setLineColour(LineColour colour);
    void setLineStyle(LineStyle style);
    void setBoundaryColour(BoundaryColour colour);
    void setThinLine(bool thin);
    void setStatusHidden(bool hidden);
    void setViewOnly(bool viewOnly);
    void setUseMouse(bool useMouse);
    void setEdgeMarkers(bool on);
    void setPathMarkers(bool on);
    void setJumpPath(JumpPath path);
    void setBoatWidthText(const QString& text) { boatWidthText = text; }
    // Range-checked entries: while typing, and when editing finishes (the replacement text
    // for the box when the entry was out of range).
    void boundaryWidthEdited(const QString& text);
    std::optional<QString> boundaryWidthFinished(const QString& text);
    void jumpBoundaryEdited(const QString& text);
    std::optional<QString> jumpBoundaryFinished(const QString& text);

    const MeasureLines& lines() const { return lines_; }
    const MeasureView& view() const { return view_; }
    bool running() const { return running_; }
    bool statusHidden() const { return statusHidden_; }
    bool viewOnly() const { return viewOnly_; }
    bool clockCheckPending() const;
    int mandatorySide() const { return mandatorySide_; }
    // The measurement line's extent: the course's own once a calibrated activation fits it.
    const LineSpan& lineSpan() const { return span_; }
    double centreLineX() const { return centreLineX_; }
    double courseLength() const { return courseLength_; }
    double deviation() const { return deviation_; }
    int borderWidth() const { return borderWidth_; }
    double jumpBoundary() const { return jumpBoundary_; }
    // Armed: the next Start Pass begins a pass at the entrance (AwaitingStart).
    bool awaitingStart() const { return awaitingStart_; }
    // The next sample to take (SampleIndex); after a pass, the number taken.
    int sampleIndex() const { return sampleIndex_; }
    // Metres outside the boat's half width that the boundary markers stand (PathLimit).
    double pathLimit() const { return pathLimit_; }
    // Milliseconds on the monotonic clock at which the running pass started.
    qint64 passStartMs() const { return startMs; }

private:
    const RunInfo& run() const { return s.run; }
    void stopTicks();
    void fitLineToCourse();
    void takeDueSamples();
    void takeSample(const RunInfo& run);
    void placeBoatMarker(double distance, Direction direction);
    void pointLine();
    void startMediaPass(const RunInfo& run);
    void takeMediaSamples(const std::vector<int>& due);
    void takeMediaSample(const RunInfo& run);
    void takeHeldBackSamples();
    void afterMediaEvent();
    void giveUpMediaPass(const QString& why);
    void endPass(const RunInfo& run);
    void markPassStarted(const RunInfo& run);
    void markPassOver();
    void markerFailed(const QString& message);
    void computeLiveDeviation(bool snapInViewOnly, bool withMarkers);
    void applyBoundaryWidth(double value);
    void applyJumpBoundary(double value);
    void placeAllMarkers(double courseX, double courseY, double pathLimit);
    void drawBuoyAndCourseMarks(const RunInfo& run);
    double jumpCentre() const;
    double boatWidth() const;
    void putMeasureLine(double x, double secondColumnOffset);
    void changed();
    void keepStartReady();

    Services s;
    const Calibration& calibration;
    PassRecord& pass;
    MeasureLines lines_;
    LineSpan span_ = kInitialLineSpan;
    MeasureView view_;

    std::unique_ptr<HiResTimer> inputTimer;
    std::unique_ptr<HiResTimer> refreshTimer;
    std::unique_ptr<HiResTimer> clockTimer;
    std::unique_ptr<HiResTimer> passInputTimer;
    std::unique_ptr<HiResTimer> sampleTimer;
    std::unique_ptr<HiResTimer> mediaWakeTimer; // one shot at a time

    // Pass state.
    bool running_ = false;
    bool aborted_ = false;
    bool awaitingStart_ = false;
    int sampleIndex_ = 0;
    double pathLimit_ = kSlalomPathLimit;
    qint64 startMs = 0;
    int count1 = 0;
    int count2 = 0;
    int redrawCounter = 0;
    double deviation_ = 0.0;
    int mandatorySide_ = 0;
    double centreLineX_ = kSlalomCentreLineX;
    double courseLength_ = kSlalomCourseLength;

    // The media clock.
    std::optional<MediaClockFile> mediaFile;
    MediaSampleSchedule schedule;
    bool mediaPass_ = false; // the running pass is on the media clock
    // Samples on the frame just shown, taken once it has reached the screen.
    std::vector<int> heldBack;
    bool videoPlaying = false;
    // A skipped frame asked for: the seeks that brings it are no jumps, and playing resumes
    // once it is measured.
    bool skippedFrameAsked = false;
    bool playAfterSkippedFrame = false;
    int ownSeeks = 0;

    // The marker of the running pass; none without a program folder.
    std::optional<QString> markerBase;
    PassMarker marker;
    QString untoldMarkerFailure; // said when the pass is over
    bool markerFailureTold = false;

    // Devices.
    std::int32_t mouseX = 0;
    std::int32_t joyCentreX = 0;
    int lastJoyStatus = -1;

    // Options.
    BoundaryColour boundaryColour = BoundaryColour::White;
    JumpPath jumpPath = JumpPath::Split;
    bool thinLine = false;
    bool statusHidden_ = false;
    bool viewOnly_ = false;
    bool useMouse = false;
    QString boatWidthText = QStringLiteral("2.2");
    int borderWidth_ = 1;
    double jumpBoundary_ = 0.5;
};
