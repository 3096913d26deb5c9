#include "app/ui/screens.h"

#include "app/program_state.h"
#include "app/ui/manual.h"
#include "app/ui/start_screen.h"
#include "calibration/calibration_session.h"
#include "calibration/ui/calibration_screen.h"
#include "course_display/course_display_session.h"
#include "measure/pass_recording.h"
#include "measure/pass_review.h"
#include "measure/ui/live_recording.h"
#include "measure/ui/measure_screen.h"
#include "measure/ui/track_panel.h"
#include "platform/gst/gst_frame_reader.h"
#include "platform/platform.h"
#include "results/next_pass.h"
#include "results/results_session.h"
#include "results/ui/results_screen.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

Screens::Screens(ProgramState& state, Platform& platform)
    : state_(state), platform_(platform),
      courseVideo_(coursePicture_, platform.videos, platform.settings, platform.messages)
{
}

Screens::~Screens() = default;

StartScreen& Screens::startScreen()
{
    if (!startScreen_)
        startScreen_ = std::make_unique<StartScreen>(
            *this, StartScreen::Services{platform_.settings, platform_.messages, platform_.clock},
            state_.place, state_.run, state_.names, state_.calibration, state_.pass);
    return *startScreen_;
}

CalibrationScreen& Screens::calibrationScreen()
{
    if (!calibrationScreen_) {
        calibrationSession_ = std::make_unique<CalibrationSession>(
            CalibrationSession::Services{state_.calibration, state_.gridSlots, state_.display,
                                         state_.run.info(), platform_.clock, state_.place.folder});
        courseDisplaySession_ = std::make_unique<CourseDisplaySession>(*calibrationSession_);
        calibrationScreen_ = std::make_unique<CalibrationScreen>(
            *this, *calibrationSession_, *courseDisplaySession_, state_.place, courseVideo_,
            CalibrationScreen::Services{platform_.fileDialog, platform_.messages,
                                        platform_.pictures});
    }
    return *calibrationScreen_;
}

MeasureScreen& Screens::measureScreen()
{
    if (!measureScreen_) {
        measureModel_ = std::make_unique<MeasureModel>(MeasureModel::Services{
            state_.calibration, state_.display, state_.pass, platform_.clock, platform_.keys,
            platform_.joystick, platform_.timers, state_.run.info()});
        measureModel_->keepPassFilesIn(state_.place.folder);
        // A view-only pass turns the next one round before the screen arms for it.
        connect(measureModel_.get(), &MeasureModel::directionChosen, &state_.run,
                &RunParticulars::setDirection);
        tracking_ = std::make_unique<TrackingServices>(
            TrackingServices{state_.calibration, state_.run.info(), platform_.clock,
                             state_.place.folder, &gstFrameReaderOpener});
        measureScreen_ = std::make_unique<MeasureScreen>(
            *this, *measureModel_,
            MeasureScreen::Services{platform_.messages, platform_.fileDialog, tracking_.get()},
            state_.place, state_.options, state_.pass, courseVideo_);
        passRecording_ = std::make_unique<PassRecording>(
            PassRecording::Services{*measureModel_, platform_.recorder, platform_.clock,
                                    state_.run.info(), state_.place.folder});
        attachPassRecording(*measureScreen_, courseVideo_, *passRecording_, platform_.settings,
                            platform_.messages);
        connect(passRecording_.get(), &PassRecording::measuredPassRecorded, this,
                [this](const MediaPass& recording) {
                    if (resultsSession_)
                        resultsSession_->offerRecordingOfMeasuredPass(recording);
                });
    }
    return *measureScreen_;
}

ResultsScreen& Screens::resultsScreen()
{
    if (!results_) {
        resultsSession_ = std::make_unique<ResultsSession>(
            state_.run, state_.names, state_.pass, state_.place,
            ResultsSession::Services{platform_.clock, platform_.settings});
        results_ = std::make_unique<ResultsScreen>(
            *this, *resultsSession_,
            ResultsScreen::Services{platform_.fileDialog, platform_.messages});
    }
    return *results_;
}

Manual& Screens::manual()
{
    if (!manual_) {
        // Beside the start screen the first time; after that it stays where the operator
        // put it.
        const QWidget& start = startScreen();
        const QScreen* screen = start.screen() ? start.screen() : QGuiApplication::primaryScreen();
        manual_ = std::make_unique<Manual>(start.frameGeometry(), screen);
    }
    return *manual_;
}

void Screens::closeResults()
{
    if (results_) {
        results_->hide();
        // Deleted later: the return sequence runs inside one of the screen's own handlers.
        results_.release()->deleteLater();
        resultsSession_.release()->deleteLater();
    }
}

void Screens::bringUp(QWidget& screen)
{
    screen.show();
    screen.raise();
    screen.activateWindow();
}

void Screens::showStart()
{
    bringUp(startScreen());
}

void Screens::openCalibration()
{
    bringUp(calibrationScreen());
}

void Screens::openMeasurement()
{
    bringUp(measureScreen());
}

void Screens::prepareMeasurement()
{
    measureScreen();
}

void Screens::openManual()
{
    bringUp(manual());
}

void Screens::openResults()
{
    ResultsScreen& r = resultsScreen();
    r.load();
    bringUp(r);
}

void Screens::openReview(const ReviewedPass& pass)
{
    // Measured again, the pass is measured as it was: its direction, and its speed when the
    // number of its samples names one.
    state_.run.setDirection(pass.direction);
    const Event event = state_.run.info().event;
    if (const std::optional<int> speed = speedIndexForPassTenths(event, pass.passTenths)) {
        if (event == Event::Slalom)
            state_.run.setSlalomSpeed(*speed);
        else
            state_.run.setJumpSpeed(*speed);
    }
    MeasureScreen& measure = measureScreen();
    bringUp(measure);
    measure.review(pass);
}

void Screens::endProgram()
{
    if (ending_)
        return;
    ending_ = true;
    for (QWidget* w :
         std::initializer_list<QWidget*>{manual_.get(), results_.get(), measureScreen_.get(),
                                         calibrationScreen_.get(), startScreen_.get()})
        if (w)
            w->hide();
    Q_EMIT programEnded();
    QCoreApplication::quit();
}
