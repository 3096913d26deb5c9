#include "measure/ui/measure_screen.h"

#include "app/program_options.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "measure/ui/line_overlay.h"
#include "measure/video_pass_log.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/navigator.h"
#include "picture/ui/video_transport.h"
#include "platform/clock.h"
#include "platform/joystick.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"

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

Measure::Measure(Navigator& navigator, Platform& platform, const ProgramPlace& place,
                 const ProgramOptions& options, RunParticulars& run, const Calibration& calibration,
                 const DisplaySettings& display, PassRecord& pass, CourseVideo& video)
    : navigator(navigator), platform(platform), place(place), diagnostics(options.diagnostics),
      run(run), pass(pass), video(video)
{
    setWindowTitle(QStringLiteral("Measure Boat Path Deviation"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());

    model_ = std::make_unique<MeasureModel>(
        MeasureModel::Services{calibration, display, pass, platform.clock, platform.keys,
                               platform.joystick, platform.timers, run.info(), *this});
    model_->keepPassMarkers(place.folder);
    buildControls();
    swallowArrowKeys();
    model_->createTimers();
    followVideoSource();
    connect(&video, &CourseVideo::choiceChanged, this, &Measure::followVideoSource);
    connect(&video, &CourseVideo::frameShown, this, [this](const VideoFrame& frame) {
        // A camera's frames carry no clock a pass could follow.
        if (this->video.file())
            model_->mediaFrameShown(frame.startUs, frame.durationUs);
    });
    connect(&video, &CourseVideo::playbackChanged, this, &Measure::videoPlaybackChanged);
    showModel();
}

Measure::~Measure() = default;

void Measure::showModel()
{
    const MeasureModel& m = *model_;
    const MeasureView& v = m.view();
    lineOverlay->setLines(m.lines());
    if (transport->passRunning() != m.mediaPassRunning())
        transport->setPassRunning(m.mediaPassRunning());
    setTextIfChanged(txtDeviation, v.deviation);
    setTextIfChanged(txtSample, v.sample);
    setTextIfChanged(txtDistance, v.distance);
    setTextIfChanged(Text2, v.startTime);
    setTextIfChanged(Text3, v.endTime);
    setTextIfChanged(txtStep, v.sampleCount);
    setTextIfChanged(txtCount1, v.inputTicks);
    setTextIfChanged(txtCount2, v.sampleTicks);
    setTextIfChanged(txtTest, v.markRedraws);
    setTextIfChanged(Label3, v.timeLabel);
    setTextIfChanged(status, v.joystickStatus);
    setTextIfChanged(Labelx, v.joystickX);
    setTextIfChanged(Labely, v.joystickY);
    setTextIfChanged(lblSpeed, pass.speedText);
    setTextIfChanged(lblLine, pass.lineText);
    for (const auto& [label, text] : {std::pair{lblDriver, v.driver},
                                      {lblBoat, v.boatMaker},
                                      {lblSkier, v.skier},
                                      {lblModel, v.boatModel}}) {
        if (label->text() != text) {
            label->setText(text);
            label->setToolTip(text);
        }
    }
    setTextIfChanged(Label9, v.eventTitle);
    setShown(Label3, v.timeLabelVisible);
    setShown(Label7, v.doneVisible);
    setShown(lblLine, v.lineLengthVisible);
    setShown(Label10, v.jumpBoundaryVisible);
    setShown(txtJumpBoundry, v.jumpBoundaryVisible);
    setShown(frmJumpPath, v.jumpPathsVisible);
    setShown(Label11, v.mouseStartHintVisible);
    setShown(Label12, v.redGreenLegendVisible);
    setShown(Label13, v.blackYellowLegendVisible);
    setShown(Label14, v.styleLegendVisible);
}

QString Measure::speedLabel() const
{
    return lblSpeed->text();
}

QString Measure::lineLabel() const
{
    return lblLine->text();
}

void Measure::measureChanged()
{
    showModel();
}

void Measure::drawMarks(const OverlayShapes& shapes)
{
    for (const OverlayShapes& drawn : marksOnLayer)
        if (drawn == shapes)
            return;
    surface->draw(shapes);
    marksOnLayer.push_back(shapes);
}

void Measure::clearMarks()
{
    surface->clearDrawing();
    marksOnLayer.clear();
}

void Measure::focusStartButton()
{
    Command1->setFocus();
}

void Measure::passRecorded()
{
    keepVideoPass();
    hide();
    navigator.openResults();
}

void Measure::keepVideoPass()
{
    if (!pass.media)
        return;
    const QDateTime now = platform.clock.now();
    const QString block = unwrittenVideoPasses + videoPassBlock(now, *pass.media);
    const QString path =
        resultsFilePath(run.info().resultsFolder, videoPassesFileName(now), place.folder);
    const WriteResult written = appendText(path, block);
    if (written) {
        unwrittenVideoPasses.clear();
        return;
    }
    // The pass itself goes on to the results; only where it lies on the video waits.
    unwrittenVideoPasses = block;
    platform.messages.warning(
        written.message +
            QStringLiteral("\n\nThe pass goes on to the results as usual. Where it lies on the "
                           "video is kept and written with the next pass measured on a video."),
        kWriteFailureTitle);
}

void Measure::passNotRecorded(const QString& message)
{
    platform.messages.warning(message, kVideoTitle);
}

void Measure::passMarkerNotWritten(const QString& message)
{
    platform.messages.warning(message, kWriteFailureTitle);
}

void Measure::showVideoAt(qint64 mediaUs)
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

void Measure::playVideo()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (VideoFile* file = video.file())
                file->play();
        },
        Qt::QueuedConnection);
}

