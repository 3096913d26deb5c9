// The measurement screen on the offscreen platform: real widgets and the real Qt key state,
// fake timers, clock, joystick and message boxes.

#include "calibration/ui/grid_setup.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "measure/video_pass_log.h"
#include "picture/ui/drawing_surface.h"
#include "results/ui/results.h"
#include "support/calibrated_course.h"
#include "support/screen_fixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
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

    template <typename W> W* child(const char* name)
    {
        W* w = measure.findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    FakeHiResTimer& inputTimer() { return fake.timers.timer("input"); }
    FakeHiResTimer& sampleTimer() { return fake.timers.timer("sample"); }
    QPushButton* Command1() { return child<QPushButton>("Command1"); }

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

    // A 40 ms-a-frame video file under the screen, paused on the frame at 1.0 s.
    FakeVideoFile& openVideo()
    {
        screens.courseVideo().choose(VideoChoice::ofFile(QStringLiteral("/videos/pass.webm")));
        FakeVideoFile& file = *fake.videos.file();
        file.ready(QImage(1024, 768, QImage::Format_RGB32), 1000000);
        return file;
    }
    // Plays the file from the frame on screen until the pass ends: a frame every 40 ms on the
    // clock, the engine's wake-ups when they fall due.
    void playToTheEnd(FakeVideoFile& file)
    {
        file.play();
        file.tell(PlaybackChange::Playing);
        FakeHiResTimer& wake = fake.timers.timer("media wake");
        qint64 arrival = fake.clock.ms;
        for (int i = 0; i < 1000 && measure.model().running(); ++i) {
            arrival += 40;
            fake.clock.ms = arrival;
            file.showFrame(file.frame().startUs + 40000);
            while (wake.enabled() && fake.clock.ms + wake.period() < arrival + 40) {
                fake.clock.ms += wake.period();
                wake.fire();
            }
        }
    }

    void finishEditing(QLineEdit* box, const QString& text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }

    Measure& measure = screens.measure();
};

TEST_F(MeasureScreenTest, EnterOnStartPassRecordsAWholePassAndHandsItToTheResults)
{
    EXPECT_EQ(measure.windowTitle(), QStringLiteral("Measure Boat Path Deviation"));
    EXPECT_TRUE(measure.model().awaitingStart());
    QTest::keyClick(Command1(), Qt::Key_Return);
    ASSERT_TRUE(measure.model().running());
    EXPECT_EQ(runPass(), 161);
    EXPECT_EQ(state.pass.samples.sampleCount, 162);
    EXPECT_TRUE(state.pass.measured);
    EXPECT_FALSE(measure.isVisible());
    ASSERT_TRUE(screens.hasResults());
    EXPECT_TRUE(screens.results().isVisible());
    EXPECT_EQ(child<QLineEdit>("txtStep")->text(), QStringLiteral("162"));
    EXPECT_EQ(child<QLineEdit>("txtDistance")->text(), QStringLiteral("259.0"));
}

TEST_F(MeasureScreenTest, AHeldArrowKeyMovesTheLineAndNeverTouchesTheOptions)
{
    const double x = measure.model().lines().measureLine.x1;
    QRadioButton* optWhite = child<QRadioButton>("optWhite");
    optWhite->setFocus();
    QTest::keyPress(optWhite, Qt::Key_Left);
    inputTimer().fire();
    inputTimer().fire();
    QTest::keyRelease(optWhite, Qt::Key_Left);
    inputTimer().fire();
    EXPECT_EQ(measure.model().lines().measureLine.x1, x - 30);
    EXPECT_TRUE(optWhite->isChecked());
    EXPECT_EQ(measure.focusWidget(), Command1()); // so that Enter starts the pass
    // A tap between two ticks still counts once.
    QTest::keyClick(Command1(), Qt::Key_Right);
    inputTimer().fire();
    inputTimer().fire();
    EXPECT_EQ(measure.model().lines().measureLine.x1, x - 15);
}

