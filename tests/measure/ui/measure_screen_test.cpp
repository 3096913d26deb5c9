// The measurement screen on the offscreen platform: real widgets and the real Qt key state,
// fake timers, clock, joystick and message boxes.

#include "calibration/ui/calibration_screen.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"
#include "results/ui/results_screen.h"
#include "support/calibrated_course.h"
#include "support/calibration_screen_driver.h"
#include "support/measure_screen_driver.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

class MeasureScreenTest : public ::testing::Test, protected StartedProgram
{
protected:
    // A finished pass writes the day logs into the results folder; with none chosen that is
    // the (temporary) program folder.
    MeasureScreenTest() : StartedProgram({.keys = true})
    {
        calibrateSlalom(state.calibration);
        fake.clock.ms = 1000;
        measure.show();
    }

    FakeHiResTimer& inputTimer() { return fake.timers.timer("input"); }
    FakeHiResTimer& sampleTimer() { return fake.timers.timer("sample"); }

    // Sample ticks on schedule until the pass ends (or the limit is reached).
    int runPass(int limit = 1000)
    {
        int ticks = 0;
        while (measure.model().running() && ticks < limit) {
            fake.clock.ms += 100;
            sampleTimer().fire();
            ++ticks;
        }
        return ticks;
    }

    MeasureScreen& measure = screens.measureScreen();
    MeasureScreenDriver driver{measure};
};

TEST_F(MeasureScreenTest, EnterOnStartPassRecordsAWholePassAndHandsItToTheResults)
{
    EXPECT_EQ(measure.windowTitle(), QStringLiteral("Measure Boat Path Deviation"));
    EXPECT_TRUE(measure.model().awaitingStart());
    driver.pressStartPass();
    ASSERT_TRUE(measure.model().running());
    EXPECT_EQ(runPass(), 161);
    EXPECT_EQ(state.pass.samples.sampleCount, 162);
    EXPECT_TRUE(state.pass.measured);
    EXPECT_FALSE(measure.isVisible());
    ASSERT_TRUE(screens.hasResults());
    EXPECT_TRUE(screens.resultsScreen().isVisible());
    EXPECT_EQ(driver.sampleCount(), QStringLiteral("162"));
    EXPECT_EQ(driver.distance(), QStringLiteral("259.0"));
}

TEST_F(MeasureScreenTest, AHeldArrowKeyMovesTheLineAndNeverTouchesTheOptions)
{
    const double x = measure.model().lines().measureLine.x1;
    QRadioButton* whiteLine = driver.whiteLineOption();
    whiteLine->setFocus();
    driver.pressKey(Qt::Key_Left, whiteLine);
    inputTimer().fire();
    inputTimer().fire();
    driver.releaseKey(Qt::Key_Left, whiteLine);
    inputTimer().fire();
    EXPECT_EQ(measure.model().lines().measureLine.x1, x - 30);
    EXPECT_TRUE(whiteLine->isChecked());
    EXPECT_TRUE(driver.startPassHasFocus()); // so that Enter starts the pass
    // A tap between two ticks still counts once.
    driver.tapKey(Qt::Key_Right);
    inputTimer().fire();
    inputTimer().fire();
    EXPECT_EQ(measure.model().lines().measureLine.x1, x - 15);
}

TEST_F(MeasureScreenTest, ACheckBoxClickedWhileArmedLeavesEnterToStartPass)
{
    using Check = MeasureScreenDriver::Check;
    for (const Check c : {Check::ViewOnly, Check::ThinLine, Check::EdgeMarkers, Check::PathMarkers,
                          Check::UseMouse}) {
        const std::string name = driver.check(c)->text().toStdString();
        driver.clickCheck(c);
        EXPECT_TRUE(driver.check(c)->isChecked()) << name;
        EXPECT_TRUE(driver.startPassHasFocus()) << name;
        driver.clickCheck(c);
    }
    driver.pressEnter();
    EXPECT_TRUE(measure.model().running());
}

