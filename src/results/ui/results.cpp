#include "results/ui/results.h"

#include "app/ui/screens.h"
#include "common/global.h"

#include <QLabel>

Results::Results(Screens& screens) : screens(screens)
{
    setWindowTitle(QStringLiteral("Path Deviation Display and Information"));
    arrived = new QLabel(this);
    setCentralWidget(arrived);
}

void Results::Form_Load()
{
    const Global& g = screens.global();
    arrived->setText(g.PassMeasured ? QStringLiteral("A pass of %1 samples arrived.")
                                          .arg(g.passSamples.SampleCount)
                                    : QStringLiteral("No Results loaded yet"));
}