TEST_F(MeasureScreenTest, ACheckBoxClickedWhileArmedLeavesEnterToStartPass)
{
    for (const char* name : {"chkViewOnly", "chkThinLine", "chkEdgeOn", "cbPath", "chkUseMouse"}) {
        auto* box = child<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        EXPECT_TRUE(box->isChecked()) << name;
        EXPECT_EQ(measure.focusWidget(), Command1()) << name;
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    QTest::keyClick(measure.focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(measure.model().running());
}

TEST_F(MeasureScreenTest, ReturnToStartDuringAPassStopsItAsAbortDoes)
{
    QTest::keyClick(Command1(), Qt::Key_Return);
    runPass(20);
    child<QAction>("mnuStart")->trigger();
    EXPECT_FALSE(measure.model().running());
    EXPECT_FALSE(sampleTimer().enabled());
    EXPECT_FALSE(measure.isVisible());
    EXPECT_TRUE(screens.form1().isVisible());
    fake.clock.ms += 60000;
    sampleTimer().fire();
    EXPECT_FALSE(screens.hasResults());
    EXPECT_FALSE(state.pass.measured);
}

TEST_F(MeasureScreenTest, AbortReturnsToTheStartScreen)
{
    QTest::keyClick(Command1(), Qt::Key_Return);
    QTest::mouseClick(child<QPushButton>("btnAbort"), Qt::LeftButton);
    EXPECT_FALSE(measure.model().running());
    EXPECT_TRUE(measure.model().clockCheckPending());
    EXPECT_FALSE(measure.isVisible());
    EXPECT_TRUE(screens.form1().isVisible());
}

TEST_F(MeasureScreenTest, JumpBoundaryCanBeTypedThroughZeroAndIsClampedWhenDone)
{
    screens.form1().selectEvent(Event::Jump);
    measure.hide();
    measure.show();
    QLineEdit* box = child<QLineEdit>("txtJumpBoundry");
    EXPECT_TRUE(box->isVisibleTo(&measure));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QStringLiteral("0.7"));
    EXPECT_EQ(box->text(), QStringLiteral("0.7"));
    EXPECT_EQ(measure.model().pathLimit(), 0.7);
    finishEditing(box, QStringLiteral("0.1"));
    EXPECT_EQ(box->text(), QStringLiteral("0.2"));
    EXPECT_EQ(measure.model().pathLimit(), 0.2);
    finishEditing(box, QStringLiteral("1.5"));
    EXPECT_EQ(box->text(), QStringLiteral("1.0"));
    EXPECT_EQ(measure.model().pathLimit(), 1.0);
}

TEST_F(MeasureScreenTest, BoundaryWidthIsClampedWhenDoneAndHidesTheStyleLegendAboveOne)
{
    QLineEdit* box = child<QLineEdit>("txtBoundryWidth");
    QLabel* legend = child<QLabel>("Label14");
    EXPECT_TRUE(legend->isVisibleTo(&measure));
    finishEditing(box, QStringLiteral("30"));
    EXPECT_EQ(box->text(), QStringLiteral("24"));
    EXPECT_FALSE(legend->isVisibleTo(&measure));
    finishEditing(box, QStringLiteral("0"));
    EXPECT_EQ(box->text(), QStringLiteral("1"));
    EXPECT_TRUE(legend->isVisibleTo(&measure));
}

TEST_F(MeasureScreenTest, StatusIndicatorsHideAndComeBackWithTimeAndDone)
{
    QPushButton* cmdStatus = child<QPushButton>("cmdStatus");
    QTest::keyClick(Command1(), Qt::Key_Return);
    QTest::mouseClick(cmdStatus, Qt::LeftButton);
    EXPECT_EQ(cmdStatus->text(), QStringLiteral("Show Status Indicators"));
    EXPECT_FALSE(child<QGroupBox>("Frame1")->isVisibleTo(&measure));
    EXPECT_FALSE(child<QLabel>("Label5")->isVisibleTo(&measure));
    EXPECT_TRUE(child<QLabel>("Labely")->isVisibleTo(&measure));
    QTest::mouseClick(cmdStatus, Qt::LeftButton);
    EXPECT_EQ(cmdStatus->text(), QStringLiteral("Hide Status Indicators"));
    EXPECT_TRUE(child<QLabel>("Label3")->isVisibleTo(&measure));
    EXPECT_TRUE(child<QLabel>("Label7")->isVisibleTo(&measure));
    EXPECT_TRUE(child<QGroupBox>("Frame1")->isVisibleTo(&measure));
}

TEST_F(MeasureScreenTest, EdgeMarkersComeWithACaution)
{
    child<QCheckBox>("chkEdgeOn")->click();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("Please use caution when using the edge lines.  If the boat is "
                             "turned or angled, using the edge markers alone may lead to "
                             "inaccurate results.  Be sure the center line is as close as "
                             "possible to the pylon position."));
    EXPECT_TRUE(measure.model().lines().leftEdge.visible);
    child<QCheckBox>("chkEdgeOn")->click();
    EXPECT_FALSE(measure.model().lines().rightEdge.visible);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(MeasureScreenTest, NoJoystickIsReportedOnceAndPollingOnlyUpdatesTheStatus)
{
    QTest::mouseClick(child<QPushButton>("cmdJoy"), Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("Couldn't Detect the Joystick."));
    inputTimer().fire();
    EXPECT_EQ(child<QLabel>("status")->text(),
              QStringLiteral("Status: No joystick connected (165)"));
}

TEST_F(MeasureScreenTest, InMouseModeAClickStartsAPassButNeverRestartsIt)
{
    child<QCheckBox>("chkUseMouse")->click();
    EXPECT_TRUE(child<QLabel>("Label11")->isVisibleTo(&measure));
    auto* surface = measure.findChild<DrawingSurface*>();
    ASSERT_NE(surface, nullptr);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 200));
    ASSERT_TRUE(measure.model().running());
    runPass(10);
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(210, 200));
    EXPECT_EQ(measure.model().sampleIndex(), 11);
}