TEST_F(MeasureScreenTest, ReturnToStartDuringAPassStopsItAsAbortDoes)
{
    driver.pressStartPass();
    runPass(20);
    driver.returnToStart();
    EXPECT_FALSE(measure.model().running());
    EXPECT_FALSE(sampleTimer().enabled());
    EXPECT_FALSE(measure.isVisible());
    EXPECT_TRUE(screens.startScreen().isVisible());
    fake.clock.ms += 60000;
    sampleTimer().fire();
    EXPECT_FALSE(screens.hasResults());
    EXPECT_FALSE(state.pass.measured);
}

TEST_F(MeasureScreenTest, AbortReturnsToTheStartScreen)
{
    driver.pressStartPass();
    driver.abort();
    EXPECT_FALSE(measure.model().running());
    EXPECT_TRUE(measure.model().clockCheckPending());
    EXPECT_FALSE(measure.isVisible());
    EXPECT_TRUE(screens.startScreen().isVisible());
}

TEST_F(MeasureScreenTest, JumpBoundaryCanBeTypedThroughZeroAndIsClampedWhenDone)
{
    StartScreenDriver(screens.startScreen()).chooseEvent(Event::Jump);
    measure.hide();
    measure.show();
    QLineEdit* box = driver.jumpBoundaryEdit();
    EXPECT_TRUE(driver.shows(box));
    driver.type(box, QStringLiteral("0.7"), false);
    EXPECT_EQ(box->text(), QStringLiteral("0.7"));
    EXPECT_EQ(measure.model().pathLimit(), 0.7);
    driver.type(box, QStringLiteral("0.1"), true);
    EXPECT_EQ(box->text(), QStringLiteral("0.2"));
    EXPECT_EQ(measure.model().pathLimit(), 0.2);
    driver.type(box, QStringLiteral("1.5"), true);
    EXPECT_EQ(box->text(), QStringLiteral("1.0"));
    EXPECT_EQ(measure.model().pathLimit(), 1.0);
}

TEST_F(MeasureScreenTest, BoundaryWidthIsClampedWhenDoneAndHidesTheStyleLegendAboveOne)
{
    QLineEdit* box = driver.boundaryWidthEdit();
    EXPECT_TRUE(driver.shows(driver.styleLegendLabel()));
    driver.type(box, QStringLiteral("30"), true);
    EXPECT_EQ(box->text(), QStringLiteral("24"));
    EXPECT_FALSE(driver.shows(driver.styleLegendLabel()));
    driver.type(box, QStringLiteral("0"), true);
    EXPECT_EQ(box->text(), QStringLiteral("1"));
    EXPECT_TRUE(driver.shows(driver.styleLegendLabel()));
}

TEST_F(MeasureScreenTest, StatusIndicatorsHideAndComeBackWithTimeAndDone)
{
    driver.pressStartPass();
    driver.toggleStatusIndicators();
    EXPECT_EQ(driver.statusButtonText(), QStringLiteral("Show Status Indicators"));
    EXPECT_FALSE(driver.shows(driver.lineColourGroup()));
    EXPECT_FALSE(driver.shows(driver.instructionLabel()));
    EXPECT_TRUE(driver.shows(driver.joystickYLabel()));
    driver.toggleStatusIndicators();
    EXPECT_EQ(driver.statusButtonText(), QStringLiteral("Hide Status Indicators"));
    EXPECT_TRUE(driver.shows(driver.timeLabel()));
    EXPECT_TRUE(driver.shows(driver.doneLabel()));
    EXPECT_TRUE(driver.shows(driver.lineColourGroup()));
}

