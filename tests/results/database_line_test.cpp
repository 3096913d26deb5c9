#include "results/database_line.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

DatabaseLineInputs sampleInputs()
{
    DatabaseLineInputs in;
    in.run.boatNumber = QStringLiteral("3");
    in.run.boatMaker = QStringLiteral("Malibu");
    in.run.boatModel = QStringLiteral("TXi");
    in.run.driver = QStringLiteral("Carl");
    in.run.skier = QStringLiteral("Ann");
    in.speedText = QStringLiteral("58");
    in.lineText = QStringLiteral("11.25");
    in.samples.meanAbsDeviation = 0.0456;
    in.samples.maxAbsDeviation = 0.17;
    in.statistics.meanFitDeviation = 0.0126;
    in.statistics.maxFitDeviation = 0.0994;
    in.statistics.leftPercent = 25;
    in.statistics.centerPercent = 25;
    in.statistics.rightPercent = 50;
    in.statistics.meanDeviation = -0.123;
    in.statistics.startDeviation = 0.005;
    in.statistics.exitDeviation = -0.004;
    in.statistics.totalDeviation = 0.1;
    in.split = QStringLiteral("1.2");
    in.full = QStringLiteral("2.3");
    return in;
}

TEST(DatabaseLine, TwentyTwoFieldsInOrder)
{
    const QString line = databaseLine(sampleInputs());
    const QStringList f = line.split('|');
    ASSERT_EQ(f.size(), 22);
    const QStringList expected{"3",     "Malibu", "TXi",   "S",    "Carl", "Ann", "58",  "11.25",
                               " .013", " .099",  " .046", " .17", "1.2",  "2.3", " 25", " 25",
                               " 50",   "-0.12",  "0.01",  "0.00", "0.10", ""};
    EXPECT_EQ(f, expected);
    // An empty comment leaves the line ending in the separator.
    EXPECT_TRUE(line.endsWith('|'));
    EXPECT_FALSE(line.contains('\n'));
}

// Names never picked are empty fields, and every other field stays in its place.
TEST(DatabaseLine, EmptyNamesKeepEveryFieldInPlace)
{
    DatabaseLineInputs in = sampleInputs();
    const QString number = in.run.boatNumber;
    in.run = RunInfo();
    in.run.boatNumber = number;
    const QStringList f = databaseLine(in).split('|');
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[0], QStringLiteral("3"));
    EXPECT_EQ(QStringList({f[1], f[2], f[4], f[5]}), QStringList({"", "", "", ""}));
    EXPECT_EQ(f[3], QStringLiteral("S"));
    EXPECT_EQ(f[6], QStringLiteral("58"));
    EXPECT_EQ(f[21], QString());
}

TEST(DatabaseLine, JumpIsJ)
{
    DatabaseLineInputs in = sampleInputs();
    in.run.event = Event::Jump;
    EXPECT_EQ(databaseLine(in).split('|')[3], QStringLiteral("J"));
}

TEST(DatabaseLine, TypedSeparatorsAndLineBreaksBecomeBlanks)
{
    DatabaseLineInputs in = sampleInputs();
    in.run.skier = QStringLiteral("Ann|Bee");
    in.run.driver = QStringLiteral("Carl\r\nDee");
    in.run.boatNumber = QStringLiteral("7|");
    in.split = QStringLiteral("a|b");
    in.full = QStringLiteral("c\nd");
    in.comment = QStringLiteral("wind | gusts\r");
    const QStringList f = databaseLine(in).split('|');
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[0], QStringLiteral("7 "));
    EXPECT_EQ(f[4], QStringLiteral("Carl  Dee"));
    EXPECT_EQ(f[5], QStringLiteral("Ann Bee"));
    EXPECT_EQ(f[12], QStringLiteral("a b"));
    EXPECT_EQ(f[13], QStringLiteral("c d"));
    EXPECT_EQ(f[21], QStringLiteral("wind   gusts "));
}

} // namespace
