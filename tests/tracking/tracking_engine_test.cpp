// The engine on passes drawn in memory, whose post column is known exactly on every frame.

#include "support/calibrated_course.h"
#include "tracking/synthetic_pass.h"
#include "tracking/tracking_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

struct Errors
{
    double median = 0.0;
    double max = 0.0;
};

// Column errors of the tracked frames (the operator's first point left out).
Errors columnErrors(const Track& track, const SyntheticPass& clip)
{
    std::vector<double> e;
    for (size_t k = 1; k < track.frames.size(); ++k)
        if (track.frames[k].stop == TrackStop::None)
            e.push_back(std::fabs(track.frames[k].u - clip.post(int(k)).u));
    if (e.empty())
        return {};
    std::sort(e.begin(), e.end());
    return {e[e.size() / 2], e.back()};
}

class TrackingEngineTest : public ::testing::Test
{
protected:
    TrackingEngineTest() { calibrateSlalom(calibration); }

    TrackingOutcome track(SyntheticPass& clip, std::vector<OperatorPoint> extra = {})
    {
        TrackingRequest r;
        r.base.pass = clip.pass();
        r.fromUs = 0;
        r.points = {{0, clip.post(0).u, clip.post(0).v}};
        r.points.insert(r.points.end(), extra.begin(), extra.end());
        r.transform = calibration.transform;
        const std::atomic<bool> never{false};
        return trackPoint(r, clip, never, [this](TrackingProgress p) { progress.push_back(p); });
    }

    Calibration calibration;
    std::vector<TrackingProgress> progress;
};

struct Motion
{
    const char* name;
    Direction direction;
    qint64 frameUs;
};

void PrintTo(const Motion& m, std::ostream* os)
{
    *os << m.name;
}

class FollowsPoint : public TrackingEngineTest, public ::testing::WithParamInterface<Motion>
{
};

