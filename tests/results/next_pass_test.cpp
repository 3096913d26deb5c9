#include "results/next_pass.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

TEST(NextPass, SlalomReversesTheDirectionJumpKeepsIt)
{
    EXPECT_EQ(nextPass(Event::Slalom, Direction::Away, -1, -1).direction, Direction::Toward);
    EXPECT_EQ(nextPass(Event::Slalom, Direction::Toward, -1, -1).direction, Direction::Away);
    EXPECT_FALSE(nextPass(Event::Jump, Direction::Toward, -1, -1).direction.has_value());
}

TEST(NextPass, JumpCopyListKeepsItsOwnOrder)
{
    EXPECT_EQ(speedCopyItems(Event::Jump), QStringList({"57/35", "54/34", "51/32", "48/30", "72/45",
                                                        "69/43", "66/41", "63/39", "60/37"}));
    // "72/45" is position 4 in the copy list and the last of the start screen's options.
    const NextPass next = nextPass(Event::Jump, Direction::Toward, 4, -1);
    ASSERT_GE(next.jumpSpeed, 0);
    EXPECT_STREQ(kJumpSpeeds[size_t(next.jumpSpeed)].caption, "72/45");
    EXPECT_EQ(next.slalomSpeed, -1);
}

TEST(NextPass, EveryJumpSpeedRoundTripsThroughTheCopyList)
{
    const QStringList items = speedCopyItems(Event::Jump);
    for (int i = 0; i < int(kJumpSpeeds.size()); ++i) {
        const int pos = speedCopyPosition(Event::Jump, i);
        ASSERT_GE(pos, 0);
        EXPECT_EQ(items[pos], QString::fromLatin1(kJumpSpeeds[size_t(i)].caption));
        EXPECT_EQ(speedIndexForCopyPosition(Event::Jump, pos), i);
    }
    EXPECT_EQ(speedCopyPosition(Event::Jump, -1), -1);
    EXPECT_EQ(speedCopyPosition(Event::Slalom, 2), 2);
}

TEST(NextPass, LineAndSpeedByPosition)
{
    const NextPass next = nextPass(Event::Slalom, Direction::Away, 3, 1);
    EXPECT_EQ(next.slalomSpeed, 3);
    EXPECT_EQ(next.lineLength, 1);
    EXPECT_EQ(next.lineLabel, QStringLiteral("16.00"));
    const NextPass none = nextPass(Event::Slalom, Direction::Away, -1, -1);
    EXPECT_EQ(none.slalomSpeed, -1);
    EXPECT_EQ(none.lineLength, -1);
}

// The tenths table is round(length / speed in m/s x 10).
TEST(NextPass, PassTenthsFollowTheCourseLengthAndSpeed)
{
    for (int i = 0; i < int(kSlalomSpeeds.size()); ++i)
        EXPECT_EQ(passTenthsFor(Event::Slalom, i),
                  std::lround(259.0 / (kSlalomSpeeds[size_t(i)].kmh / 3.6) * 10.0));
    for (int i = 0; i < int(kJumpSpeeds.size()); ++i) {
        EXPECT_EQ(passTenthsFor(Event::Jump, i),
                  std::lround(280.0 / (kJumpSpeeds[size_t(i)].kmh / 3.6) * 10.0));
        EXPECT_EQ(speedIndexForPassTenths(Event::Jump, passTenthsFor(Event::Jump, i).value()), i);
    }
    EXPECT_EQ(speedIndexForPassTenths(Event::Slalom, 161), 0);
    EXPECT_FALSE(speedIndexForPassTenths(Event::Slalom, 160).has_value());
}

} // namespace
