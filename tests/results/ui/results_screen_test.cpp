// The results screen's wiring: what the operator does reaches its session, and what the
// session announces shows. The rules themselves are checked on the session
// (tests/results/results_session_test.cpp).

#include "app/settings_keys.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "results/buoy_figures_text.h"
#include "results/pass_report.h"
#include "results/pending_database_line.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ResultsScreenTest : public testing::Test, protected StartedProgram
{
protected:
    // The start screen, which the results screen writes back to.
    StartScreen& start() { return screens.startScreen(); }
    StartScreenDriver startDriver() { return StartScreenDriver(start()); }

    void SetUp() override
    {
        ASSERT_TRUE(
            replaceFile(path(QStringLiteral("skiers.txt")), QStringLiteral("Ann\r\nBee\r\n")).ok);
        ASSERT_TRUE(
            replaceFile(path(QStringLiteral("drivers.txt")), QStringLiteral("Carl\r\nDee\r\n")).ok);
        start().startUp();
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

    QString resultText(const QString& name) const
    {
        return readTextFile(results.filePath(name)).value_or(QString());
    }
    QStringList databaseLines() const
    {
        return splitLines(resultText(QStringLiteral("dbResultLog1207.txt")));
    }
    // The line the pending file holds now; empty when there is none.
    QString pendingLine() const
    {
        const QStringList files =
            QDir(results.path()).entryList({QStringLiteral("PendingDatabaseLine*")}, QDir::Files);
        if (files.size() != 1)
            return QString();
        const PendingLineRead read = readPendingLine(results.filePath(files[0]));
        return read.pending ? read.pending->line : QString();
    }

    static int countColour(const QImage& image, QRgb colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += (image.pixel(x, y) & 0xffffff) == (colour & 0xffffff) &&
                     qAlpha(image.pixel(x, y)) == 255;
        return n;
    }
    static QRgb rgb(const QImage& image, QPointF at)
    {
        return image.pixel(at.toPoint()) & 0xffffff;
    }
    // The colour within a pixel of the point: a line of one pixel falls on either side of
    // a position between two.
    static bool near(const QImage& image, QPointF at, QRgb colour)
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if ((image.pixel(at.toPoint() + QPoint(dx, dy)) & 0xffffff) == colour)
                    return true;
        return false;
    }
};

TEST_F(ResultsScreenTest, PassShowsItsReportLegendAndFigures)
{
    measurePass(161);
    ResultsScreenDriver r = showResults();
    EXPECT_EQ(r.window().windowTitle(), QStringLiteral("Path Deviation Display and Information"));
    EXPECT_TRUE(fake.messages.shown.empty());
    EXPECT_EQ(r.legend(), QStringList({"Black/Red - Measured Data", "Blue - Best Fit Path Line"}));
    EXPECT_EQ(r.report(),
              analysePass(start().runInfo(), state.pass.samples, 161, fake.clock.nowValue).report);
    EXPECT_TRUE(r.showsFigures());
    EXPECT_EQ(r.figuresSource(), QStringLiteral("Figures of this pass"));
    EXPECT_EQ(r.figuresTable()->rowCount(), 7);
    EXPECT_EQ(r.figureCell(0, 4), QStringLiteral("not judged"));
}

TEST_F(ResultsScreenTest, MessagesShowWithTheirTitlesAndTheDialogsOpenOnTheResultsFolder)
{
    showResults();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text, QStringLiteral("No Results loaded yet"));
    EXPECT_EQ(fake.messages.shown[0].title, QStringLiteral("Wakeline"));
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::None);
    EXPECT_FALSE(ResultsScreenDriver(screens.resultsScreen()).graphTimer()->isActive());
    screens.closeResults();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    chooseResultsFolder(results.filePath(QStringLiteral("missing")));
    measurePass(161);
    ResultsScreenDriver r = showResults();
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[1].text.contains(QStringLiteral("ResultLog1207.txt")));
    EXPECT_EQ(fake.messages.shown[1].title, QStringLiteral("Error Message"));
    EXPECT_EQ(fake.messages.shown[1].icon, MessageIcon::Warning);

    const QString saved = results.filePath(QStringLiteral("kept.txt"));
    fake.fileDialog.answers.push_back(saved);
    r.saveResults();
    const FileDialogRequest request = fake.fileDialog.requests.back();
    EXPECT_EQ(request.title, QStringLiteral("Save Result File"));
    EXPECT_EQ(request.filterIndex, 2);
    EXPECT_TRUE(request.forSaving);
    EXPECT_EQ(request.folder, results.filePath(QStringLiteral("missing")));
    // What the box shows is what is saved, with the closing lines.
    EXPECT_EQ(readTextFile(saved).value_or(QString()), savedResultsText(r.report()));
    EXPECT_EQ(r.window().focusWidget(), r.returnToMainButton());
}

