// The list editor on the start screen, driven through its buttons.

#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"
#include "support/write_block.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

namespace {

class NameListEditor : public ::testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        writeList("drivers.txt", "Adams\r\nBaker\r\n");
        writeList("skiers.txt", "Smith, John\r\n\"Lee, Ann\"\r\n");
        screen.emplace(start(false));
        editor = &screen->listEditor();
    }
    void writeList(const QString& name, const QByteArray& content)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray bytes(const QString& name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void edit(NameList list) { screen->editList(list); }
    void closeSave() { screen->closeSave(); }
    bool editorOpen() { return screen->editorOpen(); }
    QStringList items(NameList list) { return screen->nameItems(list); }

    std::optional<StartScreenDriver> screen;
    QPlainTextEdit* editor = nullptr;
};

TEST_F(NameListEditor, HiddenUntilAnEditButtonIsPressed)
{
    EXPECT_FALSE(editor->isVisible());
    EXPECT_FALSE(screen->closeSaveShown());
    edit(NameList::Drivers);
    EXPECT_TRUE(editorOpen());
    EXPECT_EQ(editor->toPlainText(), "Adams\nBaker\n");
}

TEST_F(NameListEditor, SurnameAndFirstNameBecomeTwoLinesWithoutTheComma)
{
    EXPECT_EQ(items(NameList::Skiers), (QStringList{"Smith", "John", "Lee, Ann"}));
    edit(NameList::Skiers);
    EXPECT_EQ(editor->toPlainText(), "Smith\nJohn\n\"Lee, Ann\"\n");
    closeSave();
    EXPECT_EQ(bytes("skiers.txt"), "Smith\r\nJohn\r\n\"Lee, Ann\"\r\n\r\n");
    EXPECT_FALSE(editorOpen());
    EXPECT_EQ(items(NameList::Skiers), (QStringList{"Smith", "John", "Lee, Ann"}));
}

TEST_F(NameListEditor, UnchangedListGainsOneFinalLineEndAndNoMore)
{
    edit(NameList::Drivers);
    closeSave();
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n\r\n");
    edit(NameList::Drivers);
    closeSave();
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n\r\n");
    EXPECT_EQ(items(NameList::Drivers), (QStringList{"Adams", "Baker"}));
}

TEST_F(NameListEditor, TrailingSpacesDroppedInnerAndLeadingKept)
{
    edit(NameList::Drivers);
    editor->setPlainText("  Lead\nInner  Name\nLast");
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, "   ");
    closeSave();
    EXPECT_EQ(bytes("drivers.txt"), "  Lead\r\nInner  Name\r\nLast\r\n");
}

TEST_F(NameListEditor, TypedNameCanBePickedAfterSaving)
{
    edit(NameList::Drivers);
    editor->moveCursor(QTextCursor::End);
    QTest::keyClicks(editor, "Carter");
    closeSave();
    EXPECT_EQ(items(NameList::Drivers), (QStringList{"Adams", "Baker", "Carter"}));
    screen->pickPosition(NameList::Drivers, 2);
    EXPECT_EQ(screen->screen().runInfo().driver, "Carter");
}

TEST_F(NameListEditor, SkiersThenDriversWithoutSavingLeavesSkiersUntouched)
{
    const QByteArray before = bytes("skiers.txt");
    edit(NameList::Skiers);
    editor->setPlainText("Someone Else\n");
    edit(NameList::Drivers);
    EXPECT_EQ(editor->toPlainText(), "Adams\nBaker\n");
    EXPECT_EQ(bytes("skiers.txt"), before);
    closeSave();
    EXPECT_EQ(bytes("skiers.txt"), before);
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n\r\n");
}

TEST_F(NameListEditor, CloseSaveBeforeAnyEditDoesNothing)
{
    closeSave();
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n");
    EXPECT_EQ(bytes("skiers.txt"), "Smith, John\r\n\"Lee, Ann\"\r\n");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(NameListEditor, FailedWriteKeepsTheOldFileAndTheEditorText)
{
    edit(NameList::Drivers);
    editor->setPlainText("Adams\nBaker\nCarter\nDuval\n");
    {
        WriteBlock block(folder.path());
        closeSave();
    }
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QDir::toNativeSeparators(path("drivers.txt"))))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(editorOpen());
    EXPECT_EQ(editor->toPlainText(), "Adams\nBaker\nCarter\nDuval\n");

    // Once the cause is gone the same text saves.
    closeSave();
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\nCarter\r\nDuval\r\n\r\n");
    EXPECT_FALSE(editorOpen());
}

TEST_F(NameListEditor, VanishedListOpensEmptyAndSavingMakesItAgain)
{
    ASSERT_TRUE(QFile::remove(path("models.txt")));
    edit(NameList::Models);
    EXPECT_TRUE(editorOpen());
    EXPECT_TRUE(editor->toPlainText().isEmpty());
    QTest::keyClicks(editor, "Lake");
    closeSave();
    EXPECT_EQ(bytes("models.txt"), "Lake\r\n");
    EXPECT_EQ(items(NameList::Models), QStringList{"Lake"});
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(NameListEditor, UnreadableListIsRefusedAndTheOpenEditorKept)
{
    edit(NameList::Drivers);
    editor->setPlainText("Adams\nZeller\n");
    ASSERT_TRUE(QFile::remove(path("boats.txt")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("boats.txt"));
    edit(NameList::Boats);
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("boats.txt"));
    EXPECT_EQ(editor->toPlainText(), "Adams\nZeller\n");
    closeSave();
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nZeller\r\n\r\n");
}

struct ListCase
{
    NameList list;
    const char* file;
    const char* placeholder;
};

void PrintTo(const ListCase& c, std::ostream* os)
{
    *os << c.file;
}

class EachList : public NameListEditor, public ::testing::WithParamInterface<ListCase>
{
};

TEST_P(EachList, SavingEmptiesTheFieldToItsPlaceholderEvenAfterAPick)
{
    const ListCase& c = GetParam();
    writeList(c.file, "First\r\nSecond\r\n");
    QComboBox* combo = &screen->nameField(c.list);
    edit(c.list);
    closeSave();
    screen->pickPosition(c.list, 1);
    EXPECT_EQ(combo->currentText(), "Second");

    edit(c.list);
    EXPECT_EQ(editor->toPlainText(), "First\nSecond\n");
    closeSave();
    EXPECT_EQ(combo->currentText(), QString());
    EXPECT_EQ(combo->lineEdit()->placeholderText(), c.placeholder);
    EXPECT_EQ(screen->screen().namePosition(c.list), -1);
    EXPECT_EQ(items(c.list), (QStringList{"First", "Second"}));
    EXPECT_EQ(bytes(c.file), "First\r\nSecond\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Lists, EachList,
                         ::testing::Values(ListCase{NameList::Skiers, "skiers.txt", "Skiers"},
                                           ListCase{NameList::Drivers, "drivers.txt", "Drivers"},
                                           ListCase{NameList::Boats, "boats.txt",
                                                    "Boat Manufacturer"},
                                           ListCase{NameList::Models, "models.txt", "Boat Model"}),
                         [](const auto& info) {
                             const std::string file = info.param.file;
                             return file.substr(0, file.find('.'));
                         });

} // namespace
