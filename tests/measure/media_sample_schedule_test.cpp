#include "measure/media_sample_schedule.h"

#include <QStringList>
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
    int lastIndex = 0;

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

    // Runs a script of comma-separated actions: "play RATE", "pause", "step N" (N frames on,
    // paused, 100 ms apart), "seek FRAME", "wait MS", "stall MS" (the decoder falls behind:
    // frames come late, unannounced) and "start LAST" (a pass of samples 0..LAST).
    void run(const QString& script)
    {
        for (const QString& action : script.split(QLatin1Char(','))) {
            const QStringList w = action.simplified().split(QLatin1Char(' '));
            const QString verb = w[0];
            const double value = w.size() > 1 ? w[1].toDouble() : 0.0;
            if (verb == QLatin1String("play")) {
                if (playing)
                    anchorUs = mediaAt(nowMs);
                anchorMs = nowMs;
                rate = value;
                playing = true;
                record(schedule.playing(rate, nowMs));
            } else if (verb == QLatin1String("pause")) {
                anchorUs = std::min(mediaAt(nowMs), video.startUs(frame + 1) - 1);
                anchorMs = nowMs;
                playing = false;
                record(schedule.paused(nowMs));
            } else if (verb == QLatin1String("step")) {
                for (int i = 0; i < int(value); ++i) {
                    nowMs += 20;
                    if (frame + 1 < video.frames)
                        show(frame + 1);
                    else
                        record(schedule.endOfMedia(nowMs));
                    wait(80);
                }
            } else if (verb == QLatin1String("seek")) {
                schedule.seeked();
                nowMs += 10;
                show(int(value));
                anchorUs = video.startUs(frame);
                anchorMs = nowMs;
            } else if (verb == QLatin1String("wait")) {
                wait(qint64(value));
            } else if (verb == QLatin1String("stall")) {
                anchorMs += qint64(value);
                wait(qint64(value));
            } else if (verb == QLatin1String("start")) {
                lastIndex = int(value);
                const MediaSampleSchedule::Start st =
                    schedule.start(lastIndex, video.endUs(), nowMs);
                ASSERT_TRUE(st.started) << st.refusal.toStdString();
                record(st.due);
            } else {
                FAIL() << "unknown action " << action.toStdString();
            }
        }
    }
};

struct Case
{
    const char* name;
    Video video;
    const char* script;
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
    p.run(QString::fromLatin1(c.script));