TEST_P(FollowsPoint, WithinAThirdOfAPixel)
{
    PassPlan plan;
    plan.direction = GetParam().direction;
    plan.frameUs = GetParam().frameUs;
    SyntheticPass clip(calibration, plan);
    const TrackingOutcome out = track(clip);
    // The clip is shorter than the pass: every frame of it tracked, none stopped.
    EXPECT_EQ(out.end, TrackingOutcome::End::VideoEnded);
    ASSERT_EQ(out.track.frames.size(), size_t(plan.frames));
    for (int k = 0; k < plan.frames; ++k) {
        EXPECT_EQ(out.track.frames[size_t(k)].startUs, clip.startUs(k));
        EXPECT_EQ(out.track.frames[size_t(k)].durationUs, plan.frameUs);
        EXPECT_EQ(out.track.frames[size_t(k)].operatorSet, k == 0);
        EXPECT_GE(out.track.frames[size_t(k)].confidence, 0.85);
    }
    const Errors e = columnErrors(out.track, clip);
    EXPECT_LE(e.median, 0.2);
    EXPECT_LE(e.max, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Passes, FollowsPoint,
                         ::testing::Values(Motion{"toward_25fps", Direction::Toward, 40000},
                                           Motion{"away_25fps", Direction::Away, 40000},
                                           Motion{"toward_29_97fps", Direction::Toward, 33367}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrackingEngineTest, AWholePassEndsOnTheFrameHoldingItsLastSample)
{
    PassPlan plan;
    plan.frames = 420;
    plan.width = 560;
    SyntheticPass clip(calibration, plan);
    const TrackingOutcome out = track(clip);
    ASSERT_EQ(out.end, TrackingOutcome::End::Complete);
    // Sample 161 is due at 16.1 s, on frame 402 (16.08 s to 16.12 s).
    ASSERT_EQ(out.track.frames.size(), 403u);
    EXPECT_TRUE(out.track.complete());
    EXPECT_LE(columnErrors(out.track, clip).max, 0.5);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().done, 403);
    EXPECT_EQ(progress.back().total, 403);
}

TEST_F(TrackingEngineTest, SprayOverThePointStopsTheEngineOnItsFirstFrame)
{
    PassPlan plan;
    plan.sprayed = {12, 13, 14, 15};
    SyntheticPass clip(calibration, plan);
    const TrackingOutcome out = track(clip);
    ASSERT_EQ(out.end, TrackingOutcome::End::Stopped);
    ASSERT_EQ(out.track.frames.size(), 13u);
    EXPECT_EQ(out.track.frames.back().startUs, clip.startUs(12));
    EXPECT_EQ(out.track.frames.back().stop, TrackStop::LowConfidence);
    EXPECT_LT(out.track.frames.back().confidence, TrackingSettings{}.minConfidence);
    std::printf("[ measured ] confidence under spray %.3f, before it at least %.3f\n",
                out.track.frames.back().confidence,
                std::min_element(out.track.frames.begin(), out.track.frames.end() - 1,
                                 [](const TrackPoint& a, const TrackPoint& b) {
                                     return a.confidence < b.confidence;
                                 })
                    ->confidence);
    EXPECT_EQ(out.stopFrameNumber, 12);
    EXPECT_FALSE(out.track.complete());
    // Nothing drifted before it.
    EXPECT_LE(columnErrors(out.track, clip).max, 0.5);
}

TEST_F(TrackingEngineTest, OperatorPointsCarryItThroughTheSpray)
{
    PassPlan plan;
    plan.sprayed = {12, 13, 14, 15};
    SyntheticPass clip(calibration, plan);
    std::vector<OperatorPoint> given;
    for (int k : plan.sprayed)
        given.push_back({clip.startUs(k) + 1000, clip.post(k).u, clip.post(k).v});
    const TrackingOutcome out = track(clip, given);
    EXPECT_EQ(out.end, TrackingOutcome::End::VideoEnded);
    ASSERT_EQ(out.track.frames.size(), 30u);
    for (int k : plan.sprayed) {
        EXPECT_TRUE(out.track.frames[size_t(k)].operatorSet);
        EXPECT_NEAR(out.track.frames[size_t(k)].u, clip.post(k).u, 0.001);
    }
    EXPECT_LE(columnErrors(out.track, clip).max, 0.5);
}

// The frames of a clip from one on, as a reader that seeks gives them.
class FromFrame : public FrameReader
{
public:
    FromFrame(const SyntheticPass& clip, int first, int count)
        : clip(clip), at(first), end(first + count)
    {
    }
    std::optional<GreyFrame> next() override
    {
        if (at >= end)
            return std::nullopt;
        return clip.frame(at++);
    }
    QString error() const override { return {}; }

private:
    const SyntheticPass& clip;
    int at;
    int end;
};

TEST_F(TrackingEngineTest, ABoatGrowingPastTheTemplateIsFollowed)
{
    // Late in a pass toward the camera the boat doubles in size within seconds: the post
    // grows from 20 to 36 px wide, past what the point's first picture held.
    PassPlan plan;
    plan.frames = 330;
    plan.height = 560;
    plan.boatSize = 2.5;
    SyntheticPass clip(calibration, plan);
    const int first = 225; // 9 s
    FromFrame frames(clip, first, 100);
    TrackingRequest r;
    r.base.pass = clip.pass();
    // A correction late in the pass: the frames before it were tracked.
    r.base.frames = {{0, 40000, clip.post(0).u, clip.post(0).v, 1.0, true, TrackStop::None}};
    r.fromUs = clip.startUs(first);
    // Where the post meets the windshield, as an operator would put it.
    const double size = plan.boatSize * clip.growth(first);
    r.points = {{r.fromUs, clip.post(first).u, clip.post(first).v + 4.0 * size}};
    r.transform = calibration.transform;
    const std::atomic<bool> never{false};
    const TrackingOutcome out = trackPoint(r, frames, never);
    EXPECT_EQ(out.end, TrackingOutcome::End::VideoEnded);
    ASSERT_EQ(out.track.frames.size(), 101u);
    double worst = 0.0;
    for (int k = 1; k <= 100; ++k)
        worst =
            std::max(worst, std::fabs(out.track.frames[size_t(k)].u - clip.post(first + k - 1).u));
    EXPECT_LE(worst, 0.5);
}

TEST_F(TrackingEngineTest, APointCrossingTheCourseFasterThanABoatStops)
{
    // From 0.4 s on, 5 m/s across the course: found by the match, refused by the rule.
    PassPlan plan;
    plan.courseX = [](double t) { return 1.25 + 5.0 * std::max(0.0, t - 0.4); };
    SyntheticPass clip(calibration, plan);
    const TrackingOutcome out = track(clip);
    ASSERT_EQ(out.end, TrackingOutcome::End::Stopped);
    EXPECT_EQ(out.track.frames.back().stop, TrackStop::Sideways);
    EXPECT_EQ(out.track.frames.back().startUs, clip.startUs(11));
    // Within the rule, 2.5 m/s is followed.
    plan.courseX = [](double t) { return 1.25 + 2.5 * std::max(0.0, t - 0.4); };
    SyntheticPass slower(calibration, plan);
    EXPECT_EQ(track(slower).end, TrackingOutcome::End::VideoEnded);
}

TEST_F(TrackingEngineTest, APointThatDoesNotKeepPaceWithTheBoatStops)
{
    // What a template that slid onto a buoy would follow: a point standing still on the
    // course, however well it matches. Judged once the track reaches 0.4 s back.
    PassPlan plan;
    plan.speedMps = 0.0;
    SyntheticPass still(calibration, plan);
    const TrackingOutcome out = track(still);
    ASSERT_EQ(out.end, TrackingOutcome::End::Stopped);
    EXPECT_EQ(out.track.frames.back().stop, TrackStop::AlongCourse);
    EXPECT_EQ(out.track.frames.back().startUs, still.startUs(10));
    EXPECT_GE(out.track.frames.back().confidence, 0.85);
    // Three times the pass speed is no boat of this pass either.
    plan.speedMps = 3.0 * 58.0 / 3.6;
    SyntheticPass fast(calibration, plan);
    EXPECT_EQ(track(fast).track.frames.back().stop, TrackStop::AlongCourse);
}

TEST_F(TrackingEngineTest, APointReachingThePicturesEdgeStops)
{
    // A picture cut off just right of the course: the boat drifts out of it at 2 m/s.
    PassPlan plan;
    plan.width = 360;
    plan.courseX = [](double t) { return 1.25 - 2.0 * t; };
    SyntheticPass clip(calibration, plan);
    const TrackingOutcome out = track(clip);
    ASSERT_EQ(out.end, TrackingOutcome::End::Stopped);
    EXPECT_EQ(out.track.frames.back().stop, TrackStop::LeftPicture);
    // The template holds 12 px of the boat as large as on the first frame: on the last frame
    // it reaches within a pixel of the edge.
    const int last = int(out.track.frames.size()) - 1;
    EXPECT_GT(clip.post(last).u + 12.0 * clip.growth(last), 359.0 - 1.0);
    EXPECT_LE(columnErrors(out.track, clip).max, 0.5);
}

TEST_F(TrackingEngineTest, AStartWithoutTheOperatorsPointOnItsFrameIsRefused)
{
    PassPlan plan;
    SyntheticPass clip(calibration, plan);
    TrackingRequest r;
    r.base.pass = clip.pass();
    r.fromUs = clip.startUs(3);
    r.points = {{clip.startUs(5), 100.0, 100.0}};
    r.transform = calibration.transform;
    const std::atomic<bool> never{false};
    const TrackingOutcome out = trackPoint(r, clip, never);
    EXPECT_EQ(out.end, TrackingOutcome::End::Failed);
    EXPECT_TRUE(out.message.contains(QStringLiteral("0.120"))) << out.message.toStdString();
    EXPECT_TRUE(out.track.frames.empty());
}

} // namespace

