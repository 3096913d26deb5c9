#include "results/interrupted_passes.h"

#include "measure/pass_marker.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 0, 0));

QString lineFor(const QString& skier, const QString& comment = QString())
{
    return QStringLiteral("3|Malibu|TXi|J|Carl|") + skier +
           QStringLiteral("|57|11.25| .013| .099| .046| .17|||"
                          " 25| 25| 50|-0.12|0.01|0.00|0.10|") +
           comment;
}

class InterruptedPassesTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

    // A pass left on the results screen by a stopped program.
    QString leavePending(const QDateTime& measured, const QString& line)
    {
        PendingDatabaseLine pending;
        pending.begin(folder.path(), measured);
        EXPECT_EQ(pending.keep(line), std::nullopt);
        return pending.path();
    }

    QStringList logLines(const QString& name) const
    {
        return splitLines(readTextFile(path(name)).value_or(QString()));
    }

    QTemporaryDir folder;
};

TEST_F(InterruptedPassesTest, EachLostPassIsToldInOneLineAndItsMarkerGoes)
{
    PassMarker today;
    ASSERT_TRUE(today
                    .passStarted(folder.path(),
                                 {QDateTime(kNow.date(), QTime(8, 15, 2)), QStringLiteral("Ann"),
                                  QStringLiteral("Slalom"), QStringLiteral("58/36")})
                    .ok);
    PassMarker yesterday;
    ASSERT_TRUE(yesterday
                    .passStarted(folder.path(), {kNow.addDays(-1), QStringLiteral("Bee"),
                                                 QStringLiteral("Jump"), QString()})
                    .ok);

    const InterruptedPasses found = findInterruptedPasses(folder.path(), kNow);
    EXPECT_EQ(found.notices,
              QStringList({"The pass started at 12-06-2026 09:00:00 (Bee, Jump) was lost because "
                           "Wakeline stopped during it.",
                           "The pass started at 08:15:02 (Ann, Slalom 58/36) was lost because "
                           "Wakeline stopped during it."}));
    EXPECT_TRUE(found.pending.empty());
    EXPECT_FALSE(interruptedPassesMessage(found).contains('?'));
    EXPECT_TRUE(files().isEmpty());
    EXPECT_FALSE(findInterruptedPasses(folder.path(), kNow).any());
}

TEST_F(InterruptedPassesTest, AMarkerThatSaysNothingStillTellsOfALostPass)
{
    ASSERT_TRUE(replaceFile(path(QStringLiteral("PassInProgress1207-081502.txt")), QString()).ok);
    const InterruptedPasses found = findInterruptedPasses(folder.path(), kNow);
    ASSERT_EQ(found.notices.size(), 1);
    EXPECT_TRUE(found.notices[0].startsWith(
        QStringLiteral("A pass was lost because Wakeline stopped during it")));
    EXPECT_TRUE(files().isEmpty());
}

// Offered, kept, offered again, then written: into the log of the day the pass was measured,
// exactly once.
TEST_F(InterruptedPassesTest, APendingLineIsOfferedUntilWrittenToItsOwnDay)
{
    const QDateTime measured(QDate(2026, 12, 6), QTime(17, 40, 11));
    const QString file = leavePending(measured, lineFor(QStringLiteral("Zoë"), "tail wind"));

    InterruptedPasses found = findInterruptedPasses(folder.path(), kNow);
    EXPECT_TRUE(found.notices.isEmpty());
    ASSERT_EQ(found.pending.size(), 1u);
    EXPECT_EQ(interruptedPassesMessage(found),
              QStringLiteral("The database line of the pass that ended at 12-06-2026 17:40:11 "
                             "(Zoë, Jump 57 km/h, boat 3) was not written, because Wakeline "
                             "stopped while the pass was on the results screen.\n\n"
                             "Write it to dbResultLog1206.txt now?\nYes: write it now. No: keep "
                             "it; it is offered again at the next start."));

    // "No": nothing is written, the file stays and is offered again.
    EXPECT_TRUE(QFile::exists(file));
    found = findInterruptedPasses(folder.path(), kNow);
    ASSERT_EQ(found.pending.size(), 1u);

    // "Yes".
    EXPECT_EQ(writePendingPasses(found.pending), QString());
    EXPECT_EQ(logLines(QStringLiteral("dbResultLog1206.txt")),
              QStringList{lineFor(QStringLiteral("Zoë"), "tail wind")});
    EXPECT_EQ(files(), QStringList{QStringLiteral("dbResultLog1206.txt")});
    EXPECT_FALSE(findInterruptedPasses(folder.path(), kNow).any());
}

