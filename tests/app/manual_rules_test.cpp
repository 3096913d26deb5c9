#include "app/manual_rules.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ManualText, IsBuiltInWithCrLfBetweenLines)
{
    const QString text = manualText();
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GT(text.size(), 8700);
    // A bound that catches a manual pasted twice, with room for the sections on tracking and
    // recording.
    EXPECT_LT(text.size(), 18000);
    const QString withoutCrLf = QString(text).remove("\r\n");
    EXPECT_FALSE(withoutCrLf.contains('\r'));
    EXPECT_FALSE(withoutCrLf.contains('\n'));
}

TEST(ManualText, LinesFitTheBoxWithoutSidewaysScrolling)
{
    // The box does not wrap; the manual is written with its own line breaks.
    for (const QString& line : manualText().split("\r\n"))
        EXPECT_LE(line.size(), 76) << line.toStdString();
}

TEST(ManualText, CoversTheTopicsInOrder)
{
    const QString text = manualText();
    qsizetype last = -1;
    for (const char* heading :
         {"1. WHAT THE PROGRAM IS FOR", "2. THE LIVE PICTURE", "3. THE SCREENS", "4. START SCREEN",
          "5. SETUP SCREEN", "6. MEASUREMENT SCREEN", "7. RESULTS SCREEN", "8. PER-BUOY FIGURES",
          "9. MEASURING BY TRACKING", "10. RECORDED PASSES AND REVIEW ON VIDEO"}) {
        const qsizetype at = text.indexOf(QLatin1String(heading));
        EXPECT_GT(at, last) << heading;
        last = at;
    }
}

TEST(ManualText, AnyLineEndsInTheFileAreShownAsCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("manual.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("one\ntwo\r\nthree\n");
    f.close();
    EXPECT_EQ(manualText(path), "one\r\ntwo\r\nthree");
    EXPECT_TRUE(manualText(dir.filePath("missing.txt")).isEmpty());
}

struct PlacementCase
{
    const char* name;
    QRect start;
    QSize window;
    QRect available;
    QPoint expected;
};

void PrintTo(const PlacementCase& c, std::ostream* os)
{
    *os << c.name;
}

class ManualPosition : public ::testing::TestWithParam<PlacementCase>
{
};

TEST_P(ManualPosition, BesideTheStartScreenAndOnTheArea)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(manualPosition(c.start, c.window, c.available), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManualPosition,
    ::testing::Values(PlacementCase{"RightWhenItFits", QRect(0, 0, 672, 560), QSize(540, 560),
                                    QRect(0, 0, 1280, 1024), QPoint(680, 0)},
                      PlacementCase{"LeftWhenTheRightIsFull", QRect(600, 40, 672, 560),
                                    QSize(500, 560), QRect(0, 0, 1280, 1024), QPoint(92, 40)},
                      PlacementCase{"AgainstTheRightEdgeWhenNeitherFits", QRect(0, 0, 672, 560),
                                    QSize(640, 560), QRect(0, 0, 800, 800), QPoint(160, 0)},
                      PlacementCase{"RaisedToStayOnTheArea", QRect(0, 500, 672, 560),
                                    QSize(600, 700), QRect(0, 0, 1280, 1024), QPoint(680, 324)},
                      PlacementCase{"WindowLargerThanTheArea", QRect(0, 0, 672, 560),
                                    QSize(900, 900), QRect(0, 0, 800, 800), QPoint(0, 0)},
                      PlacementCase{"SecondScreenToTheRight", QRect(1300, 100, 672, 560),
                                    QSize(640, 560), QRect(1280, 0, 1920, 1080),
                                    QPoint(1980, 100)}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
