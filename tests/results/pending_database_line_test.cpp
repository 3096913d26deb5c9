#include "results/pending_database_line.h"

#include "support/write_block.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QDateTime kMeasured(QDate(2026, 12, 7), QTime(14, 5, 9));

// A line as the database line has it: 22 fields, a non-ASCII name among them.
QString lineWith(const QString& comment)
{
    return QStringLiteral("1|Malibu|TXi|S|Carl|Zoë|58|11.25| .013| .099| .046| .17|||"
                          " 25| 25| 50|-0.12|0.01|0.00|0.10|") +
           comment;
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class PendingLineTest : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(folder.path()).filePath(name); }
    QStringList files() const { return QDir(folder.path()).entryList(QDir::Files, QDir::Name); }

    QTemporaryDir folder;
};

TEST_F(PendingLineTest, EachChangeReplacesTheFileWithTheLineAndTheDayItWasMeasured)
{
    PendingDatabaseLine pending;
    pending.begin(folder.path(), kMeasured);
    EXPECT_TRUE(files().isEmpty()) << "nothing is written before the first line";
    for (const QString& comment : {QString(), QStringLiteral("g"), QStringLiteral("gusty")}) {
        EXPECT_EQ(pending.keep(lineWith(comment)), std::nullopt);
        ASSERT_EQ(files(), QStringList{QStringLiteral("PendingDatabaseLine1207-140509.txt")});
        const PendingLineRead read = readPendingLine(pending.path());
        ASSERT_TRUE(read.pending) << read.problem.toStdString();
        EXPECT_EQ(read.pending->line, lineWith(comment));
        EXPECT_EQ(read.pending->logName, QStringLiteral("dbResultLog1207.txt"));
        EXPECT_EQ(read.pending->measured, kMeasured);
    }
    EXPECT_EQ(bytesOf(pending.path()),
              QByteArray("Wakeline database line not yet written\r\n12-07-2026 14:05:09\r\n"
                         "dbResultLog1207.txt\r\n") +
                  lineWith(QStringLiteral("gusty")).toUtf8() + "\r\n");
}

TEST_F(PendingLineTest, TwoPassesInTheSameSecondKeepTwoFiles)
{
    PendingDatabaseLine first;
    PendingDatabaseLine second;
    first.begin(folder.path(), kMeasured);
    first.keep(lineWith(QStringLiteral("one")));
    second.begin(folder.path(), kMeasured);
    second.keep(lineWith(QStringLiteral("two")));
    EXPECT_EQ(files(), QStringList({QStringLiteral("PendingDatabaseLine1207-140509-2.txt"),
                                    QStringLiteral("PendingDatabaseLine1207-140509.txt")}));
    EXPECT_EQ(readPendingLine(first.path()).pending->line, lineWith(QStringLiteral("one")));
}

// The return's append is the same append the log always had: the existing bytes, then the
// line and CR LF, whatever the log's encoding; only then does the pending file go.
TEST_F(PendingLineTest, AppendWritesTheLogAsBeforeThenRemovesThePendingFile)
{
    const QString log = path(QStringLiteral("dbResultLog1208.txt"));
    const QByteArray before = "Test Session Database Log Setup Starting 12-08-2026 00:01:00\r\n"
                              "2|Ski Nautique|200|J|Dee|Bj\xf6rn|57|11.25\r\n"; // Latin-1
    {
        QFile f(log);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(before);
    }
    PendingDatabaseLine pending;
    pending.begin(folder.path(), kMeasured);
    pending.keep(lineWith(QString()));
    ASSERT_TRUE(pending.append(log, lineWith(QStringLiteral("wind"))).ok);
    EXPECT_EQ(bytesOf(log),
              before + lineWith(QStringLiteral("wind")).toLatin1() + QByteArray("\r\n"));
    EXPECT_EQ(files(), QStringList{QStringLiteral("dbResultLog1208.txt")});
    // A change that comes after the return (the screen going) writes nothing again.
    EXPECT_EQ(pending.keep(lineWith(QStringLiteral("late"))), std::nullopt);
    EXPECT_EQ(files(), QStringList{QStringLiteral("dbResultLog1208.txt")});
}

TEST_F(PendingLineTest, AFailedAppendKeepsThePendingFileWithTheLastLine)
{
    // A folder where the log should be: the append fails, the pending file can be written.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("dbResultLog1207.txt")));
    PendingDatabaseLine pending;
    pending.begin(folder.path(), kMeasured);
    pending.keep(lineWith(QStringLiteral("kept")));
    const WriteResult written = pending.append(path(QStringLiteral("dbResultLog1207.txt")),
                                               lineWith(QStringLiteral("kept")));
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(written.message.contains(QStringLiteral("dbResultLog1207.txt")));
    EXPECT_TRUE(pending.kept());
    const PendingLineRead read = readPendingLine(pending.path());
    ASSERT_TRUE(read.pending);
    EXPECT_EQ(read.pending->line, lineWith(QStringLiteral("kept")));
}

