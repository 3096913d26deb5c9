#include "common/date_forms.h"

#include <gtest/gtest.h>

#include "support/comma_locale.h"
#include "support/qt_printers.h"

namespace {

TEST(DateForms, TwoDigitFieldsAndTheTwentyFourHourClock)
{
    const QDateTime morning(QDate(2026, 12, 7), QTime(9, 5, 3));
    EXPECT_EQ(dateText(morning), "12-07-2026");
    EXPECT_EQ(timeText(morning), "09:05:03");

    const QDateTime evening(QDate(2027, 1, 31), QTime(23, 59, 59));
    EXPECT_EQ(dateText(evening), "01-31-2027");
    EXPECT_EQ(timeText(evening), "23:59:59");
    EXPECT_EQ(timeText(QDateTime(QDate(2026, 6, 1), QTime(0, 0, 0))), "00:00:00");
}

TEST(DateForms, DayFileNamesCarryMonthThenDay)
{
    const QDateTime seventhOfDecember(QDate(2026, 12, 7), QTime(23, 59, 59));
    EXPECT_EQ(dayFileName("ResultLog", seventhOfDecember), "ResultLog1207.txt");
    EXPECT_EQ(dayFileName("dbResultLog", seventhOfDecember), "dbResultLog1207.txt");
    EXPECT_EQ(dayFileName("acc", QDateTime(QDate(2027, 1, 2), QTime(0, 0))), "acc0102.txt");
}

class DateFormsUnderCommaLocale : public CommaLocaleTest
{
};

TEST_F(DateFormsUnderCommaLocale, KeepTheirFixedForms)
{
    const ScopedLocale comma(kCommaLocale);
    const QDateTime t(QDate(2026, 12, 7), QTime(21, 5, 3));
    EXPECT_EQ(dateText(t), "12-07-2026");
    EXPECT_EQ(timeText(t), "21:05:03");
    EXPECT_EQ(dayFileName("ResultLog", t), "ResultLog1207.txt");
}

} // namespace
