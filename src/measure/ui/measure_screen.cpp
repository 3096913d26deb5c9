#include "measure/ui/measure_screen.h"

#include "app/program_options.h"
#include "app/program_place.h"
#include "measure/ui/line_overlay.h"
#include "measure/ui/review_overlay.h"
#include "measure/ui/track_panel.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/navigator.h"
#include "picture/ui/video_transport.h"
#include "platform/joystick.h"
#include "platform/message_boxes.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {

const QString kVideoTitle = QStringLiteral("Video");
const QString kWriteFailureTitle = QStringLiteral("Error Message");

void setTextIfChanged(QLineEdit* box, const QString& text)
{
    if (box->text() != text)
        box->setText(text);
}

void setTextIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

void setShown(QWidget* w, bool shown)
{
    if (w->isHidden() == shown)
        w->setVisible(shown);
}

} // namespace

MeasureScreen::MeasureScreen(Navigator& navigator, MeasureModel& model, Services services,
                             const ProgramPlace& place, const ProgramOptions& options,
                             const PassRecord& pass, CourseVideo& video)
    : navigator(navigator), model_(model), services(services), place(place),
      diagnostics(options.diagnostics), pass(pass), video(video)
{
    setWindowTitle(QStringLiteral("Measure Boat Path Deviation"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());

    buildControls();
    reviewOverlay = new ReviewOverlay(surface, video, *transport);
    reviewOverlay->stackUnder(lineOverlay);
    swallowArrowKeys();
    followModel();
    model_.createTimers();
    followVideoSource();
    connect(&video, &CourseVideo::choiceChanged, this, &MeasureScreen::followVideoSource);
    connect(&video, &CourseVideo::frameShown, this, [this](const VideoFrame& frame) {
        // A camera's frames carry no clock a pass could follow.
        if (this->video.file())
            model_.mediaClock().frameShown(frame.startUs, frame.durationUs);
    });
    connect(&video, &CourseVideo::playbackChanged, this, &MeasureScreen::videoPlaybackChanged);
    showModel();
}

MeasureScreen::~MeasureScreen() = default;

void MeasureScreen::followModel()
{
    MeasureModel* m = &model_;
    connect(m, &MeasureModel::viewChanged, this, &MeasureScreen::showModel);
    connect(m, &MeasureModel::marksDrawn, this, &MeasureScreen::drawMarks);
    connect(m, &MeasureModel::marksCleared, this, &MeasureScreen::clearMarks);
    connect(m, &MeasureModel::startPassFocused, this, [this] { startPassButton->setFocus(); });
    connect(m, &MeasureModel::passRecorded, this, &MeasureScreen::showResults);
    connect(m, &MeasureModel::passNotRecorded, this,
            [this](const QString& message) { services.messages.warning(message, kVideoTitle); });
    connect(m, &MeasureModel::fileNotWritten, this, [this](const QString& message) {
        services.messages.warning(message, kWriteFailureTitle);
    });
    connect(m, &MeasureModel::videoFrameWanted, this, &MeasureScreen::showVideoFrameAt);
    connect(m, &MeasureModel::videoPlayWanted, this, &MeasureScreen::playVideo);
}

void MeasureScreen::showModel()
{
    const MeasureModel& m = model_;
    const MeasureView& v = m.view();
    // A pass started, however: the video is measured again, no longer reviewed.
    if (m.running())
        reviewOverlay->end();
    lineOverlay->setLines(m.lines());
    if (transport->passRunning() != m.mediaPassRunning())
        transport->setPassRunning(m.mediaPassRunning());
    setTextIfChanged(deviationEdit, v.deviation);
    setTextIfChanged(sampleEdit, v.sample);
    setTextIfChanged(distanceEdit, v.distance);
    setTextIfChanged(startTimeEdit, v.startTime);
    setTextIfChanged(endTimeEdit, v.endTime);
    setTextIfChanged(sampleCountEdit, v.sampleCount);
    setTextIfChanged(inputTicksEdit, v.inputTicks);
    setTextIfChanged(sampleTicksEdit, v.sampleTicks);
    setTextIfChanged(markRedrawsEdit, v.markRedraws);
    setTextIfChanged(timeLabel, v.timeLabel);
    setTextIfChanged(joystickStatusLabel, v.joystick.status);
    setTextIfChanged(joystickXLabel, v.joystick.x);
    setTextIfChanged(joystickYLabel, v.joystick.y);
    setTextIfChanged(speedLabel, pass.speedText);
    setTextIfChanged(lineLengthLabel, pass.lineText);
    for (const auto& [label, text] : {std::pair{skierLabel, v.skier},
                                      {driverLabel, v.driver},
                                      {boatLabel, v.boatMaker},
                                      {boatModelLabel, v.boatModel}}) {
        if (label->text() != text) {
            label->setText(text);
            label->setToolTip(text);
        }
    }
    setTextIfChanged(eventLabel, v.eventTitle);
    setShown(timeLabel, v.timeLabelVisible);
    setShown(doneLabel, v.doneVisible);
    setShown(lineLengthLabel, v.lineLengthVisible);
    setShown(jumpBoundaryLabel, v.jumpBoundaryVisible);
    setShown(jumpBoundaryEdit, v.jumpBoundaryVisible);
    setShown(jumpPathGroup, v.jumpPathsVisible);
    setShown(mouseStartLabel, v.mouseStartHintVisible);
    setShown(redGreenLegendLabel, v.redGreenLegendVisible);
    setShown(blackYellowLegendLabel, v.blackYellowLegendVisible);
    setShown(styleLegendLabel, v.styleLegendVisible);
}

QString MeasureScreen::speedText() const
{
    return speedLabel->text();
}

QString MeasureScreen::lineText() const
{
    return lineLengthLabel->text();
}

void MeasureScreen::drawMarks(const OverlayShapes& shapes)
{
    for (const OverlayShapes& drawn : marksOnLayer)
        if (drawn == shapes)
            return;
    surface->draw(shapes);
    marksOnLayer.push_back(shapes);
}

void MeasureScreen::clearMarks()
{
    surface->clearDrawing();
    marksOnLayer.clear();
}

void MeasureScreen::showResults()
{
    hide();
    navigator.openResults();
}

void MeasureScreen::showVideoFrameAt(qint64 mediaUs)
{
    // Asked while a frame is being delivered: the player is told from the event loop (a pause
    // or seek from inside the delivery broke GStreamer's stream).
    QMetaObject::invokeMethod(
        this,
        [this, mediaUs] {
            if (VideoFile* file = video.file()) {
                file->pause();
                file->seek(mediaUs);
            }
        },
        Qt::QueuedConnection);
}

void MeasureScreen::playVideo()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (VideoFile* file = video.file())
                file->play();
        },
        Qt::QueuedConnection);
}

