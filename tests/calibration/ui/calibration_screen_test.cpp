// The calibration screen's wiring: the operator's clicks, keys and menus reach its session,
// and the screen shows what the session announces (boxes, setup lines, the smiley, the lock,
// the grid caption, the drawing, the messages). The rules themselves are the session's
// (tests/calibration/calibration_session_test.cpp).

#include "calibration/calibration_session.h"
#include "calibration/ui/calibration_screen.h"
#include "support/calibration_screen_driver.h"
#include "support/paths.h"
#include "support/screen_fixture.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QScreen>
#include <gtest/gtest.h>
#include <optional>

namespace {

constexpr CoordinateBox kUpperLeftX{BoxKind::ScreenX, Buoy::UpperLeft};
constexpr CoordinateBox kUpperLeftY{BoxKind::ScreenY, Buoy::UpperLeft};
constexpr CoordinateBox kUpperRightX{BoxKind::ScreenX, Buoy::UpperRight};

class CalibrationScreenTest : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        installResources();
        start();
        chooseResultsFolder();
        enterSetup();
        driver.emplace(screens.calibrationScreen());
    }

    void enterSetup() { screens.openCalibration(); }
    void load(const QString& path)
    {
        fake.fileDialog.answers.push_back(path);
        ui().loadSetup();
    }
    void loadStandard() { load(QDir(state.place.folder).filePath("SlalomOK.ipt")); }
    // The four buoys of a plausible slalom picture, clicked.
    void markFour()
    {
        ui().markBuoy(Buoy::UpperRight, {420, 250});
        ui().markBuoy(Buoy::LowerRight, {560, 520});
        ui().markBuoy(Buoy::UpperLeft, {360, 250});
        ui().markBuoy(Buoy::LowerLeft, {300, 520});
    }
    bool drawnAt(int x, int y)
    {
        return qAlpha(ui().screen.surface().drawingLayer().pixel(x, y)) != 0;
    }
    QStringList messages()
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts;
    }
    QString statePicture() { return ui().screen.statePicture(); }

    CalibrationScreenDriver& ui() { return *driver; }

    std::optional<CalibrationScreenDriver> driver;
};

TEST_F(CalibrationScreenTest, OpensMaximisedOverTheWholeDisplayWithItsFirstTexts)
{
    CalibrationScreen& window = ui().screen;
    ASSERT_TRUE(window.isVisible());
    const QRect available = window.screen()->availableGeometry();
    EXPECT_EQ(window.geometry().size(), available.size());
    EXPECT_EQ(window.windowTitle(), "Grid Setup");
    // Where the controls stand: calibration_screen_layout_test.cpp.
    EXPECT_EQ(ui().text(kUpperLeftX), "auto");
    EXPECT_EQ(ui().text({BoxKind::SurveyY, Buoy::LowerLeft}), "-259");
    EXPECT_EQ(ui().text({BoxKind::JumpX}), "jump x");
    EXPECT_EQ(ui().setupFileLine()->text(), "No File");
    EXPECT_EQ(ui().gridButton()->text(), "Grid 1");
    EXPECT_EQ(statePicture(), "msgbox03.ico");
    EXPECT_FALSE(ui().stateLabel()->pixmap().isNull());
    EXPECT_FALSE(ui().accuracyButton()->isVisible());
    EXPECT_FALSE(ui().gridLockedLabel()->isVisible());
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(window.circleRadius(), 180);
}

TEST_F(CalibrationScreenTest, ALoadedFileIsShownAndDrawnAndTheScreenLeavesWithoutAsking)
{
    const QString path = fixturePath("exponent-form-slalom.ipt");
    load(path);
    ASSERT_EQ(fake.fileDialog.requests.size(), 1u);
    EXPECT_EQ(fake.fileDialog.requests[0].folder, state.place.folder);
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(statePicture(), "face02.ico");
    EXPECT_TRUE(ui().accuracyButton()->isVisible());
    EXPECT_EQ(ui().setupFileLine()->text(), path);
    EXPECT_EQ(ui().setupFileLine()->cursorPosition(), 0); // a long path from its beginning
    EXPECT_EQ(ui().descriptionLine()->text(), QStringLiteral("Lac d'Annecy, tour nord, caméra 2"));
    EXPECT_EQ(ui().text(kUpperRightX), " 8136");
    EXPECT_EQ(ui().text({BoxKind::ScreenY, Buoy::LowerLeft}), " 10461");
    // The session's warning reaches the operator.
    EXPECT_TRUE(messages().contains(
        QStringLiteral("Warning - back ratio is  1% where  16% minimum is required")));
    // The marks are drawn: a circle 180 twips (12 px) around the upper right mark.
    EXPECT_TRUE(drawnAt(8136 / 15, 4527 / 15));

    ui().leave();
    EXPECT_FALSE(ui().screen.isVisible());
    EXPECT_TRUE(fake.messages.questions.empty());
    EXPECT_TRUE(state.calibration.complete) << "the start screen's Measure may follow";
}

