// The start screen's wiring: its controls reach the run particulars, the settings and the
// other screens, and what they write back shows. Driven through tests/support's driver.

#include "app/run_particulars.h"
#include "app/settings_keys.h"
#include "calibration/ui/calibration_screen.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "results/pass_report.h"
#include "support/qt_printers.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Field = StartScreenDriver::Field;

QString storedResultsPath(const StartedProgram& p)
{
    return p.fake.settings.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath)
        .value_or("<none>");
}

} // namespace

TEST(StartScreen, StartsWithTheDefaultRunParticulars)
{
    StartedProgram p;
    StartScreenDriver s(p.start());
    const RunInfo r = s.screen().runInfo();
    // The name fields show the lists' titles as placeholders and hold no name.
    for (const auto& [list, title] : {std::pair{NameList::Skiers, "Skiers"},
                                      {NameList::Drivers, "Drivers"},
                                      {NameList::Boats, "Boat Manufacturer"},
                                      {NameList::Models, "Boat Model"}}) {
        QComboBox& field = s.nameField(list);
        EXPECT_EQ(field.currentText(), QString()) << title;
        EXPECT_EQ(field.lineEdit()->placeholderText(), title);
    }
    EXPECT_EQ(r.skier, QString());
    EXPECT_EQ(r.driver, QString());
    EXPECT_EQ(r.boatMaker, QString());
    EXPECT_EQ(r.boatModel, QString());
    EXPECT_EQ(r.boatNumber, "1");
    EXPECT_EQ(r.event, Event::Slalom);
    EXPECT_STREQ(kSlalomSpeeds[size_t(r.slalomSpeed)].caption, "58/36");
    EXPECT_STREQ(kJumpSpeeds[size_t(r.jumpSpeed)].caption, "57/35");
    EXPECT_STREQ(kLineLengths[size_t(r.lineLength)], "11.25");
    EXPECT_EQ(r.direction, Direction::Toward);
    EXPECT_EQ(r.directionSign(), -1.0);
    EXPECT_EQ(s.title(), "Video Slalom Wakeline");
    EXPECT_TRUE(s.screen().windowTitle().startsWith("Wakeline "));
    EXPECT_FALSE(s.jumpSpeedGroup().isVisible());

    // The start-up sequence: measurement screen made and hidden, flags reset, list files.
    EXPECT_FALSE(p.screens.measureScreen().isVisible());
    EXPECT_FALSE(p.state.pass.measured);
    EXPECT_FALSE(p.screens.measureScreen().model().awaitingStart());
    EXPECT_GT(p.state.place.screenWidthPixels, 0);
    for (const char* list : {"drivers.txt", "skiers.txt", "boats.txt", "models.txt"})
        EXPECT_TRUE(QFile::exists(p.path(list))) << list;
}

TEST(StartScreen, ResultsFolderIsRestoredAndWrittenBackAtOnce)
{
    StartedProgram first;
    StartScreen& f = first.start();
    EXPECT_EQ(f.runInfo().resultsFolder, "Default");
    EXPECT_EQ(storedResultsPath(first), "Default");

    StartedProgram stored;
    stored.fake.settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, "",
                                  nullptr);
    EXPECT_EQ(stored.start().runInfo().resultsFolder, stored.folder.path());
    EXPECT_EQ(storedResultsPath(stored), stored.folder.path());

    // Every keystroke is saved.
    StartScreenDriver s(f);
    s.field(Field::ResultsFolder).clear();
    const int before = first.fake.settings.writes;
    s.type(Field::ResultsFolder, "abc");
    EXPECT_EQ(first.fake.settings.writes - before, 3);
    EXPECT_EQ(storedResultsPath(first), "abc");
}

TEST(StartScreen, SettingsThatCannotBeWrittenAreReportedOnce)
{
    StartedProgram p;
    p.fake.settings.failWrites = true;
    StartScreenDriver(p.start()).type(Field::ResultsFolder, "xyz");
    ASSERT_EQ(p.fake.messages.shown.size(), 1u) << "once, not on every keystroke";
    EXPECT_TRUE(p.fake.messages.shown[0].text.contains("read-only"));
    EXPECT_EQ(p.fake.messages.shown[0].icon, MessageIcon::Warning);
}

