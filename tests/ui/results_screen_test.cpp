#include "app/settings_keys.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/drawing_surface.h"
#include "results/buoy_figures.h"
#include "results/pass_report.h"
#include "results/results_file.h"
#include "results/ui/results.h"
#include "support/screen_fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ResultsScreen : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            replaceFile(path(QStringLiteral("skiers.txt")), QStringLiteral("Ann\r\nBee\r\n")).ok);
        ASSERT_TRUE(
            replaceFile(path(QStringLiteral("drivers.txt")), QStringLiteral("Carl\r\nDee\r\n")).ok);
        form1 = &screens.form1();
        form1->startUp();
        chooseResultsFolder();
    }

    // The shipped rule sets in the program folder's "rules" folder, as on first use.
    void installRules()
    {
        QDir(folder.path()).mkpath(QStringLiteral("rules"));
        for (const char* name : kBuiltInRuleSetFiles)
            ASSERT_TRUE(
                QFile::copy(QStringLiteral(":/program/") + name, path(QString::fromLatin1(name))));
    }

    // Picks a rule set file in the list as the operator does: open it, click the entry.
    void chooseRuleSet(Results& r, const QString& fileName)
    {
        auto* list = child<QComboBox>(r, "cbRuleSet");
        list->showPopup();
        const int i = list->findText(fileName);
        ASSERT_GE(i, 0) << fileName.toStdString();
        QAbstractItemView* view = list->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(i, 0)).center());
        EXPECT_FALSE(view->isVisible());
    }

    QString cell(Results& r, int row, int column)
    {
        const QTableWidgetItem* item = child<QTableWidget>(r, "grdBuoys")->item(row, column);
        return item ? item->text() : QString();
    }

    QString label(Results& r, const char* name) { return child<QLabel>(r, name)->text(); }

    Results& open()
    {
        Results& r = screens.results();
        r.load();
        r.show();
        return r;
    }

    template <typename T> T* child(Results& r, const char* name)
    {
        T* w = r.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QString resultText(const QString& name) const
    {
        return readTextFile(results.filePath(name)).value_or(QString());
    }

    QStringList listItems(Results& r)
    {
        QStringList items;
        auto* list = child<QListWidget>(r, "List1");
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }

    QString shown(Results& r) { return child<QPlainTextEdit>(r, "txtResults")->toPlainText(); }

    QImage drawing(Results& r) { return r.findChild<DrawingSurface*>()->drawingLayer(); }

    static int countColour(const QImage& image, QRgb colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) &&
                     qAlpha(image.pixel(x, y)) == 255;
        return n;
    }

    Form1* form1 = nullptr;
};

TEST_F(ResultsScreen, PassIsReportedAndLogged)
{
    measurePass(161);
    Results& r = open();
    EXPECT_EQ(r.windowTitle(), QStringLiteral("Path Deviation Display and Information"));
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(listItems(r),
              QStringList({"Black/Red - Measured Data", "Blue - Best Fit Path Line"}));
    const QString report =
        analysePass(form1->runInfo(), state.pass.samples, 161, fake.clock.nowValue).report;
    QString text = shown(r);
    text.replace('\n', QStringLiteral("\r\n"));
    EXPECT_EQ(text, report);
    EXPECT_EQ(resultText(QStringLiteral("ResultLog1207.txt")), report + QStringLiteral("\r\n"));
    // No name was picked: the log records none, not the lists' titles.
    EXPECT_TRUE(report.contains(QStringLiteral("\r\nSkier Name: \r\n")));
    const QString side = resultText(QStringLiteral("originalmeasurements.txt"));
    EXPECT_TRUE(side.startsWith(QStringLiteral("Slalom\r\n12-07-2026\r\n14:05:09\r\n")));
    EXPECT_NE(state.pass.statistics.meanFitDeviation, 0.0);
}

TEST_F(ResultsScreen, NoPassSaysSoButStillWritesTheDatabaseLine)
{
    Results& r = open();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("No Results loaded yet"));
    EXPECT_TRUE(listItems(r).isEmpty());
    EXPECT_EQ(child<QComboBox>(r, "cbSkiCopy")->count(), 2);
    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    const QStringList lines = splitLines(resultText(QStringLiteral("dbResultLog1207.txt")));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].split('|').size(), 22);
}