TEST_F(MeasureScreenTest, EdgeMarkersComeWithACaution)
{
    driver.check(MeasureScreenDriver::Check::EdgeMarkers)->click();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("Please use caution when using the edge lines.  If the boat is "
                             "turned or angled, using the edge markers alone may lead to "
                             "inaccurate results.  Be sure the center line is as close as "
                             "possible to the pylon position."));
    EXPECT_TRUE(measure.model().lines().leftEdge.visible);
    driver.check(MeasureScreenDriver::Check::EdgeMarkers)->click();
    EXPECT_FALSE(measure.model().lines().rightEdge.visible);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(MeasureScreenTest, NoJoystickIsReportedOnceAndPollingOnlyUpdatesTheStatus)
{
    driver.connectJoystick();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("Couldn't Detect the Joystick."));
    inputTimer().fire();
    EXPECT_EQ(driver.joystickStatus(), QStringLiteral("Status: No joystick connected (165)"));
}

TEST_F(MeasureScreenTest, InMouseModeAClickStartsAPassButNeverRestartsIt)
{
    driver.check(MeasureScreenDriver::Check::UseMouse)->click();
    EXPECT_TRUE(driver.shows(driver.mouseStartLabel()));
    driver.clickPicture(QPoint(200, 200));
    ASSERT_TRUE(measure.model().running());
    runPass(10);
    driver.clickPicture(QPoint(210, 200));
    EXPECT_EQ(measure.model().sampleIndex(), 11);
}

// "Click Mouse to Start Measuring" says what starts the pass: shown while an armed pass waits
// for the click, never during a pass or after one (a click there does nothing).
TEST_F(MeasureScreenTest, MouseHintShowsOnlyWhileAPassWaitsForTheClick)
{
    const QLabel* hint = driver.mouseStartLabel();
    QCheckBox* useMouse = driver.check(MeasureScreenDriver::Check::UseMouse);
    QCheckBox* viewOnly = driver.check(MeasureScreenDriver::Check::ViewOnly);
    EXPECT_FALSE(driver.shows(hint)) << "the keys start the pass";
    useMouse->click();
    EXPECT_TRUE(driver.shows(hint)) << "armed";

    // Watching only: the screen arms itself for the way back and waits for a click again.
    viewOnly->click();
    driver.clickPicture(QPoint(200, 200));
    ASSERT_TRUE(measure.model().running());
    EXPECT_FALSE(driver.shows(hint)) << "during a monitored pass";
    runPass();
    ASSERT_FALSE(measure.model().running());
    EXPECT_TRUE(driver.shows(hint)) << "re-armed for the way back";

    // Recorded: the pass is over and nothing waits for a click.
    viewOnly->click();
    driver.clickPicture(QPoint(200, 200));
    ASSERT_TRUE(measure.model().running());
    EXPECT_FALSE(driver.shows(hint)) << "during a recorded pass";
    runPass();
    ASSERT_TRUE(state.pass.measured);
    EXPECT_FALSE(driver.shows(hint)) << "after the pass";

    // Shown again for the next pass, armed at the entrance.
    measure.hide();
    measure.show();
    EXPECT_TRUE(driver.shows(hint));
    useMouse->click();
    EXPECT_FALSE(driver.shows(hint)) << "mouse mode off";
}

TEST_F(MeasureScreenTest, TheLinesArePaintedOverTheMagentaBackground)
{
    const LineRecord& line = measure.model().lines().measureLine;
    const QImage shot = measure.grab().toImage();
    const QPoint onLine(int(line.x1 / 15), 300);
    const QPoint inside = driver.surface().mapTo(&measure, onLine);
    EXPECT_EQ(QColor(shot.pixel(inside)), QColor(Qt::white));
    EXPECT_EQ(QColor(shot.pixel(inside + QPoint(-30, 0))), QColor(255, 0, 255));
}