namespace {

// Frames of a reader that gives one of them no length.
class LengthlessFrame : public FrameReader
{
public:
    LengthlessFrame(SyntheticPass& clip, int at) : clip(clip), at(at) {}
    std::optional<GreyFrame> next() override
    {
        std::optional<GreyFrame> f = clip.next();
        if (f && n++ == at)
            f->durationUs = 0;
        return f;
    }
    QString error() const override { return {}; }

private:
    SyntheticPass& clip;
    int at;
    int n = 0;
};

TEST(TrackingEngine, AFrameWithoutLengthFailsTheRunNamingIt)
{
    Calibration calibration;
    calibrateSlalom(calibration);
    for (int at : {0, 6}) {
        SyntheticPass clip(calibration, PassPlan{});
        LengthlessFrame frames(clip, at);
        TrackingRequest r;
        r.base.pass = clip.pass();
        r.points = {{0, clip.post(0).u, clip.post(0).v}};
        r.transform = calibration.transform;
        const std::atomic<bool> never{false};
        const TrackingOutcome out = trackPoint(r, frames, never);
        EXPECT_EQ(out.end, TrackingOutcome::End::Failed);
        EXPECT_EQ(out.message, QStringLiteral("the video gives its frame at %1 s no length")
                                   .arg(at * 0.04, 0, 'f', 3));
        EXPECT_TRUE(out.track.frames.empty());
    }
}

} // namespace

