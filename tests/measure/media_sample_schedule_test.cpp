#include "measure/media_sample_schedule.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace {

// A video of `frames` frames at num/den frames per second whose first frame starts at firstUs,
// with frame times cut to whole microseconds as the player reports them.
struct Video
{
    qint64 num = 25;
    qint64 den = 1;
    qint64 firstUs = 0;
    int frames = 250;

    qint64 startUs(int i) const { return firstUs + qint64(i) * 1000000 * den / num; }
    qint64 endUs() const { return startUs(frames); }
    // The oracle: the frame whose span holds media time t, from the frame-time formula
    // turned round, not from any sequence of events.
    qint64 frameHolding(qint64 t) const
    {
        const qint64 unit = 1000000 * den;
        const qint64 i = ((t - firstUs + 1) * num + unit - 1) / unit - 1;
        return startUs(int(i));
    }
};

enum class Act { Play, Pause, Step, Seek, Wait, Start, Stall };
struct Action
{
    Act act;
    double value = 0; // rate, frame, milliseconds or last sample index
};

// Plays the video on a simulated wall clock and feeds the schedule as the real player and
// screen would: each frame as it arrives, a wake-up when the schedule asks for one.
struct Player
{
    Video video;
    MediaSampleSchedule schedule;
    qint64 nowMs = 1000;
    int frame = 0;
    bool playing = false;
    bool ended = false;
    double rate = 1.0;
    qint64 anchorUs = 0; // media time at anchorMs while playing
    qint64 anchorMs = 0;
    std::vector<int> taken;
    std::vector<qint64> takenAtMs;
    int takenByClockWhilePaused = 0;

    void record(const std::vector<int>& due)
    {
        for (int k : due) {
            taken.push_back(k);
            takenAtMs.push_back(nowMs);
        }
    }
    void show(int i)
    {
        frame = i;
        if (!playing) {
            anchorUs = video.startUs(i);
            anchorMs = nowMs;
        }
        record(
            schedule.frameShown(video.startUs(i), video.startUs(i + 1) - video.startUs(i), nowMs));
    }
    qint64 mediaAt(qint64 ms) const
    {
        return anchorUs + qint64(std::llround(double(ms - anchorMs) * 1000.0 * rate));
    }
    // When the media clock reaches `us`, on the millisecond grid.
    qint64 wallAt(qint64 us) const
    {
        return anchorMs + qint64(std::ceil(double(us - anchorUs) / (1000.0 * rate)));
    }

    void wait(qint64 ms)
    {
        const qint64 until = nowMs + ms;
        for (;;) {
            qint64 next = until;
            const qint64 frameDue = playing ? wallAt(video.startUs(frame + 1)) : until + 1;
            next = std::min(next, frameDue);
            const auto wake = schedule.msUntilNextDue(nowMs);
            if (wake)
                next = std::min(next, nowMs + *wake);
            nowMs = next;
            if (playing && nowMs == frameDue) {
                if (frame + 1 < video.frames) {
                    show(frame + 1);
                } else {
                    playing = false;
                    ended = true;
                    record(schedule.endOfMedia(nowMs));
                }
            } else if (wake && nowMs == next) {
                const std::vector<int> due = schedule.advance(nowMs);
                if (!playing)
                    takenByClockWhilePaused += int(due.size());
                record(due);
            }
            if (nowMs >= until)
                break;
        }
        // A stray wake-up: paused, the clock must owe nothing.
        const std::vector<int> due = schedule.advance(nowMs);
        if (!playing)
            takenByClockWhilePaused += int(due.size());
        record(due);
    }

    void run(const std::vector<Action>& script)
    {
        for (const Action& a : script) {
            switch (a.act) {
            case Act::Play:
                if (playing)
                    anchorUs = mediaAt(nowMs);
                anchorMs = nowMs;
                rate = a.value;
                playing = true;
                record(schedule.playing(rate, nowMs));
                break;
            case Act::Pause:
                anchorUs = std::min(mediaAt(nowMs), video.startUs(frame + 1) - 1);
                anchorMs = nowMs;
                playing = false;
                record(schedule.paused(nowMs));
                break;
            case Act::Step:
                nowMs += 20;
                if (frame + 1 < video.frames)
                    show(frame + 1);
                else
                    record(schedule.endOfMedia(nowMs));
                break;
            case Act::Seek:
                schedule.seeked();
                nowMs += 10;
                show(int(a.value));
                anchorUs = video.startUs(frame);
                anchorMs = nowMs;
                break;
            case Act::Wait:
                wait(qint64(a.value));
                break;
            case Act::Stall: // the decoder falls behind: the next frame comes late, unannounced
                anchorMs += qint64(a.value);
                wait(qint64(a.value));
                break;
            case Act::Start: {
                const MediaSampleSchedule::Start s =
                    schedule.start(int(a.value), video.endUs(), nowMs);
                ASSERT_TRUE(s.started) << s.refusal.toStdString();
                record(s.due);
                break;
            }
            }
        }
    }
};

