// Every file the program writes, made unwritable three ways (its folder missing, the folder
// read-only, the disk full), driven through the real screens: the operator gets one message
// naming the file and why, the screen goes on working, nothing measured is lost and a file
// that was being replaced keeps its old bytes. (The name lists and the settings file are
// checked the same way where they are written: tests/app and tests/platform.)

#include "calibration/ui/grid_setup.h"
#include "common/text_file.h"
#include "picture/ui/drawing_surface.h"
#include "results/pass_report.h"
#include "results/ui/results.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"
#include "support/write_block.h"
#include "support/write_failures.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class WriteFailures : public testing::TestWithParam<Failure>, protected StartedProgram
{
protected:
    void SetUp() override
    {
        installResources();
        startScreen.emplace(start());
        chooseResultsFolder();
    }
    void TearDown() override { mend(); }

    QString result(const QString& name) const { return results.filePath(name); }

    // Breaks the results folder for the files named, the way the test's parameter says: the
    // folder taken away (a memory stick pulled out) or made read-only until mend(), the disk
    // full for those files until the end.
    void breakResultsFolder(const QStringList& names)
    {
        switch (GetParam()) {
        case Failure::FolderMissing:
            ASSERT_TRUE(QDir().rename(results.path(), awayPath()));
            movedAway = true;
            break;
        case Failure::FolderReadOnly:
            block.emplace(results.path());
            break;
        case Failure::DiskFull:
            for (const QString& name : names) {
                QFile::remove(result(name));
                ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), result(name)));
            }
            break;
        }
    }
    void mend()
    {
        block.reset();
        if (movedAway) {
            ASSERT_TRUE(QDir().rename(awayPath(), results.path()));
        }
        movedAway = false;
    }
    QString awayPath() const { return results.path() + QStringLiteral("-away"); }

    // Exactly one message since `from`, a warning; its text.
    QString oneWarning(size_t from = 0)
    {
        EXPECT_EQ(fake.messages.shown.size(), from + 1) << allMessages().toStdString();
        if (fake.messages.shown.size() != from + 1)
            return QString();
        EXPECT_EQ(fake.messages.shown.back().icon, MessageIcon::Warning);
        return fake.messages.shown.back().text;
    }
    QString allMessages() const
    {
        QStringList texts;
        for (const ShownMessage& m : fake.messages.shown)
            texts << m.text;
        return texts.join(QStringLiteral("\n---\n"));
    }
    static bool names(const QString& message, const QString& path)
    {
        return message.contains(QDir::toNativeSeparators(path));
    }

    void click(QWidget& screen, const char* name)
    {
        auto* button = screen.findChild<QAbstractButton*>(QString::fromLatin1(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    void trigger(QWidget& screen, const char* name)
    {
        auto* action = screen.findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }

    // ---- calibration screen ----
    Grid_Setup& enterSetup()
    {
        startScreen->goToSetup();
        return screens.gridSetup();
    }
    void loadSlalom(Grid_Setup& grid)
    {
        fake.fileDialog.answers.push_back(QDir(state.place.folder).filePath("SlalomOK.ipt"));
        trigger(grid, "gridLoad");
    }
    int visibleIndicators(Grid_Setup& grid)
    {
        int n = 0;
        for (QLabel* l : grid.findChildren<QLabel*>())
            n += l->objectName().startsWith(QStringLiteral("AccuracyIndicator_")) && l->isVisible();
        return n;
    }

    // ---- results screen ----
    Results& openResults()
    {
        Results& r = screens.results();
        r.load();
        r.show();
        return r;
    }
    QString shownReport(Results& r)
    {
        QString text = r.findChild<QPlainTextEdit*>(QStringLiteral("txtResults"))->toPlainText();
        text.replace('\n', QStringLiteral("\r\n"));
        return text;
    }
    int graphPixels(Results& r)
    {
        const QImage layer = r.findChild<DrawingSurface*>()->drawingLayer();
        int n = 0;
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x)
                n += (layer.pixel(x, y) & 0xffffff) == 0xff0000u && qAlpha(layer.pixel(x, y));
        return n;
    }

    const QDir elsewhereDir{newFolder(QStringLiteral("elsewhere"))};
    std::optional<StartScreenDriver> startScreen;
    std::optional<WriteBlock> block;
    bool movedAway = false;
};

// ---- the end of a pass: statistics side file and day result log, then the database log ------

class PassLogs : public WriteFailures
{
};

TEST_P(PassLogs, OneMessageNamesBothFilesThePassStaysAndCanBeSavedElsewhere)
{
    const QByteArray earlierPass = "Slalom Pass Results\r\nan earlier pass\r\n";
    if (GetParam() != Failure::DiskFull) {
        ASSERT_TRUE(writeBytes(result("ResultLog1207.txt"), earlierPass));
    }
    breakResultsFolder({"ResultLog1207.txt", "originalmeasurements.txt", "dbResultLog1207.txt"});
    measurePass(161);
    startScreen->chooseDirection(Direction::Away);
    Results& r = openResults();

    const QString message = oneWarning();
    EXPECT_TRUE(names(message, result("originalmeasurements.txt"))) << message.toStdString();
    EXPECT_TRUE(names(message, result("ResultLog1207.txt"))) << message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), message)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("Save Result File")));
    const QString report =
        analysePass(startScreen->screen().runInfo(), state.pass.samples, 161, fake.clock.nowValue)
            .report;
    EXPECT_EQ(shownReport(r), report);
    QTest::qWait(700);
    EXPECT_GT(graphPixels(r), 500) << "the graph is drawn all the same";

    // Saved elsewhere, the pass is safe. (The size limit that stands in for a read-only
    // folder where tests run as root holds for every folder, so it is lifted meanwhile.)
    if (GetParam() == Failure::FolderReadOnly)
        block.reset();
    const QString kept = elsewhereDir.filePath(QStringLiteral("kept.txt"));
    fake.fileDialog.answers.push_back(kept);
    click(r, "btnSaveResults");
    EXPECT_EQ(fake.messages.shown.size(), 1u) << allMessages().toStdString();
    EXPECT_TRUE(readTextFile(kept).value_or(QString()).startsWith(report));

    // The database line fails too and is shown to the operator; the next pass is set up.
    if (GetParam() == Failure::FolderReadOnly)
        block.emplace(results.path());
    click(r, "Command1");
    const QString dbMessage = oneWarning(1);
    EXPECT_TRUE(names(dbMessage, result("dbResultLog1207.txt"))) << dbMessage.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), dbMessage)) << dbMessage.toStdString();
    EXPECT_TRUE(dbMessage.contains(QStringLiteral("The database line of this pass was:\n")));
    EXPECT_EQ(dbMessage.section('\n', -1).split('|').size(), 22) << dbMessage.toStdString();
    mend();
    if (GetParam() != Failure::DiskFull) {
        EXPECT_EQ(bytesOf(result("ResultLog1207.txt")), earlierPass);
        EXPECT_FALSE(bytesOf(result("dbResultLog1207.txt")).contains('|'));
    }
    EXPECT_EQ(startScreen->screen().runInfo().direction, Direction::Toward);
    EXPECT_FALSE(screens.hasResults());
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, PassLogs, kAllFailures, failureName);

