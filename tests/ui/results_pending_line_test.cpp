// The results screen keeps its pass's database line in a pending file from the moment it
// opens until the return sequence has written the line to the day's log.

#include "common/text_file.h"
#include "results/pending_database_line.h"
#include "results/ui/results.h"
#include "support/screen_fixture.h"
#include "support/write_block.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ResultsPendingLine : public testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            replaceFile(path(QStringLiteral("skiers.txt")), QStringLiteral("Ann\r\nBee\r\n")).ok);
        form1 = &screens.startScreen();
        form1->startUp();
        chooseResultsFolder();
    }

    Results& open()
    {
        Results& r = screens.results();
        r.load();
        r.show();
        return r;
    }

    template <typename T> T* widget(Results& r, const char* name)
    {
        T* w = r.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QStringList pendingFiles() const
    {
        return QDir(results.path())
            .entryList({QStringLiteral("PendingDatabaseLine*")}, QDir::Files);
    }

    // The line the pending file holds now; empty when there is not exactly one.
    QString pendingLine() const
    {
        const QStringList files = pendingFiles();
        if (files.size() != 1)
            return QString();
        const PendingLineRead read = readPendingLine(results.filePath(files[0]));
        return read.pending ? read.pending->line : QString();
    }

    QStringList logLines() const
    {
        return splitLines(
            readTextFile(results.filePath(QStringLiteral("dbResultLog1207.txt"))).value_or(""));
    }

    StartScreen* form1 = nullptr;
};

TEST_F(ResultsPendingLine, EveryChangeOfTheLineIsKeptAndTheReturnWritesTheLastOneOnly)
{
    measurePass(161);
    Results& r = open();
    ASSERT_EQ(pendingFiles(), QStringList{QStringLiteral("PendingDatabaseLine1207-140509.txt")});
    EXPECT_EQ(pendingLine().split('|').size(), 22);
    const QStringList filesOnLoad = QDir(results.path()).entryList(QDir::Files);

    // Each field the operator may change on this screen, and the field of the line it moves.
    QTest::keyClicks(widget<QLineEdit>(r, "txtSplit"), QStringLiteral("1.5"));
    EXPECT_EQ(pendingLine().split('|')[12], QStringLiteral("1.5"));
    QTest::keyClicks(widget<QLineEdit>(r, "txtFull"), QStringLiteral("2"));
    EXPECT_EQ(pendingLine().split('|')[13], QStringLiteral("2"));
    QTest::keyClicks(widget<QLineEdit>(r, "txtComment"), QStringLiteral("gusty"));
    EXPECT_EQ(pendingLine().split('|')[21], QStringLiteral("gusty"));
    widget<QLineEdit>(r, "txtNumCopy")->setText(QStringLiteral("7"));
    EXPECT_EQ(pendingLine().split('|')[0], QStringLiteral("7"));
    widget<QComboBox>(r, "cbSkiCopy")->setCurrentIndex(1);
    EXPECT_EQ(pendingLine().split('|')[5], QStringLiteral("Bee"));
    auto* line = widget<QComboBox>(r, "cbLineCopy");
    line->setCurrentIndex(line->findText(QStringLiteral("16.00")));
    EXPECT_EQ(pendingLine().split('|')[7], QStringLiteral("16.00"));
    const QString kept = pendingLine();

    QTest::mouseClick(widget<QPushButton>(r, "Command1"), Qt::LeftButton);
    EXPECT_EQ(logLines(), QStringList{kept});
    EXPECT_TRUE(pendingFiles().isEmpty());
    // The return left the folder as it always did: the pending file was the only new file.
    QStringList expected = filesOnLoad;
    expected.removeAll(QStringLiteral("PendingDatabaseLine1207-140509.txt"));
    expected << QStringLiteral("dbResultLog1207.txt");
    expected.sort();
    EXPECT_EQ(QDir(results.path()).entryList(QDir::Files, QDir::Name), expected);
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(ResultsPendingLine, AFailedReturnKeepsThePendingLineAndSaysWhere)
{
    // A folder in the log's place: the append fails, the pending file is written.
    ASSERT_TRUE(QDir(results.path()).mkdir(QStringLiteral("dbResultLog1207.txt")));
    measurePass(161);
    Results& r = open();
    QTest::keyClicks(widget<QLineEdit>(r, "txtComment"), QStringLiteral("wind"));
    QTest::mouseClick(widget<QPushButton>(r, "Command1"), Qt::LeftButton);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    const QString message = fake.messages.shown[0].text;
    EXPECT_TRUE(message.contains(QStringLiteral("dbResultLog1207.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")));
    EXPECT_TRUE(message.contains(QStringLiteral("offered again")));
    EXPECT_TRUE(pendingLine().endsWith(QStringLiteral("|wind")));
    EXPECT_FALSE(screens.hasResults()); // the screen goes on to the next pass all the same
}

TEST_F(ResultsPendingLine, AFileThatCannotBeKeptIsToldOnceAndTheReturnStillWritesTheLine)
{
    measurePass(161);
    Results& r = open();
    {
        const WriteBlock block(results.path());
        QTest::keyClicks(widget<QLineEdit>(r, "txtSplit"), QStringLiteral("123"));
    }
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(
        fake.messages.shown[0].text.contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")));
    EXPECT_EQ(widget<QLineEdit>(r, "txtSplit")->text(), QStringLiteral("123"));
    QTest::mouseClick(widget<QPushButton>(r, "Command1"), Qt::LeftButton);
    ASSERT_EQ(logLines().size(), 1);
    EXPECT_EQ(logLines()[0].split('|')[12], QStringLiteral("123"));
    EXPECT_TRUE(pendingFiles().isEmpty());
    EXPECT_EQ(fake.messages.shown.size(), 1u);
}

TEST_F(ResultsPendingLine, WithNoPassMeasuredThereIsNoPendingLine)
{
    Results& r = open();
    EXPECT_TRUE(pendingFiles().isEmpty());
    QTest::keyClicks(widget<QLineEdit>(r, "txtSplit"), QStringLiteral("1"));
    EXPECT_TRUE(pendingFiles().isEmpty());
}

} // namespace