TEST_F(ResultsScreen, UnwritableFolderKeepsThePassAndNamesEveryFile)
{
    chooseResultsFolder(results.filePath(QStringLiteral("missing/deeper")));
    measurePass(161);
    form1->setDirection(Direction::Away);
    Results& r = open();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const QString message = fake.messages.shown[0].text;
    EXPECT_TRUE(message.contains(QStringLiteral("originalmeasurements.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("ResultLog1207.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("BuoyLog1207.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")));
    EXPECT_EQ(cell(r, 1, 4), "within"); // the figures stay on the screen
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(shown(r).startsWith(QStringLiteral("Slalom Pass Results\n")));

    // Saved elsewhere, the pass is safe.
    const QString elsewhere = results.filePath(QStringLiteral("kept.txt"));
    fake.fileDialog.answers.push_back(elsewhere);
    QTest::mouseClick(child<QPushButton>(r, "btnSaveResults"), Qt::LeftButton);
    EXPECT_TRUE(readTextFile(elsewhere).value_or(QString()).endsWith(
        QStringLiteral("\r\n\r\nEnd of Pass Analysis\r\n\r\n")));
    EXPECT_EQ(fake.fileDialog.requests.back().filterIndex, 2);

    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[1].text.contains(QStringLiteral("dbResultLog1207.txt")));
    // The next pass is set up all the same.
    EXPECT_EQ(form1->runInfo().direction, Direction::Toward);
    EXPECT_FALSE(screens.hasResults());
}

TEST_F(ResultsScreen, GraphIsDrawnHalfASecondAfterLoading)
{
    for (double& d : state.pass.samples.deviations)
        d = 0.0;
    summariseSamples(state.pass.samples, 162);
    state.pass.tenths = 161;
    state.pass.measured = true;
    Results& r = open();
    const int redBefore = countColour(drawing(r), qRgb(255, 0, 0));
    QTest::qWait(700);
    const QImage layer = drawing(r);
    // The blue reference line lies over the centre line, red dots beside it.
    EXPECT_EQ(layer.pixel(520, 200) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(layer.pixel(522, 20) & 0xffffff, 0xff0000u);
    // The frame's red limit lines are there from loading on; the dots add about 330 pixels.
    EXPECT_GT(countColour(layer, qRgb(255, 0, 0)), redBefore + 250);
    EXPECT_EQ(child<QLabel>(r, "Label8")->text(), QStringLiteral("1"));
    EXPECT_TRUE(child<QLabel>(r, "Label12")->isVisible());
}

TEST_F(ResultsScreen, SavedPassReadBackIsListedShownAndTraced)
{
    measurePass(161);
    Results& r = open();
    const QString file = results.filePath(QStringLiteral("pass1.txt"));
    fake.fileDialog.answers.push_back(file);
    QTest::mouseClick(child<QPushButton>(r, "btnSaveResults"), Qt::LeftButton);
    const QString saved = readTextFile(file).value_or(QString());

    fake.fileDialog.answers.push_back(file);
    for (const char* answer : {"0", "8", "-1", "3"})
        fake.messages.inputs.push_back(QString::fromLatin1(answer));
    QTest::mouseClick(child<QPushButton>(r, "btnDisplay"), Qt::LeftButton);
    EXPECT_EQ(fake.messages.prompts.size(), 4u);
    EXPECT_EQ(listItems(r).last(), QStringLiteral("Cyan - ") + file);
    // The report and the first empty line after it; the closing line is not shown.
    QString text = shown(r);
    text.replace('\n', QStringLiteral("\r\n"));
    EXPECT_EQ(text, saved.left(saved.indexOf(QStringLiteral("\r\nEnd of Pass"))));
    EXPECT_GT(countColour(drawing(r), qRgb(0, 255, 255)), 200);
}

TEST_F(ResultsScreen, JumpFileIsRefusedWhileSlalomIsSelected)
{
    measurePass(161);
    Results& r = open();
    const QString file = results.filePath(QStringLiteral("jump.txt"));
    ASSERT_TRUE(replaceFile(file, QStringLiteral("Jump Pass Results\r\nFrame  0   Course "
                                                 "Position: 000.0   Deviation:  0\r\n\r\n"))
                    .ok);
    fake.fileDialog.answers.push_back(file);
    QTest::mouseClick(child<QPushButton>(r, "btnDisplay"), Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("Not a valid slalom path results file"));
    EXPECT_TRUE(shown(r).isEmpty());
    EXPECT_TRUE(fake.messages.prompts.empty());
    EXPECT_EQ(listItems(r).size(), 2);
}

TEST_F(ResultsScreen, NonNumericOrCancelledColourEndsQuietly)
{
    measurePass(161);
    Results& r = open();
    const QString file = results.filePath(QStringLiteral("p.txt"));
    fake.fileDialog.answers.push_back(file);
    QTest::mouseClick(child<QPushButton>(r, "btnSaveResults"), Qt::LeftButton);
    for (const std::optional<QString>& answer :
         {std::optional<QString>(QStringLiteral("blue")), std::optional<QString>()}) {
        fake.fileDialog.answers.push_back(file);
        fake.messages.inputs.push_back(answer);
        QTest::mouseClick(child<QPushButton>(r, "btnDisplay"), Qt::LeftButton);
        EXPECT_EQ(shown(r), QStringLiteral("Slalom Pass Results\n"));
    }
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(listItems(r).size(), 2);
    // A cancelled file dialog changes nothing.
    QTest::mouseClick(child<QPushButton>(r, "btnDisplay"), Qt::LeftButton);
    EXPECT_EQ(shown(r), QStringLiteral("Slalom Pass Results\n"));
}

TEST_F(ResultsScreen, LineCopyWritesBackAndReachesTheDatabaseLine)
{
    measurePass(161);
    Results& r = open();
    auto* line = child<QComboBox>(r, "cbLineCopy");
    EXPECT_EQ(line->currentIndex(), 5); // "11.25", the start screen's choice
    line->setCurrentIndex(line->findText(QStringLiteral("16.00")));
    EXPECT_EQ(form1->runInfo().lineLength, 1);
    EXPECT_EQ(state.pass.lineText, QStringLiteral("16.00"));
    child<QLineEdit>(r, "txtComment")->setText(QStringLiteral("gusty | wind"));
    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    const QStringList f =
        splitLines(resultText(QStringLiteral("dbResultLog1207.txt")))[0].split('|');
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[3], QStringLiteral("S"));
    // The next pass's line comes from cbNewLineCopy, still on "11.25".
    EXPECT_EQ(f[7], QStringLiteral("16.00"));
    EXPECT_EQ(f[21], QStringLiteral("gusty   wind"));
    EXPECT_EQ(form1->runInfo().lineLength, 5);
    EXPECT_EQ(state.pass.lineText, QStringLiteral("11.25"));
    EXPECT_TRUE(form1->isVisible());
}

