#include "common/text_file.h"
#include "results/rule_set_choice.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString k2021 = QStringLiteral("2021-largest-20cm.txt");
const QString k2024 = QStringLiteral("2024-largest-25cm.txt");
const QString kBroken = QStringLiteral("name = Broken\nbuoy window = 5, 0\n");

struct ChoiceCase
{
    const char* what;
    QStringList files; // "name" for the shipped preset, "name=" for a broken file
    QString remembered;
    QString expectedFile; // the 2021 or 2024 preset
    bool builtIn;         // the program's own copy
    QStringList noteHas;  // empty: no note
};

void PrintTo(const ChoiceCase& c, std::ostream* os)
{
    *os << c.what;
}

class RuleSetChoice : public testing::TestWithParam<ChoiceCase>
{
};

TEST_P(RuleSetChoice, RememberedFileOrTheNewerPreset)
{
    const ChoiceCase c = GetParam();
    QTemporaryDir dir;
    const QString rules = dir.filePath(QStringLiteral("rules"));
    QDir().mkpath(rules);
    for (QString name : c.files) {
        const bool broken = name.endsWith('=');
        name.remove('=');
        const QString text = broken ? kBroken : *readTextFile(":/program/rules/" + name);
        ASSERT_TRUE(replaceFile(QDir(rules).filePath(name), text).ok);
    }
    const RuleSetInForce in = ruleSetInForce(rules, c.remembered);
    EXPECT_EQ(in.source.fileName, c.expectedFile);
    EXPECT_EQ(in.rules.name.left(4), c.expectedFile.left(4));
    EXPECT_EQ(in.source.builtIn, c.builtIn);
    EXPECT_EQ(in.note.isEmpty(), c.noteHas.isEmpty()) << in.note.toStdString();
    for (const QString& part : c.noteHas)
        EXPECT_TRUE(in.note.contains(part)) << in.note.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleSetChoice,
    testing::Values(
        ChoiceCase{"the remembered file", {k2021, k2024}, k2021, k2021, false, {}},
        // The operator learns which file, line and entry, and which set stands instead.
        ChoiceCase{"the remembered file broken since",
                   {k2024, "mine.txt="},
                   "mine.txt",
                   k2024,
                   false,
                   {"\"mine.txt\", line 2, \"buoy window\"", "2024 windows"}},
        // A remembered name is looked up among the folder's files, never opened as a path.
        ChoiceCase{"a name that leaves the folder",
                   {k2024},
                   "../rules/" + k2021,
                   k2024,
                   false,
                   {"no longer in the rules folder"}},
        ChoiceCase{"an empty folder", {}, k2021, k2024, true, {"\"" + k2021 + "\""}},
        ChoiceCase{"the folder's preset broken",
                   {k2024 + "="},
                   "",
                   k2024,
                   true,
                   {"\"" + k2024 + "\", line 2"}}));

} // namespace
