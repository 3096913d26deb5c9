#include "recording/recording_names.h"

#include "support/qt_printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct NameCase
{
    const char* skier;
    int passNumber;
    const char* name;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << '"' << c.skier << "\" " << c.passNumber;
}

class RecordingName : public ::testing::TestWithParam<NameCase>
{
};

// 7 December: the program's month-day order, which a day-first reading would get wrong.
const QDateTime kWhen(QDate(2026, 12, 7), QTime(14, 5, 9));

TEST_P(RecordingName, TellsDateTimeSkierAndPassInAFormEveryFileSystemTakes)
{
    EXPECT_EQ(recordingFileName(kWhen, QString::fromUtf8(GetParam().skier), GetParam().passNumber),
              QString::fromUtf8(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Skiers, RecordingName,
    ::testing::Values(NameCase{"Ann Smith", 3, "Pass 12-07-2026 14-05-09 Ann Smith 3.mkv"},
                      NameCase{"Zoë Müller", 12, "Pass 12-07-2026 14-05-09 Zoë Müller 12.mkv"},
                      // No skier picked, no number known: neither leaves a gap.
                      NameCase{"", 3, "Pass 12-07-2026 14-05-09 3.mkv"},
                      NameCase{"Ann", 0, "Pass 12-07-2026 14-05-09 Ann.mkv"},
                      NameCase{"  ", -1, "Pass 12-07-2026 14-05-09.mkv"},
                      // What Windows or any system refuses, and line breaks typed or pasted.
                      NameCase{"A/B\\C:D*E?F\"G<H>I|J", 1,
                               "Pass 12-07-2026 14-05-09 A_B_C_D_E_F_G_H_I_J 1.mkv"},
                      NameCase{" Ann\t\r\nSmith ", 2, "Pass 12-07-2026 14-05-09 Ann Smith 2.mkv"},
                      // A name pasted by mistake stays well inside the file name limit.
                      NameCase{"Aaaaaaaaaa Bbbbbbbbbb Cccccccccc Dddddddddd Eeeeeeeeee Ffffffffff "
                               "Gggggggggg",
                               4,
                               "Pass 12-07-2026 14-05-09 Aaaaaaaaaa Bbbbbbbbbb Cccccccccc "
                               "Dddddddddd Eeeeeeeeee Fffff 4.mkv"}));

TEST(RecordingFilePath, TwoPassesInTheSameSecondGetFilesOfTheirOwn)
{
    QTemporaryDir folder;
    const QString first = recordingFilePath(folder.path(), kWhen, QStringLiteral("Ann"), 3);
    EXPECT_EQ(first, folder.filePath(QStringLiteral("Pass 12-07-2026 14-05-09 Ann 3.mkv")));
    QFile taken(first);
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.close();
    EXPECT_EQ(recordingFilePath(folder.path(), kWhen, QStringLiteral("Ann"), 3),
              folder.filePath(QStringLiteral("Pass 12-07-2026 14-05-09 Ann 3-2.mkv")));
}

// The next pass number counts only the skier's recordings of the same day.
struct NumberCase
{
    const char* skier;
    int next;
};

class NextPassNumber : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NextPassNumber, FollowsTheSkiersHighestOfTheDay)
{
    QTemporaryDir folder;
    for (const char* name :
         {"Pass 12-07-2026 09-00-00 Ann 1.mkv", "Pass 12-07-2026 09-10-00 Ann 3-2.mkv",
          "Pass 12-07-2026 09-20-00 Ann Smith 7.mkv", "Pass 12-06-2026 09-00-00 Bob 9.mkv",
          "Pass 12-07-2026 09-30-00 2.mkv", "Pass 12-07-2026 09-40-00 Bob 4.txt"})
        QFile(folder.filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    EXPECT_EQ(nextPassNumber(folder.path(), kWhen, QString::fromUtf8(GetParam().skier)),
              GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(Skiers, NextPassNumber,
                         ::testing::Values(NumberCase{"Ann", 4}, NumberCase{"Ann Smith", 8},
                                           NumberCase{"Smith", 1}, NumberCase{"Bob", 1},
                                           NumberCase{"", 3}, NumberCase{"Ann/Smith", 1}));

} // namespace