TEST_F(CalibrationScreenTest, TheLockCheckAndItsLabelFollowTheSession)
{
    ui().markBuoy(Buoy::UpperLeft, {300, 300});
    ui().clickGridLock();
    EXPECT_EQ(messages(), QStringList{kCannotLockMessage});
    EXPECT_FALSE(ui().gridLock()->isChecked());
    EXPECT_FALSE(ui().gridLockedLabel()->isVisible());

    load(fixturePath("exponent-form-jump.ipt"));
    ui().clickGridLock();
    ASSERT_TRUE(ui().gridLock()->isChecked());
    ASSERT_TRUE(ui().gridLockedLabel()->isVisible());
    // A locked click moves all four marks, and every box shows it.
    ui().markBuoy(Buoy::UpperRight, {7692 / 15 + 10, 5344 / 15 - 4});
    const double dy = state.calibration.mark(Buoy::UpperRight).y - 5344;
    EXPECT_EQ(ui().text({BoxKind::ScreenY, Buoy::LowerRight}),
              QStringLiteral(" %1").arg(9734 + dy));

    // Loading unlocks, even when the chooser is cancelled.
    fake.fileDialog.answers.push_back(std::nullopt);
    ui().loadSetup();
    EXPECT_FALSE(ui().gridLock()->isChecked());
    EXPECT_FALSE(ui().gridLockedLabel()->isVisible());
}

TEST_F(CalibrationScreenTest, MarkingFourBuoysByClicksAndCompleting)
{
    markFour();
    EXPECT_EQ(ui().text(kUpperRightX), " 6300");
    EXPECT_EQ(ui().text({BoxKind::ScreenY, Buoy::UpperRight}), " 3750");
    EXPECT_EQ(statePicture(), "msgbox03.ico");
    EXPECT_TRUE(drawnAt(420, 250)); // the white cross

    ui().selectBuoy(Buoy::UpperLeft);
    ui().nudge(AdjustDirection::Down);
    EXPECT_EQ(ui().text(kUpperLeftY), " 3765");
    ui().nudge(AdjustDirection::Up);

    ui().complete();
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(statePicture(), "face02.ico");
    EXPECT_TRUE(ui().accuracyButton()->isVisible());
    EXPECT_FALSE(drawnAt(420, 250)); // Complete clears the drawing

    ui().leave();
    EXPECT_FALSE(ui().screen.isVisible());
    EXPECT_TRUE(screens.startScreen().isVisible());
    EXPECT_TRUE(fake.messages.questions.empty());
    // The crosses and the two course sides are there when the screen comes back.
    enterSetup();
    EXPECT_TRUE(drawnAt(420, 250));
    EXPECT_TRUE(drawnAt(490, 385)); // halfway along the right side
}

TEST_F(CalibrationScreenTest, LeavingIncompleteAsksFirst)
{
    ui().markBuoy(Buoy::UpperRight, {420, 250});
    ui().complete();
    EXPECT_EQ(fake.messages.shown.size(), 1u); // not all parameters
    ui().leave();
    ASSERT_EQ(fake.messages.questions.size(), 1u);
    EXPECT_EQ(fake.messages.questions[0], kLeaveIncompleteQuestion);
    EXPECT_TRUE(ui().screen.isVisible()); // answered No

    fake.messages.yesNoAnswers.push_back(true);
    ui().leave();
    EXPECT_EQ(fake.messages.questions.size(), 2u);
    EXPECT_FALSE(ui().screen.isVisible());
}

TEST_F(CalibrationScreenTest, TheGridButtonShowsTheSlotInUse)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    ui().selectNextGrid();
    EXPECT_EQ(ui().gridButton()->text(), "Grid 2");
    EXPECT_EQ(ui().gridButton()->accessibleName(), "Grid 2");
    EXPECT_EQ(state.gridSlots.current, 2);
    EXPECT_EQ(statePicture(), "msgbox03.ico");
    EXPECT_FALSE(ui().accuracyButton()->isVisible());
    EXPECT_FALSE(ui().advancedAccuracyGroup()->isVisible());
    EXPECT_EQ(ui().text(kUpperRightX), "auto");
    EXPECT_EQ(ui().setupFileLine()->text(), "");

    ui().selectNextGrid();
    EXPECT_EQ(ui().gridButton()->text(), "Grid 1");
    EXPECT_EQ(ui().text(kUpperRightX), " 8136");
    EXPECT_EQ(ui().setupFileLine()->text(), fixturePath("exponent-form-slalom.ipt"));
    EXPECT_EQ(statePicture(), "face02.ico");
    EXPECT_TRUE(ui().accuracyButton()->isVisible());
    EXPECT_TRUE(ui().advancedAccuracyGroup()->isVisible());
}