// "Click Mouse to Start Measuring" says what starts the pass: shown while an armed pass waits
// for the click, never during a pass or after one (a click there does nothing).
TEST_F(MeasureScreenTest, MouseHintShowsOnlyWhileAPassWaitsForTheClick)
{
    auto* hint = child<QLabel>("Label11");
    auto* surface = measure.findChild<DrawingSurface*>();
    ASSERT_NE(surface, nullptr);
    EXPECT_FALSE(hint->isVisibleTo(&measure)) << "the keys start the pass";
    child<QCheckBox>("chkUseMouse")->click();
    EXPECT_TRUE(hint->isVisibleTo(&measure)) << "armed";

    // Watching only: the screen arms itself for the way back and waits for a click again.
    child<QCheckBox>("chkViewOnly")->click();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 200));
    ASSERT_TRUE(measure.model().running());
    EXPECT_FALSE(hint->isVisibleTo(&measure)) << "during a monitored pass";
    runPass();
    ASSERT_FALSE(measure.model().running());
    EXPECT_TRUE(hint->isVisibleTo(&measure)) << "re-armed for the way back";

    // Recorded: the pass is over and nothing waits for a click.
    child<QCheckBox>("chkViewOnly")->click();
    QTest::mouseClick(surface, Qt::LeftButton, {}, QPoint(200, 200));
    ASSERT_TRUE(measure.model().running());
    EXPECT_FALSE(hint->isVisibleTo(&measure)) << "during a recorded pass";
    runPass();
    ASSERT_TRUE(state.pass.measured);
    EXPECT_FALSE(hint->isVisibleTo(&measure)) << "after the pass";

    // Shown again for the next pass, armed at the entrance.
    measure.hide();
    measure.show();
    EXPECT_TRUE(hint->isVisibleTo(&measure));
    child<QCheckBox>("chkUseMouse")->click();
    EXPECT_FALSE(hint->isVisibleTo(&measure)) << "mouse mode off";
}

