// The pre-roll ring against its promise, checked on a live stream of frames every 100 ms
// with a key frame every second: whenever a pass starts, its file can begin on a key frame
// at least 2 s before it (once the picture has run that long), and no more is kept than that
// needs, unless a file being written holds it.

#include "recording/preroll_ring.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

constexpr qint64 kFrameUs = 100000;
constexpr qint64 kSecond = 1000000;

// Frames 0, 100 ms, ... up to and including lastUs; a key frame on every whole second. The
// payload is the frame's own time.
void feedUntil(PrerollRing<qint64>& ring, qint64& nextUs, qint64 lastUs)
{
    for (; nextUs <= lastUs; nextUs += kFrameUs)
        ring.add(nextUs, nextUs % kSecond == 0, nextUs);
}

TEST(PrerollRing, AlwaysHoldsAKeyFrameTwoSecondsBackAndLittleMore)
{
    PrerollRing<qint64> ring;
    qint64 next = 0;
    for (qint64 newest = 0; newest <= 12 * kSecond; newest += kFrameUs) {
        feedUntil(ring, next, newest);
        ASSERT_TRUE(ring.oldest().key) << "at " << newest;
        const std::optional<PrerollRing<qint64>::Entry> start = ring.fileStart(newest);
        ASSERT_TRUE(start);
        if (newest >= kPreRollUs) {
            // The latest key frame at least 2 s back: never less pre-roll, never a second more.
            EXPECT_LE(start->timeUs, newest - kPreRollUs) << "at " << newest;
            EXPECT_GT(start->timeUs, newest - kPreRollUs - kSecond) << "at " << newest;
            EXPECT_EQ(ring.oldest().timeUs, start->timeUs) << "kept more than needed at " << newest;
        } else {
            EXPECT_EQ(start->timeUs, 0) << "the picture's first frame at " << newest;
        }
        EXPECT_EQ(start->payload, start->timeUs);
    }
}

TEST(PrerollRing, APassStartedAfterTheNewestFrameStillGetsItsTwoSeconds)
{
    // The encoder is a frame or two behind Start Pass.
    PrerollRing<qint64> ring;
    qint64 next = 0;
    feedUntil(ring, next, 5 * kSecond);
    EXPECT_EQ(ring.fileStart(5 * kSecond + 50000)->timeUs, 3 * kSecond);
    // Given a start the ring no longer reaches back to, the earliest it holds.
    EXPECT_EQ(ring.fileStart(4 * kSecond)->timeUs, 3 * kSecond);
}

TEST(PrerollRing, AHeldFileKeepsItsFramesUntilReleased)
{
    PrerollRing<qint64> ring;
    qint64 next = 0;
    feedUntil(ring, next, 4 * kSecond);
    const auto start = ring.fileStart(4 * kSecond);
    ASSERT_EQ(start->timeUs, 2 * kSecond);
    ring.holdFrom(start->number);
    feedUntil(ring, next, 20 * kSecond);
    EXPECT_EQ(ring.oldest().timeUs, 2 * kSecond);
    const auto held = ring.from(start->number);
    ASSERT_EQ(held.size(), 181u); // 2.0 s to 20.0 s
    EXPECT_EQ(held.front().timeUs, 2 * kSecond);
    EXPECT_EQ(held.back().timeUs, 20 * kSecond);
    // Written up to 15 s: what is older than both that and the pre-roll goes.
    ring.holdFrom(held[130].number);
    EXPECT_EQ(ring.oldest().timeUs, 15 * kSecond);
    ring.holdFrom(std::numeric_limits<quint64>::max());
    EXPECT_EQ(ring.oldest().timeUs, 18 * kSecond);
}

TEST(PrerollRing, AFileEndsOnTheFirstFrameASecondAfterThePass)
{
    EXPECT_FALSE(endsPostRoll(10 * kSecond, 9 * kSecond + 1));
    EXPECT_TRUE(endsPostRoll(10 * kSecond, 9 * kSecond));
    EXPECT_TRUE(endsPostRoll(10 * kSecond + 33000, 9 * kSecond));
}

} // namespace
