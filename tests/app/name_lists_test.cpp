#include "app/name_lists.h"
#include "common/list_items.h"
#include "support/write_block.h"
#include "support/write_failure.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

struct TextCase
{
    const char* name;
    QString input;
    QString expected;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << c.name;
}

class ListFileText : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(ListFileText, TrailingSpacesGoAndOneLineEndIsAdded)
{
    EXPECT_EQ(listFileText(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ListFileText,
    ::testing::Values(
        // The editor's own text comes back with LF only; the file gets CR LF.
        TextCase{"EditorLineEnds", "Adams\nBaker\n", "Adams\r\nBaker\r\n\r\n"},
        TextCase{"UnchangedList", "Adams\r\nBaker\r\n", "Adams\r\nBaker\r\n\r\n"},
        TextCase{"SpacesAtTheVeryEnd", "Adams\nBaker   ", "Adams\r\nBaker\r\n"},
        TextCase{"InnerAndLeadingSpacesKept", "  Lead\nInner  Name\nTrail  \nLast   ",
                 "  Lead\r\nInner  Name\r\nTrail  \r\nLast\r\n"},
        TextCase{"SpacesAfterTheLastLineEnd", "Bob\n   ", "Bob\r\n\r\n"},
        TextCase{"OnlySpacesAreBlanksHere", "Tab\t", "Tab\t\r\n"},
        TextCase{"LoneCarriageReturn", "A\rB", "A\r\nB\r\n"}, TextCase{"Empty", "", "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class EditorText : public ::testing::TestWithParam<TextCase>
{
};

// input: list file text; expected: the editor's text for it.
TEST_P(EditorText, OneItemALineAndReadsBackTheSame)
{
    const QStringList items = readListItems(GetParam().input);
    const QString editor = editorTextFromItems(items);
    EXPECT_EQ(editor, GetParam().expected);
    // Saving the editor unchanged gives a file with the same items.
    EXPECT_EQ(readListItems(listFileText(editor)), items);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EditorText,
    ::testing::Values(TextCase{"SurnameCommaFirstName", "Smith, John\r\n", "Smith\r\nJohn\r\n"},
                      TextCase{"EmptyLinesGiveNoLine", "Ann\r\n\r\n\r\nBob\r\n", "Ann\r\nBob\r\n"},
                      TextCase{"NoFinalLineEnd", "Ann\r\nBob", "Ann\r\nBob\r\n"},
                      TextCase{"QuotedCommaStaysOneName", "\"Smith, John\"\r\nAnn\r\n",
                               "\"Smith, John\"\r\nAnn\r\n"},
                      TextCase{"QuotedLeadingBlanksKept", "\"  Ann\"\r\n", "\"  Ann\"\r\n"},
                      TextCase{"QuotedLineBreakKept", "\"Ann\r\nBob\"\r\n", "\"Ann\r\nBob\"\r\n"},
                      TextCase{"InnerQuoteNeedsNoQuotes", "O\"Neil\r\n", "O\"Neil\r\n"},
                      TextCase{"EmptyFile", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NameListKeys, EachListHasItsKeyAndNothingElseIsAList)
{
    for (NameList list : kNameListsInLoadOrder)
        EXPECT_EQ(nameListForKey(nameListKey(list)), list);
    EXPECT_EQ(nameListKey(NameList::Boats), "Boats");
    EXPECT_EQ(nameListKey(NameList::Models), "Models");
    EXPECT_FALSE(nameListForKey(QString()).has_value());
    EXPECT_FALSE(nameListForKey("skiers").has_value());
    EXPECT_FALSE(nameListForKey("Boat Manufacturer").has_value());
}

class ListFiles : public ::testing::Test
{
protected:
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    QByteArray bytes(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void write(const QString& name, const QByteArray& content)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QTemporaryDir dir;
};

TEST_F(ListFiles, VanishedFileOpensEmptyAndSavingMakesItAgain)
{
    const ListForEditing read = readListForEditing(path("models.txt"));
    EXPECT_TRUE(read.ok);
    EXPECT_TRUE(read.editorText.isEmpty());
    EXPECT_TRUE(read.message.isEmpty());

    ASSERT_TRUE(saveNameList(path("models.txt"), "Lake\n").ok);
    EXPECT_EQ(bytes("models.txt"), "Lake\r\n\r\n");
}

TEST_F(ListFiles, LatinOneNamesFromOlderFilesReadAndAreWrittenAsUtf8)
{
    write("skiers.txt", "Andr\xe9\r\n");
    const ListForEditing read = readListForEditing(path("skiers.txt"));
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.editorText, QString::fromUtf8("Andr\xc3\xa9\r\n"));
    ASSERT_TRUE(saveNameList(path("skiers.txt"), read.editorText).ok);
    EXPECT_EQ(bytes("skiers.txt"), "Andr\xc3\xa9\r\n\r\n");
}

TEST_F(ListFiles, UnreadableFileIsRefusedWithItsNameAndReason)
{
    // A folder where the list file should be: there, but not readable as a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("boats.txt"));
    const ListForEditing read = readListForEditing(path("boats.txt"));
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.message.contains(QDir::toNativeSeparators(path("boats.txt"))))
        << read.message.toStdString();
}

TEST_F(ListFiles, FailedSaveNamesTheFile)
{
    // The list's folder is a plain file, so the list cannot be written there whoever runs
    // the test.
    write("notafolder", "x");
    const QString target = QDir(path("notafolder")).filePath("drivers.txt");
    const WriteResult r = saveNameList(target, "Ann\n");
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QDir::toNativeSeparators(target))) << r.message.toStdString();
    EXPECT_EQ(bytes("notafolder"), "x");
}

// Name lists live in the program folder itself, so that is the folder that breaks: taken
// away (on a stick that was pulled out), read-only, or a disk that fills half way.
class ListSaveFailure : public ListFiles, public testing::WithParamInterface<Failure>
{
};

TEST_P(ListSaveFailure, TheOldListStaysTheMessageSaysWhyAndTheNextSaveWorks)
{
    const QString list = path("drivers.txt");
    const QByteArray oldList = "Adams\r\nBaker\r\n";
    write("drivers.txt", oldList);
    const QString editorText = "Adams\nBaker\nCarter\nDuval\n";

    const QString moved = dir.path() + QStringLiteral("-away");
    WriteResult failed;
    {
        std::optional<SizeLimit> full;
        std::optional<WriteBlock> readOnly;
        switch (GetParam()) {
        case Failure::FolderMissing:
            ASSERT_TRUE(QDir().rename(dir.path(), moved));
            break;
        case Failure::FolderReadOnly:
            readOnly.emplace(dir.path());
            break;
        case Failure::DiskFull:
            full.emplace(rlim_t(oldList.size() + 4));
            break;
        }
        failed = saveNameList(list, editorText);
    }
    if (GetParam() == Failure::FolderMissing) {
        ASSERT_TRUE(QDir().rename(moved, dir.path()));
    }

    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.message.contains(QDir::toNativeSeparators(list)))
        << failed.message.toStdString();
    EXPECT_TRUE(namesTheReason(GetParam(), failed.message)) << failed.message.toStdString();
    EXPECT_EQ(bytes("drivers.txt"), oldList);
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("drivers*")}, QDir::Files),
              QStringList{QStringLiteral("drivers.txt")})
        << "nothing half written beside it";

    ASSERT_TRUE(saveNameList(list, editorText).ok);
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\nCarter\r\nDuval\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(WriteFailures, ListSaveFailure, kAllFailures, failureName);

} // namespace
