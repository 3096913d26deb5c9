#include "results/ui/results.h"

#include "app/ui/screens.h"

Results::Results(Screens& screens) : screens(screens)
{
    setWindowTitle(QStringLiteral("Path Deviation Display and Information"));
}
