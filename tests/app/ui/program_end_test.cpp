// The program ends only when the operator ends it, never with a measured pass not yet
// recorded: checked in the running event loop, where Qt ends a program whose last window
// closes.

#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "results/ui/results_screen.h"
#include "support/calibrated_course.h"
#include "support/screen_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs the program's event loop with `steps` as its first event; true when the program
// ended by itself, false when it was still running a while after the steps.
bool programEndsDuring(const std::function<void()>& steps)
{
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    QTimer::singleShot(0, &stop, [&] {
        steps();
        stop.start(300);
    });
    return QApplication::exec() != 7;
}

// The road from the end of a pass to its database line, with every window on it closed by
// the operator: the warnings that come up between the measurement screen and the results
// screen (the results folder is gone for a moment), then the results window itself, which
// leaves as "Return to Main" does.
TEST(ProgramEnd, NoWindowClosedOnTheWayLosesAMeasuredPass)
{
    StartedProgram p({.messages = true}); // real boxes: each is a window of its own
    calibrateSlalom(p.state.calibration);
    StartScreen& start = p.screens.startScreen();
    start.startUp();
    const QString results = p.folder.filePath(QStringLiteral("stick"));
    p.chooseResultsFolder(results);
    MeasureScreenDriver measure = p.measureDriver();
    measure.window().show();

    QTimer answer; // the operator's OK on every box that comes up
    int answered = 0;
    QObject::connect(&answer, &QTimer::timeout, [&answered] {
        if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            box->accept();
            ++answered;
        }
    });
    answer.start(50);
    const bool ended = programEndsDuring([&] {
        measure.pressStartPass();
        // The line kept with the joystick while another program has the keyboard: the
        // warning has no window of this program to belong to.
        QApplication::setActiveWindow(nullptr);
        for (int i = 0; i < 1000 && measure.model().running(); ++i) {
            p.fake.clock.ms += 100;
            p.fake.timers.timer("sample").fire();
        }
        if (!p.screens.hasResults() || !p.screens.resultsScreen().isVisible())
            return;
        QDir().mkpath(results);
        ResultsScreen& shown = p.screens.resultsScreen();
        shown.close();
        shown.close(); // again before the screen is gone: nothing more is written
    });
    EXPECT_FALSE(ended);
    // The pass's marker, once the pass is over, then the day logs' warning.
    EXPECT_EQ(answered, 2);
    EXPECT_TRUE(p.state.pass.measured);
    EXPECT_FALSE(p.screens.hasResults());
    EXPECT_TRUE(start.isVisible());
    EXPECT_EQ(start.runInfo().direction, Direction::Away); // set up for the next pass
    const QStringList db =
        splitLines(readTextFile(QDir(results).filePath(QStringLiteral("dbResultLog1207.txt")))
                       .value_or(QString()));
    EXPECT_EQ(db.size(), 1);
}

} // namespace