// ---- calibration screen: session header lines in both day logs, calibration journal ---------

class CalibrationLogs : public WriteFailures
{
};

TEST_P(CalibrationLogs, BothDayLogsInOneMessageThenTheJournalAndTheSetupStillLoads)
{
    const QByteArray earlierJournal = "an earlier calibration\r\n";
    if (GetParam() != Failure::DiskFull) {
        ASSERT_TRUE(writeBytes(result("results_file.txt"), earlierJournal));
    }
    Grid_Setup* gridScreen = nullptr;
    if (GetParam() != Failure::DiskFull) {
        // A folder missing or taking no bytes is caught by the start screen's check, before
        // anything is written.
        breakResultsFolder({});
        startScreen->goToSetup();
        ASSERT_EQ(fake.messages.shown.size(), 1u);
        const ShownMessage refused = fake.messages.shown[0];
        EXPECT_TRUE(names(refused.text, results.path())) << refused.text.toStdString();
        EXPECT_TRUE(namesTheReason(GetParam(), refused.text)) << refused.text.toStdString();
        EXPECT_EQ(refused.icon, MessageIcon::Information);
        EXPECT_TRUE(startScreen->screen().isVisible());
        EXPECT_FALSE(screens.hasGridSetup());
        EXPECT_FALSE(QFile::exists(result("test.txt"))) << "the refused probe leaves no file";
        mend();
        gridScreen = &enterSetup();
        ASSERT_EQ(fake.messages.shown.size(), 1u) << allMessages().toStdString();
        breakResultsFolder({}); // and then the stick is pulled out while calibrating
    } else {
        breakResultsFolder({"ResultLog1207.txt", "dbResultLog1207.txt", "results_file.txt"});
        gridScreen = &enterSetup();
        const QString headers = oneWarning();
        EXPECT_TRUE(names(headers, result("ResultLog1207.txt"))) << headers.toStdString();
        EXPECT_TRUE(names(headers, result("dbResultLog1207.txt"))) << headers.toStdString();
        EXPECT_TRUE(namesTheReason(GetParam(), headers)) << headers.toStdString();
    }
    Grid_Setup& grid = *gridScreen;

    loadSlalom(grid);
    EXPECT_TRUE(state.calibration.complete) << "the setup is loaded all the same";
    const QString journal = oneWarning(1);
    EXPECT_TRUE(names(journal, result("results_file.txt"))) << journal.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), journal)) << journal.toStdString();

    click(grid, "Load"); // Complete
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_TRUE(names(oneWarning(2), result("results_file.txt")));
    mend();
    if (GetParam() != Failure::DiskFull) {
        EXPECT_EQ(bytesOf(result("results_file.txt")), earlierJournal);
    }
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, CalibrationLogs, kAllFailures, failureName);