TEST_F(CalibrationScreenTest, SavingAsksForTheFileAndItsDescription)
{
    load(fixturePath("exponent-form-slalom.ipt"));
    const QString saved = QDir(results.path()).filePath("mine.ipt");
    fake.fileDialog.answers.push_back(saved);
    fake.messages.inputs.push_back(QStringLiteral("Lake, north tower, zoom 3"));
    ui().saveSetup();
    EXPECT_TRUE(fake.fileDialog.requests.back().forSaving);
    EXPECT_EQ(fake.messages.prompts.back(), "Enter descriptive line about grid");
    EXPECT_EQ(ui().setupFileLine()->text(), saved);
    EXPECT_EQ(ui().descriptionLine()->text(), "Lake, north tower, zoom 3");
    EXPECT_TRUE(QFile::exists(saved));
}

TEST_F(CalibrationScreenTest, EnteringTheScreenSwitchesTheSurveyToTheEvent)
{
    loadStandard();
    ui().leave();
    RunInfo jump = state.run.info();
    jump.event = Event::Jump;
    state.run.set(jump, {-1, -1, -1, -1});
    enterSetup();
    EXPECT_EQ(ui().text({BoxKind::SurveyX, Buoy::UpperLeft}), "4");
    EXPECT_EQ(ui().text({BoxKind::SurveyY, Buoy::LowerRight}), "-280");
    EXPECT_EQ(statePicture(), "msgbox03.ico");
    EXPECT_FALSE(ui().accuracyButton()->isVisible());
}

TEST_F(CalibrationScreenTest, TypingReachesTheSessionAndATypedMarkMovesOnEnter)
{
    loadStandard();
    ui().typeInto({BoxKind::SurveyY, Buoy::UpperRight}, "abc");
    EXPECT_FALSE(state.calibration.complete);
    EXPECT_EQ(statePicture(), "msgbox03.ico");
    EXPECT_FALSE(ui().accuracyButton()->isVisible());
    QTest::keyClicks(ui().box({BoxKind::JumpX}), "7");
    EXPECT_EQ(state.calibration.jumpPoint.x, 7.0);

    markFour();
    ui().typeInto(kUpperLeftX, "48");
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).x, 5400)
        << "a half-typed value moves nothing";
    QTest::keyClicks(ui().box(kUpperLeftX), "00");
    ui().pressEnter(kUpperLeftX);
    EXPECT_EQ(state.calibration.mark(Buoy::UpperLeft).x, 4800);
    EXPECT_EQ(ui().text(kUpperLeftX), " 4800");
    EXPECT_TRUE(drawnAt(320, 250));  // the cross moved with it
    EXPECT_FALSE(drawnAt(360, 250)); // and the old one is gone
}

TEST_F(CalibrationScreenTest, TypedTextThatIsNoNumberPutsTheBoxBack)
{
    ui().typeInto(kUpperLeftX, "abc");
    ui().pressEnter(kUpperLeftX);
    EXPECT_EQ(ui().text(kUpperLeftX), "auto");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("upper left buoy screen x"));

    ui().typeInto(kUpperLeftX, "5400");
    ui().pressEnter(kUpperLeftX);
    EXPECT_EQ(ui().text(kUpperLeftY), " 0");
    ui().typeInto(kUpperLeftY, "37S0");
    ui().complete(); // the focus leaves the box on the way
    EXPECT_EQ(ui().text(kUpperLeftY), " 0");
    EXPECT_EQ(fake.messages.shown.size(), 3u); // the refusal, then Complete's own warning
}

