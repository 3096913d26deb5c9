#pragma once
// Measuring a pass from a track on the measurement screen, beside the hand-held way, from the
// screen's "Track" menu: "Track Boat" and a click on the boat's point start the engine on the
// frame on screen; the track is drawn over the picture (TrackOverlay) as the operator steps or
// plays through it; a click on any frame corrects the track there (the engine tracks again
// from it, the frames before it kept), "Undo Correction" takes the last one back, "Cancel"
// (or Esc) stops a run and keeps the track as it was. What the track needs next, and the
// progress, are said over the picture; where the engine stops, the screen shows that frame
// and says why. "Measure from Track", once every sample of the pass lies on a tracked frame,
// writes the track file beside the results and takes the pass from it at once, as a line
// held on each tracked column would. "Close Track" hands the clicks back to the hand-held
// way, as measuring the track does. The menu is offered only while a video file lies under
// the screen (not a camera, the overlay card or a still picture); its "Load Track..." reads a
// track file back for the video.

#include "calibration/calibration.h"
#include "common/run_info.h"
#include "platform/video_frames.h"

#include <QObject>
#include <functional>
#include <memory>

class Clock;
class CourseVideo;
class DrawingSurface;
class FileDialog;
class MeasureModel;
class MessageBoxes;
class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TrackOverlay;
class TrackPassClock;
class TrackReview;
class VideoTransport;

// What tracking needs from the program beyond the measurement screen's own.
struct TrackingServices
{
    const Calibration& calibration;
    const RunInfo& run; // read when needed
    Clock& clock;
    QString programFolder; // a relative results folder lies inside it
    // The frames of a video file, decoded off the screens' thread.
    std::function<FrameReaderOpener(const QString& videoPath)> framesOf;
};

class TrackPanel : public QObject
{
    Q_OBJECT
public:
    struct Screen
    {
        MeasureModel& model;
        CourseVideo& video;
        DrawingSurface& surface;
        QWidget& column; // the control column, which stands over the track
        VideoTransport& transport;
        MessageBoxes& messages;
        FileDialog& fileDialog;
    };
    // Adds the "Track" menu to the bar; Esc on the window cancels a run.
    TrackPanel(Screen screen, const TrackingServices& services, QMenuBar* bar, QWidget* window);
    ~TrackPanel() override;

    // A click on the picture (twips): taken here while a track is under review (a point for
    // it), else left to the hand-held way.
    bool pictureClicked(double xTwips, double yTwips);

    // The menu is offered (a video file under the screen).
    bool shown() const;
    QAction* trackBoatAction() const { return mnuTrackBoat; }
    QAction* cancelAction() const { return mnuCancel; }
    QAction* undoAction() const { return mnuUndo; }
    QAction* measureAction() const { return mnuMeasure; }
    QAction* loadTrackAction() const { return mnuLoadTrack; }
    QAction* closeTrackAction() const { return mnuCloseTrack; }
    const TrackReview& review() const { return *review_; }
    const TrackOverlay& overlay() const { return *overlay_; }

    void trackBoat();
    void cancel();
    void undo();
    void measureFromTrack();
    void closeTrack();
    void loadTrack();

private:
    void followVideo();
    void showReview();
    void showStopFrame(qint64 us);
    void showFrame(qint64 us);

    Screen screen;
    const TrackingServices& services;
    std::unique_ptr<TrackReview> review_;
    TrackOverlay* overlay_ = nullptr;
    std::unique_ptr<TrackPassClock> passClock; // lives until the pass from it is over
    QMenu* mnuTrack = nullptr;
    QAction* mnuTrackBoat = nullptr;
    QAction* mnuCancel = nullptr;
    QAction* mnuUndo = nullptr;
    QAction* mnuMeasure = nullptr;
    QAction* mnuLoadTrack = nullptr;
    QAction* mnuCloseTrack = nullptr;
};