TEST(StartScreen, JumpForcesTowardAndSwapsTheGroups)
{
    StartedProgram p;
    StartScreenDriver s(p.start());
    const auto run = [&] { return s.screen().runInfo(); };
    s.chooseDirection(Direction::Away);
    EXPECT_EQ(run().directionSign(), 1.0);
    s.chooseSlalomSpeed(2);

    s.chooseEvent(Event::Jump);
    EXPECT_EQ(run().event, Event::Jump);
    EXPECT_EQ(run().direction, Direction::Toward);
    EXPECT_EQ(run().directionSign(), -1.0);
    EXPECT_FALSE(s.directionOption(Direction::Away).isVisible());
    EXPECT_FALSE(s.lineLengthGroup().isVisible());
    EXPECT_FALSE(s.slalomSpeedGroup().isVisible());
    QGroupBox& jumpGroup = s.jumpSpeedGroup();
    EXPECT_TRUE(jumpGroup.isVisible());
    EXPECT_EQ(jumpGroup.pos(), s.slalomSpeedGroup().pos());
    EXPECT_EQ(jumpGroup.mapTo(&s.screen(), QPoint()).x(), 6720 / 15);
    EXPECT_EQ(s.title(), "Video Jump Wakeline");
    EXPECT_STREQ(run().speed()->caption, "57/35");
    s.chooseJumpSpeed(8);
    EXPECT_STREQ(run().speed()->caption, "72/45");

    s.chooseEvent(Event::Slalom);
    EXPECT_TRUE(s.directionOption(Direction::Away).isVisible());
    EXPECT_EQ(run().direction, Direction::Toward); // not changed back
    EXPECT_STREQ(run().speed()->caption, "52/32"); // each group keeps its own
    EXPECT_EQ(run().jumpSpeed, 8);
    EXPECT_EQ(s.title(), "Video Slalom Wakeline");
}