TEST_F(InterruptedPassesTest, TwoPendingPassesAreOfferedTogetherOldestFirst)
{
    leavePending(kNow.addSecs(-60), lineFor(QStringLiteral("Second")));
    leavePending(kNow.addSecs(-600), lineFor(QStringLiteral("First")));
    const InterruptedPasses found = findInterruptedPasses(folder.path(), kNow);
    ASSERT_EQ(found.pending.size(), 2u);
    EXPECT_TRUE(found.pending[0].which.contains(QStringLiteral("First")));
    const QString message = interruptedPassesMessage(found);
    EXPECT_TRUE(message.contains(QStringLiteral("(First, Jump 57 km/h, boat 3), for "
                                                "dbResultLog1207.txt\n")));
    EXPECT_TRUE(message.contains(QStringLiteral("Write them")));
    EXPECT_EQ(writePendingPasses(found.pending), QString());
    EXPECT_EQ(logLines(QStringLiteral("dbResultLog1207.txt")),
              QStringList({lineFor(QStringLiteral("First")), lineFor(QStringLiteral("Second"))}));
}

TEST_F(InterruptedPassesTest, ALineTheLogAlreadyHoldsIsNotOfferedAndItsFileGoes)
{
    leavePending(kNow, lineFor(QStringLiteral("Ann")));
    ASSERT_TRUE(appendText(path(QStringLiteral("dbResultLog1207.txt")),
                           lineFor(QStringLiteral("Ann")) + QStringLiteral("\r\n"))
                    .ok);
    const InterruptedPasses found = findInterruptedPasses(folder.path(), kNow);
    EXPECT_TRUE(found.pending.empty());
    ASSERT_EQ(found.notices.size(), 1);
    EXPECT_TRUE(found.notices[0].contains(QStringLiteral("already in dbResultLog1207.txt")));
    EXPECT_EQ(files(), QStringList{QStringLiteral("dbResultLog1207.txt")});
    EXPECT_EQ(logLines(QStringLiteral("dbResultLog1207.txt")).size(), 1);
}

TEST_F(InterruptedPassesTest, AnUnreadablePendingFileIsToldAndLeftWhileTheOthersAreOffered)
{
    const QString broken = path(QStringLiteral("PendingDatabaseLine1207-080000.txt"));
    ASSERT_TRUE(
        replaceFile(broken, QStringLiteral("Wakeline database line not yet written\r\n")).ok);
    leavePending(kNow, lineFor(QStringLiteral("Ann")));
    const InterruptedPasses found = findInterruptedPasses(folder.path(), kNow);
    ASSERT_EQ(found.notices.size(), 1);
    EXPECT_TRUE(found.notices[0].contains(QDir::toNativeSeparators(broken)));
    EXPECT_TRUE(found.notices[0].contains(QStringLiteral("it is cut short")));
    ASSERT_EQ(found.pending.size(), 1u);
    EXPECT_EQ(writePendingPasses(found.pending), QString());
    EXPECT_TRUE(QFile::exists(broken));
    EXPECT_EQ(findInterruptedPasses(folder.path(), kNow).notices.size(), 1);
}

TEST_F(InterruptedPassesTest, ALineThatCannotBeWrittenStaysPending)
{
    const QString file = leavePending(kNow, lineFor(QStringLiteral("Ann")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("dbResultLog1207.txt")));
    const QString failure = writePendingPasses(findInterruptedPasses(folder.path(), kNow).pending);
    EXPECT_TRUE(failure.contains(QStringLiteral("dbResultLog1207.txt")));
    EXPECT_TRUE(failure.contains(QStringLiteral("offered again")));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(findInterruptedPasses(folder.path(), kNow).pending.size(), 1u);
}

TEST_F(InterruptedPassesTest, AMissingFolderHasNothingToTell)
{
    EXPECT_FALSE(findInterruptedPasses(path(QStringLiteral("missing")), kNow).any());
}

} // namespace
