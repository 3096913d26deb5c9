#include "fakes/fake_services.h"
#include "measure/measure_model.h"
#include "measure/pass_rules.h"
#include "support/calibrated_course.h"

#include <gtest/gtest.h>

namespace {

class MeasureModelTest : public ::testing::Test
{
protected:
    MeasureModelTest()
        : model(
              {calibration, display, pass, fake.clock, fake.keys, fake.joystick, fake.timers, run})
    {
        QObject::connect(&model, &MeasureModel::viewChanged, [this] { ++changes; });
        QObject::connect(&model, &MeasureModel::marksDrawn,
                         [this](const OverlayShapes& shapes) { drawn += int(shapes.size()); });
        QObject::connect(&model, &MeasureModel::marksCleared, [this] { ++clears; });
        QObject::connect(&model, &MeasureModel::startPassFocused, [this] { ++focusReturns; });
        QObject::connect(&model, &MeasureModel::passRecorded, [this] { ++recorded; });
        // As the run particulars do, before the screen arms for the next pass.
        QObject::connect(&model, &MeasureModel::directionChosen, [this](Direction d) {
            directions.push_back(d);
            run.direction = d;
        });
        calibrateSlalom(calibration);
        model.createTimers();
    }

    FakeHiResTimer& inputTimer() { return fake.timers.timer("input"); }
    FakeHiResTimer& clockCheck() { return fake.timers.timer("clock check"); }
    FakeHiResTimer& passInputTimer() { return fake.timers.timer("pass input"); }
    FakeHiResTimer& sampleTimer() { return fake.timers.timer("sample"); }

    // Runs the clock forward in 25 ms steps, firing the timers on their schedules the way
    // the real ones would (input tick every 50 ms, sample tick every 100 ms, the clock check
    // once the pass time is up: after the sample tick due at the same instant, which was
    // started before it).
    void runFor(qint64 ms)
    {
        for (qint64 t = 0; t < ms; t += 25) {
            fake.clock.ms += 25;
            const qint64 sinceStart = fake.clock.ms - model.passStartMs();
            if (fake.clock.ms % 50 == 0)
                passInputTimer().fire();
            if (sinceStart % 100 == 0)
                sampleTimer().fire();
            if (sinceStart == clockCheck().period())
                clockCheck().fire();
        }
    }

    // Arms the screen and starts a pass; the clock starts at 1000 ms.
    void startPass()
    {
        fake.clock.ms = 1000;
        model.arm();
        model.startPass();
    }

    // Course y of the boat marker as the screen shows it.
    double boatCourseY() const
    {
        const LineRecord& h = model.lines().boatMarker;
        return courseOf(calibration, (h.x1 + h.x2) / 2, h.y1).y;
    }

