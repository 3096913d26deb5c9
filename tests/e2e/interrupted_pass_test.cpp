// A program stopped during a pass or with a pass on the results screen, and the next start.
// The stop is taken as a copy of the results folder at that moment: what a killed program
// leaves on disk. The program that was not stopped then goes on as usual, and gives what
// the next start must match.

#include "app/settings_keys.h"
#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "support/calibrated_course.h"
#include "support/screen_fixture.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void copyFolder(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(source.filePath(name), QDir(to).filePath(name)))
            << name.toStdString();
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString& folder, const QString& pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files);
}

// The next start, on the results folder a stopped program left.
struct NextStart : StartedProgram
{
    explicit NextStart(const QString& resultsFolder)
    {
        fake.settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath,
                               resultsFolder, nullptr);
    }
};

class StoppedOnTheResultsScreen : public testing::TestWithParam<bool>
{
protected:
    // A pass on the results screen with Split and Comment typed: the results folder as a
    // stop leaves it goes into `stopped`; then the return as usual, whose database log is
    // returned.
    QByteArray resultsScreenStoppedThenReturned()
    {
        StartedProgram running;
        running.start();
        running.chooseResultsFolder();
        running.measurePass(161);
        running.state.pass.speedText = QStringLiteral("58");
        running.state.pass.lineText = QStringLiteral("11.25");
        ResultsScreenDriver r = running.showResults();
        r.typeSplit(QStringLiteral("1.5"));
        r.typeComment(QStringLiteral("tail wind"));
        copyFolder(running.results.path(), stopped.path());
        r.returnToMain();
        return bytesOf(running.results.filePath(QStringLiteral("dbResultLog1207.txt")));
    }

    QTemporaryDir stopped;
};

TEST_P(StoppedOnTheResultsScreen, TheNextStartOffersTheLineAndWritesItAsTheReturnWould)
{
    const QByteArray returned = resultsScreenStoppedThenReturned();
    ASSERT_FALSE(returned.isEmpty());
    ASSERT_EQ(filesIn(stopped.path(), QStringLiteral("dbResultLog*")), QStringList());
    ASSERT_EQ(filesIn(stopped.path(), QStringLiteral("PendingDatabaseLine*")).size(), 1);

    const bool writeNow = GetParam();
    NextStart next(stopped.path());
    next.fake.messages.yesNoAnswers.push_back(writeNow);
    next.start();
    ASSERT_EQ(next.fake.messages.questions.size(), 1u);
    EXPECT_TRUE(next.fake.messages.questions[0].contains(
        QStringLiteral("the pass that ended at 14:05:09 (Slalom 58 km/h, boat 1) was "
                       "not written")))
        << next.fake.messages.questions[0].toStdString();
    EXPECT_TRUE(next.fake.messages.shown.empty());

    const QString log = stopped.filePath(QStringLiteral("dbResultLog1207.txt"));
    if (writeNow) {
        EXPECT_EQ(bytesOf(log), returned);
        EXPECT_TRUE(filesIn(stopped.path(), QStringLiteral("PendingDatabaseLine*")).isEmpty());
        next.screens.startScreen().checkInterruptedPasses();
        EXPECT_EQ(next.fake.messages.questions.size(), 1u) << "offered twice";
    } else {
        EXPECT_FALSE(QFile::exists(log));
        // Kept: offered again at the next start.
        next.screens.startScreen().checkInterruptedPasses();
        EXPECT_EQ(next.fake.messages.questions.size(), 2u);
    }
}

INSTANTIATE_TEST_SUITE_P(Answer, StoppedOnTheResultsScreen, testing::Bool(),
                         [](const auto& info) { return info.param ? "WriteNow" : "Keep"; });

TEST(StoppedDuringAPass, TheNextStartSaysInOneLineWhichPassWasLost)
{
    QTemporaryDir stopped;
    {
        StartedProgram running;
        running.start();
        running.chooseResultsFolder();
        calibrateSlalom(running.state.calibration);
        running.screens.openMeasurement();
        MeasureScreenDriver measure = running.measureDriver();
        measure.clickStartPass();
        ASSERT_TRUE(measure.model().running());
        copyFolder(running.results.path(), stopped.path());
        // Aborted, the pass leaves nothing behind.
        measure.abort();
        EXPECT_TRUE(filesIn(running.results.path(), QStringLiteral("PassInProgress*")).isEmpty());
    }

    NextStart next(stopped.path());
    next.start();
    EXPECT_TRUE(next.fake.messages.questions.empty());
    ASSERT_EQ(next.fake.messages.shown.size(), 1u);
    EXPECT_EQ(next.fake.messages.shown[0].text,
              QStringLiteral("The pass started at 14:05:09 (Slalom 58/36) was lost "
                             "because Wakeline stopped during it."));
    EXPECT_EQ(next.fake.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_TRUE(filesIn(stopped.path(), QStringLiteral("PassInProgress*")).isEmpty());
    next.screens.startScreen().checkInterruptedPasses();
    EXPECT_EQ(next.fake.messages.shown.size(), 1u) << "told twice";
}

} // namespace
