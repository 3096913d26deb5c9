#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/paths.h"
#include "support/qt_printers.h"

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct LinesCase
{
    const char* name;
    const char* text;
    QStringList lines;
};

void PrintTo(const LinesCase& c, std::ostream* os)
{
    *os << c.name;
}

class SplitLinesTest : public ::testing::TestWithParam<LinesCase>
{
};

TEST_P(SplitLinesTest, SplitsAtEveryKindOfLineEnd)
{
    EXPECT_EQ(splitLines(QString::fromLatin1(GetParam().text)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitLinesTest,
    ::testing::Values(LinesCase{"CrLf", "a\r\nb\r\n", {"a", "b"}},
                      LinesCase{"NoFinalLineEnd", "a\r\nb", {"a", "b"}},
                      LinesCase{"LineFeeds", "a\nb\n", {"a", "b"}},
                      LinesCase{"CarriageReturns", "a\rb\r", {"a", "b"}},
                      LinesCase{"EmptyLinesKept", "a\r\n\r\n\r\nb\r\n", {"a", "", "", "b"}},
                      LinesCase{"LoneCrBeforeCrLf", "a\r\r\nb", {"a", "", "b"}},
                      LinesCase{"LfThenCr", "a\n\rb", {"a", "", "b"}},
                      LinesCase{"BlankLine", " \r\n", {" "}},
                      LinesCase{"OnlyALineEnd", "\r\n", {""}}, LinesCase{"Empty", "", {}}));

TEST(DecodeText, ReadsUtf8)
{
    EXPECT_EQ(decodeText(QByteArray("cam\xC3\xA9ra")), QString::fromUtf8("caméra"));
}

TEST(DecodeText, FallsBackToLatin1)
{
    EXPECT_EQ(decodeText(QByteArray("cam\xE9ra")), QString::fromUtf8("caméra"));
    // A truncated UTF-8 sequence at the very end is not UTF-8 either.
    EXPECT_EQ(decodeText(QByteArray("ab\xC3")), QString::fromUtf8("abÃ"));
}

TEST(DecodeText, DropsAByteOrderMark)
{
    // Files saved from a text editor may start with one; the first line must still compare
    // equal to the text the program looks for.
    EXPECT_EQ(decodeText(QByteArray("\xEF\xBB\xBFSlalom Pass Results\r\n")),
              "Slalom Pass Results\r\n");
}

TEST(ReadTextFile, ReadsALatin1SetupFile)
{
    const auto text = readTextFile(fixturePath("exponent-form-slalom.ipt"));
    ASSERT_TRUE(text.has_value());
    const QStringList lines = splitLines(*text);
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[0], "Initialization Points for file: C:\\Courses\\exponent-form-slalom.ipt");
    EXPECT_EQ(lines[1], QString::fromUtf8("Lac d'Annecy, tour nord, caméra 2"));
}

TEST(ReadTextFile, MissingFileAndSizeLimit)
{
    QTemporaryDir dir;
    EXPECT_FALSE(readTextFile(dir.filePath("none.txt")).has_value());
    const QString path = dir.filePath("big.txt");
    writeBytes(path, QByteArray(1000, 'x'));
    EXPECT_EQ(readTextFile(path, 10).value(), QString(10, 'x'));
}

TEST(AppendText, CreatesThenAppendsUtf8WithCrLfKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ResultLog1207.txt");
    ASSERT_TRUE(appendText(path, "first\r\n").ok);
    const WriteResult second = appendText(path, QString::fromUtf8("caméra\r\n"));
    EXPECT_TRUE(second.ok);
    EXPECT_TRUE(second.message.isEmpty());
    EXPECT_EQ(fileBytes(path), QByteArray("first\r\ncam\xC3\xA9ra\r\n"));
}

// An append takes the encoding of the file it lands in, so that no file mixes the two and the
// reader's one decision (UTF-8, else Latin-1) reads every record right.
struct EncodingCase
{
    const char* name;
    QByteArray existing; // "<none>": no file yet
    bool latin1;
};

void PrintTo(const EncodingCase& c, std::ostream* os)
{
    *os << c.name;
}

class AppendEncodingTest : public ::testing::TestWithParam<EncodingCase>
{
};

TEST_P(AppendEncodingTest, KeepsTheFilesEncoding)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ResultLog1207.txt");
    const QByteArray existing = GetParam().existing;
    if (existing != "<none>")
        writeBytes(path, existing);
    // e acute has a Latin-1 form; the euro sign and an emoji (a surrogate pair) do not.
    const QString record = QString::fromUtf8("Skier: Zo\u00e9 \u20ac \U0001F600\r\n");
    ASSERT_TRUE(appendText(path, record).ok);
    const QByteArray before = existing == "<none>" ? QByteArray() : existing;
    const QByteArray added =
        GetParam().latin1 ? QByteArray("Skier: Zo\xE9 ? ?\r\n") : record.toUtf8();
    EXPECT_EQ(fileBytes(path), before + added);
}

