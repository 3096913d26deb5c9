#include "measure/ui/measure.h"

#include "app/ui/screens.h"

#include <QCloseEvent>

Measure::Measure(Screens& screens) : screens(screens)
{
    setWindowTitle(QStringLiteral("Measure Boat Path Deviation"));
}

void Measure::closeEvent(QCloseEvent* event)
{
    event->accept();
    screens.endProgram();
}
