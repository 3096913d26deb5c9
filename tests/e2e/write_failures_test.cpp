// Every file the program writes, made unwritable three ways (its folder missing, the folder
// read-only, the disk full), driven through the real screens: the operator gets one message
// naming the file and why, the screen goes on working, nothing measured is lost and a file
// that was being replaced keeps its old bytes. (The name lists and the settings file are
// checked the same way where they are written: tests/app and tests/platform.)

#include "calibration/ui/calibration_screen.h"
#include "common/text_file.h"
#include "results/pass_report.h"
#include "support/calibration_screen_driver.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"
#include "support/write_failure.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

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

    void breakResultsFolder(const QStringList& names) { broken.breakFor(names); }
    void mend() { broken.mend(); }

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
    CalibrationScreen& enterSetup()
    {
        startScreen->goToSetup();
        return screens.calibrationScreen();
    }
    void loadSlalom(CalibrationScreen& grid)
    {
        fake.fileDialog.answers.push_back(QDir(state.place.folder).filePath("SlalomOK.ipt"));
        CalibrationScreenDriver(grid).loadSetup();
    }

    // ---- results screen ----
    int graphPixels(const ResultsScreenDriver& r)
    {
        const QImage layer = r.graph().drawingLayer();
        int n = 0;
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x)
                n += (layer.pixel(x, y) & 0xffffff) == 0xff0000u && qAlpha(layer.pixel(x, y));
        return n;
    }

    const QDir elsewhereDir{newFolder(QStringLiteral("elsewhere"))};
    std::optional<StartScreenDriver> startScreen;
    BrokenFolder broken{results.path(), GetParam()};
};

// ---- the end of a pass: statistics side file and day result log, then the database log ------

// What the messages say and what is kept, for every way a folder breaks, is the results
// session's (tests/results/results_session_test.cpp); here the screen shows them and goes on.
class PassLogs : public WriteFailures
{
};

TEST_P(PassLogs, OneMessageNamesBothFilesThePassStaysAndCanBeSavedElsewhere)
{
    breakResultsFolder({"ResultLog1207.txt", "originalmeasurements.txt", "dbResultLog1207.txt"});
    measurePass(161);
    startScreen->chooseDirection(Direction::Away);
    ResultsScreenDriver r = showResults();

    const QString message = oneWarning();
    EXPECT_TRUE(names(message, result("originalmeasurements.txt"))) << message.toStdString();
    EXPECT_TRUE(names(message, result("ResultLog1207.txt"))) << message.toStdString();
    const QString report =
        analysePass(startScreen->screen().runInfo(), state.pass.samples, 161, fake.clock.nowValue)
            .report;
    EXPECT_EQ(r.report(), report);
    QTest::qWait(700);
    EXPECT_GT(graphPixels(r), 500) << "the graph is drawn all the same";

    const QString kept = elsewhereDir.filePath(QStringLiteral("kept.txt"));
    fake.fileDialog.answers.push_back(kept);
    r.saveResults();
    EXPECT_EQ(fake.messages.shown.size(), 1u) << allMessages().toStdString();
    EXPECT_TRUE(readTextFile(kept).value_or(QString()).startsWith(report));

    // The database line fails too and is shown to the operator; the next pass is set up.
    r.returnToMain();
    const QString dbMessage = oneWarning(1);
    EXPECT_TRUE(names(dbMessage, result("dbResultLog1207.txt"))) << dbMessage.toStdString();
    EXPECT_EQ(startScreen->screen().runInfo().direction, Direction::Toward);
    EXPECT_FALSE(screens.hasResults());
    EXPECT_TRUE(startScreen->screen().isVisible());
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, PassLogs, testing::Values(Failure::FolderMissing),
                         failureName);

// ---- calibration screen: session header lines in both day logs, calibration journal ---------

class CalibrationLogs : public WriteFailures
{
};

TEST_P(CalibrationLogs, BothDayLogsInOneMessageThenTheJournalAndTheSetupStillLoads)
{
    CalibrationScreen* gridScreen = nullptr;
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
        EXPECT_FALSE(screens.hasCalibrationScreen());
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
    CalibrationScreen& grid = *gridScreen;

    // The journal's failure, one of the session's messages, reaches the operator. Complete's
    // journal, the earlier journal's bytes, the accuracy report and setup files that cannot be
    // written: tests/calibration/calibration_session_test.cpp and
    // tests/course_display/course_display_session_test.cpp.
    loadSlalom(grid);
    EXPECT_TRUE(state.calibration.complete) << "the setup is loaded all the same";
    const QString journal = oneWarning(1);
    EXPECT_TRUE(names(journal, result("results_file.txt"))) << journal.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), journal)) << journal.toStdString();
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, CalibrationLogs, kAllFailures, failureName);

// ---- files the operator replaces: name lists ------------------------------------------------

} // namespace