    ASSERT_EQ(p.schedule.state(), MediaSampleSchedule::State::Complete)
        << p.schedule.abortMessage().toStdString();
    ASSERT_EQ(int(p.taken.size()), p.lastIndex + 1);
    const qint64 p0 = p.schedule.passStartUs();
    int mismatches = 0;
    for (int k = 0; k <= p.lastIndex; ++k) {
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
        for (int k = 1; k <= p.lastIndex; ++k)
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
        Case{"rate1_25fps", k25, "play 1, wait 130, start 40, wait 5000", true},
        Case{"rate1_30fps_instants_on_frame_edges", k30, "play 1, wait 100, start 40, wait 5000",
             true},
        Case{"rate1_29_97fps", kNtsc, "play 1, wait 77, start 40, wait 5000", true},
        Case{"first_frame_at_80ms", kOffset, "play 1, wait 250, start 30, wait 5000", true},
        Case{"rate_quarter", k30, "play 0.25, wait 300, start 20, wait 9000", true},
        Case{"rate_half", kNtsc, "play 0.5, wait 300, start 20, wait 5000", true},
        Case{"rate_two", k25, "play 2, wait 90, start 40, wait 3000", true},
        Case{"rate_changed_during_pass", k30,
             "play 1, wait 50, start 30, wait 1010, play 0.25, wait 2000, play 2, wait 3000",
             false},
        Case{"decoder_stalls_mid_pass", k25,
             "play 1, wait 100, start 30, wait 515, stall 230, wait 700, stall 1000, wait 3000",
             false},
        // Paused 10 ms before an instant inside the frame on screen.
        Case{"paused_and_resumed", k25,
             "play 1, wait 60, start 30, wait 1270, pause, wait 3000, play 1, wait 3000", false},
        Case{"stepped_frame_by_frame", k30, "seek 7, start 10, step 40", false},
        Case{"seek_before_start_then_steps_and_play", kNtsc,
             "play 1, wait 400, pause, seek 3, seek 90, start 30, step 8, play 0.5, wait 8000",
             false}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The video ends before the pass does: the samples up to the end are taken, and the pass is
// aborted with the count, never left to look complete.
TEST(MediaSchedule, VideoEndingEarlyAbortsWithTheCount)
{
    Player p;
    p.video = Video{25, 1, 0, 50}; // 2 s
    p.show(0);
    p.run("play 1, wait 520");
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

    // Known beforehand, the same pass is refused at its start: no frame of this video could
    // start it. A shorter one that would fit from an earlier frame is sent there.
    Player q;
    q.video = p.video;
    q.show(13);
    const MediaSampleSchedule::Start refused = q.schedule.start(30, q.video.endUs(), q.nowMs);
    EXPECT_FALSE(refused.started);
    EXPECT_EQ(refused.refusal, "The video holds only 2.0 s, and this pass needs 3.0 s: it cannot "
                               "be measured on this video.");
    EXPECT_TRUE(refused.due.empty());
    const MediaSampleSchedule::Start later = q.schedule.start(15, q.video.endUs(), q.nowMs);
    EXPECT_FALSE(later.started);
    EXPECT_EQ(later.refusal, "The video ends 1.5 s after this frame, and this pass needs 1.5 s: "
                             "start it on an earlier frame.");
    // On the first frame, a pass whose last instant opens the last frame still starts.
    Player r;
    r.video = p.video;
    r.show(0);
    EXPECT_FALSE(r.schedule.start(20, r.video.endUs(), r.nowMs).started);
    EXPECT_TRUE(r.schedule.start(19, r.video.endUs(), r.nowMs).started);
}

TEST(MediaSchedule, PassEndingOnTheLastFrameIsComplete)
{
    Player p;
    p.video = Video{25, 1, 0, 50};
    p.show(0);
    // Started on the frame at 160 ms: the last instant, 1.96 s, opens the last frame.
    p.run("play 1, wait 180, start 18, wait 4000");
    EXPECT_TRUE(p.ended);
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Complete);
    EXPECT_EQ(p.taken.size(), 19u);
}

// A player that falls behind leaves frames out. The instant of a frame never shown is not
// taken on a neighbour: taking waits, the video may go back to that frame, and the pass goes
// on from there as if nothing had been left out.
TEST(MediaSchedule, AFrameThePlayerSkippedIsWaitedForAndMayBeShownLate)
{
    Player p;
    p.show(0);
    p.run("play 1, wait 1, start 40, wait 110"); // frames 0..2 shown, samples 0 and 1 taken
    ASSERT_EQ(p.taken.size(), 2u);
    EXPECT_FALSE(p.schedule.skippedInstant());
    p.nowMs += 49;
    p.show(4); // frame 3 (120 ms .. 160 ms) never came; it holds no instant
    EXPECT_FALSE(p.schedule.skippedInstant());
    p.nowMs += 80;
    p.show(6); // frame 5 (200 ms .. 240 ms), holding sample 2, never came
    EXPECT_EQ(p.schedule.skippedInstant(), 200000);
    p.nowMs += 40;
    p.show(7);
    p.wait(0);
    EXPECT_EQ(p.taken.size(), 2u);
    EXPECT_FALSE(p.schedule.msUntilNextDue(p.nowMs));
    // Shown late, and back: no jump in the pass.
    p.run("pause");
    p.show(5);
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Running);
    EXPECT_FALSE(p.schedule.skippedInstant());
    ASSERT_EQ(p.taken.size(), 3u);
    EXPECT_EQ(p.schedule.sampleFrames()[2], 200000);
    p.run("play 1, wait 4000");
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Complete);
    for (int k = 0; k <= 40; ++k)
        EXPECT_EQ(p.schedule.sampleFrames()[size_t(k)], p.video.frameHolding(qint64(k) * 100000));
}

TEST(MediaSchedule, JumpsDuringAPassAreRefusedOrAbortIt)
{
    Player p;
    p.show(0);
    EXPECT_FALSE(p.schedule.refuseJump());
    p.run("play 1, wait 200, start 40, wait 350");
    ASSERT_TRUE(p.schedule.running());
    EXPECT_TRUE(p.schedule.refuseJump());

    // A frame from before the one on screen (a step back that got through).
    p.run("pause");
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
    p.run("start 40, wait 200, seek 200");
    EXPECT_EQ(p.schedule.state(), MediaSampleSchedule::State::Aborted);
    EXPECT_TRUE(p.schedule.abortMessage().startsWith("The video was moved during the pass"));
}

} // namespace