TEST_F(ResultsScreen, JumpSpeedChosenInTheCopyListIsSelectedOnReturn)
{
    form1->selectEvent(Event::Jump);
    measurePass(177);
    Results& r = open();
    auto* speed = child<QComboBox>(r, "cbSpeedCopy");
    ASSERT_EQ(speed->count(), 9);
    EXPECT_EQ(speed->currentText(), QStringLiteral("57/35"));
    EXPECT_FALSE(child<QComboBox>(r, "cbNewLineCopy")->isEnabled());
    EXPECT_TRUE(label(r, "lblBuoySource").startsWith("Jump passes have no per-buoy figures"));
    EXPECT_EQ(child<QTabWidget>(r, "tabResults")->currentWidget()->objectName(), "txtResults");
    EXPECT_FALSE(QFile::exists(results.filePath(QStringLiteral("BuoyLog1207.txt"))));
    speed->setCurrentIndex(speed->findText(QStringLiteral("72/45")));
    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    const RunInfo run = form1->runInfo();
    EXPECT_STREQ(run.speed()->caption, "72/45");
    EXPECT_EQ(run.direction, Direction::Toward);
    const QStringList f =
        splitLines(resultText(QStringLiteral("dbResultLog1207.txt")))[0].split('|');
    EXPECT_EQ(f[3], QStringLiteral("J"));
}

TEST_F(ResultsScreen, ReturnToMeasureAfterASlalomPassGoingAway)
{
    form1->setDirection(Direction::Away);
    measurePass(161);
    Results& r = open();
    QTest::mouseClick(child<QPushButton>(r, "Command2"), Qt::LeftButton);
    EXPECT_EQ(form1->runInfo().direction, Direction::Toward);
    EXPECT_TRUE(screens.measureScreen().isVisible());
    EXPECT_FALSE(form1->isVisible());
    EXPECT_FALSE(screens.hasResults());
    EXPECT_EQ(splitLines(resultText(QStringLiteral("dbResultLog1207.txt"))).size(), 1);
}

