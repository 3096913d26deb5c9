#include "app/ui/manual.h"

#include "app/ui/screens.h"

Manual::Manual(Screens& screens) : screens(screens)
{
    setWindowTitle(QStringLiteral("Wakeline Program Manual"));
}