void MeasureScreen::followVideoSource()
{
    MediaPassClock& media = model_.mediaClock();
    VideoFile* file = video.file();
    if (!file) {
        media.setFile(std::nullopt);
        return;
    }
    media.setFile(MediaClockFile{video.choice().file, file->durationUs()});
    // Where the player stands now; from here on it tells each change.
    if (!file->frame().image.isNull())
        media.frameShown(file->frame().startUs, file->frame().durationUs);
    if (file->playing())
        media.playing(file->rate());
}

void MeasureScreen::videoPlaybackChanged(PlaybackChange change)
{
    VideoFile* file = video.file();
    if (!file)
        return;
    MediaPassClock& media = model_.mediaClock();
    switch (change) {
    case PlaybackChange::Playing:
    case PlaybackChange::RateChanged:
        media.playing(file->rate());
        return;
    case PlaybackChange::Paused:
        media.paused();
        return;
    case PlaybackChange::Seeked:
        media.seeked();
        return;
    case PlaybackChange::EndOfMedia:
        media.ended();
        return;
    }
}

void MeasureScreen::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    // Marks of an earlier calibration must not survive on the retained layer.
    clearMarks();
    model_.arm();
}

void MeasureScreen::startPass()
{
    model_.startPass();
}

void MeasureScreen::review(const ReviewedPass& pass)
{
    reviewOverlay->begin(pass, model_.lineSpan());
}

void MeasureScreen::abortPass()
{
    reviewOverlay->end();
    model_.stopPass();
    hide();
    navigator.showStart();
}

void MeasureScreen::returnToStart()
{
    // A pass left running behind the start screen would pop up the results on its own.
    abortPass();
}

void MeasureScreen::exitProgram()
{
    navigator.endProgram();
}

void MeasureScreen::connectJoystick()
{
    if (model_.connectJoystick() != kJoyNoError)
        services.messages.plain(QStringLiteral("Couldn't Detect the Joystick."));
}

QString MeasureScreen::statusCaption(bool statusHidden)
{
    return statusHidden ? QStringLiteral("Show Status Indicators")
                        : QStringLiteral("Hide Status Indicators");
}

void MeasureScreen::toggleStatusIndicators()
{
    const bool hide = !model_.statusHidden();
    for (QWidget* w : statusControls())
        setShown(w, !hide);
    model_.setStatusHidden(hide);
    statusButton->setText(statusCaption(hide));
}

void MeasureScreen::switchMouseMode(bool on)
{
    model_.setUseMouse(on);
}

void MeasureScreen::switchEdgeMarkers(bool on)
{
    if (on)
        services.messages.plain(
            QStringLiteral("Please use caution when using the edge lines.") +
            QStringLiteral("  If the boat is turned or angled, using the ") +
            QStringLiteral("edge markers alone may lead to inaccurate results.") +
            QStringLiteral("  Be sure the center line is as close as possible ") +
            QStringLiteral("to the pylon position."));
    model_.setEdgeMarkers(on);
}

void MeasureScreen::switchPathMarkers(bool on)
{
    model_.setPathMarkers(on);
}

void MeasureScreen::switchThinLine(bool on)
{
    model_.setThinLine(on);
}

void MeasureScreen::switchViewOnly(bool on)
{
    model_.setViewOnly(on);
}

void MeasureScreen::boundaryWidthEdited(const QString& text)
{
    model_.boundaryWidthEdited(text);
}

void MeasureScreen::boundaryWidthFinished()
{
    if (const auto replacement = model_.boundaryWidthFinished(boundaryWidthEdit->text()))
        boundaryWidthEdit->setText(*replacement);
}

void MeasureScreen::jumpBoundaryEdited(const QString& text)
{
    model_.jumpBoundaryEdited(text);
}

void MeasureScreen::jumpBoundaryFinished()
{
    if (const auto replacement = model_.jumpBoundaryFinished(jumpBoundaryEdit->text()))
        jumpBoundaryEdit->setText(*replacement);
}

void MeasureScreen::boatWidthEdited(const QString& text)
{
    model_.setBoatWidthText(text);
}

void MeasureScreen::followPointer(Qt::MouseButtons, double xTwips, double)
{
    model_.mouseMoved(xTwips);
}

void MeasureScreen::clickPicture(Qt::MouseButton, Qt::KeyboardModifiers, double xTwips,
                                 double yTwips)
{
    if (trackPanel && trackPanel->pictureClicked(xTwips, yTwips))
        return;
    model_.mouseDown();
}

void MeasureScreen::closeEvent(QCloseEvent* event)
{
    event->accept();
    navigator.endProgram();
}