TEST_F(ResultsScreen, NameCopiesFollowAndWriteBackTheStartScreen)
{
    form1->selectNamePosition(NameList::Skiers, 1);
    form1->setBoatNumber(QStringLiteral("4"));
    measurePass(161);
    Results& r = open();
    auto* skiers = child<QComboBox>(r, "cbSkiCopy");
    EXPECT_EQ(skiers->currentIndex(), 1);
    EXPECT_EQ(child<QComboBox>(r, "cbDrvCopy")->currentIndex(), -1);
    EXPECT_EQ(child<QComboBox>(r, "cbDrvCopy")->count(), 2);
    EXPECT_EQ(form1->namePosition(NameList::Drivers), -1);
    EXPECT_EQ(form1->runInfo().driver, QString());
    // The copy list shows its title while nothing is picked; the title is never a name.
    EXPECT_EQ(child<QComboBox>(r, "cbDrvCopy")->placeholderText(), QStringLiteral("Drivers"));
    EXPECT_EQ(child<QLineEdit>(r, "txtNumCopy")->text(), QStringLiteral("4"));
    skiers->setCurrentIndex(0);
    EXPECT_EQ(form1->runInfo().skier, QStringLiteral("Ann"));
    child<QLineEdit>(r, "txtNumCopy")->setText(QStringLiteral("9|x"));
    EXPECT_EQ(form1->runInfo().boatNumber, QStringLiteral("9|x"));
    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    const QStringList f =
        splitLines(resultText(QStringLiteral("dbResultLog1207.txt")))[0].split('|');
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[0], QStringLiteral("9 x"));
    EXPECT_EQ(f[5], QStringLiteral("Ann"));
    EXPECT_EQ(QStringList({f[1], f[2], f[4]}), QStringList({"", "", ""})); // never picked
}

// 58 km/h, coming toward the camera: 22 cm toward buoy 1's skier, 10 cm away from buoy 2's
// all through its window, 30 cm toward buoy 3's.
TEST_F(ResultsScreen, BuoyTableShowsThePassFiguresColouredAndTheDayFileHasThemOnce)
{
    installRules();
    state.pass.samples.deviations.fill(0.0);
    state.pass.samples.deviations[18] = 0.22;
    for (int i : {43, 44, 45})
        state.pass.samples.deviations[size_t(i)] = 0.10;
    state.pass.samples.deviations[69] = 0.30;
    summariseSamples(state.pass.samples, 162);
    state.pass.tenths = 161;
    state.pass.measured = true;
    Results& r = open();
    EXPECT_EQ(child<QTabWidget>(r, "tabResults")->currentWidget()->objectName(), "fmBuoys");
    EXPECT_EQ(label(r, "lblRuleSet"), "Rule set: 2024 windows, largest reading, 25 cm");

    // The figures as the operator reads them, row by row: the logic's, and by hand.
    const RuleSet rules = *readRuleSetFile(":/program/rules/2024-largest-25cm.txt").ruleSet;
    const BuoyFigures f =
        computeBuoyFigures(passDeviations(state.pass.samples, 161), 161, Direction::Toward, rules);
    const auto rows = buoyTableRows(f);
    auto* table = child<QTableWidget>(r, "grdBuoys");
    ASSERT_EQ(table->rowCount(), 7);
    for (int row = 0; row < 7; ++row) {
        const BuoyTableRow& expected = rows[size_t(row)];
        EXPECT_EQ(table->verticalHeaderItem(row)->text(), expected.window);
        EXPECT_EQ(QStringList({cell(r, row, 0), cell(r, row, 1), cell(r, row, 2), cell(r, row, 3),
                               cell(r, row, 4)}),
                  QStringList({expected.samples, expected.reading, expected.cumulative,
                               expected.tolerance, expected.verdict}))
            << row;
    }
    EXPECT_EQ(QStringList({cell(r, 1, 1), cell(r, 2, 1), cell(r, 3, 1), cell(r, 3, 2)}),
              QStringList({"+22.0", "-10.0", "+30.0", "+42.0"}));

    // Green within, red out, uncoloured where nothing is judged (2024: the gate).
    auto shade = [&](int row, int column) {
        const QColor c = table->item(row, column)->background().color();
        if (table->item(row, column)->background().style() == Qt::NoBrush)
            return QStringLiteral("none");
        return c.green() > c.red() ? QStringLiteral("green") : QStringLiteral("red");
    };
    EXPECT_EQ(QStringList({shade(0, 4), shade(1, 1), shade(1, 4), shade(2, 2), shade(3, 1),
                           shade(3, 2), shade(3, 4)}),
              QStringList({"none", "green", "green", "green", "red", "red", "red"}));
    EXPECT_EQ(cell(r, 3, 4), "OUT");

    // One block for the pass in the day file, whatever is chosen afterwards.
    const QString block = buoyLogBlock(form1->runInfo(), f, fake.clock.nowValue);
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")), block);
    chooseRuleSet(r, QStringLiteral("2021-largest-20cm.txt"));
    EXPECT_EQ(cell(r, 1, 4), "OUT");
    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")), block);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(ResultsScreen, RuleSetChoiceIsRememberedAndABrokenFileKeepsTheOneInForce)
{
    installRules();
    fake.settings
        .values[kSettingsApplication + "/" + kSettingsSection + "/" + kSettingsResultsPath] =
        results.path();
    const auto before = fake.settings.values;
    measurePass(161);
    Results& r = open();
    chooseRuleSet(r, QStringLiteral("2021-largest-20cm.txt"));
    EXPECT_EQ(label(r, "lblRuleSet"), "Rule set: 2021 windows, largest reading, 20 cm");
    EXPECT_EQ(cell(r, 1, 3), "20 / 20");
    const QString ruleKey = kSettingsApplication + "/" + kSettingsSection + "/" + kSettingsRuleSet;
    auto remembered = before;
    remembered[ruleKey] = QStringLiteral("2021-largest-20cm.txt");
    EXPECT_EQ(fake.settings.values, remembered); // and "resultspath" untouched

    // A file the operator adds while the screen is open is in the list when it opens.
    ASSERT_TRUE(replaceFile(path(QStringLiteral("rules/mine.txt")),
                            QStringLiteral("name = Mine\r\nbuoy window = 5, 0\r\n"))
                    .ok);
    chooseRuleSet(r, QStringLiteral("mine.txt"));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const QString message = fake.messages.shown[0].text;
    EXPECT_TRUE(message.contains("\"mine.txt\", line 2, \"buoy window\"")) << message.toStdString();
    EXPECT_EQ(child<QComboBox>(r, "cbRuleSet")->currentText(), "2021-largest-20cm.txt");
    EXPECT_EQ(cell(r, 1, 3), "20 / 20");
    EXPECT_EQ(fake.settings.values, remembered);

    // The next pass starts under the remembered set, and its day file block says so.
    QTest::mouseClick(child<QPushButton>(r, "Command1"), Qt::LeftButton);
    measurePass(161);
    Results& next = open();
    EXPECT_EQ(child<QComboBox>(next, "cbRuleSet")->currentText(), "2021-largest-20cm.txt");
    EXPECT_EQ(label(next, "lblRuleSet"), "Rule set: 2021 windows, largest reading, 20 cm");
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")).count("Rule set: 2021 windows"), 1);

    // A store that cannot keep the choice: the operator hears of it; the set is in force.
    fake.settings.failWrites = true;
    chooseRuleSet(next, QStringLiteral("2024-largest-25cm.txt"));
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[1].text.contains("could not be remembered"));
    EXPECT_EQ(cell(next, 1, 3), "25 / 25");
}

