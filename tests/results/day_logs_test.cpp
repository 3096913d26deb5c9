#include "results/day_logs.h"

#include <gtest/gtest.h>

namespace {

TEST(DayLogs, NamesFollowTheMonthAndDayOfNow)
{
    const QDateTime dec7(QDate(2026, 12, 7), QTime(23, 59, 59));
    EXPECT_EQ(resultLogName(dec7), QStringLiteral("ResultLog1207.txt"));
    EXPECT_EQ(databaseLogName(dec7), QStringLiteral("dbResultLog1207.txt"));
    // Past midnight the next day's files take the passes; the year is not in the name.
    EXPECT_EQ(resultLogName(dec7.addSecs(1)), QStringLiteral("ResultLog1208.txt"));
    EXPECT_EQ(resultLogName(QDateTime(QDate(2027, 12, 7), QTime(1, 0))),
              QStringLiteral("ResultLog1207.txt"));
}

TEST(DayLogs, RecordsAndSessionHeaders)
{
    const QDateTime now(QDate(2026, 3, 4), QTime(5, 6, 7));
    EXPECT_EQ(resultLogRecord(QStringLiteral("R\r\n")), QStringLiteral("R\r\n\r\n"));
    EXPECT_EQ(resultLogHeader(now),
              QStringLiteral("Test Session Results Log Setup Starting 03-04-2026 05:06:07"));
    EXPECT_EQ(databaseLogHeader(now),
              QStringLiteral("Test Session Database Log Setup Starting 03-04-2026 05:06:07"));
}

} // namespace