    Calibration calibration;
    DisplaySettings display;
    PassRecord pass;
    FakeServices fake;
    RunInfo run;
    MeasureModel model;
    // What the model announced.
    int changes = 0;
    int drawn = 0;
    int clears = 0;
    int focusReturns = 0;
    int recorded = 0;
    std::vector<Direction> directions;
};

TEST_F(MeasureModelTest, LoadingStartsTheInputAndRefreshTimersOnly)
{
    ASSERT_EQ(fake.timers.timers.size(), 6u); // the last wakes a pass on a video's clock
    EXPECT_TRUE(inputTimer().enabled());
    EXPECT_EQ(inputTimer().period(), 50);
    EXPECT_TRUE(fake.timers.timer("refresh").enabled());
    EXPECT_EQ(fake.timers.timer("refresh").period(), 1000);
    EXPECT_FALSE(clockCheck().enabled());
    EXPECT_FALSE(passInputTimer().enabled());
    EXPECT_FALSE(sampleTimer().enabled());
    EXPECT_FALSE(fake.timers.timer("media wake").enabled());
}

TEST_F(MeasureModelTest, ActivationPutsLineAndMarkerAtTheEntranceAndArms)
{
    model.arm();
    const Point2 gate = screenOf(calibration, 1.25, 0);
    EXPECT_NEAR(model.lines().measureLine.x1, gate.x, 1e-9);
    EXPECT_NEAR(model.lines().measureLineColumn2.x1, gate.x + 15, 1e-9);
    EXPECT_NEAR(model.lines().boatMarker.x1, gate.x - 400, 1e-9);
    EXPECT_NEAR(model.lines().boatMarker.y1, gate.y, 1e-9);
    EXPECT_TRUE(model.awaitingStart());
    EXPECT_EQ(pass.speedText, QStringLiteral("58"));
    EXPECT_EQ(pass.lineText, QStringLiteral("11.25"));
    EXPECT_EQ(model.view().eventTitle, QStringLiteral("Slalom"));
    EXPECT_EQ(model.view().skier, QStringLiteral("Skier: "));

    run.direction = Direction::Away;
    model.arm();
    EXPECT_NEAR(boatCourseY(), -259, 1e-9);
}

struct WholePassCase
{
    Event event;
    int speed;
    Direction direction;
    int samples;
    double length;
};

class WholePassTest : public MeasureModelTest, public ::testing::WithParamInterface<WholePassCase>
{
};

TEST_P(WholePassTest, TakesPassTenthsPlusOneSamplesOverTheNominalTime)
{
    const WholePassCase c = GetParam();
    run.event = c.event;
    (c.event == Event::Slalom ? run.slalomSpeed : run.jumpSpeed) = c.speed;
    run.direction = c.direction;
    startPass();
    EXPECT_EQ(model.sampleIndex(), 1); // sample 0 is taken at the start itself
    EXPECT_EQ(model.view().distance, QStringLiteral("0.0"));
    const double startY = c.direction == Direction::Toward ? 0.0 : -259.0;
    EXPECT_NEAR(boatCourseY(), startY, 1e-6);

    runFor(qint64(pass.tenths) * 100 - 25);
    EXPECT_TRUE(model.running()) << "ended early";
    runFor(25);
    EXPECT_FALSE(model.running());
    EXPECT_EQ(pass.samples.sampleCount, c.samples);
    EXPECT_EQ(model.sampleIndex(), c.samples);
    EXPECT_EQ(model.view().sampleCount, QString::number(c.samples));
    EXPECT_EQ(model.view().distance, QString::number(c.length, 'f', 1));
    const double endY = c.direction == Direction::Toward ? -c.length : 0.0;
    EXPECT_NEAR(boatCourseY(), endY, 1e-6);
    EXPECT_TRUE(pass.measured);
    EXPECT_FALSE(model.awaitingStart());
    EXPECT_EQ(recorded, 1);
    EXPECT_FALSE(passInputTimer().enabled());
    EXPECT_FALSE(sampleTimer().enabled());
    EXPECT_TRUE(model.view().doneVisible);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, WholePassTest,
    ::testing::Values(WholePassCase{Event::Slalom, 0, Direction::Toward, 162, 259.0},
                      WholePassCase{Event::Slalom, 0, Direction::Away, 162, 259.0},
                      WholePassCase{Event::Slalom, 4, Direction::Toward, 204, 259.0},
                      WholePassCase{Event::Jump, 8, Direction::Toward, 141, 280.0},
                      WholePassCase{Event::Jump, 0, Direction::Toward, 211, 280.0}));

TEST_F(MeasureModelTest, ALateTickCatchesUpWithoutMovingTheLaterSamples)
{
    startPass();
    // The sample timer stalls for 350 ms: the wake-up owes samples 1, 2 and 3.
    fake.clock.ms += 350;
    sampleTimer().fire();
    EXPECT_EQ(model.sampleIndex(), 4);
    // A duplicate wake-up in the same millisecond takes nothing.
    sampleTimer().fire();
    EXPECT_EQ(model.sampleIndex(), 4);
    // Sample 4 is due at +400, not a period after the late wake-up.
    fake.clock.ms += 49;
    sampleTimer().fire();
    EXPECT_EQ(model.sampleIndex(), 4);
    fake.clock.ms += 1;
    sampleTimer().fire();
    EXPECT_EQ(model.sampleIndex(), 5);
}

TEST_F(MeasureModelTest, JitteredTicksNeverChangeTheSampleCount)
{
    startPass();
    const qint64 start = model.passStartMs();
    // Wake-ups anywhere from on time to 90 ms late; sometimes two at once.
    const int lateness[] = {0, 3, 90, 1, 0, 45, 7, 60, 2, 0};
    for (int k = 1; model.running(); ++k) {
        fake.clock.ms = start + k * 100 + lateness[k % 10];
        sampleTimer().fire();
        if (k % 7 == 0)
            sampleTimer().fire();
        ASSERT_LE(model.sampleIndex(), k + 1);
        ASSERT_GE(model.sampleIndex(), std::min(k + 1, 162));
    }
    EXPECT_EQ(pass.samples.sampleCount, 162);
}

TEST_F(MeasureModelTest, TheMouseWinsOverTheJoystickAndSamplesStoreTheShownDeviation)
{
    startPass();
    fake.joystick.detectCode = 0;
    fake.joystick.reading = {0, 32768, 32768};
    model.connectJoystick();
    const LineRecord& h = model.lines().boatMarker;
    const double markerY = h.y1;
    const double sx = screenOf(calibration, 0.9, courseOf(calibration, h.x1 + 400, markerY).y).x;
    model.setUseMouse(true);
    model.mouseMoved(sx);
    model.inputTick(); // the joystick puts the line on the marker, the mouse takes it
    EXPECT_EQ(model.lines().measureLine.x1, std::nearbyint(sx));
    EXPECT_EQ(model.lines().measureLineColumn2.x1, std::nearbyint(sx) - 15);
    model.inputTick(); // the deviation is read where the line now stands
    const double shown = liveDeviation(courseOf(calibration, std::nearbyint(sx), markerY).x, 1.25);
    EXPECT_EQ(model.view().deviation, QString::number(shown, 'f', 2));
    EXPECT_NEAR(shown, -0.35, 0.011);
    fake.clock.ms += 100;
    sampleTimer().fire();
    EXPECT_DOUBLE_EQ(pass.samples.deviations[1], shown);
}

TEST_F(MeasureModelTest, JoystickCentrePutsTheLineOnTheMarkerAndFullDeflectionMovesIt1250)
{
    model.arm();
    fake.joystick.detectCode = 0;
    fake.joystick.reading = {0, 30000, 31000};
    EXPECT_EQ(model.connectJoystick(), 0);
    EXPECT_EQ(model.view().joystick.x, QStringLiteral("30000"));
    EXPECT_EQ(model.view().joystick.status, QStringLiteral("Status: Joystick Connected"));
    const double centre = std::nearbyint(model.lines().boatMarker.x1 + 400);
    model.inputTick();
    EXPECT_EQ(model.lines().measureLine.x1, centre);
    EXPECT_EQ(model.lines().measureLineColumn2.x1, centre - 15);
    fake.joystick.reading = {0, 65535, 0};
    model.inputTick();
    EXPECT_EQ(model.lines().measureLine.x1, centre + std::nearbyint(35535 * 1250 / 65356.0));
    fake.joystick.reading = {167, 0, 0};
    model.inputTick();
    EXPECT_EQ(model.view().joystick.status, QStringLiteral("Status: Joystick Unplugged"));
    EXPECT_EQ(model.lines().measureLine.x1, centre + std::nearbyint(35535 * 1250 / 65356.0));
}

TEST_F(MeasureModelTest, NoJoystickOnlyChangesTheStatusText)
{
    model.arm();
    EXPECT_NE(model.connectJoystick(), 0);
    const MeasureLines before = model.lines();
    model.inputTick();
    EXPECT_EQ(model.view().joystick.status, QStringLiteral("Status: No joystick connected (165)"));
    EXPECT_EQ(model.lines().measureLine, before.measureLine);
}

TEST_F(MeasureModelTest, ArrowKeysMoveTheLineAndGiveTheFocusBackWhileArmed)
{
    model.arm();
    EXPECT_EQ(focusReturns, 1) << "armed: Enter starts the pass at once";
    const double x = model.lines().measureLine.x1;
    fake.keys.press(ArrowKey::Left);
    model.inputTick();
    model.inputTick();
    fake.keys.release(ArrowKey::Left);
    model.inputTick();
    EXPECT_EQ(model.lines().measureLine.x1, x - 30);
    EXPECT_EQ(focusReturns, 3);
}

TEST_F(MeasureModelTest, AMouseClickStartsOnlyInMouseModeAndNeverRestartsARunningPass)
{
    fake.clock.ms = 500;
    model.arm();
    EXPECT_FALSE(model.mouseDown());
    EXPECT_FALSE(model.running());
    model.setUseMouse(true);
    EXPECT_TRUE(model.view().mouseStartHintVisible);
    EXPECT_TRUE(model.mouseDown());
    EXPECT_TRUE(model.running());
    runFor(500);
    const int taken = model.sampleIndex();
    EXPECT_FALSE(model.mouseDown());
    EXPECT_EQ(model.sampleIndex(), taken);
    // Enter on Start Pass does restart it.
    model.startPass();
    EXPECT_EQ(model.sampleIndex(), 1);
}

TEST_F(MeasureModelTest, AbortStopsTheTicksButLeavesTheClockCheck)
{
    startPass();
    runFor(300);
    const int taken = model.sampleIndex();
    model.stopPass();
    EXPECT_FALSE(model.running());
    EXPECT_FALSE(passInputTimer().enabled());
    EXPECT_FALSE(sampleTimer().enabled());
    EXPECT_TRUE(model.clockCheckPending());
    EXPECT_EQ(model.sampleIndex(), taken);
    EXPECT_EQ(clockCheck().period(), 16100);
    clockCheck().fire();
    EXPECT_TRUE(model.view().timeLabelVisible);
    EXPECT_EQ(model.view().timeLabel, QStringLiteral("Time"));
    EXPECT_FALSE(model.clockCheckPending());
    EXPECT_EQ(recorded, 0);
}

TEST_F(MeasureModelTest, TheClockCheckShowsHowManySamplesWereTakenWhenTimeRanOut)
{
    run.event = Event::Jump;
    run.jumpSpeed = 0; // 210 tenths
    startPass();
    runFor(21000);
    EXPECT_FALSE(model.running());
    EXPECT_TRUE(model.view().timeLabelVisible);
    EXPECT_EQ(model.view().timeLabel, QStringLiteral("211"));
    // Hidden status: the check still counts, and showing the status shows the count.
    model.setStatusHidden(true);
    startPass();
    runFor(21000);
    EXPECT_FALSE(model.view().timeLabelVisible);
    EXPECT_EQ(model.view().timeLabel, QStringLiteral("211"));
    model.setStatusHidden(false);
    EXPECT_TRUE(model.view().timeLabelVisible);
    EXPECT_TRUE(model.view().doneVisible); // shown whatever the state of the pass
}

struct ViewOnlyCase
{
    Event event;
    Direction before;
    Direction after;
};

class ViewOnlyTest : public MeasureModelTest, public ::testing::WithParamInterface<ViewOnlyCase>
{
};

TEST_P(ViewOnlyTest, AFinishedPassReArmsForTheWayBack)
{
    const ViewOnlyCase c = GetParam();
    run.event = c.event;
    run.direction = c.before;
    model.setViewOnly(true);
    startPass();
    runFor(qint64(pass.tenths) * 100);
    EXPECT_FALSE(model.running());
    EXPECT_EQ(recorded, 0);
    ASSERT_EQ(directions.size(), 1u);
    EXPECT_EQ(directions[0], c.after);
    EXPECT_TRUE(model.awaitingStart()); // re-armed
    const double startY = c.after == Direction::Toward ? 0.0 : -259.0;
    EXPECT_NEAR(boatCourseY(), startY, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, ViewOnlyTest,
    ::testing::Values(ViewOnlyCase{Event::Slalom, Direction::Toward, Direction::Away},
                      ViewOnlyCase{Event::Slalom, Direction::Away, Direction::Toward},
                      ViewOnlyCase{Event::Jump, Direction::Toward, Direction::Toward}));

TEST_F(MeasureModelTest, ViewOnlySnapsTheLineToTheBoatMarker)
{
    model.setViewOnly(true);
    startPass();
    model.inputTick();
    EXPECT_DOUBLE_EQ(model.lines().measureLine.x1, model.lines().boatMarker.x1 + 400);
    EXPECT_EQ(model.view().deviation, QStringLiteral("0.00"));
}

TEST_F(MeasureModelTest, TheWideJumpPathCountsOnlyInViewOnlyMode)
{
    run.event = Event::Jump;
    model.setJumpPath(JumpPath::Wide);
    EXPECT_EQ(model.centreLineX(), 2.0);
    EXPECT_EQ(clears, 1);
    EXPECT_FALSE(model.view().jumpPathsVisible);
    model.setViewOnly(true);
    model.arm();
    EXPECT_EQ(model.centreLineX(), 3.0);
    EXPECT_TRUE(model.view().jumpPathsVisible);
    EXPECT_EQ(model.courseLength(), 280.0);
}

TEST_F(MeasureModelTest, TheBoundaryEntriesKeepTheLastValidValueUntilEditingEnds)
{
    run.event = Event::Jump;
    model.arm();
    EXPECT_EQ(model.pathLimit(), 0.5);
    model.jumpBoundaryEdited(QStringLiteral("0"));
    model.jumpBoundaryEdited(QStringLiteral("0."));
    EXPECT_EQ(model.pathLimit(), 0.5);
    model.jumpBoundaryEdited(QStringLiteral("0.7"));
    EXPECT_EQ(model.pathLimit(), 0.7);
    EXPECT_EQ(model.jumpBoundaryFinished(QStringLiteral("0.1")), QStringLiteral("0.2"));
    EXPECT_EQ(model.pathLimit(), 0.2);

    model.boundaryWidthEdited(QString());
    EXPECT_EQ(model.borderWidth(), 1);
    model.boundaryWidthEdited(QStringLiteral("2"));
    EXPECT_EQ(model.borderWidth(), 2);
    EXPECT_FALSE(model.view().styleLegendVisible);
    EXPECT_EQ(model.lines().leftBoundary.width, 2);
    EXPECT_EQ(model.boundaryWidthFinished(QStringLiteral("0")), QStringLiteral("1"));
    EXPECT_EQ(model.borderWidth(), 1);
    EXPECT_TRUE(model.view().styleLegendVisible);

    // "nan" typed letter by letter is never a width or a limit, nor when editing ends.
    for (const QString& typed :
         {QStringLiteral("n"), QStringLiteral("na"), QStringLiteral("nan")}) {
        model.boundaryWidthEdited(typed);
        model.jumpBoundaryEdited(typed);
    }
    EXPECT_EQ(model.borderWidth(), 1);
    EXPECT_EQ(model.pathLimit(), 0.2);
    EXPECT_EQ(model.boundaryWidthFinished(QStringLiteral("nan")), QStringLiteral("1"));
    EXPECT_EQ(model.jumpBoundaryFinished(QStringLiteral("nan")), QStringLiteral("0.2"));
    EXPECT_EQ(model.borderWidth(), 1);
    EXPECT_EQ(model.pathLimit(), 0.2);
}

TEST_F(MeasureModelTest, OnTheShippedCourseTheLineReachesTheBoatMarkerAtEverySample)
{
    ASSERT_TRUE(loadShippedSetup(calibration, QStringLiteral("SlalomOK.ipt")));
    for (const Direction d : {Direction::Toward, Direction::Away}) {
        run.direction = d;
        startPass();
        const LineRecord& line = model.lines().measureLine;
        const LineRecord& boat = model.lines().boatMarker;
        int samples = 0;
        while (model.running()) {
            runFor(100);
            ++samples;
            ASSERT_LT(line.y1, boat.y1 - 300)
                << "sample " << model.sampleIndex(); // above the pylon
            ASSERT_GT(line.y2, boat.y1 + 300)
                << "sample " << model.sampleIndex(); // below the marker
        }
        EXPECT_EQ(samples, 161);
        EXPECT_EQ(model.lines().measureLineColumn2.y2, line.y2);
    }
    // The arrow keys shorten the line from above, as far as 360 twips above its lower end,
    // and lengthen it back to the course's far end; a new activation keeps what they did.
    const LineSpan span = model.lineSpan();
    for (int i = 0; i < 400; ++i) {
        fake.keys.tap(ArrowKey::Down);
        model.inputTick();
    }
    EXPECT_GE(model.lines().measureLine.y1, span.bottom - 360);
    EXPECT_LT(model.lines().measureLine.y1, span.bottom - 360 + 45);
    model.arm();
    EXPECT_GE(model.lines().measureLine.y1, span.bottom - 360);
    for (int i = 0; i < 400; ++i) {
        fake.keys.tap(ArrowKey::Up);
        model.inputTick();
    }
    EXPECT_LE(model.lines().measureLine.y1, span.top);
    EXPECT_GT(model.lines().measureLine.y1, span.top - 45);
}

TEST_F(MeasureModelTest, ComingTowardTheRightBoundaryIsMandatoryFromTheSecondSample)
{
    model.setBoundaryColour(BoundaryColour::RedGreen);
    EXPECT_TRUE(model.view().redGreenLegendVisible);
    startPass();
    runFor(100);
    model.inputTick();
    EXPECT_EQ(model.mandatorySide(), 0);
    EXPECT_EQ(model.lines().rightBoundary.style, LineStyle::Solid);
    EXPECT_EQ(model.lines().rightBoundary.colour, kRed);
    EXPECT_EQ(model.lines().leftBoundary.style, LineStyle::Dash);
    // A single colour after the scheme: both take it, the styles stay.
    model.setBoundaryColour(BoundaryColour::Blue);
    model.inputTick();
    EXPECT_EQ(model.lines().leftBoundary.colour, kBlue);
    EXPECT_EQ(model.lines().rightBoundary.colour, kBlue);
    EXPECT_EQ(model.lines().leftBoundary.style, LineStyle::Dash);
    EXPECT_FALSE(model.view().redGreenLegendVisible);
}

TEST_F(MeasureModelTest, ThinLineHidesTheSecondColumnWithoutChangingTheDeviation)
{
    startPass();
    model.inputTick();
    const QString before = model.view().deviation;
    model.setThinLine(true);
    model.inputTick();
    EXPECT_FALSE(model.lines().measureLineColumn2.visible);
    EXPECT_EQ(model.lines().leftEdge.width, 1);
    EXPECT_EQ(model.view().deviation, before);
}

TEST_F(MeasureModelTest, ALineOnThePicturesHorizonKeepsTheLastDeviation)
{
    startPass();
    model.inputTick();
    const QString before = model.view().deviation;
    // Put the picture's horizon at the boat marker's height: D = 1 + c5 y = 0 there.
    calibration.transform.c[4] = 0.0;
    calibration.transform.c[5] = -1.0 / model.lines().boatMarker.y1;
    model.inputTick();
    EXPECT_EQ(model.view().deviation, before);
    EXPECT_TRUE(std::isfinite(model.lines().leftBoundary.x1));
}

TEST_F(MeasureModelTest, NoSpeedEverSelectedStartsNoPass)
{
    run.slalomSpeed = -1;
    pass.tenths = 0;
    model.startPass();
    EXPECT_FALSE(model.running());
    // A speed chosen earlier stays in force.
    pass.tenths = 170;
    model.startPass();
    EXPECT_TRUE(model.running());
    EXPECT_EQ(pass.tenths, 170);
}

TEST_F(MeasureModelTest, RedrawsAreCountedFromEachActivation)
{
    startPass();
    runFor(300);
    EXPECT_EQ(model.view().markRedraws, QStringLiteral("6")); // activation, start, samples 0..3
    EXPECT_GT(drawn, 0);
}

} // namespace
