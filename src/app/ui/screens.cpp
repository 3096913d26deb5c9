#include "app/ui/screens.h"

#include "app/ui/drawing_surface.h"
#include "app/ui/form1.h"
#include "app/ui/manual.h"
#include "calibration/ui/grid_setup.h"
#include "measure/ui/measure.h"
#include "results/ui/results.h"

#include <QCoreApplication>

Screens::Screens(Global& global, Platform& platform) : global_(global), platform_(platform) {}

Screens::~Screens() = default;

Form1& Screens::form1()
{
    if (!form1_)
        form1_ = std::make_unique<Form1>(*this);
    return *form1_;
}

Grid_Setup& Screens::gridSetup()
{
    if (!gridSetup_) {
        gridSetup_ = std::make_unique<Grid_Setup>(*this);
        gridSetup_->surface().showPictureOf(coursePicture_);
    }
    return *gridSetup_;
}

Measure& Screens::measure()
{
    if (!measure_)
        measure_ = std::make_unique<Measure>(*this);
    return *measure_;
}

Results& Screens::results()
{
    if (!results_)
        results_ = std::make_unique<Results>(*this);
    return *results_;
}

Manual& Screens::manual()
{
    if (!manual_)
        manual_ = std::make_unique<Manual>(*this);
    return *manual_;
}

void Screens::unloadResults()
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

void Screens::endProgram()
{
    if (ending_)
        return;
    ending_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{manual_.get(), results_.get(), measure_.get(),
                                                      gridSetup_.get(), form1_.get()})
        if (w)
            w->hide();
    Q_EMIT programEnded();
    QCoreApplication::quit();
}