// ---- accuracy report ---------------------------------------------------------------------------

class AccuracyReport : public WriteFailures
{
};

TEST_P(AccuracyReport, IndicatorsStandAndTheNextCheckIsWritten)
{
    Grid_Setup& grid = enterSetup();
    loadSlalom(grid);
    ASSERT_TRUE(state.calibration.complete);
    ASSERT_TRUE(fake.messages.shown.empty()) << allMessages().toStdString();
    const QByteArray earlierReport = "an earlier check\r\n";
    ASSERT_TRUE(writeBytes(result("acc1207.txt"), earlierReport));
    breakResultsFolder({"acc1207.txt"});

    click(grid, "btnAccuracyCheck");
    EXPECT_EQ(visibleIndicators(grid), 42);
    const QString message = oneWarning();
    EXPECT_TRUE(names(message, result("acc1207.txt"))) << message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), message)) << message.toStdString();
    mend();
    if (GetParam() != Failure::DiskFull) {
        EXPECT_EQ(bytesOf(result("acc1207.txt")), earlierReport);
    }

    // The cause gone, the next check is reported.
    QFile::remove(result("acc1207.txt"));
    click(grid, "btnAccuracyCheck");
    EXPECT_EQ(fake.messages.shown.size(), 1u) << allMessages().toStdString();
    EXPECT_TRUE(bytesOf(result("acc1207.txt")).contains(" Accuracy Check\r\n"));
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, AccuracyReport, kAllFailures, failureName);

// ---- files the operator replaces: setup file, saved results file, name lists ------------------

// Where the replaced file lives, and what breaks it: its folder missing, the folder read-only,
// or the disk filling up half way through the new file.
struct Replacement
{
    QString path;        // the file the operator asks for
    QByteArray oldBytes; // what it held before, when it existed
    std::optional<WriteBlock> readOnly;
    std::optional<SizeLimit> full;
};

