#include "app/ui/screens.h"

#include "app/program_state.h"
#include "app/ui/form1.h"
#include "app/ui/manual.h"
#include "calibration/ui/grid_setup.h"
#include "measure/ui/measure_screen.h"
#include "platform/platform.h"
#include "results/ui/results.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

Screens::Screens(ProgramState& state, Platform& platform)
    : state_(state), platform_(platform),
      courseVideo_(coursePicture_, platform.videos, platform.settings, platform.messages)
{
}

Screens::~Screens() = default;

Form1& Screens::form1()
{
    if (!form1_)
        form1_ = std::make_unique<Form1>(*this, platform_, state_.place, state_.run, state_.names,
                                         state_.calibration, state_.pass);
    return *form1_;
}

Grid_Setup& Screens::gridSetup()
{
    if (!gridSetup_)
        gridSetup_ = std::make_unique<Grid_Setup>(*this, platform_, state_.place, state_.run,
                                                  state_.calibration, state_.gridSlots,
                                                  state_.display, courseVideo_);
    return *gridSetup_;
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
        measureScreen_ = std::make_unique<MeasureScreen>(
            *this, *measureModel_,
            MeasureScreen::Services{platform_.messages, platform_.fileDialog}, state_.place,
            state_.options, state_.pass, courseVideo_);
    }
    return *measureScreen_;
}

Results& Screens::results()
{
    if (!results_)
        results_ = std::make_unique<Results>(*this, platform_, state_.place, state_.run,
                                             state_.names, state_.pass);
    return *results_;
}

Manual& Screens::manual()
{
    if (!manual_) {
        // Beside the start screen the first time; after that it stays where the operator
        // put it.
        const QWidget& start = form1();
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
    bringUp(form1());
}

void Screens::openCalibration()
{
    bringUp(gridSetup());
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
    Results& r = results();
    r.load();
    bringUp(r);
}

void Screens::endProgram()
{
    if (ending_)
        return;
    ending_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{
             manual_.get(), results_.get(), measureScreen_.get(), gridSetup_.get(), form1_.get()})
        if (w)
            w->hide();
    Q_EMIT programEnded();
    QCoreApplication::quit();
}
