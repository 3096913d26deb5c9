#include "calibration/calibration_journal.h"

#include <gtest/gtest.h>

namespace {

CoordinateTexts loadedTexts()
{
    CoordinateTexts t;
    t[Buoy::UpperLeft] = {" 7958", " 4527", " 2.5", " 0"};
    t[Buoy::UpperRight] = {" 8136", " 4527", " 0", " 0"};
    t[Buoy::LowerLeft] = {" 6348", " 10461", " 2.5", "-259"};
    t[Buoy::LowerRight] = {" 7551", " 10471", " 0", "-259"};
    t.jumpX = QStringLiteral(" 0");
    t.jumpY = QStringLiteral(" 0");
    return t;
}

TEST(CalibrationJournal, LoadBlockHasNineteenLinesInTwips)
{
    const QString block = journalBlock(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 3)), "C:\\a.ipt",
                                       "Lac, nord", 1, loadedTexts(), JournalForm::Twips);
    const QStringList expected{"12-07-2026 09:05:03 New Set-up now in place",
                               "C:\\a.ipt",
                               "Lac, nord",
                               "Grid Number:  1 ",
                               " ",
                               "Upper Left X,Y Twips:  7958   4527",
                               "Upper Left X,Y Survey:  2.5   0",
                               " ",
                               "Lower Left X,Y Twips:  6348   10461",
                               "Lower Left X,Y Survey:  2.5  -259",
                               " ",
                               "Upper Right X,Y Twips:  8136   4527",
                               "Upper Right X,Y Survey:  0   0",
                               " ",
                               "Lower Right X,Y Twips:  7551   10471",
                               "Lower Right X,Y Survey:  0  -259",
                               " ",
                               "Jump X,Y Survey:  0   0",
                               " "};
    EXPECT_EQ(block, expected.join("\r\n") + "\r\n");
}

TEST(CalibrationJournal, CompleteBlockSaysPixelsAndKeepsTheBoxTexts)
{
    CoordinateTexts t;
    const QString block = journalBlock(QDateTime(QDate(2026, 1, 2), QTime(23, 59, 59)), "No File",
                                       "", 2, t, JournalForm::Pixels);
    const QStringList lines = block.split("\r\n");
    ASSERT_EQ(lines.size(), 20);
    EXPECT_EQ(lines[0], "01-02-2026 23:59:59 New Set-up now in place");
    EXPECT_EQ(lines[3], "Grid Number:  2 ");
    EXPECT_EQ(lines[5], "Upper Left X,Y Pixels: auto  auto");
    EXPECT_EQ(lines[8], "Lower Left X,Y Pixels: auto  auto");
    EXPECT_EQ(lines[11], "Upper Right X,Y Pixels: auto  auto");
    EXPECT_EQ(lines[14], "Lower Right X,Y Pixels: auto  auto");
    EXPECT_EQ(lines[17], "Jump X,Y Survey: jump x  jump y");
}

} // namespace
