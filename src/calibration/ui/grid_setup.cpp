#include "calibration/ui/grid_setup.h"

#include "app/ui/form1.h"
#include "app/ui/screens.h"

#include <QCloseEvent>
#include <QMenuBar>

Grid_Setup::Grid_Setup(Screens& screens) : screens(screens)
{
    setWindowTitle(QStringLiteral("Grid Setup"));
    QAction* gridExit = menuBar()->addAction(QStringLiteral("E&xit"));
    gridExit->setObjectName(QStringLiteral("gridExit"));
    connect(gridExit, &QAction::triggered, this, &Grid_Setup::gridExit_Click);
}

void Grid_Setup::gridExit_Click()
{
    hide();
    screens.form1().showAgain();
}

void Grid_Setup::closeEvent(QCloseEvent* event)
{
    event->accept();
    screens.endProgram();
}
