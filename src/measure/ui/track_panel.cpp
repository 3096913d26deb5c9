#include "measure/ui/track_panel.h"

#include "common/paths.h"
#include "measure/measure_model.h"
#include "measure/ui/track_overlay.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/video_transport.h"
#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "tracking/track_file.h"
#include "tracking/track_review.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString kTrackTitle = QStringLiteral("Track");
const QColor kStopMark(230, 30, 30);
const QColor kOperatorMark(40, 120, 255);

// Keeps an overlay as large as the surface it stands on.
class FollowSize : public QObject
{
public:
    FollowSize(QWidget* surface, QWidget* overlay) : QObject(overlay), overlay(overlay)
    {
        surface->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize)
            overlay->setGeometry(static_cast<QWidget*>(watched)->rect());
        return false;
    }

private:
    QWidget* overlay;
};

} // namespace

TrackPanel::TrackPanel(Screen screen, const TrackingServices& services, QMenuBar* bar,
                       QWidget* window)
    : QObject(window), screen(screen), services(services), review_(std::make_unique<TrackReview>())
{
    setObjectName(QStringLiteral("trackPanel"));
    // Over the picture and the lines, under the control column.
    overlay_ = new TrackOverlay(&screen.surface);
    overlay_->stackUnder(&screen.column);
    overlay_->setMapping(screen.surface.mapping());
    new FollowSize(&screen.surface, overlay_);
    connect(&screen.surface, &DrawingSurface::mappingChanged, overlay_, &TrackOverlay::setMapping);

    // A menu of its own: the control column has no spare row at 768 pixels, and the menu bar
    // stands over it on every display.
    mnuTrack = bar->addMenu(QStringLiteral("&Track"));
    mnuTrack->setObjectName(QStringLiteral("trackMenu"));
    mnuTrack->setToolTipsVisible(true);
    const auto action = [this](const char* name, const QString& caption, const QString& tip,
                               void (TrackPanel::*slot)()) {
        QAction* a = mnuTrack->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuTrackBoat = action("trackBoatAction", QStringLiteral("Track &Boat"),
                          QStringLiteral("Then click the boat's point on the pass's first frame"),
                          &TrackPanel::trackBoat);
    mnuCancel =
        action("cancelTrackingAction", QStringLiteral("&Cancel"),
               QStringLiteral("Stop tracking; the track stays as it was"), &TrackPanel::cancel);
    mnuCancel->setShortcut(QKeySequence(Qt::Key_Escape));
    mnuCancel->setShortcutContext(Qt::WindowShortcut);
    window->addAction(mnuCancel); // Esc works with the menu closed
    mnuUndo =
        action("undoCorrectionAction", QStringLiteral("&Undo Correction"),
               QStringLiteral("Back to the track before the last correction"), &TrackPanel::undo);
    mnuMeasure = action("measureFromTrackAction", QStringLiteral("&Measure from Track"),
                        QStringLiteral("Take every sample of the pass from the track"),
                        &TrackPanel::measureFromTrack);
    mnuTrack->addSeparator();
    mnuLoadTrack =
        action("loadTrackAction", QStringLiteral("&Load Track..."),
               QStringLiteral("Read a track file back for this video"), &TrackPanel::loadTrack);
    mnuCloseTrack =
        action("closeTrackAction", QStringLiteral("Cl&ose Track"),
               QStringLiteral("Put the track away and measure by hand"), &TrackPanel::closeTrack);

    connect(review_.get(), &TrackReview::changed, this, &TrackPanel::showReview);
    connect(review_.get(), &TrackReview::stoppedAt, this, &TrackPanel::showStopFrame);
    // The progress, as often as the review polls it.
    connect(review_.get(), &TrackReview::changed, this, [this] {
        const TrackingProgress p = review_->progress();
        overlay_->setProgress(review_->running() ? p.done : 0, review_->running() ? p.total : 0);
    });
    connect(&screen.video, &CourseVideo::choiceChanged, this, &TrackPanel::followVideo);
    connect(&screen.video.stillPicture(), &CoursePicture::changed, this, &TrackPanel::followVideo);
    connect(&screen.video, &CourseVideo::frameShown, this,
            [this](const VideoFrame& f) { showFrame(f.startUs); });
    // A pass from the track is over (or never started): its clock goes.
    connect(&screen.model, &MeasureModel::passRecorded, this, [this] { review_->close(); });
    followVideo();
    showReview();
}

TrackPanel::~TrackPanel() = default;

bool TrackPanel::shown() const
{
    return mnuTrack->menuAction()->isVisible();
}

void TrackPanel::followVideo()
{
    VideoFile* file = screen.video.file();
    const bool usable = file && screen.video.stillPicture().image().isNull();
    // Another video, or none, or a still picture over it: the track belongs to the frames it
    // was made on, and a click must never set a point on a frame the operator cannot see.
    if (review_->active() && (!usable || screen.video.choice().file != review_->videoPath()))
        review_->close();
    mnuTrack->menuAction()->setVisible(usable);
    mnuTrack->setEnabled(usable);
    if (file)
        showFrame(file->frame().startUs);
}

void TrackPanel::showFrame(qint64 us)
{
    overlay_->setFrameUs(us);
}

void TrackPanel::showReview()
{
    const TrackReview& r = *review_;
    const bool active = r.active(), running = r.running();
    mnuTrackBoat->setEnabled(!running);
    mnuCancel->setEnabled(running);
    mnuUndo->setEnabled(r.canUndo());
    mnuMeasure->setEnabled(r.canMeasure());
    mnuCloseTrack->setEnabled(active && !running);
    mnuLoadTrack->setEnabled(!running);
    overlay_->setReview(active ? &r.track() : nullptr, r.status());

    std::vector<SliderMark> marks;
    if (active)
        for (const TrackPoint& f : r.track().frames) {
            if (f.stop != TrackStop::None)
                marks.push_back({f.startUs, f.startUs, kStopMark,
                                 QStringLiteral("Tracking stopped: ") + trackStopReason(f.stop)});
            else if (f.operatorSet)
                marks.push_back({f.startUs, f.startUs, kOperatorMark,
                                 QStringLiteral("Point set by the operator")});
        }
    screen.transport.setMarks(std::move(marks));
}

void TrackPanel::showStopFrame(qint64 us)
{
    if (VideoFile* file = screen.video.file()) {
        file->pause();
        file->seek(us);
    }
}

bool TrackPanel::pictureClicked(double xTwips, double yTwips)
{
    VideoFile* file = screen.video.file();
    if (!review_->active() || !file || screen.model.running())
        return false;
    // On the frame on screen: the player holds still for it.
    if (file->playing())
        file->pause();
    review_->pointAt(file->frame().startUs, xTwips / 15.0, yTwips / 15.0);
    return true;
}

void TrackPanel::trackBoat()
{
    VideoFile* file = screen.video.file();
    if (!file || screen.model.running())
        return;
    if (!services.calibration.complete) {
        screen.messages.warning(
            QStringLiteral("The course is not calibrated: complete the calibration first."),
            kTrackTitle);
        return;
    }
    if (file->playing())
        file->pause();
    const QString path = screen.video.choice().file;
    review_->begin(path, services.framesOf(path), services.calibration.transform, services.run);
}

void TrackPanel::cancel()
{
    review_->cancel();
}

void TrackPanel::undo()
{
    review_->undo();
}

void TrackPanel::closeTrack()
{
    review_->close();
}

void TrackPanel::measureFromTrack()
{
    if (!review_->canMeasure() || screen.model.running())
        return;
    const RunInfo& run = services.run;
    const QString path = resultsFilePath(
        run.resultsFolder, TrackReview::trackFileName(services.clock.now(), review_->videoPath()),
        services.programFolder);
    TrackReview::Measurement m = review_->measure(run, path);
    if (m.refusal) {
        screen.messages.warning(*m.refusal, kTrackTitle);
        return;
    }
    if (m.writeProblem)
        screen.messages.warning(*m.writeProblem +
                                    QStringLiteral("\nThe pass is measured all the same; the "
                                                   "day's VideoPasses file says so."),
                                kTrackTitle);
    passClock = std::move(m.clock);
    screen.model.startPassOn(*passClock);
}

void TrackPanel::loadTrack()
{
    VideoFile* file = screen.video.file();
    if (!file)
        return;
    const QString folder =
        absoluteResultsFolder(services.run.resultsFolder, services.programFolder);
    const std::optional<QString> chosen = screen.fileDialog.choose(
        {QStringLiteral("Load Track"),
         QStringLiteral("Track Files (*.track.txt)|*.track.txt|All Files (*.*)|*.*|"), 1, folder,
         false});
    if (!chosen)
        return;
    const QString video = screen.video.choice().file;
    if (const auto refusal =
            review_->load(*chosen, video, services.framesOf(video), services.calibration.transform))
        screen.messages.warning(*refusal, kTrackTitle);
}
