// The program ends only when the operator ends it, never with a measured pass not yet
// recorded: checked in the running event loop, where Qt ends a program whose last window
// closes.

#include "app/ui/form1.h"
#include "app/ui/program_state.h"
#include "app/ui/screens.h"
#include "common/text_file.h"
#include "fakes/fake_platform.h"
#include "measure/ui/measure.h"
#include "platform/qt/qt_platform.h"
#include "results/ui/results.h"
#include "support/calibrated_course.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
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
// the operator: a warning that comes up between the measurement screen and the results
// screen (the results folder is gone for a moment), then the results window itself, which
// leaves as "Return to Main" does.
TEST(ProgramEnd, NoWindowClosedOnTheWayLosesAMeasuredPass)
{
    const QString startFolder = QDir::currentPath();
    QTemporaryDir folder;
    ProgramState state;
    state.place.folder = folder.path();
    calibrateSlalom(state.calibration);
    FakePlatform fake;
    QtMessageBoxes messages; // real boxes: each is a window of its own
    Platform platform{fake.settings, fake.fileDialog, messages,    fake.clock, fake.pictures,
                      fake.keys,     fake.joystick,   fake.timers, fake.videos};
    Screens screens{state, platform};
    Form1& form1 = screens.form1();
    form1.startUp();
    const QString results = folder.filePath(QStringLiteral("stick"));
    form1.findChild<QLineEdit*>(QStringLiteral("txtResults"))->setText(results);
    Measure& measure = screens.measure();
    measure.show();

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
        QTest::keyClick(measure.findChild<QPushButton*>(QStringLiteral("Command1")),
                        Qt::Key_Return);
        // The line kept with the joystick while another program has the keyboard: the
        // warning has no window of this program to belong to.
        QApplication::setActiveWindow(nullptr);
        for (int i = 0; i < 1000 && measure.model().running(); ++i) {
            fake.clock.ms += 100;
            fake.timers.timers.at(4)->fire(); // the sample tick
        }
        if (!screens.hasResults() || !screens.results().isVisible())
            return;
        QDir().mkpath(results);
        Results& shown = screens.results();
        shown.close();
        shown.close(); // again before the screen is gone: nothing more is written
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(answered, 1); // the day logs' warning
    EXPECT_TRUE(state.pass.measured);
    EXPECT_FALSE(screens.hasResults());
    EXPECT_TRUE(form1.isVisible());
    EXPECT_EQ(form1.runInfo().direction, Direction::Away); // set up for the next pass
    const QStringList db =
        splitLines(readTextFile(QDir(results).filePath(QStringLiteral("dbResultLog1207.txt")))
                       .value_or(QString()));
    EXPECT_EQ(db.size(), 1);
    QDir::setCurrent(startFolder);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