TEST_F(PendingLineTest, AWriteFailureIsToldOnceUntilAWriteSucceedsAgain)
{
    PendingDatabaseLine pending;
    pending.begin(folder.path(), kMeasured);
    std::optional<QString> first;
    std::optional<QString> second;
    {
        const WriteBlock block(folder.path());
        first = pending.keep(lineWith(QStringLiteral("a")));
        second = pending.keep(lineWith(QStringLiteral("ab")));
    }
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->contains(QStringLiteral("PendingDatabaseLine1207-140509.txt")));
    EXPECT_EQ(second, std::nullopt);
    EXPECT_FALSE(pending.kept());
    // The folder is writable again: the next change is kept, and a new failure is told.
    EXPECT_EQ(pending.keep(lineWith(QStringLiteral("abc"))), std::nullopt);
    EXPECT_TRUE(pending.kept());
    const WriteBlock block(folder.path());
    EXPECT_TRUE(pending.keep(lineWith(QStringLiteral("abcd"))));
}

TEST_F(PendingLineTest, RecoveryAppendsToTheDayOfThePassOnceAndRemovesTheFile)
{
    PendingDatabaseLine kept;
    kept.begin(folder.path(), kMeasured);
    kept.keep(lineWith(QStringLiteral("recovered")));
    const PendingLine pending = *readPendingLine(kept.path()).pending;

    const Recovery r = recoverPendingLine(kept.path(), pending);
    EXPECT_TRUE(r.written.ok);
    EXPECT_FALSE(r.alreadyInLog);
    const QString log = path(QStringLiteral("dbResultLog1207.txt"));
    EXPECT_EQ(bytesOf(log), lineWith(QStringLiteral("recovered")).toUtf8() + "\r\n");
    EXPECT_EQ(files(), QStringList{QStringLiteral("dbResultLog1207.txt")});

    // The program stopped after the append but before the removal: the file is back, and its
    // line is not written a second time.
    ASSERT_TRUE(replaceFile(kept.path(), pendingLineText(pending)).ok);
    const Recovery again = recoverPendingLine(kept.path(), pending);
    EXPECT_TRUE(again.written.ok);
    EXPECT_TRUE(again.alreadyInLog);
    EXPECT_EQ(bytesOf(log), lineWith(QStringLiteral("recovered")).toUtf8() + "\r\n");
    EXPECT_FALSE(QFile::exists(kept.path()));
}

struct BadFile
{
    const char* name;
    QByteArray bytes;
};

class BadPendingFile : public PendingLineTest, public ::testing::WithParamInterface<BadFile>
{
};

TEST_P(BadPendingFile, IsReportedWithItsReasonAndLeftAlone)
{
    const QString file = path(QStringLiteral("PendingDatabaseLine1207-140509.txt"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(GetParam().bytes);
    }
    const PendingLineRead read = readPendingLine(file);
    EXPECT_FALSE(read.pending);
    EXPECT_FALSE(read.problem.isEmpty());
    EXPECT_EQ(bytesOf(file), GetParam().bytes);
}

const QByteArray kHead = "Wakeline database line not yet written\r\n";
const QByteArray kWhen = "12-07-2026 14:05:09\r\n";
const QByteArray kLog = "dbResultLog1207.txt\r\n";
const QByteArray kLine = lineWith(QString()).toUtf8() + "\r\n";

INSTANTIATE_TEST_SUITE_P(
    PendingLine, BadPendingFile,
    ::testing::Values(BadFile{"Empty", ""}, BadFile{"OnlyLineEnds", "\r\n\r\n"},
                      BadFile{"AnotherFile", "1|2|3\r\n" + kWhen + kLog + kLine},
                      BadFile{"CutShort", kHead + kWhen + kLog},
                      BadFile{"TwoLines", kHead + kWhen + kLog + kLine + kLine},
                      BadFile{"NoTime", kHead + "yesterday\r\n" + kLog + kLine},
                      BadFile{"LogElsewhere", kHead + kWhen + "../dbResultLog1207.txt\r\n" + kLine},
                      BadFile{"NotADayLog", kHead + kWhen + "ResultLog1207.txt\r\n" + kLine},
                      BadFile{"FieldMissing", kHead + kWhen + kLog + "1|2|3\r\n"},
                      BadFile{"Binary", QByteArray("\0\xff\xfe\x01", 4)}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