TEST_F(ResultsScreenTest, GraphIsDrawnHalfASecondAfterLoading)
{
    for (double& d : state.pass.samples.deviations)
        d = 0.0;
    summariseSamples(state.pass.samples, 162);
    state.pass.tenths = 161;
    state.pass.measured = true;
    ResultsScreenDriver r = showResults();
    const int redBefore = countColour(r.graph().drawingLayer(), qRgb(255, 0, 0));
    QTest::qWait(700);
    const QImage layer = r.graph().drawingLayer();
    // The blue reference line lies over the centre line, red dots beside it.
    EXPECT_EQ(layer.pixel(116, 200) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(layer.pixel(118, 20) & 0xffffff, 0xff0000u);
    // The frame's red limit lines are there from loading on; the dots add about 330 pixels.
    EXPECT_GT(countColour(layer, qRgb(255, 0, 0)), redBefore + 250);
    EXPECT_EQ(r.graphCaption(GraphCaption::BuoyNumber6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(r.graphCaption(GraphCaption::RecordLimit)->isVisible());
    EXPECT_EQ(r.window().focusWidget(), r.split());
}

// The window opens at the size it always had, which fits a 1024 x 768 display with every
// control whole; it can grow and be maximised, and the graph grows with it, its bands,
// traces and captions where its geometry puts them.
TEST_F(ResultsScreenTest, TheWindowGrowsAndTheGraphWithIt)
{
    installRules();
    measurePass(161);
    ResultsScreenDriver r = showResults();
    QTest::qWait(700);
    ResultsScreen& w = r.window();
    ResultsGraphView& graph = r.graph();
    EXPECT_EQ(w.size(), QSize(984, 580));
    EXPECT_EQ(graph.geometry(), QRect(404, 0, 372, 580));
    EXPECT_EQ(graph.scale(), 1.0);
    for (QWidget* control : w.findChildren<QWidget*>()) {
        if (control->isVisible() && control->window() == &w) {
            EXPECT_TRUE(w.rect().contains(QRect(control->mapTo(&w, QPoint(0, 0)), control->size())))
                << control->objectName().toStdString();
        }
    }
    const int reportWidth = r.reportPages()->width();
    const int fieldsWidth = r.fieldColumn()->width();

    w.resize(1920, 1040);
    QCoreApplication::processEvents();
    EXPECT_GT(graph.width(), 1200);
    EXPECT_GT(graph.scale(), 2.0);
    EXPECT_EQ(r.reportPages()->width(), reportWidth);
    EXPECT_EQ(r.fieldColumn()->width(), fieldsWidth);
    // Where the geometry puts them: the graph's edge line, the red 20 cm line, the blue
    // best-fit line half way down, buoy 1's band beside the edge, and a caption.
    const QImage layer = graph.drawingLayer();
    EXPECT_TRUE(near(layer, graph.toView(7080, 3000), 0x000000u));
    EXPECT_TRUE(near(layer, graph.toView(7200, 3000), 0xff0000u));
    const PassStatistics& s = state.pass.statistics;
    EXPECT_TRUE(near(layer,
                     graph.toView(7800 - 3000 * (s.fitStart + s.fitEnd) / 2, 300 + 22.5 * 129.5),
                     0x0000ffu));
    const RuleSet rules = *readRuleSetFile(":/program/rules/2024-largest-25cm.txt").ruleSet;
    const GraphRect band = buoyWindowBands(computeBuoyFigures(
        passDeviations(state.pass.samples, 161), 161, Direction::Toward, rules))[0];
    EXPECT_EQ(rgb(graph.composed(), graph.toView(7030, (band.top + band.bottom) / 2)), 0xffeca0u);
    const QLabel* limit = r.graphCaption(GraphCaption::RecordLimit);
    EXPECT_EQ(limit->pos(), graph.toView(8880, 360).toPoint());
    EXPECT_GT(limit->font().pointSizeF(), 2 * w.font().pointSizeF());
}

TEST_F(ResultsScreenTest, SavedPassReadsBackListedShownAndTraced)
{
    measurePass(161);
    ResultsScreenDriver r = showResults();
    const QString file = results.filePath(QStringLiteral("pass1.txt"));
    fake.fileDialog.answers.push_back(file);
    r.saveResults();
    const QString saved = readTextFile(file).value_or(QString());

    // A cancelled dialog, a colour that is not a number, a cancelled prompt: each ends the
    // reading quietly, with the file's first line shown.
    r.readResultsFile();
    EXPECT_EQ(r.legend().size(), 2);
    for (const std::optional<QString>& answer :
         {std::optional<QString>(QStringLiteral("blue")), std::optional<QString>()}) {
        fake.fileDialog.answers.push_back(file);
        fake.messages.inputs.push_back(answer);
        r.readResultsFile();
        EXPECT_EQ(r.report(), QStringLiteral("Slalom Pass Results\r\n"));
    }
    EXPECT_EQ(r.legend().size(), 2);

    // The prompt asks again until the colour is one of its seven.
    fake.messages.prompts.clear();
    fake.fileDialog.answers.push_back(file);
    for (const char* answer : {"0", "8", "-1", "3"})
        fake.messages.inputs.push_back(QString::fromLatin1(answer));
    r.readResultsFile();
    EXPECT_EQ(fake.messages.prompts.size(), 4u);
    EXPECT_EQ(fake.fileDialog.requests.back().title,
              QStringLiteral("Read and Display Results File"));
    EXPECT_EQ(r.legend().last(), QStringLiteral("Cyan - ") + file);
    EXPECT_EQ(r.report(), saved.left(saved.indexOf(QStringLiteral("\r\nEnd of Pass"))));
    EXPECT_GT(countColour(r.graph().drawingLayer(), qRgb(0, 255, 255)), 200);
    EXPECT_TRUE(fake.messages.shown.empty());

    // A file of the other event is refused without asking for a colour.
    const QString jump = results.filePath(QStringLiteral("jump.txt"));
    ASSERT_TRUE(replaceFile(jump, QStringLiteral("Jump Pass Results\r\n")).ok);
    fake.fileDialog.answers.push_back(jump);
    r.readResultsFile();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.prompts.size(), 4u);
    EXPECT_TRUE(r.report().isEmpty());
}

// Every copy field and free text reaches the pending line at once, and the return writes the
// last one and sets up the next pass on the start screen.
TEST_F(ResultsScreenTest, CopyFieldsAndNotesReachTheLineAndTheStartScreen)
{
    startDriver().pickPosition(NameList::Skiers, 1);
    startDriver().replaceText(StartScreenDriver::Field::BoatNumber, QStringLiteral("4"));
    measurePass(161);
    ResultsScreenDriver r = showResults();
    EXPECT_EQ(r.nameCopy(NameList::Skiers)->currentIndex(), 1);
    EXPECT_EQ(r.nameCopy(NameList::Drivers)->currentIndex(), -1);
    EXPECT_EQ(r.nameCopy(NameList::Drivers)->count(), 2);
    // The copy list shows its title while nothing is picked; the title is never a name.
    EXPECT_EQ(r.nameCopy(NameList::Drivers)->placeholderText(), QStringLiteral("Drivers"));
    EXPECT_EQ(r.boatNumber()->text(), QStringLiteral("4"));
    EXPECT_EQ(r.lineCopy()->currentText(), QStringLiteral("11.25"));
    EXPECT_EQ(r.nextLine()->currentText(), QStringLiteral("11.25"));

    auto field = [&](int i) { return pendingLine().split('|').value(i); };
    r.typeSplit(QStringLiteral("1.5"));
    EXPECT_EQ(field(12), QStringLiteral("1.5"));
    r.typeFull(QStringLiteral("2"));
    EXPECT_EQ(field(13), QStringLiteral("2"));
    r.typeComment(QStringLiteral("gusty"));
    EXPECT_EQ(field(21), QStringLiteral("gusty"));
    r.setBoatNumber(QStringLiteral("7"));
    EXPECT_EQ(field(0), QStringLiteral("7"));
    EXPECT_EQ(start().runInfo().boatNumber, QStringLiteral("7"));
    r.pickName(NameList::Skiers, 0);
    EXPECT_EQ(field(5), QStringLiteral("Ann"));
    EXPECT_EQ(start().runInfo().skier, QStringLiteral("Ann"));
    r.pickLine(QStringLiteral("16.00"));
    EXPECT_EQ(field(7), QStringLiteral("16.00"));
    EXPECT_EQ(start().runInfo().lineLength, 1);
    const QString kept = pendingLine();

    r.returnToMain();
    EXPECT_EQ(databaseLines(), QStringList{kept});
    EXPECT_TRUE(pendingLine().isEmpty());
    // The next pass's line comes from the next pass's list, still on "11.25".
    EXPECT_EQ(start().runInfo().lineLength, 5);
    EXPECT_EQ(start().runInfo().direction, Direction::Away);
    EXPECT_TRUE(start().isVisible());
    EXPECT_FALSE(screens.hasResults());
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(ResultsScreenTest, JumpOffersItsSpeedsAndReturnToMeasureShowsTheMeasurementScreen)
{
    startDriver().chooseEvent(Event::Jump);
    measurePass(177);
    ResultsScreenDriver r = showResults();
    ASSERT_EQ(r.nextSpeed()->count(), 9);
    EXPECT_EQ(r.nextSpeed()->currentText(), QStringLiteral("57/35"));
    EXPECT_FALSE(r.nextLine()->isEnabled());
    EXPECT_FALSE(r.lineCopy()->isEnabled());
    EXPECT_FALSE(r.showsFigures());
    EXPECT_TRUE(r.figuresSource().startsWith("Jump passes have no per-buoy figures"));
    r.pickNextSpeed(QStringLiteral("72/45"));
    r.returnToMeasure();
    EXPECT_STREQ(start().runInfo().speed()->caption, "72/45");
    EXPECT_TRUE(screens.measureScreen().isVisible());
    EXPECT_FALSE(start().isVisible());
    EXPECT_FALSE(screens.hasResults());
    EXPECT_EQ(databaseLines().size(), 1);
}

// 58 km/h, coming toward the camera: 22 cm toward buoy 1's skier, 10 cm away from buoy 2's
// all through its window, 30 cm toward buoy 3's.
TEST_F(ResultsScreenTest, BuoyTableShowsTheFiguresColouredAndTheListChoosesTheRuleSet)
{
    installRules();
    state.pass.samples.deviations.fill(0.0);
    state.pass.samples.deviations[1] = 0.46; // at the gate: the widest reading
    state.pass.samples.deviations[18] = 0.22;
    for (int i : {43, 44, 45})
        state.pass.samples.deviations[size_t(i)] = 0.10;
    state.pass.samples.deviations[69] = 0.30;
    summariseSamples(state.pass.samples, 162);
    state.pass.tenths = 161;
    state.pass.measured = true;
    ResultsScreenDriver r = showResults();
    EXPECT_EQ(r.ruleSetCaption(), "Rule set: 2024 windows, largest reading, 25 cm");

    // The figures as the operator reads them, row by row.
    const RuleSet rules = *readRuleSetFile(":/program/rules/2024-largest-25cm.txt").ruleSet;
    const auto rows = buoyTableRows(
        computeBuoyFigures(passDeviations(state.pass.samples, 161), 161, Direction::Toward, rules));
    QTableWidget* table = r.figuresTable();
    for (int row = 0; row < 7; ++row) {
        const BuoyTableRow& expected = rows[size_t(row)];
        EXPECT_EQ(table->verticalHeaderItem(row)->text(), expected.window);
        EXPECT_EQ(QStringList({r.figureCell(row, 0), r.figureCell(row, 1), r.figureCell(row, 2),
                               r.figureCell(row, 3), r.figureCell(row, 4)}),
                  QStringList({expected.samples, expected.reading, expected.cumulative,
                               expected.tolerance, expected.verdict}))
            << row;
    }
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
    // Every figure whole in sight, the widest reading and the verdicts too.
    for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            const QRect cell = table->visualItemRect(item);
            EXPECT_TRUE(table->viewport()->rect().contains(cell))
                << row << ", " << column << ": " << item->text().toStdString();
            EXPECT_LE(table->fontMetrics().horizontalAdvance(item->text()) + 6, cell.width())
                << row << ", " << column << ": " << item->text().toStdString();
        }

    r.pickRuleSet(QStringLiteral("2021-largest-20cm.txt"));
    EXPECT_EQ(r.ruleSetCaption(), "Rule set: 2021 windows, largest reading, 20 cm");
    EXPECT_EQ(r.figureCell(1, 4), "OUT");
    EXPECT_EQ(fake.settings
                  .values[kSettingsApplication + "/" + kSettingsSection + "/" + kSettingsRuleSet],
              QStringLiteral("2021-largest-20cm.txt"));
    // A file the operator adds while the screen is open is in the list when it opens; one
    // that does not read leaves the set in force, and the list says so.
    ASSERT_TRUE(replaceFile(path(QStringLiteral("rules/mine.txt")),
                            QStringLiteral("name = Mine\r\nbuoy window = 5, 0\r\n"))
                    .ok);
    r.pickRuleSet(QStringLiteral("mine.txt"));
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(r.ruleSets()->currentText(), "2021-largest-20cm.txt");
}

} // namespace