INSTANTIATE_TEST_SUITE_P(
    Files, AppendEncodingTest,
    ::testing::Values(
        EncodingCase{"NewFile", "<none>", false}, EncodingCase{"EmptyFile", "", false},
        EncodingCase{"Ascii", "Slalom Pass Results\r\n", false},
        EncodingCase{"Utf8", "Skier: Ren\xC3\xA9\r\n", false},
        EncodingCase{"Latin1", "Skier: Ren\xE9\r\n", true},
        // The only Latin-1 byte far into a long log, past the first piece read.
        EncodingCase{"Latin1Late", QByteArray(70000, 'a') + "\xE9\r\n", true},
        // A UTF-8 character split across two pieces is still UTF-8.
        EncodingCase{"Utf8AcrossPieces", QByteArray(65535, 'a') + "\xC3\xA9\r\n", false},
        // A file cut off inside a UTF-8 sequence reads as Latin-1, so it is written as such.
        EncodingCase{"CutSequence", "Ren\xC3", true}));

TEST(ReplaceFile, ReplacesTheWholeContent)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("course.ipt");
    writeBytes(path, QByteArray(5000, 'o'));
    ASSERT_TRUE(replaceFile(path, "new\r\n").ok);
    EXPECT_EQ(fileBytes(path), QByteArray("new\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"course.ipt"});
}

// Writes that fail, whatever the reason, come back as ok=false with a message naming the
// file. These reasons hold even for a user that ignores permissions.
struct FailingPlace
{
    const char* name;
    QString (*path)(const QTemporaryDir& dir);
};

void PrintTo(const FailingPlace& c, std::ostream* os)
{
    *os << c.name;
}

class FailedWriteTest : public ::testing::TestWithParam<FailingPlace>
{
};

TEST_P(FailedWriteTest, AppendReportsTheFile)
{
    QTemporaryDir dir;
    const QString path = GetParam().path(dir);
    const WriteResult r = appendText(path, "line\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(bool(r));
    EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(path))) << r.message.toStdString();
}

TEST_P(FailedWriteTest, ReplaceReportsTheFile)
{
    QTemporaryDir dir;
    const QString path = GetParam().path(dir);
    const WriteResult r = replaceFile(path, "line\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(path))) << r.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Places, FailedWriteTest,
    ::testing::Values(FailingPlace{"MissingFolder",
                                   [](const QTemporaryDir& d) {
                                       return d.filePath("no such folder/ResultLog1207.txt");
                                   }},
                      FailingPlace{"FolderIsAFile",
                                   [](const QTemporaryDir& d) {
                                       QFile f(d.filePath("plain"));
                                       (void)f.open(QIODevice::WriteOnly);
                                       return d.filePath("plain/ResultLog1207.txt");
                                   }},
                      FailingPlace{"PathIsAFolder", [](const QTemporaryDir& d) {
                                       QDir(d.path()).mkdir("ResultLog1207.txt");
                                       return d.filePath("ResultLog1207.txt");
                                   }}));

TEST(AppendText, FullDiskIsReported)
{
    if (!QFile::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const WriteResult r = appendText("/dev/full", QString(100000, 'x'));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains("/dev/full"));
}

// A replacement that cannot even create its temporary file next to the target: the old
// file must come through untouched. A name of 250 characters leaves no room for the
// temporary file's suffix, which holds even for a user that ignores permissions.
TEST(ReplaceFile, FailureLeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString(250, 'a'));
    writeBytes(path, "old\r\n");
    ASSERT_EQ(fileBytes(path), "old\r\n");
    const WriteResult r = replaceFile(path, "new\r\n");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(path));
    EXPECT_EQ(fileBytes(path), "old\r\n");
}

class ReadOnlyFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeBytes(dir.filePath("results_file.txt"), "old\r\n");
        QFile(dir.filePath("results_file.txt")).setPermissions(QFile::ReadOwner);
        QFile(dir.path()).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(dir.filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            GTEST_SKIP() << "this user writes into read-only folders (root?)";
        }
    }
    void TearDown() override
    {
        QFile(dir.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QTemporaryDir dir;
};

TEST_F(ReadOnlyFolder, AppendAndReplaceFailAndKeepTheOldFile)
{
    const QString existing = dir.filePath("results_file.txt");
    const QString fresh = dir.filePath("ResultLog1207.txt");
    for (const QString& path : {existing, fresh}) {
        const WriteResult a = appendText(path, "line\r\n");
        EXPECT_FALSE(a.ok);
        EXPECT_TRUE(a.message.contains(path)) << a.message.toStdString();
        const WriteResult r = replaceFile(path, "line\r\n");
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.message.contains(path)) << r.message.toStdString();
    }
    EXPECT_EQ(fileBytes(existing), "old\r\n");
    EXPECT_FALSE(QFile::exists(fresh));
}

} // namespace
