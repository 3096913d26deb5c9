// The list editor on the start screen, driven through its buttons.

#include "support/screen_fixture.h"
#include "support/write_block.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class NameListEditor : public ::testing::Test, protected StartedProgram
{
protected:
    void SetUp() override
    {
        writeList("drivers.txt", "Adams\r\nBaker\r\n");
        writeList("skiers.txt", "Smith, John\r\n\"Lee, Ann\"\r\n");
        form = &start(false);
        Text1 = form->findChild<QPlainTextEdit*>("nameListEdit");
        cmdCloseSave = form->findChild<QPushButton*>("closeSaveButton");
        ASSERT_TRUE(Text1 && cmdCloseSave);
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
    void click(const char* button)
    {
        auto* b = form->findChild<QPushButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    bool editorOpen() const { return Text1->isVisible() && cmdCloseSave->isVisible(); }

    StartScreen* form = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* cmdCloseSave = nullptr;
};

TEST_F(NameListEditor, HiddenUntilAnEditButtonIsPressed)
{
    EXPECT_FALSE(Text1->isVisible());
    EXPECT_FALSE(cmdCloseSave->isVisible());
    click("editDriversButton");
    EXPECT_TRUE(editorOpen());
    EXPECT_EQ(Text1->toPlainText(), "Adams\nBaker\n");
}

TEST_F(NameListEditor, SurnameAndFirstNameBecomeTwoLinesWithoutTheComma)
{
    EXPECT_EQ(form->nameItems(NameList::Skiers), (QStringList{"Smith", "John", "Lee, Ann"}));
    click("editSkiersButton");
    EXPECT_EQ(Text1->toPlainText(), "Smith\nJohn\n\"Lee, Ann\"\n");
    click("closeSaveButton");
    EXPECT_EQ(bytes("skiers.txt"), "Smith\r\nJohn\r\n\"Lee, Ann\"\r\n\r\n");
    EXPECT_FALSE(editorOpen());
    EXPECT_EQ(form->nameItems(NameList::Skiers), (QStringList{"Smith", "John", "Lee, Ann"}));
}

TEST_F(NameListEditor, UnchangedListGainsOneFinalLineEndAndNoMore)
{
    click("editDriversButton");
    click("closeSaveButton");
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n\r\n");
    click("editDriversButton");
    click("closeSaveButton");
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n\r\n");
    EXPECT_EQ(form->nameItems(NameList::Drivers), (QStringList{"Adams", "Baker"}));
}

TEST_F(NameListEditor, TrailingSpacesDroppedInnerAndLeadingKept)
{
    click("editDriversButton");
    Text1->setPlainText("  Lead\nInner  Name\nLast");
    Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(Text1, "   ");
    click("closeSaveButton");
    EXPECT_EQ(bytes("drivers.txt"), "  Lead\r\nInner  Name\r\nLast\r\n");
}

TEST_F(NameListEditor, TypedNameCanBePickedAfterSaving)
{
    click("editDriversButton");
    Text1->moveCursor(QTextCursor::End);
    QTest::keyClicks(Text1, "Carter");
    click("closeSaveButton");
    EXPECT_EQ(form->nameItems(NameList::Drivers), (QStringList{"Adams", "Baker", "Carter"}));
    form->selectNamePosition(NameList::Drivers, 2);
    EXPECT_EQ(form->runInfo().driver, "Carter");
}

TEST_F(NameListEditor, SkiersThenDriversWithoutSavingLeavesSkiersUntouched)
{
    const QByteArray before = bytes("skiers.txt");
    click("editSkiersButton");
    Text1->setPlainText("Someone Else\n");
    click("editDriversButton");
    EXPECT_EQ(Text1->toPlainText(), "Adams\nBaker\n");
    EXPECT_EQ(bytes("skiers.txt"), before);
    click("closeSaveButton");
    EXPECT_EQ(bytes("skiers.txt"), before);
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n\r\n");
}

TEST_F(NameListEditor, CloseSaveBeforeAnyEditDoesNothing)
{
    cmdCloseSave->click();
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n");
    EXPECT_EQ(bytes("skiers.txt"), "Smith, John\r\n\"Lee, Ann\"\r\n");
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(NameListEditor, FailedWriteKeepsTheOldFileAndTheEditorText)
{
    click("editDriversButton");
    Text1->setPlainText("Adams\nBaker\nCarter\nDuval\n");
    {
        WriteBlock block(folder.path());
        click("closeSaveButton");
    }
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\n");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QDir::toNativeSeparators(path("drivers.txt"))))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(fake.messages.shown[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(editorOpen());
    EXPECT_EQ(Text1->toPlainText(), "Adams\nBaker\nCarter\nDuval\n");

    // Once the cause is gone the same text saves.
    click("closeSaveButton");
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nBaker\r\nCarter\r\nDuval\r\n\r\n");
    EXPECT_FALSE(editorOpen());
}

TEST_F(NameListEditor, VanishedListOpensEmptyAndSavingMakesItAgain)
{
    ASSERT_TRUE(QFile::remove(path("models.txt")));
    click("editBoatModelsButton");
    EXPECT_TRUE(editorOpen());
    EXPECT_TRUE(Text1->toPlainText().isEmpty());
    QTest::keyClicks(Text1, "Lake");
    click("closeSaveButton");
    EXPECT_EQ(bytes("models.txt"), "Lake\r\n");
    EXPECT_EQ(form->nameItems(NameList::Models), QStringList{"Lake"});
    EXPECT_TRUE(fake.messages.shown.empty());
}

TEST_F(NameListEditor, UnreadableListIsRefusedAndTheOpenEditorKept)
{
    click("editDriversButton");
    Text1->setPlainText("Adams\nZeller\n");
    ASSERT_TRUE(QFile::remove(path("boats.txt")));
    ASSERT_TRUE(QDir(folder.path()).mkdir("boats.txt"));
    click("editBoatMakersButton");
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains("boats.txt"));
    EXPECT_EQ(Text1->toPlainText(), "Adams\nZeller\n");
    click("closeSaveButton");
    EXPECT_EQ(bytes("drivers.txt"), "Adams\r\nZeller\r\n\r\n");
}

struct ListCase
{
    NameList list;
    const char* button;
    const char* combo;
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
    auto* combo = form->findChild<QComboBox*>(c.combo);
    ASSERT_NE(combo, nullptr);
    click(c.button);
    click("closeSaveButton");
    form->selectNamePosition(c.list, 1);
    EXPECT_EQ(combo->currentText(), "Second");

    click(c.button);
    EXPECT_EQ(Text1->toPlainText(), "First\nSecond\n");
    click("closeSaveButton");
    EXPECT_EQ(combo->currentText(), QString());
    EXPECT_EQ(combo->lineEdit()->placeholderText(), c.placeholder);
    EXPECT_EQ(form->namePosition(c.list), -1);
    EXPECT_EQ(form->nameItems(c.list), (QStringList{"First", "Second"}));
    EXPECT_EQ(bytes(c.file), "First\r\nSecond\r\n\r\n");
}

INSTANTIATE_TEST_SUITE_P(Lists, EachList,
                         ::testing::Values(ListCase{NameList::Skiers, "editSkiersButton",
                                                    "skierCombo", "skiers.txt", "Skiers"},
                                           ListCase{NameList::Drivers, "editDriversButton",
                                                    "driverCombo", "drivers.txt", "Drivers"},
                                           ListCase{NameList::Boats, "editBoatMakersButton",
                                                    "boatMakerCombo", "boats.txt",
                                                    "Boat Manufacturer"},
                                           ListCase{NameList::Models, "editBoatModelsButton",
                                                    "boatModelCombo", "models.txt", "Boat Model"}),
                         [](const auto& info) {
                             const std::string file = info.param.file;
                             return file.substr(0, file.find('.'));
                         });

} // namespace