TEST_F(MeasureScreenTest, ThePictureBehindTheCalibrationShowsHereInTheSamePlace)
{
    QImage picture(400, 300, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    {
        QPainter p(&picture);
        p.fillRect(QRect(346, 246, 9, 9), Qt::yellow); // around pixel (350, 250)
    }
    fake.pictures.clipboard = picture;
    CalibrationScreenDriver grid(screens.calibrationScreen());
    grid.pastePicture();
    const DrawingSurface& surface = driver.surface();
    // Scaled into the area right of the control column, and the same picture point under
    // the same twips as on the calibration screen.
    const PictureMapping& m = surface.mapping();
    EXPECT_EQ(m.placement(), (PixelRect{270, 0, 754, 566}));
    const PlanePoint yellow = m.toSurface(350.5 * 15, 250.5 * 15);
    EXPECT_EQ(surface.composed().pixelColor(int(yellow.x), int(yellow.y)), QColor(Qt::yellow));
    EXPECT_EQ(grid.screen.surface().backgroundPicture(), picture);
    EXPECT_EQ(surface.composed().pixelColor(269, 250), QColor(255, 0, 255));
    grid.clearPicture();
    EXPECT_TRUE(surface.mapping().isIdentity()); // the overlay card keys the whole surface
    EXPECT_EQ(surface.composed().pixelColor(350, 250), QColor(255, 0, 255));
    EXPECT_FALSE(grid.screen.surface().hasBackgroundPicture());
}

// What the model could not do shows as the operator's message: a pass the video cannot hold,
// under "Video"; a file a pass leaves that could not be written, under "Error Message".
TEST_F(MeasureScreenTest, WhatTheModelCouldNotDoShowsAsAWarning)
{
    screens.courseVideo().choose(VideoChoice::ofFile(QStringLiteral("/videos/pass.webm")));
    fake.videos.file()->ready(QImage(1024, 768, QImage::Format_RGB32), 2000000);
    ASSERT_TRUE(driver.videoTransport()->isVisible());
    driver.pressStartPass();
    EXPECT_FALSE(measure.model().running());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("Video"));
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("The video ends 16.0 s after this frame, and this pass needs 16.1 s: "
                             "start it on an earlier frame."));

    screens.courseVideo().choose(VideoChoice::overlayCard());
    RunInfo info = state.run.info();
    info.resultsFolder = path(QStringLiteral("not there")); // no marker can stand in it
    state.run.set(info, {-1, -1, -1, -1});
    driver.pressStartPass();
    runPass();
    ASSERT_GE(fake.messages.shown.size(), 2u);
    EXPECT_EQ(fake.messages.shown[1].title, QStringLiteral("Error Message"));
    EXPECT_TRUE(fake.messages.shown[1].text.contains(QStringLiteral("PassInProgress")))
        << fake.messages.shown[1].text.toStdString();
    EXPECT_TRUE(state.pass.measured);
}

TEST_F(MeasureScreenTest, EveryInputHasAnAccessibleNameFromItsCaption)
{
    int inputs = 0;
    const QWidget* transport = driver.videoTransport();
    for (QWidget* w : measure.findChildren<QWidget*>()) {
        if (qobject_cast<QMenuBar*>(w->parentWidget()))
            continue; // the menu bar's own overflow button
        if (transport->isAncestorOf(w))
            continue; // names its own (its play button's caption flips)
        if (const auto* b = qobject_cast<QAbstractButton*>(w)) {
            EXPECT_EQ(b->accessibleName(), QString(b->text()).remove('&'))
                << w->objectName().toStdString();
            ++inputs;
        } else if (qobject_cast<QLineEdit*>(w)) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
            ++inputs;
        }
    }
    EXPECT_EQ(inputs, 4 + 5 + 18 + 13); // buttons, check boxes, options, boxes
    EXPECT_EQ(driver.boatWidthEdit()->accessibleName(), "Boat Width in meters");
    EXPECT_EQ(driver.deviationEdit()->accessibleName(), "Deviation from Center");
}

TEST_F(MeasureScreenTest, SpeedAndLineLabelsForTheResultsScreen)
{
    EXPECT_EQ(measure.speedText(), QStringLiteral("58"));
    EXPECT_EQ(measure.lineText(), QStringLiteral("11.25"));
    state.pass.lineText = QStringLiteral("12.00");
    inputTimer().fire();
    EXPECT_EQ(measure.lineText(), QStringLiteral("12.00"));
}

} // namespace