struct Case
{
    const char* name;
    Video video;
    std::vector<Action> script;
    int lastIndex;
    bool steady; // played through at one rate: each sample is taken at its own instant
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class MediaScheduleTable : public ::testing::TestWithParam<Case>
{
};

TEST_P(MediaScheduleTable, EverySampleOnceOnTheFrameHoldingItsInstant)
{
    const Case& c = GetParam();
    Player p;
    p.video = c.video;
    p.show(0);
    p.run(c.script);

    ASSERT_EQ(p.schedule.state(), MediaSampleSchedule::State::Complete)
        << p.schedule.abortMessage().toStdString();
    ASSERT_EQ(int(p.taken.size()), c.lastIndex + 1);
    const qint64 p0 = p.schedule.passStartUs();
    int mismatches = 0;
    for (int k = 0; k <= c.lastIndex; ++k) {
        ASSERT_EQ(p.taken[size_t(k)], k);
        const qint64 expected = c.video.frameHolding(p0 + qint64(k) * 100000);
        if (p.schedule.sampleFrames()[size_t(k)] != expected) {
            ++mismatches;
            ADD_FAILURE() << "sample " << k << " on frame " << p.schedule.sampleFrames()[size_t(k)]
                          << ", instant in frame " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(p.takenByClockWhilePaused, 0);
    if (c.steady) {
        // Sample 0 at the start, every later one when the media clock reaches its instant:
        // at rate 0.25 the pass takes four times as long.
        for (int k = 1; k <= c.lastIndex; ++k)
            EXPECT_NEAR(double(p.takenAtMs[size_t(k)]), double(p.wallAt(p0 + qint64(k) * 100000)),
                        1.0)
                << "sample " << k;
    }
}

const Video k25{25, 1, 0, 250};
const Video k30{30, 1, 0, 300};
const Video kNtsc{30000, 1001, 0, 300};
const Video kOffset{25, 1, 80000, 250};

INSTANTIATE_TEST_SUITE_P(
    FrameSequences, MediaScheduleTable,
    ::testing::Values(
        Case{"rate1_25fps",
             k25,
             {{Act::Play, 1}, {Act::Wait, 130}, {Act::Start, 40}, {Act::Wait, 5000}},
             40,
             true},
        Case{"rate1_30fps_instants_on_frame_edges",
             k30,
             {{Act::Play, 1}, {Act::Wait, 100}, {Act::Start, 40}, {Act::Wait, 5000}},
             40,
             true},
        Case{"rate1_29_97fps",
             kNtsc,
             {{Act::Play, 1}, {Act::Wait, 77}, {Act::Start, 40}, {Act::Wait, 5000}},
             40,
             true},
        Case{"first_frame_at_80ms",
             kOffset,
             {{Act::Play, 1}, {Act::Wait, 250}, {Act::Start, 30}, {Act::Wait, 5000}},
             30,
             true},
        Case{"rate_quarter",
             k30,
             {{Act::Play, 0.25}, {Act::Wait, 300}, {Act::Start, 20}, {Act::Wait, 9000}},
             20,
             true},
        Case{"rate_half",
             kNtsc,
             {{Act::Play, 0.5}, {Act::Wait, 300}, {Act::Start, 20}, {Act::Wait, 5000}},
             20,
             true},
        Case{"rate_two",
             k25,
             {{Act::Play, 2}, {Act::Wait, 90}, {Act::Start, 40}, {Act::Wait, 3000}},
             40,
             true},
        Case{"rate_changed_during_pass",
             k30,
             {{Act::Play, 1},
              {Act::Wait, 50},
              {Act::Start, 30},
              {Act::Wait, 1010},
              {Act::Play, 0.25},
              {Act::Wait, 2000},
              {Act::Play, 2},
              {Act::Wait, 3000}},
             30,
             false},
        Case{"decoder_stalls_mid_pass",
             k25,
             {{Act::Play, 1},
              {Act::Wait, 100},
              {Act::Start, 30},
              {Act::Wait, 515},
              {Act::Stall, 230},
              {Act::Wait, 700},
              {Act::Stall, 1000},
              {Act::Wait, 3000}},
             30,
             false},
        Case{"paused_and_resumed",
             k25,
             {{Act::Play, 1},
              {Act::Wait, 60},
              {Act::Start, 30},
              {Act::Wait, 1270}, // paused 10 ms before an instant inside the frame
              {Act::Pause},
              {Act::Wait, 3000},
              {Act::Play, 1},
              {Act::Wait, 3000}},
             30,
             false},
        Case{"stepped_frame_by_frame", k30,
             [] {
                 std::vector<Action> s{{Act::Seek, 7}, {Act::Start, 10}};
                 for (int i = 0; i < 40; ++i)
                     s.insert(s.end(), {{Act::Step}, {Act::Wait, 500}});
                 return s;
             }(),
             10, false},
        Case{"seek_before_start_then_steps_and_play", kNtsc,
             [] {
                 std::vector<Action> s{{Act::Play, 1}, {Act::Wait, 400}, {Act::Pause},
                                       {Act::Seek, 3}, {Act::Seek, 90},  {Act::Start, 30}};
                 for (int i = 0; i < 8; ++i)
                     s.push_back({Act::Step});
                 s.insert(s.end(), {{Act::Play, 0.5}, {Act::Wait, 8000}});
                 return s;
             }(),
             30, false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The video ends before the pass does: the samples up to the end are taken, and the pass is
// aborted with the count, never left to look complete.
TEST(MediaSchedule, VideoEndingEarlyAbortsWithTheCount)
{
    Player p;
    p.video = Video{25, 1, 0, 50}; // 2 s
    p.show(0);
    p.run({{Act::Play, 1}, {Act::Wait, 520}});
    // The video's length unknown at the start: only its end tells.
    const MediaSampleSchedule::Start s = p.schedule.start(30, 0, p.nowMs);
    ASSERT_TRUE(s.started);
    p.record(s.due);
    p.wait(5000);
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Aborted);
    // Start on the frame at 520 ms; instants 0.52 .. 1.92 s lie in the video: 15 samples.
    EXPECT_EQ(p.taken.size(), 15u);
    EXPECT_EQ(p.schedule.abortMessage(),
              "The video ended after 15 of 31 samples: the pass was not recorded.");

    // Known beforehand, the same pass is refused at its start.
    Player q;
    q.video = p.video;
    q.show(13);
    const MediaSampleSchedule::Start refused = q.schedule.start(30, q.video.endUs(), q.nowMs);
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.refusal, "The video ends 1.5 s after this frame, and this pass needs 3.0 "
                               "s: start it on an earlier frame.");
    EXPECT_TRUE(refused.due.empty());
}

TEST(MediaSchedule, PassEndingOnTheLastFrameIsComplete)
{
    Player p;
    p.video = Video{25, 1, 0, 50};
    p.show(0);
    // Started on the frame at 160 ms: the last instant, 1.96 s, opens the last frame.
    p.run({{Act::Play, 1}, {Act::Wait, 180}, {Act::Start, 18}, {Act::Wait, 4000}});
    EXPECT_TRUE(p.ended);
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Complete);
    EXPECT_EQ(p.taken.size(), 19u);
}

TEST(MediaSchedule, JumpsDuringAPassAreRefusedOrAbortIt)
{
    Player p;
    p.show(0);
    EXPECT_FALSE(p.schedule.refuseJump());
    p.run({{Act::Play, 1}, {Act::Wait, 200}, {Act::Start, 40}, {Act::Wait, 350}});
    ASSERT_TRUE(p.schedule.running());
    EXPECT_TRUE(p.schedule.refuseJump());

    // A frame from before the one on screen (a step back that got through).
    p.run({{Act::Pause}});
    const size_t before = p.taken.size();
    p.show(2);
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Aborted);
    EXPECT_EQ(p.schedule.abortMessage(),
              "The video went back during the pass, after 4 of 41 samples: the pass was not "
              "recorded.");
    p.wait(2000);
    EXPECT_EQ(p.taken.size(), before);
    EXPECT_FALSE(p.schedule.refuseJump());

    // A seek in a new pass.
    p.run({{Act::Start, 40}, {Act::Wait, 200}, {Act::Seek, 200}});
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Aborted);
    EXPECT_TRUE(p.schedule.abortMessage().startsWith("The video was moved during the pass"));
}

} // namespace