// A saved pass that stopped at 127.1 m, read back: figures for the windows it reached.
TEST_F(ResultsScreen, ShortPassReadBackGivesTheWindowsItReached)
{
    installRules();
    measurePass(161);
    Results& r = open();
    PassSamples shortPass;
    for (int i = 0; i < 80; ++i)
        shortPass.deviations[size_t(i)] = 0.05;
    summariseSamples(shortPass, 80);
    QStringList lines =
        analysePass(form1->runInfo(), shortPass, 161, fake.clock.nowValue).report.split("\r\n");
    lines.remove(lines.indexOf(QRegularExpression("Frame +80 .*")), 82);
    const QString file = results.filePath(QStringLiteral("short.txt"));
    ASSERT_TRUE(replaceFile(file, savedResultsText(lines.join("\r\n"))).ok);
    const QString dayFile = resultText(QStringLiteral("BuoyLog1207.txt"));

    fake.fileDialog.answers.push_back(file);
    fake.messages.inputs.push_back(QStringLiteral("3"));
    QTest::mouseClick(child<QPushButton>(r, "btnDisplay"), Qt::LeftButton);
    EXPECT_EQ(label(r, "lblBuoySource"), "Figures of the file \"short.txt\" read back");
    EXPECT_EQ(cell(r, 2, 1), "-5.0");
    EXPECT_EQ(cell(r, 2, 4), "within");
    EXPECT_EQ(cell(r, 3, 4), "within");
    for (int row = 4; row <= 6; ++row)
        EXPECT_EQ(cell(r, row, 4), "not reached") << row;
    EXPECT_TRUE(label(r, "lblBuoyNotes").contains("The pass stops at 127.1 m"))
        << label(r, "lblBuoyNotes").toStdString();
    EXPECT_EQ(resultText(QStringLiteral("BuoyLog1207.txt")), dayFile); // not a recorded pass
}

} // namespace