namespace {

// A 30 fps file whose frames are stamped to the whole millisecond (0, 33, 67, 100 ms ...)
// while the player gives each a whole frame period (33 333 us): two frames in three overlap
// the next one's start, and the player shows the later frame from its start on.
class MillisecondStamps : public FrameReader
{
public:
    explicit MillisecondStamps(SyntheticPass& clip) : clip(clip) {}
    static qint64 stampUs(int k) { return std::llround(k * 100.0 / 3.0) * 1000; }
    std::optional<GreyFrame> next() override
    {
        std::optional<GreyFrame> f = clip.next();
        if (f) {
            f->startUs = stampUs(n++);
            f->durationUs = 33333;
        }
        return f;
    }
    QString error() const override { return {}; }

private:
    SyntheticPass& clip;
    int n = 0;
};

TEST(TrackingEngine, OverlappingFramesTakeEachPointOnTheFrameShownAtItsInstant)
{
    Calibration calibration;
    calibrateSlalom(calibration);
    PassPlan plan;
    plan.frames = 24;
    plan.frameUs = 33333;
    plan.width = 560;
    const auto request = [&](const SyntheticPass& clip, int from) {
        TrackingRequest r;
        r.base.pass = clip.pass();
        r.fromUs = MillisecondStamps::stampUs(from);
        r.points = {{r.fromUs, clip.post(from).u, clip.post(from).v}};
        r.transform = calibration.transform;
        return r;
    };
    const std::atomic<bool> never{false};
    // The pass starts at 0.100 s, on frame 3; frame 2 (67 ms, 33.333 ms long) reaches past.
    SyntheticPass clip(calibration, plan);
    MillisecondStamps frames(clip);
    const TrackingOutcome out = trackPoint(request(clip, 3), frames, never);
    ASSERT_EQ(out.end, TrackingOutcome::End::VideoEnded);
    EXPECT_EQ(out.track.pass.startUs, 100000);
    ASSERT_EQ(out.track.frames.size(), 21u);
    EXPECT_EQ(out.track.frames.front().startUs, 100000);
    EXPECT_FALSE(out.track.frames[1].operatorSet);

    // A correction on frame 9 (300 ms) keeps frame 8 (267 ms) as it was tracked.
    SyntheticPass again(calibration, plan);
    MillisecondStamps more(again);
    TrackingRequest fix = request(again, 9);
    fix.base = out.track;
    const TrackingOutcome fixed = trackPoint(fix, more, never);
    ASSERT_EQ(fixed.track.frames.size(), 21u);
    EXPECT_EQ(fixed.track.frames[5], out.track.frames[5]);
    EXPECT_TRUE(fixed.track.frames[6].operatorSet);
    EXPECT_EQ(fixed.track.frames[6].startUs, 300000);

    // The last sample (16.2 s) is read on frame 486, not on frame 485 (16.167 s) before it.
    plan.frames = 490;
    SyntheticPass whole(calibration, plan);
    MillisecondStamps all(whole);
    const TrackingOutcome complete = trackPoint(request(whole, 3), all, never);
    ASSERT_EQ(complete.end, TrackingOutcome::End::Complete);
    EXPECT_EQ(complete.track.frames.back().startUs, 16200000);
}

} // namespace