// Each of the eighteen boxes sets its own coordinate and no other, and is announced by its
// own caption: what a box is wired to is written out here by hand, box by box.
TEST_F(CalibrationScreenTest, EachCoordinateBoxSetsItsOwnCoordinate)
{
    enum Where { Mark, Survey, Jump };
    struct Case
    {
        CoordinateBox box;
        const char* caption;
        Where where;
        int buoy; // as the calibration stores them: upper left, upper right, lower left, right
        bool y;
    };
    const Case cases[] = {
        {{BoxKind::ScreenX, Buoy::UpperLeft}, "upper left buoy screen x", Mark, 0, false},
        {{BoxKind::ScreenY, Buoy::UpperLeft}, "upper left buoy screen y", Mark, 0, true},
        {{BoxKind::ScreenX, Buoy::UpperRight}, "upper right buoy screen x", Mark, 1, false},
        {{BoxKind::ScreenY, Buoy::UpperRight}, "upper right buoy screen y", Mark, 1, true},
        {{BoxKind::ScreenX, Buoy::LowerLeft}, "lower left buoy screen x", Mark, 2, false},
        {{BoxKind::ScreenY, Buoy::LowerLeft}, "lower left buoy screen y", Mark, 2, true},
        {{BoxKind::ScreenX, Buoy::LowerRight}, "lower right buoy screen x", Mark, 3, false},
        {{BoxKind::ScreenY, Buoy::LowerRight}, "lower right buoy screen y", Mark, 3, true},
        {{BoxKind::SurveyX, Buoy::UpperLeft}, "upper left buoy survey x", Survey, 0, false},
        {{BoxKind::SurveyY, Buoy::UpperLeft}, "upper left buoy survey y", Survey, 0, true},
        {{BoxKind::SurveyX, Buoy::UpperRight}, "upper right buoy survey x", Survey, 1, false},
        {{BoxKind::SurveyY, Buoy::UpperRight}, "upper right buoy survey y", Survey, 1, true},
        {{BoxKind::SurveyX, Buoy::LowerLeft}, "lower left buoy survey x", Survey, 2, false},
        {{BoxKind::SurveyY, Buoy::LowerLeft}, "lower left buoy survey y", Survey, 2, true},
        {{BoxKind::SurveyX, Buoy::LowerRight}, "lower right buoy survey x", Survey, 3, false},
        {{BoxKind::SurveyY, Buoy::LowerRight}, "lower right buoy survey y", Survey, 3, true},
        {{BoxKind::JumpX}, "jump x", Jump, 0, false},
        {{BoxKind::JumpY}, "jump y", Jump, 0, true},
    };
    loadStandard();
    double value = 3000;
    for (const Case& c : cases) {
        value += 15;
        Calibration expected = state.calibration;
        Point2& point = c.where == Mark     ? expected.marks[size_t(c.buoy)]
                        : c.where == Survey ? expected.survey[size_t(c.buoy)]
                                            : expected.jumpPoint;
        (c.y ? point.y : point.x) = value;
        ui().typeInto(c.box, QString::number(value));
        ui().pressEnter(c.box);
        EXPECT_EQ(state.calibration.marks, expected.marks) << c.caption;
        EXPECT_EQ(state.calibration.survey, expected.survey) << c.caption;
        EXPECT_EQ(state.calibration.jumpPoint, expected.jumpPoint) << c.caption;
        EXPECT_FALSE(state.calibration.complete) << c.caption;
        EXPECT_EQ(ui().box(c.box)->accessibleName(), c.caption);
    }
}

TEST_F(CalibrationScreenTest, EveryInputHasAnAccessibleName)
{
    QStringList names;
    for (QWidget* w : ui().screen.findChildren<QWidget*>()) {
        if (!qobject_cast<QAbstractButton*>(w) && !qobject_cast<QLineEdit*>(w) &&
            !qobject_cast<QAbstractSlider*>(w))
            continue;
        if (qobject_cast<QMenuBar*>(w->parentWidget()))
            continue; // the menu bar's own buttons
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        names << w->accessibleName();
    }
    EXPECT_GE(names.size(), 18 + 4 + 4 + 13);
    EXPECT_EQ(names.removeDuplicates(), 0) << names.join(", ").toStdString();
}

TEST_F(CalibrationScreenTest, HideAndShowTheDescriptions)
{
    ui().toggleDescriptions();
    EXPECT_FALSE(ui().setupFileLine()->isVisible());
    EXPECT_EQ(ui().descriptionsButton()->text(), "Show");
    ui().toggleDescriptions();
    EXPECT_TRUE(ui().descriptionLine()->isVisible());
    EXPECT_EQ(ui().descriptionsButton()->text(), "Hide");
}

TEST_F(CalibrationScreenTest, CrossSizeFollowsTheScrollBar)
{
    ui().crossSize()->setValue(15);
    EXPECT_EQ(state.display.crossSize, 15);
    loadStandard();
    EXPECT_EQ(ui().screen.circleRadius(), 30);
}

TEST_F(CalibrationScreenTest, MissingStatePictureFallsBackToTheBuiltInOne)
{
    ASSERT_TRUE(QFile::remove(QDir(state.place.folder).filePath("face02.ico")));
    QFile damaged(QDir(state.place.folder).filePath("msgbox03.ico"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("not an icon");
    damaged.close();
    load(QDir(state.place.folder).filePath("JumpOK.ipt"));
    EXPECT_EQ(statePicture(), "face02.ico");
    EXPECT_FALSE(ui().stateLabel()->pixmap().isNull());
    ui().markBuoy(Buoy::UpperLeft, {300, 300});
    EXPECT_EQ(statePicture(), "msgbox03.ico");
    EXPECT_FALSE(ui().stateLabel()->pixmap().isNull());
}

} // namespace