TEST(StartScreen, ClicksAndPicksReachTheRunParticulars)
{
    StartedProgram p;
    QFile list(p.path("skiers.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Smith, John\r\n\"Doe, Jane\"\r\n\r\nLee\r\n");
    list.close();
    StartScreenDriver s(p.start());
    StartScreen& f = s.screen();

    EXPECT_EQ(s.nameItems(NameList::Skiers), (QStringList{"Smith", "John", "Doe, Jane", "Lee"}));
    EXPECT_EQ(f.namePosition(NameList::Skiers), -1);
    EXPECT_EQ(f.runInfo().skier, QString());
    s.pickPosition(NameList::Skiers, 2);
    EXPECT_EQ(f.runInfo().skier, "Doe, Jane");
    EXPECT_EQ(f.namePosition(NameList::Skiers), 2);

    s.chooseLineLength(1);
    EXPECT_STREQ(kLineLengths[size_t(f.runInfo().lineLength)], "16.00");
    s.replaceText(Field::BoatNumber, "7b");
    EXPECT_EQ(f.runInfo().boatNumber, "7b");
    s.chooseDirection(Direction::Away);
    EXPECT_EQ(f.runInfo().directionSign(), 1.0);
    s.chooseDirection(Direction::Toward);
    EXPECT_EQ(f.runInfo().directionSign(), -1.0);
}

// The run particulars the other screens read are, at every moment, what the start screen's
// controls show: whether the operator changed a control or another screen wrote them back.
TEST(StartScreen, RunParticularsAndControlsAgreeWhoeverChangesThem)
{
    StartedProgram p;
    // A name listed twice: a pick is by position, as the drop-down makes it.
    ASSERT_TRUE(replaceFile(p.path("skiers.txt"), "Ann\r\nBee\r\nAnn\r\n").ok);
    StartScreenDriver s(p.start());
    StartScreen& f = s.screen();
    RunParticulars& run = p.state.run;
    auto agree = [&](const char* step) {
        EXPECT_TRUE(run.info() == f.runInfo()) << step;
        for (NameList list : kNameListsInLoadOrder)
            EXPECT_EQ(run.namePosition(list), f.namePosition(list)) << step;
    };
    EXPECT_EQ(p.state.names[NameList::Skiers], (QStringList{"Ann", "Bee", "Ann"}));
    agree("start-up");
    EXPECT_EQ(run.info().resultsFolder, "Default");

    s.type(Field::Tournament, "Nationals");
    agree("typed tournament");
    s.chooseEvent(Event::Jump);
    agree("jump");
    EXPECT_EQ(run.info().event, Event::Jump);
    s.chooseEvent(Event::Slalom);
    s.chooseLineLength(1);
    s.chooseDirection(Direction::Away);
    agree("slalom, 16.00, going away");
    EXPECT_EQ(run.info().lineLength, 1);
    s.pickPosition(NameList::Skiers, 2);
    agree("picked");
    EXPECT_EQ(run.namePosition(NameList::Skiers), 2);
    s.nameField(NameList::Skiers).setEditText("Cy");
    agree("typed over the pick");
    EXPECT_EQ(run.namePosition(NameList::Skiers), -1);

    // Written back by another screen, the controls follow.
    run.pickName(NameList::Skiers, 2, "Ann");
    agree("pick written back");
    EXPECT_EQ(f.namePosition(NameList::Skiers), 2);
    run.setBoatNumber("7b");
    run.setLineLength(8);
    run.setSlalomSpeed(3);
    run.setDirection(Direction::Toward);
    run.setLineLength(42); // no such line: nothing changes
    agree("written back");
    const RunInfo shown = f.runInfo();
    EXPECT_EQ(shown.boatNumber, "7b");
    EXPECT_STREQ(kLineLengths[size_t(shown.lineLength)], "9.75");
    EXPECT_EQ(shown.slalomSpeed, 3);
    EXPECT_EQ(shown.direction, Direction::Toward);
    EXPECT_EQ(shown.tournament, "Nationals");

    // A position the list does not have shows the name as typed.
    run.pickName(NameList::Skiers, 9, "Zed");
    agree("position beyond the list");
    EXPECT_EQ(s.nameField(NameList::Skiers).currentText(), "Zed");
    EXPECT_EQ(f.namePosition(NameList::Skiers), -1);
    // Jump written back brings the screen's jump choices, and with them the direction toward
    // the camera.
    run.setDirection(Direction::Away);
    run.setEvent(Event::Jump);
    agree("jump written back");
    EXPECT_EQ(run.info().direction, Direction::Toward);
    EXPECT_EQ(s.title(), "Video Jump Wakeline");
}

TEST(StartScreen, GoToSetupChecksTheFolderFirst)
{
    StartedProgram p;
    StartScreenDriver s(p.start(false)); // first run: no "Default" folder yet
    StartScreen& f = s.screen();
    s.goToSetup();
    ASSERT_EQ(p.fake.messages.shown.size(), 1u);
    EXPECT_EQ(p.fake.messages.shown[0].text,
              QStringLiteral("The results folder %1 cannot be used: No such file or directory.")
                  .arg(QDir::toNativeSeparators(p.path("Default"))));
    EXPECT_EQ(p.fake.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(p.screens.hasCalibrationScreen());

    // A trailing separator is removed and saved, then the check passes.
    QDir(p.folder.path()).mkdir("Default");
    s.replaceText(Field::ResultsFolder, "Default\\");
    s.goToSetup();
    EXPECT_EQ(f.runInfo().resultsFolder, "Default");
    EXPECT_EQ(storedResultsPath(p), "Default");
    EXPECT_FALSE(QFile::exists(p.path("Default/test.txt"))); // the probe takes itself back
    EXPECT_TRUE(p.screens.calibrationScreen().isVisible());
    EXPECT_FALSE(f.isVisible());
}

TEST(StartScreen, MeasureNeedsAValidCalibration)
{
    StartedProgram p;
    StartScreenDriver s(p.start());
    s.measure();
    ASSERT_EQ(p.fake.messages.shown.size(), 1u);
    EXPECT_EQ(p.fake.messages.shown[0].text,
              "The setup must be OK to proceed.  Return to the setup screen and create a valid "
              "setup");
    EXPECT_FALSE(p.screens.measureScreen().isVisible());
    EXPECT_TRUE(p.fake.messages.questions.empty()) << "nothing asked before the setup is OK";

    p.state.calibration.complete = true;
    p.fake.messages.yesNoAnswers.push_back(true); // no skier: measured without one
    s.measure();
    EXPECT_TRUE(p.screens.measureScreen().isVisible());
    EXPECT_FALSE(s.screen().isVisible());
}

// A boat test measures pass after pass with no skier: "Measure" asks once, and again only
// after the skier has changed. "No" keeps the start screen for a name to be picked.
TEST(StartScreen, MeasureWithNoSkierAsksOnceUntilTheSkierChanges)
{
    StartedProgram p;
    StartScreenDriver s(p.start());
    p.state.calibration.complete = true;
    std::deque<bool>& answers = p.fake.messages.yesNoAnswers;
    const auto measureAndBack = [&] {
        s.measure();
        const bool measuring = p.screens.measureScreen().isVisible();
        if (measuring) {
            p.screens.measureScreen().hide();
            p.screens.showStart();
        }
        return measuring;
    };

    answers = {false};
    EXPECT_FALSE(measureAndBack());
    EXPECT_TRUE(s.screen().isVisible());
    ASSERT_EQ(p.fake.messages.questions.size(), 1u);
    EXPECT_EQ(p.fake.messages.questions[0],
              QStringLiteral("No skier is picked. Measure without a skier name?"));
    answers = {true};
    EXPECT_TRUE(measureAndBack());
    EXPECT_EQ(p.fake.messages.questions.size(), 2u);
    EXPECT_TRUE(measureAndBack()) << "the same run: not asked again";
    EXPECT_EQ(p.fake.messages.questions.size(), 2u);

    // A name picked, then taken away again: the skier changed, so it is asked again.
    s.typeName(NameList::Skiers, "Ann");
    EXPECT_TRUE(measureAndBack());
    EXPECT_EQ(p.fake.messages.questions.size(), 2u);
    s.typeName(NameList::Skiers, "   ");
    answers = {true};
    EXPECT_TRUE(measureAndBack());
    EXPECT_EQ(p.fake.messages.questions.size(), 3u);
    EXPECT_TRUE(p.fake.messages.shown.empty());
}

TEST(StartScreen, ExitAndClosingEndTheProgram)
{
    StartedProgram viaMenu;
    StartScreenDriver s(viaMenu.start());
    QSignalSpy ended(&viaMenu.screens, &Screens::programEnded);
    s.exit();
    EXPECT_EQ(ended.count(), 1);

    StartedProgram viaClose;
    StartScreen& g = viaClose.start();
    viaClose.screens.calibrationScreen().show();
    QSignalSpy closed(&viaClose.screens, &Screens::programEnded);
    g.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(viaClose.screens.calibrationScreen().isVisible());
}

// What is typed into a name field is what the pass records, whatever the list holds: a
// prefix of a listed name, a listed name in another case, a name typed over a picked one.
TEST(StartScreen, NamesAreRecordedExactlyAsTypedOrPicked)
{
    StartedProgram p;
    for (const auto& [file, names] : {std::pair{"skiers.txt", "Anne Smith\r\n"},
                                      {"drivers.txt", "Bob\r\n"},
                                      {"boats.txt", "MasterCraft\r\nMalibu\r\n"},
                                      {"models.txt", "X-Star\r\nX-30\r\n"}})
        ASSERT_TRUE(replaceFile(p.path(file), names).ok);
    StartScreenDriver s(p.start());
    StartScreen& f = s.screen();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));

    s.typeName(NameList::Skiers, "Ann");
    s.typeName(NameList::Drivers, "bob");
    s.pickName(NameList::Boats, "Malibu");
    s.pickName(NameList::Models, "X-Star");
    s.typeName(NameList::Models, "X");

    const RunInfo run = f.runInfo();
    EXPECT_EQ(run.skier, "Ann");
    EXPECT_EQ(run.driver, "bob");
    EXPECT_EQ(run.boatMaker, "Malibu");
    EXPECT_EQ(run.boatModel, "X");
    EXPECT_EQ(f.namePosition(NameList::Boats), 1);
    EXPECT_EQ(f.namePosition(NameList::Models), -1);

    // A pass: the report in the day's result log, then the database line on return.
    summariseSamples(p.state.pass.samples, 162);
    p.state.pass.tenths = 161;
    p.state.pass.measured = true;
    f.hide();
    ResultsScreenDriver results = p.showResults();
    const QString log = readTextFile(p.path("Default/ResultLog1207.txt")).value_or("");
    for (const char* line : {"Skier Name: Ann\r\n", "Driver: bob\r\n", "Boat: Malibu\r\n"})
        EXPECT_TRUE(log.contains(line)) << line;
    results.returnToMain();
    const QStringList db =
        splitLines(readTextFile(p.path("Default/dbResultLog1207.txt")).value_or(""));
    ASSERT_FALSE(db.isEmpty());
    const QStringList fields = db[0].split('|');
    ASSERT_EQ(fields.size(), 22);
    EXPECT_EQ(fields.mid(1, 5), (QStringList{"Malibu", "X", "S", "bob", "Ann"}));
}
