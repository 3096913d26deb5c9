#include "common/text_file.h"
#include "support/write_block.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(ReplaceFile, FailedWriteLeavesTheOldFileAndSaysWhichAndWhy)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("drivers.txt");
    ASSERT_TRUE(replaceFile(path, "Adams\r\nBaker\r\n").ok);

    WriteResult r;
    {
        WriteBlock block(dir.path());
        // Longer than the block lets through, shorter than any write buffer: the failure
        // only shows when the buffer is flushed.
        r = replaceFile(path, "Adams\r\nBaker\r\nCarter\r\n");
    }
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(path))) << r.message.toStdString();
    EXPECT_FALSE(r.message.endsWith(": .")) << r.message.toStdString();
    EXPECT_FALSE(r.message.contains("Unknown error")) << r.message.toStdString();
    EXPECT_EQ(bytesOf(path), "Adams\r\nBaker\r\n");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"drivers.txt"})
        << "no temporary file left behind";
}

TEST(AppendText, FailedWriteLeavesNoPartOfTheRecordInTheLog)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("ResultLog1207.txt");
    ASSERT_TRUE(appendText(path, "ab\r\n").ok); // within the block's few bytes

    WriteResult r;
    {
        WriteBlock block(dir.path());
        r = appendText(path, "a record far longer than the block lets through\r\n");
    }
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(path))) << r.message.toStdString();
    EXPECT_FALSE(r.message.contains("Unknown error")) << r.message.toStdString();
    EXPECT_EQ(bytesOf(path), "ab\r\n");
    EXPECT_TRUE(appendText(path, "cd\r\n").ok);
    EXPECT_EQ(bytesOf(path), "ab\r\ncd\r\n");
}

// A full disk lets a new log be made but takes none of its bytes: no empty day log may stay
// behind, while a log that was already there, even an empty one, is never removed.
TEST(AppendText, FailedAppendLeavesNoEmptyLogItMadeAndKeepsOneThatWasThere)
{
    QTemporaryDir dir;
    const QString fresh = QDir(dir.path()).filePath("ResultLog1207.txt");
    const QString emptyBefore = QDir(dir.path()).filePath("dbResultLog1207.txt");
    QFile(emptyBefore).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::exists(emptyBefore));

    WriteResult first;
    WriteResult second;
    {
        WriteBlock block(dir.path());
        first = appendText(fresh, "Test Session Results Log Setup Starting\r\n");
        second = appendText(emptyBefore, "Test Session Database Log Setup Starting\r\n");
    }
    EXPECT_FALSE(first.ok);
    EXPECT_FALSE(second.ok);
    EXPECT_FALSE(QFile::exists(fresh));
    EXPECT_EQ(bytesOf(emptyBefore), "");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"dbResultLog1207.txt"});
}

} // namespace
