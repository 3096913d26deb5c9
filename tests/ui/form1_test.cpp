#include "app/run_particulars.h"
#include "app/settings_keys.h"
#include "calibration/ui/grid_setup.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "results/pass_report.h"
#include "results/ui/results.h"
#include "support/qt_printers.h"
#include "support/screen_fixture.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString storedResultsPath(const StartedProgram& p)
{
    return p.fake.settings.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath)
        .value_or("<none>");
}

void click(QWidget& screen, const char* button)
{
    QTest::mouseClick(child<QAbstractButton>(screen, button), Qt::LeftButton);
}

// The operator types over whatever the name field shows, then leaves it with Tab.
void typeName(QComboBox* field, const QString& text)
{
    field->setFocus();
    field->lineEdit()->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}

// The operator opens the drop-down and clicks a name in it.
void pickName(QComboBox* field, const QString& name)
{
    field->showPopup();
    // A click that comes at once after the list opens is taken as the opening click.
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QAbstractItemView* list = field->view();
    const QRect item = list->visualRect(list->model()->index(field->findText(name), 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
}

} // namespace

TEST(StartScreen, StartsWithTheDefaultRunParticulars)
{
    StartedProgram p;
    Form1& f = p.start();
    const RunInfo r = f.runInfo();
    // The name fields show the lists' titles as placeholders and hold no name.
    for (const auto& [name, title] : {std::pair{"cbSkiers", "Skiers"},
                                      {"cbDrivers", "Drivers"},
                                      {"cbBoats", "Boat Manufacturer"},
                                      {"cbModels", "Boat Model"}}) {
        auto* combo = child<QComboBox>(f, name);
        EXPECT_EQ(combo->currentText(), QString()) << name;
        EXPECT_EQ(combo->lineEdit()->placeholderText(), title) << name;
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
    EXPECT_EQ(child<QLabel>(f, "Label1")->text(), "Video Slalom Wakeline");
    EXPECT_TRUE(f.windowTitle().startsWith("Wakeline "));
    EXPECT_FALSE(child<QGroupBox>(f, "fmJumpSpeed")->isVisible());

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
    Form1& f = first.start();
    EXPECT_EQ(f.runInfo().resultsFolder, "Default");
    EXPECT_EQ(storedResultsPath(first), "Default");

    StartedProgram stored;
    stored.fake.settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, "",
                                  nullptr);
    EXPECT_EQ(stored.start().runInfo().resultsFolder, stored.folder.path());
    EXPECT_EQ(storedResultsPath(stored), stored.folder.path());

    // Every keystroke is saved.
    auto* field = child<QLineEdit>(f, "txtResults");
    field->clear();
    const int before = first.fake.settings.writes;
    QTest::keyClicks(field, "abc");
    EXPECT_EQ(first.fake.settings.writes - before, 3);
    EXPECT_EQ(storedResultsPath(first), "abc");
}

TEST(StartScreen, SettingsThatCannotBeWrittenAreReportedOnce)
{
    StartedProgram p;
    p.fake.settings.failWrites = true;
    Form1& f = p.start();
    QTest::keyClicks(child<QLineEdit>(f, "txtResults"), "xyz");
    ASSERT_EQ(p.fake.messages.shown.size(), 1u);
    EXPECT_TRUE(p.fake.messages.shown[0].text.contains("read-only"));
}

TEST(StartScreen, JumpForcesTowardAndSwapsTheGroups)
{
    StartedProgram p;
    Form1& f = p.start();
    f.setDirection(Direction::Away);
    EXPECT_EQ(f.runInfo().directionSign(), 1.0);
    f.selectSlalomSpeed(2);
    f.selectJumpSpeed(8);

    click(f, "optJump");
    EXPECT_EQ(f.runInfo().event, Event::Jump);
    EXPECT_EQ(f.runInfo().direction, Direction::Toward);
    EXPECT_EQ(f.runInfo().directionSign(), -1.0);
    EXPECT_FALSE(child<QRadioButton>(f, "optAway")->isVisible());
    EXPECT_FALSE(child<QGroupBox>(f, "fmLineLength")->isVisible());
    EXPECT_FALSE(child<QGroupBox>(f, "fmSlalomSpeed")->isVisible());
    auto* jumpGroup = child<QGroupBox>(f, "fmJumpSpeed");
    EXPECT_TRUE(jumpGroup->isVisible());
    EXPECT_EQ(jumpGroup->x(), child<QGroupBox>(f, "fmSlalomSpeed")->x());
    EXPECT_EQ(jumpGroup->x(), 6720 / 15);
    EXPECT_EQ(child<QLabel>(f, "Label1")->text(), "Video Jump Wakeline");
    EXPECT_STREQ(f.runInfo().speed()->caption, "72/45");

    click(f, "optSlalom");
    EXPECT_TRUE(child<QRadioButton>(f, "optAway")->isVisible());
    EXPECT_EQ(f.runInfo().direction, Direction::Toward); // not changed back
    EXPECT_STREQ(f.runInfo().speed()->caption, "52/32"); // each group keeps its own
    EXPECT_EQ(f.runInfo().jumpSpeed, 8);
    EXPECT_EQ(child<QLabel>(f, "Label1")->text(), "Video Slalom Wakeline");
}

TEST(StartScreen, OperationsOfferedToOtherScreensActLikeClicks)
{
    StartedProgram p;
    QFile list(p.path("skiers.txt"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("Smith, John\r\n\"Doe, Jane\"\r\n\r\nLee\r\n");
    list.close();
    Form1& f = p.start();

    EXPECT_EQ(f.nameItems(NameList::Skiers), (QStringList{"Smith", "John", "Doe, Jane", "Lee"}));
    EXPECT_EQ(f.namePosition(NameList::Skiers), -1);
    EXPECT_EQ(f.runInfo().skier, QString());
    f.selectNamePosition(NameList::Skiers, 2);
    EXPECT_EQ(f.runInfo().skier, "Doe, Jane");
    f.selectNamePosition(NameList::Skiers, 9); // out of range: nothing happens
    EXPECT_EQ(f.namePosition(NameList::Skiers), 2);

    f.selectLineLength(1);
    EXPECT_STREQ(kLineLengths[size_t(f.runInfo().lineLength)], "16.00");
    f.setBoatNumber("7b");
    EXPECT_EQ(f.runInfo().boatNumber, "7b");
    f.setDirection(Direction::Away);
    EXPECT_EQ(f.runInfo().directionSign(), 1.0);
    f.setDirection(Direction::Toward);
    EXPECT_EQ(f.runInfo().directionSign(), -1.0);
}

// The run particulars the other screens read are, at every moment, what the start screen's
// controls show: whether the operator changed a control or another screen wrote them back.
TEST(StartScreen, RunParticularsAndControlsAgreeWhoeverChangesThem)
{
    StartedProgram p;
    // A name listed twice: a pick is by position, as the drop-down makes it.
    ASSERT_TRUE(replaceFile(p.path("skiers.txt"), "Ann\r\nBee\r\nAnn\r\n").ok);
    Form1& f = p.start();
    RunParticulars& run = p.state.run;
    auto agree = [&](const char* step) {
        EXPECT_TRUE(run.info() == f.runInfo()) << step;
        for (NameList list : kNameListsInLoadOrder)
            EXPECT_EQ(run.namePosition(list), f.namePosition(list)) << step;
    };
    EXPECT_EQ(p.state.names[NameList::Skiers], (QStringList{"Ann", "Bee", "Ann"}));
    agree("start-up");
    EXPECT_EQ(run.info().resultsFolder, "Default");

    QTest::keyClicks(child<QLineEdit>(f, "txtTournament"), "Nationals");
    agree("typed tournament");
    click(f, "optJump");
    agree("jump");
    EXPECT_EQ(run.info().event, Event::Jump);
    click(f, "optSlalom");
    click(f, "Option2");
    click(f, "optAway");
    agree("slalom, 16.00, going away");
    EXPECT_EQ(run.info().lineLength, 1);
    f.selectNamePosition(NameList::Skiers, 2);
    agree("picked");
    EXPECT_EQ(run.namePosition(NameList::Skiers), 2);
    child<QComboBox>(f, "cbSkiers")->setEditText("Cy");
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
}

TEST(StartScreen, GoToSetupChecksTheFolderFirst)
{
    StartedProgram p;
    Form1& f = p.start(false); // first run: no "Default" folder yet
    click(f, "btnSetup");
    ASSERT_EQ(p.fake.messages.shown.size(), 1u);
    EXPECT_EQ(p.fake.messages.shown[0].text,
              QStringLiteral("The results folder %1 cannot be used: No such file or directory.")
                  .arg(QDir::toNativeSeparators(p.path("Default"))));
    EXPECT_EQ(p.fake.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(f.isVisible());
    EXPECT_FALSE(p.screens.hasGridSetup());

    // A trailing separator is removed and saved, then the check passes.
    QDir(p.folder.path()).mkdir("Default");
    child<QLineEdit>(f, "txtResults")->setText("Default\\");
    click(f, "btnSetup");
    EXPECT_EQ(f.runInfo().resultsFolder, "Default");
    EXPECT_EQ(storedResultsPath(p), "Default");
    EXPECT_FALSE(QFile::exists(p.path("Default/test.txt"))); // the probe takes itself back
    EXPECT_TRUE(p.screens.gridSetup().isVisible());
    EXPECT_FALSE(f.isVisible());
}

TEST(StartScreen, MeasureNeedsAValidCalibration)
{
    StartedProgram p;
    Form1& f = p.start();
    click(f, "Command1");
    ASSERT_EQ(p.fake.messages.shown.size(), 1u);
    EXPECT_EQ(p.fake.messages.shown[0].text,
              "The setup must be OK to proceed.  Return to the setup screen and create a valid "
              "setup");
    EXPECT_FALSE(p.screens.measureScreen().isVisible());
    EXPECT_TRUE(p.fake.messages.questions.empty()) << "nothing asked before the setup is OK";

    p.state.calibration.complete = true;
    p.fake.messages.yesNoAnswers.push_back(true); // no skier: measured without one
    click(f, "Command1");
    EXPECT_TRUE(p.screens.measureScreen().isVisible());
    EXPECT_FALSE(f.isVisible());
}

// A boat test measures pass after pass with no skier: "Measure" asks once, and again only
// after the skier has changed. "No" keeps the start screen for a name to be picked.
TEST(StartScreen, MeasureWithNoSkierAsksOnceUntilTheSkierChanges)
{
    StartedProgram p;
    Form1& f = p.start();
    p.state.calibration.complete = true;
    auto* skier = child<QComboBox>(f, "cbSkiers");
    std::deque<bool>& answers = p.fake.messages.yesNoAnswers;
    const auto measureAndBack = [&] {
        click(f, "Command1");
        const bool measuring = p.screens.measureScreen().isVisible();
        if (measuring) {
            p.screens.measureScreen().hide();
            p.screens.showStart();
        }
        return measuring;
    };

    answers = {false};
    EXPECT_FALSE(measureAndBack());
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(p.fake.messages.questions.size(), 1u);
    EXPECT_EQ(p.fake.messages.questions[0],
              QStringLiteral("No skier is picked. Measure without a skier name?"));
    answers = {true};
    EXPECT_TRUE(measureAndBack());
    EXPECT_EQ(p.fake.messages.questions.size(), 2u);
    EXPECT_TRUE(measureAndBack()) << "the same run: not asked again";
    EXPECT_EQ(p.fake.messages.questions.size(), 2u);

    // A name picked, then taken away again: the skier changed, so it is asked again.
    typeName(skier, "Ann");
    EXPECT_TRUE(measureAndBack());
    EXPECT_EQ(p.fake.messages.questions.size(), 2u);
    typeName(skier, "   ");
    answers = {true};
    EXPECT_TRUE(measureAndBack());
    EXPECT_EQ(p.fake.messages.questions.size(), 3u);
    EXPECT_TRUE(p.fake.messages.shown.empty());
}

TEST(StartScreen, ExitAndClosingEndTheProgram)
{
    StartedProgram viaMenu;
    Form1& f = viaMenu.start();
    QSignalSpy ended(&viaMenu.screens, &Screens::programEnded);
    f.findChild<QAction*>("mnuExit")->trigger();
    EXPECT_EQ(ended.count(), 1);

    StartedProgram viaClose;
    Form1& g = viaClose.start();
    viaClose.screens.gridSetup().show();
    QSignalSpy closed(&viaClose.screens, &Screens::programEnded);
    g.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(viaClose.screens.gridSetup().isVisible());
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
    Form1& f = p.start();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));

    typeName(child<QComboBox>(f, "cbSkiers"), "Ann");
    typeName(child<QComboBox>(f, "cbDrivers"), "bob");
    pickName(child<QComboBox>(f, "cbBoats"), "Malibu");
    pickName(child<QComboBox>(f, "cbModels"), "X-Star");
    typeName(child<QComboBox>(f, "cbModels"), "X");

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
    Results& results = p.screens.results();
    results.load();
    results.show();
    const QString log = readTextFile(p.path("Default/ResultLog1207.txt")).value_or("");
    for (const char* line : {"Skier Name: Ann\r\n", "Driver: bob\r\n", "Boat: Malibu\r\n"})
        EXPECT_TRUE(log.contains(line)) << line;
    click(results, "Command1");
    const QStringList db =
        splitLines(readTextFile(p.path("Default/dbResultLog1207.txt")).value_or(""));
    ASSERT_FALSE(db.isEmpty());
    const QStringList fields = db[0].split('|');
    ASSERT_EQ(fields.size(), 22);
    EXPECT_EQ(fields.mid(1, 5), (QStringList{"Malibu", "X", "S", "bob", "Ann"}));
}
