#include "measure/measure_view.h"

void showRun(MeasureView& view, const RunInfo& run, bool viewOnly)
{
    view.driver = QStringLiteral("Driver: ") + run.driver;
    view.boatMaker = QStringLiteral("Boat: ") + run.boatMaker;
    view.skier = QStringLiteral("Skier: ") + run.skier;
    view.boatModel = QStringLiteral("Model: ") + run.boatModel;
    if (run.event == Event::Slalom) {
        view.eventTitle = QStringLiteral("Slalom");
        view.jumpBoundaryVisible = false;
        view.lineLengthVisible = !viewOnly;
    } else {
        view.eventTitle = QStringLiteral("Jump");
        view.lineLengthVisible = false;
        view.jumpBoundaryVisible = true;
    }
}