class ReplacedFiles : public WriteFailures
{
protected:
    // A file in elsewhereDir holding oldBytes, or one in a missing folder.
    void prepare(Replacement& r, const QString& name, const QByteArray& oldBytes)
    {
        if (GetParam() == Failure::FolderMissing) {
            r.path = elsewhereDir.filePath(QStringLiteral("gone/") + name);
            return;
        }
        r.path = elsewhereDir.filePath(name);
        r.oldBytes = oldBytes;
        ASSERT_TRUE(writeBytes(r.path, oldBytes));
    }
    void breakNow(Replacement& r, rlim_t newFileBytes)
    {
        if (GetParam() == Failure::FolderReadOnly)
            r.readOnly.emplace(elsewhereDir.path());
        else if (GetParam() == Failure::DiskFull)
            r.full.emplace(newFileBytes / 2);
    }
    void mendNow(Replacement& r)
    {
        r.readOnly.reset();
        r.full.reset();
    }
    void expectOldBytes(const Replacement& r)
    {
        if (GetParam() == Failure::FolderMissing)
            EXPECT_FALSE(QFile::exists(r.path));
        else
            EXPECT_EQ(bytesOf(r.path), r.oldBytes) << "the old file is intact";
        // Nothing half written is left beside it either.
        EXPECT_EQ(QDir(elsewhereDir.path()).entryList(QDir::Files).size(),
                  GetParam() == Failure::FolderMissing ? 0 : 1);
    }
};

TEST_P(ReplacedFiles, SetupFileIsNotSavedTheCalibrationStaysAndSavesElsewhere)
{
    Grid_Setup& grid = enterSetup();
    loadSlalom(grid);
    ASSERT_TRUE(state.calibration.complete);
    auto* description = grid.findChild<QLineEdit*>(QStringLiteral("ipt_file_description"));
    ASSERT_NE(description, nullptr);
    const QString setupShown = description->text();
    Replacement r;
    prepare(r, QStringLiteral("lake.ipt"),
            bytesOf(QDir(state.place.folder).filePath("SlalomOK.ipt")));
    const std::size_t before = fake.messages.shown.size();

    breakNow(r, rlim_t(r.oldBytes.isEmpty() ? 600 : r.oldBytes.size()));
    fake.fileDialog.answers.push_back(r.path);
    fake.messages.inputs.push_back(QStringLiteral("north tower"));
    trigger(grid, "gridSave");
    mendNow(r);

    const QString message = oneWarning(before);
    EXPECT_TRUE(names(message, r.path)) << message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), message)) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("The setup has not been saved.")));
    expectOldBytes(r);
    EXPECT_TRUE(state.calibration.complete);
    EXPECT_EQ(description->text(), setupShown) << "the screen does not claim the failed file";

    const QString good = folder.filePath(QStringLiteral("lake.ipt"));
    fake.fileDialog.answers.push_back(good);
    fake.messages.inputs.push_back(QStringLiteral("north tower"));
    trigger(grid, "gridSave");
    EXPECT_EQ(fake.messages.shown.size(), before + 1) << allMessages().toStdString();
    EXPECT_TRUE(bytesOf(good).contains("north tower"));
}

TEST_P(ReplacedFiles, SavedResultsFileFailsThePassStaysAndSavesElsewhere)
{
    measurePass(161);
    Results& results = openResults();
    ASSERT_TRUE(fake.messages.shown.empty()) << allMessages().toStdString();
    const QString report = shownReport(results);
    Replacement r;
    prepare(r, QStringLiteral("pass.txt"), "Slalom Pass Results\r\nan earlier pass\r\n");

    breakNow(r, rlim_t(report.size()));
    fake.fileDialog.answers.push_back(r.path);
    click(results, "btnSaveResults");
    mendNow(r);

    const QString message = oneWarning();
    EXPECT_TRUE(names(message, r.path)) << message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), message)) << message.toStdString();
    expectOldBytes(r);
    EXPECT_EQ(shownReport(results), report);

    const QString good = folder.filePath(QStringLiteral("pass.txt"));
    fake.fileDialog.answers.push_back(good);
    click(results, "btnSaveResults");
    EXPECT_EQ(fake.messages.shown.size(), 1u) << allMessages().toStdString();
    EXPECT_TRUE(readTextFile(good).value_or(QString()).startsWith(report));
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, ReplacedFiles, kAllFailures, failureName);

} // namespace