void Measure::followVideoSource()
{
    VideoFile* file = video.file();
    if (!file) {
        model_->setMediaFile(std::nullopt);
        return;
    }
    model_->setMediaFile(MediaClockFile{video.choice().file, file->durationUs()});
    // Where the player stands now; from here on it tells each change.
    if (!file->frame().image.isNull())
        model_->mediaFrameShown(file->frame().startUs, file->frame().durationUs);
    if (file->playing())
        model_->mediaPlaying(file->rate());
}

void Measure::videoPlaybackChanged(PlaybackChange change)
{
    VideoFile* file = video.file();
    if (!file)
        return;
    switch (change) {
    case PlaybackChange::Playing:
    case PlaybackChange::RateChanged:
        model_->mediaPlaying(file->rate());
        return;
    case PlaybackChange::Paused:
        model_->mediaPaused();
        return;
    case PlaybackChange::Seeked:
        model_->mediaSeeked();
        return;
    case PlaybackChange::EndOfMedia:
        model_->mediaEnded();
        return;
    }
}

void Measure::setDirection(Direction direction)
{
    run.setDirection(direction);
}

void Measure::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (event->spontaneous())
        return;
    // Marks of an earlier calibration must not survive on the retained layer.
    clearMarks();
    model_->arm();
}

void Measure::Command1_Click()
{
    model_->startPass();
}

void Measure::btnAbort_Click()
{
    model_->stopPass();
    hide();
    navigator.showStart();
}

void Measure::mnuStart_Click()
{
    // A pass left running behind the start screen would pop up the results on its own.
    btnAbort_Click();
}

void Measure::mnuExit_Click()
{
    navigator.endProgram();
}

void Measure::cmdJoy_Click()
{
    if (model_->connectJoystick() != kJoyNoError)
        platform.messages.plain(QStringLiteral("Couldn't Detect the Joystick."));
}

QString Measure::statusCaption(bool statusHidden)
{
    return statusHidden ? QStringLiteral("Show Status Indicators")
                        : QStringLiteral("Hide Status Indicators");
}

void Measure::cmdStatus_Click()
{
    const bool hide = !model_->statusHidden();
    for (QWidget* w : statusControls())
        setShown(w, !hide);
    model_->setStatusHidden(hide);
    cmdStatus->setText(statusCaption(hide));
}

void Measure::chkUseMouse_Click(bool checked)
{
    model_->setUseMouse(checked);
}

void Measure::chkEdgeOn_Click(bool checked)
{
    if (checked)
        platform.messages.plain(
            QStringLiteral("Please use caution when using the edge lines.") +
            QStringLiteral("  If the boat is turned or angled, using the ") +
            QStringLiteral("edge markers alone may lead to inaccurate results.") +
            QStringLiteral("  Be sure the center line is as close as possible ") +
            QStringLiteral("to the pylon position."));
    model_->setEdgeMarkers(checked);
}

void Measure::cbPath_Click(bool checked)
{
    model_->setPathMarkers(checked);
}

void Measure::chkThinLine_Click(bool checked)
{
    model_->setThinLine(checked);
}

void Measure::chkViewOnly_Click(bool checked)
{
    model_->setViewOnly(checked);
}

void Measure::txtBoundryWidth_Change(const QString& text)
{
    model_->boundaryWidthEdited(text);
}

void Measure::txtBoundryWidth_Finished()
{
    if (const auto replacement = model_->boundaryWidthFinished(txtBoundryWidth->text()))
        txtBoundryWidth->setText(*replacement);
}

void Measure::txtJumpBoundry_Change(const QString& text)
{
    model_->jumpBoundaryEdited(text);
}

void Measure::txtJumpBoundry_Finished()
{
    if (const auto replacement = model_->jumpBoundaryFinished(txtJumpBoundry->text()))
        txtJumpBoundry->setText(*replacement);
}

void Measure::txtBoatWidth_Change(const QString& text)
{
    model_->setBoatWidthText(text);
}

void Measure::Form_MouseMove(Qt::MouseButtons, double xTwips, double)
{
    model_->mouseMoved(xTwips);
}

void Measure::Form_MouseDown(Qt::MouseButton, Qt::KeyboardModifiers, double, double)
{
    model_->mouseDown();
}

void Measure::closeEvent(QCloseEvent* event)
{
    event->accept();
    navigator.endProgram();
}
