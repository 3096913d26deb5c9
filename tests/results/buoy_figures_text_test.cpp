#include "results/buoy_figures_text.h"
#include "support/qt_printers.h"

#include <QLocale>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <vector>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 4, 3));

RuleSet preset2024()
{
    const RuleSetRead read =
        readRuleSetFile(QStringLiteral(":/program/rules/2024-largest-25cm.txt"));
    EXPECT_TRUE(read.ruleSet) << read.message.toStdString();
    return read.ruleSet.value_or(RuleSet{});
}

TEST(BuoyFiguresText, TextsAreTheSameInEveryLocale)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const std::vector<double> d(162, -0.125);
    const BuoyFigures f = computeBuoyFigures(d, 161, Direction::Away, preset2024());
    const QStringList csv = buoyFiguresCsv(f).split("\r\n");
    EXPECT_EQ(csv[0], "window,start_m,end_m,samples,reading_m,cumulative_m,limit_m,"
                      "cumulative_limit_m,within");
    EXPECT_EQ(csv[7], "6,232.000,237.000,3,-0.125,0.000,0.250,0.490,yes");
    // Header, gate, buoys 1..6 and the empty piece after the last CR LF: the zones stay out.
    EXPECT_EQ(csv.size(), 9);
    EXPECT_TRUE(csv.filter("zone").isEmpty());

    const QStringList table = buoyFiguresTable(f);
    EXPECT_EQ(table[0], "Rule set: 2024 windows, largest reading, 25 cm");
    EXPECT_TRUE(table.join('\n').contains(
        "Tolerances: buoy 25 cm, cumulative 25/28/35/40/45/49 cm, gate none"));
    EXPECT_EQ(
        table.filter(QRegularExpression("^zone 1 +22\\.\\.37 +10 +\\+12\\.5 .*within$")).size(), 1);
    EXPECT_EQ(table.filter(QRegularExpression("^2 .* -12\\.5 .* 0\\.0 .*within / within$")).size(),
              1)
        << table.join('\n').toStdString();

    RunInfo run;
    run.direction = Direction::Away;
    run.tournament = QStringLiteral("Lake Cup");
    const QString block = buoyLogBlock(run, f, kNow);
    EXPECT_EQ(buoyLogName(kNow), "BuoyLog1207.txt");
    EXPECT_TRUE(block.startsWith("Buoy Figures\r\nDate of Measurement: 12-07-2026\r\n"
                                 "Time of Measurement: 09:04:03\r\nTournament: Lake Cup\r\n"));
    EXPECT_TRUE(block.contains("\r\nSpeed: 58 km/h\r\nLine Length: 11.25m\r\n"
                               "Boat is going away from camera\r\nRule set: 2024"));
    EXPECT_TRUE(block.endsWith("\r\n\r\n"));
    EXPECT_EQ(block.count("\r\n"), block.count('\n'));
    // Names never picked stay empty, with no stray blank or comma around the boat.
    EXPECT_TRUE(block.contains("\r\nSkier Name: \r\nDriver: \r\nBoat: number 1\r\n"))
        << block.toStdString();
    run.boatModel = QStringLiteral("X-Star");
    EXPECT_TRUE(buoyLogBlock(run, f, kNow).contains("\r\nBoat: X-Star, number 1\r\n"));
    QLocale::setDefault(QLocale::c());
}

} // namespace
