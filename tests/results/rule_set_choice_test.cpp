#include "common/text_file.h"
#include "results/rule_set_choice.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString k2021 = QStringLiteral("2021-largest-20cm.txt");
const QString k2024 = QStringLiteral("2024-largest-25cm.txt");
const QString kName2021 = QStringLiteral("2021 windows, largest reading, 20 cm");
const QString kName2024 = QStringLiteral("2024 windows, largest reading, 25 cm");
const QString kBroken = QStringLiteral("name = Broken\nbuoy window = 5, 0\n");

struct ChoiceCase
{
    const char* what;
    std::vector<std::pair<QString, QString>> files; // name, text ("" = the shipped preset)
    QString remembered;
    QString expectedName;
    QString expectedFile;
    bool builtIn;
    QStringList noteHas; // empty: no note
};

void PrintTo(const ChoiceCase& c, std::ostream* os)
{
    *os << c.what;
}

class RuleSetChoice : public testing::TestWithParam<ChoiceCase>
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString rules() const { return dir.filePath(QStringLiteral("rules")); }
    void write(const QString& name, const QString& text)
    {
        QDir().mkpath(rules());
        const QString shipped =
            readTextFile(QStringLiteral(":/program/rules/") + name).value_or(QString());
        ASSERT_TRUE(replaceFile(QDir(rules()).filePath(name), text.isEmpty() ? shipped : text).ok);
    }
    QTemporaryDir dir;
};

TEST_P(RuleSetChoice, RememberedFileOrTheNewerPreset)
{
    const ChoiceCase c = GetParam();
    for (const auto& [name, text] : c.files)
        write(name, text);
    const RuleSetInForce in = ruleSetInForce(rules(), c.remembered);
    EXPECT_EQ(in.rules.name, c.expectedName);
    EXPECT_EQ(in.source.fileName, c.expectedFile);
    EXPECT_EQ(in.source.builtIn, c.builtIn);
    if (c.noteHas.isEmpty()) {
        EXPECT_TRUE(in.note.isEmpty()) << in.note.toStdString();
    }
    for (const QString& part : c.noteHas)
        EXPECT_TRUE(in.note.contains(part)) << in.note.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleSetChoice,
    testing::Values(
        ChoiceCase{
            "nothing remembered", {{k2021, ""}, {k2024, ""}}, "", kName2024, k2024, false, {}},
        ChoiceCase{
            "the remembered file", {{k2021, ""}, {k2024, ""}}, k2021, kName2021, k2021, false, {}},
        ChoiceCase{"an operator's own file",
                   {{k2024, ""},
                    {"club.txt", "name = Club\nreading = largest\n"
                                 "buoy tolerance = 30\n"
                                 "cumulative tolerance = none\n"
                                 "gate tolerance = none\n"}},
                   "club.txt",
                   "Club",
                   "club.txt",
                   false,
                   {}},
        // The operator learns which file, line and entry, and which set stands instead.
        ChoiceCase{"the remembered file broken since",
                   {{k2024, ""}, {"mine.txt", kBroken}},
                   "mine.txt",
                   kName2024,
                   k2024,
                   false,
                   {"\"mine.txt\", line 2, \"buoy window\"", kName2024}},
        ChoiceCase{"the remembered file gone",
                   {{k2024, ""}},
                   "gone.txt",
                   kName2024,
                   k2024,
                   false,
                   {"\"gone.txt\"", "no longer"}},
        // A remembered name is looked up among the folder's files, never opened as a path.
        ChoiceCase{"a name that leaves the folder",
                   {{k2024, ""}},
                   "../rules/" + k2021,
                   kName2024,
                   k2024,
                   false,
                   {"no longer"}},
        ChoiceCase{"no rules folder", {}, k2021, kName2024, k2024, true, {"\"" + k2021 + "\""}},
        ChoiceCase{"the folder's preset broken",
                   {{k2024, kBroken}},
                   "",
                   kName2024,
                   k2024,
                   true,
                   {"\"" + k2024 + "\", line 2"}}));

TEST(RuleSetSources, FolderFilesInNameOrderAndAlwaysThePreset)
{
    QTemporaryDir dir;
    const QString rules = dir.filePath(QStringLiteral("rules"));
    ASSERT_TRUE(QDir().mkpath(rules + QStringLiteral("/sub.txt")));
    for (const char* name : {"b.txt", "a.txt", "notes.md"})
        ASSERT_TRUE(replaceFile(QDir(rules).filePath(name), QStringLiteral("x")).ok);
    const std::vector<RuleSetSource> sources = ruleSetSources(rules);
    ASSERT_EQ(sources.size(), 3u);
    EXPECT_EQ(sources[0].fileName, QStringLiteral("a.txt"));
    EXPECT_EQ(sources[0].path, QDir(rules).filePath(QStringLiteral("a.txt")));
    EXPECT_EQ(sources[1].fileName, QStringLiteral("b.txt"));
    EXPECT_EQ(sources[2].fileName, k2024);
    EXPECT_TRUE(sources[2].builtIn);
    EXPECT_TRUE(readRuleSetFile(sources[2].path).ruleSet);
}

} // namespace