TEST_F(MeasureScreenTest, TheLinesArePaintedOverTheMagentaBackground)
{
    const LineRecord& line = measure.model().lines().measureLine;
    const QImage shot = measure.grab().toImage();
    const QPoint onLine(int(line.x1 / 15), 300);
    const QPoint inside = measure.findChild<DrawingSurface*>()->mapTo(&measure, onLine);
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
    Grid_Setup& grid = screens.gridSetup();
    grid.findChild<QAction*>(QStringLiteral("mnuPaste"))->trigger();
    const auto* surface = measure.findChild<DrawingSurface*>();
    ASSERT_NE(surface, nullptr);
    // Scaled into the area right of the control column, and the same picture point under
    // the same twips as on the calibration screen.
    const PictureMapping& m = surface->mapping();
    EXPECT_EQ(m.placement(), (PixelRect{270, 0, 754, 566}));
    const PlanePoint yellow = m.toSurface(350.5 * 15, 250.5 * 15);
    EXPECT_EQ(surface->composed().pixelColor(int(yellow.x), int(yellow.y)), QColor(Qt::yellow));
    EXPECT_EQ(grid.surface().backgroundPicture(), picture);
    EXPECT_EQ(surface->composed().pixelColor(269, 250), QColor(255, 0, 255));
    grid.findChild<QAction*>(QStringLiteral("mnuClearPicture"))->trigger();
    EXPECT_TRUE(surface->mapping().isIdentity()); // the overlay card keys the whole surface
    EXPECT_EQ(surface->composed().pixelColor(350, 250), QColor(255, 0, 255));
    EXPECT_FALSE(grid.surface().hasBackgroundPicture());
}

// Where a pass lies on its video goes to a day file beside the results. A folder that cannot
// be written costs one message and nothing else: the pass goes on to the results, and its
// block waits for the next pass on a video.
TEST_F(MeasureScreenTest, APassOnAVideoIsKeptInTheVideoPassesFileWhateverTheFolderDoes)
{
    const QString folder = path(QStringLiteral("Results"));
    RunInfo info = state.run.info();
    info.resultsFolder = folder; // not there yet
    state.run.set(info, {-1, -1, -1, -1});
    FakeVideoFile& file = openVideo();
    ASSERT_TRUE(child<QWidget>("videoTransport")->isVisible());
    QTest::keyClick(Command1(), Qt::Key_Return);
    ASSERT_TRUE(measure.model().mediaPassRunning());
    playToTheEnd(file);
    ASSERT_TRUE(state.pass.measured);
    ASSERT_TRUE(screens.hasResults() && screens.results().isVisible());
    auto aboutVideoPasses = [&] {
        return std::count_if(fake.messages.shown.begin(), fake.messages.shown.end(),
                             [](const ShownMessage& m) { return m.text.contains("VideoPasses"); });
    };
    EXPECT_EQ(aboutVideoPasses(), 1);

    ASSERT_TRUE(QDir().mkpath(folder));
    screens.closeResults();
    screens.openMeasurement();
    file.pause();
    file.tell(PlaybackChange::Paused);
    file.showFrame(1000000);
    QTest::keyClick(Command1(), Qt::Key_Return);
    playToTheEnd(file);
    EXPECT_EQ(aboutVideoPasses(), 1);
    const auto text = readTextFile(QDir(folder).filePath(videoPassesFileName(fake.clock.nowValue)));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->count(QStringLiteral("Video pass 12-07-2026 14:05:09\r\n"
                                         "Video file: /videos/pass.webm\r\n"
                                         "Start (P0): 1.000 s\r\n"
                                         "Samples: 162\r\n")),
              2);
    EXPECT_TRUE(text->contains(QStringLiteral("\r\n161  17.080\r\n\r\n")));
}

TEST_F(MeasureScreenTest, EveryInputHasAnAccessibleNameFromItsCaption)
{
    int inputs = 0;
    const QWidget* transport = child<QWidget>("videoTransport");
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
    EXPECT_EQ(child<QLineEdit>("txtBoatWidth")->accessibleName(), "Boat Width in meters");
    EXPECT_EQ(child<QLineEdit>("txtDeviation")->accessibleName(), "Deviation from Center");
}

TEST_F(MeasureScreenTest, SpeedAndLineLabelsForTheResultsScreen)
{
    EXPECT_EQ(measure.speedLabel(), QStringLiteral("58"));
    EXPECT_EQ(measure.lineLabel(), QStringLiteral("11.25"));
    state.pass.lineText = QStringLiteral("12.00");
    inputTimer().fire();
    EXPECT_EQ(measure.lineLabel(), QStringLiteral("12.00"));
}

} // namespace
