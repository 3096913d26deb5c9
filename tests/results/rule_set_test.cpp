#include "common/text_file.h"
#include "results/rule_set.h"
#include "support/qt_printers.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kGood = QStringLiteral("name = Club figures\n"
                                     "reading = two highest\n"
                                     "buoy tolerance = 20\n"
                                     "cumulative tolerance = 20, 28, 35, 40, 45, 49\n"
                                     "gate tolerance = none\n");

RuleSet expectedPreset(const char* name, double buoy, double firstCumulative,
                       std::optional<double> gate)
{
    RuleSet r;
    r.name = QString::fromLatin1(name);
    r.buoyTolerance = buoy;
    r.cumulativeTolerance = {firstCumulative, 28, 35, 40, 45, 49};
    r.gateTolerance = gate;
    return r;
}

TEST(RuleSet, ShippedPresetsCarryTheirFiguresAndSayWhereTheyComeFrom)
{
    const std::array<RuleSet, 2> expected{
        expectedPreset("2021 windows, largest reading, 20 cm", 20, 20, 20),
        expectedPreset("2024 windows, largest reading, 25 cm", 25, 25, std::nullopt)};
    for (size_t i = 0; i < kBuiltInRuleSetFiles.size(); ++i) {
        const QString path = QStringLiteral(":/program/") + kBuiltInRuleSetFiles[i];
        const RuleSetRead read = readRuleSetFile(path);
        ASSERT_TRUE(read.ruleSet) << read.message.toStdString();
        EXPECT_EQ(*read.ruleSet, expected[i]) << path.toStdString();
        const QString text = readTextFile(path).value_or(QString());
        EXPECT_TRUE(text.contains("federation summaries"));
        EXPECT_TRUE(text.contains("rulebook in force"));
        EXPECT_FALSE(text.contains("official", Qt::CaseInsensitive));
        // What a screen editor saves reads back to the same set.
        EXPECT_EQ(parseRuleSet(ruleSetText(*read.ruleSet), "x").ruleSet, read.ruleSet);
    }
    RuleSet odd = *parseRuleSet(kGood, "x").ruleSet;
    odd.firstSkierSide = SkierSide::Left;
    odd.zoneWindow = {-4.125, 9.5};
    odd.minimumSamples = 3;
    odd.cumulativeTolerance[2].reset();
    EXPECT_EQ(parseRuleSet(ruleSetText(odd), "x").ruleSet, odd);
}

struct BadRule
{
    const char* text;
    int line;
    const char* field;
    const char* reason;
};

class MalformedRuleFile : public testing::TestWithParam<BadRule>
{
};

// Each case is a good file with one line changed or added.
TEST_P(MalformedRuleFile, NamesTheFileLineAndField)
{
    const BadRule c = GetParam();
    const RuleSetRead read = parseRuleSet(kGood + QString::fromUtf8(c.text), "club.txt");
    ASSERT_FALSE(read.ruleSet);
    EXPECT_EQ(read.line, c.line);
    EXPECT_EQ(read.field, QString::fromLatin1(c.field));
    EXPECT_TRUE(read.message.startsWith("Rule set file \"club.txt\""))
        << read.message.toStdString();
    if (c.line > 0) {
        EXPECT_TRUE(read.message.contains(QStringLiteral(", line %1").arg(c.line)));
    }
    EXPECT_TRUE(read.message.contains(QString::fromLatin1(c.reason))) << read.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    RuleSet, MalformedRuleFile,
    testing::Values(BadRule{"reading = biggest\n", 6, "reading", "given twice"},
                    BadRule{"buoy window = 5, 0\n", 6, "buoy window", "start lies after the end"},
                    BadRule{"zone window = -5\n", 6, "zone window", "two numbers"},
                    BadRule{"gate window = -2, 2.0001\n", 6, "gate window", "two numbers"},
                    BadRule{"gate window = -60, 2\n", 6, "gate window", "within 50 m"},
                    BadRule{"\n# fine\nminimum samples = 0\n", 8, "minimum samples", "1 to 20"},
                    BadRule{"first skier side = port\n", 6, "first skier side",
                            "\"right\" or \"left\""},
                    BadRule{"colour = red\n", 6, "colour", "not a rule set entry"},
                    BadRule{"buoy window 0 5\n", 6, "", "not an \"entry = value\" line"},
                    BadRule{"zone window = -5,\x01 10\n", 6, "zone window", "control character"}));

TEST(RuleSet, RefusesBadValuesOfEachKind)
{
    const struct
    {
        QString text;
        int line;
        QString field;
        QString reason;
    } cases[] = {
        {QString(kGood).replace("= 20\n", "= 20cm\n"), 3, "buoy tolerance", "centimetres"},
        {QString(kGood).replace("two highest", "biggest"), 2, "reading", "\"two highest\" is"},
        {QString(kGood).replace("= 20\n", "= 2,5\n"), 3, "buoy tolerance", "number"},
        {QString(kGood).replace("45, 49", "45"), 4, "cumulative tolerance", "found 5"},
        {QString(kGood).replace("35,", "-35,"), 4, "cumulative tolerance", "buoy 3: a tolerance"},
        {QString(kGood).replace("name = Club figures\n", ""), 0, "name", "missing"},
        {QString(kGood).replace("gate tolerance = none\n", ""), 0, "gate tolerance", "missing"},
        {QString(kGood).replace("Club figures", QString(81, 'x')), 1, "name", "at most 80"},
        {kGood + "# " + QString(500, 'x') + "\nname" + QString(300, ' ') + "= y\n", 7, "",
         "longer than 200"},
        {QString(20000, '#'), 0, "", "longer than 16384"},
    };
    for (const auto& c : cases) {
        const RuleSetRead read = parseRuleSet(c.text, "f.txt");
        EXPECT_FALSE(read.ruleSet) << c.reason.toStdString();
        EXPECT_EQ(read.line, c.line) << read.message.toStdString();
        EXPECT_EQ(read.field, c.field) << read.message.toStdString();
        EXPECT_TRUE(read.message.contains(c.reason)) << read.message.toStdString();
    }
}

TEST(RuleSet, AFailedLoadKeepsTheRuleSetInForce)
{
    QTemporaryDir dir;
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    RuleSet current = *parseRuleSet(kGood, "x").ruleSet;
    const RuleSet before = current;
    for (const QString& path :
         {write("bad.txt", kGood.toUtf8() + "reading = most\n"), dir.filePath("missing.txt"),
          write("big.txt", QByteArray(kRuleFileMaxBytes + 1, '#')),
          write("binary.txt", QByteArray("\xff\xfe\0\0name\0=\x80", 11))}) {
        const QString message = loadRuleSetFile(current, path);
        EXPECT_TRUE(message.contains(QFileInfo(path).fileName())) << message.toStdString();
        EXPECT_EQ(current, before);
    }
    const QString good = write("2022 club.txt", QString(kGood).replace("Club", "New").toUtf8());
    EXPECT_EQ(loadRuleSetFile(current, good), QString());
    EXPECT_EQ(current.name, "New figures");
    EXPECT_EQ(current.reading, ReadingMethod::TwoHighest);
    EXPECT_FALSE(current.gateTolerance);
}

} // namespace
