#include "platform/qt/video_end_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

// The search against a player that holds frames 0 to `last`: a probe at or below it shows the
// frame (and, running on, up to two more), one above it meets the end. A player that runs on
// into the end may report that end after the next probe went out: it is then taken for that
// probe.

namespace {

struct Player
{
    qint64 last;
    bool runsOn = false;
    bool lateEnds = false;
};

struct Outcome
{
    qint64 lastFrame;
    int probes;
};

Outcome runSearch(VideoEndSearch search, const Player& player)
{
    int probes = 0;
    bool lateEnd = false;
    while (const std::optional<qint64> probe = search.nextProbe()) {
        if (++probes > 64)
            break;
        if (lateEnd) {
            lateEnd = false;
            search.endMet(*probe);
            continue;
        }
        if (*probe > player.last) {
            search.endMet(*probe);
            continue;
        }
        search.shown(*probe);
        if (player.runsOn)
            for (qint64 f = *probe + 1; f <= std::min(*probe + 2, player.last); ++f)
                search.shown(f);
        lateEnd = player.lateEnds && player.last - *probe <= 2;
    }
    return {search.lastFrame(), probes};
}

struct Case
{
    qint64 last;    // the file's last frame
    qint64 missing; // the first probe, one second before the stated end, met the end there
    qint64 limit;   // frames the container states
};

class VideoEndSearchTest : public ::testing::TestWithParam<Case>
{
};

TEST_P(VideoEndSearchTest, FindsTheLastFrameInLogarithmicallyManyProbes)
{
    const Case c = GetParam();
    const int bound = int(std::ceil(std::log2(double(c.missing)))) + 1;
    for (const bool runsOn : {false, true}) {
        const Outcome o = runSearch({0, c.missing, c.limit}, {c.last, runsOn});
        EXPECT_EQ(o.lastFrame, c.last) << "runs on: " << runsOn;
        EXPECT_LE(o.probes, bound) << "runs on: " << runsOn;
    }
}

TEST_P(VideoEndSearchTest, AnEndReportedLateNeverClaimsAFrameThatWasNotShown)
{
    const Case c = GetParam();
    // Taken for a later probe, a late end can only cost the frames the last run-on missed.
    const Outcome late = runSearch({0, c.missing, c.limit}, {c.last, false, true});
    EXPECT_LE(late.lastFrame, c.last);
    EXPECT_GE(late.lastFrame, c.last - 2);
    // A player that shows the frames it ran through before its end loses none.
    EXPECT_EQ(runSearch({0, c.missing, c.limit}, {c.last, true, true}).lastFrame, c.last);
}

INSTANTIATE_TEST_SUITE_P(Cuts, VideoEndSearchTest,
                         ::testing::Values(Case{0, 425, 450},   // only the first frame
                                           Case{236, 425, 450}, // the sample pass cut in half
                                           Case{424, 425, 450}, // just short of the probe
                                           Case{42, 75, 100},   // the cut test video
                                           Case{1, 2, 3}));

TEST(VideoEndSearch, AFrameShownBeyondAnEndOverrulesIt)
{
    VideoEndSearch search(0, 100, 200);
    search.endMet(50);
    EXPECT_LT(*search.nextProbe(), 50);
    // The end at 50 was not that probe's: frame 60 exists. The search reopens up to the
    // container's length and finds frame 150.
    search.shown(60);
    EXPECT_EQ(runSearch(search, {150}).lastFrame, 150);
    // An end below a frame already shown changes nothing.
    VideoEndSearch settled(0, 100, 200);
    settled.shown(70);
    settled.endMet(65);
    EXPECT_EQ(runSearch(settled, {80}).lastFrame, 80);
}

} // namespace
