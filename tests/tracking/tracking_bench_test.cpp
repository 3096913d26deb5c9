// The tracking benchmark's own reckoning (bench/tracking_bench), on passes drawn in memory and
// on truths written out by hand: what it reports must be what happened.

#include "support/calibrated_course.h"
#include "tracking/synthetic_pass.h"
#include "tracking_bench/engine_run.h"
#include "tracking_bench/figures.h"
#include "tracking_bench/hand_line.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

class TrackingBench : public ::testing::Test
{
protected:
    TrackingBench() { calibrateSlalom(calibration); }

    // A pass whose truth is the drawn clip's: the post on every frame, the spray where drawn.
    BenchPass benchPass(const SyntheticPass& clip, const PassPlan& plan) const
    {
        BenchPass p;
        p.name = QStringLiteral("drawn");
        p.speedKmh = 58;
        p.transform = calibration.transform;
        p.gateCrossingUs = 0;
        for (int k = 0; k < plan.frames; ++k) {
            TruthFrame f;
            f.frame = k;
            f.timeUs = clip.startUs(k);
            f.durationUs = plan.frameUs;
            f.x = plan.courseX(double(f.timeUs) / 1e6);
            f.pylonAtShield = f.top = {clip.post(k).u, clip.post(k).v};
            f.sprayCover = plan.sprayed.count(k) ? 1.0 : 0.0;
            p.truth.push_back(f);
        }
        return p;
    }

    // A truth of `frames` frames at 25 a second whose followed column runs at 0.8 px a frame.
    BenchPass straightPass(int frames) const
    {
        BenchPass p;
        p.speedKmh = 58;
        p.transform = calibration.transform;
        p.gateCrossingUs = 0;
        for (int k = 0; k < frames; ++k) {
            TruthFrame f;
            f.frame = k;
            f.timeUs = qint64(k) * 40000;
            f.durationUs = 40000;
            f.x = 1.25;
            f.pylonAtShield = {300.0 + 0.8 * k, 200.0};
            p.truth.push_back(f);
        }
        return p;
    }

    Calibration calibration;
};

TEST_F(TrackingBench, WhereTheEngineStopsItIsGivenTheTruthAndGoesOn)
{
    PassPlan plan;
    plan.sprayed = {12, 13, 14, 15};
    const SyntheticPass clip(calibration, plan);
    const BenchPass pass = benchPass(clip, plan);
    const auto open = [&](qint64, QString*) -> std::unique_ptr<FrameReader> {
        return std::make_unique<SyntheticPass>(calibration, plan);
    };
    const EngineRun run = runEngine(pass, TrackingMethod::TemplateNcc, 0, open);
    EXPECT_EQ(run.end, TrackingOutcome::End::VideoEnded);
    ASSERT_FALSE(run.stops.empty());
    EXPECT_EQ(run.stops.front().frame, 12);
    EXPECT_EQ(run.stops.front().sprayCover, 1.0);
    ASSERT_EQ(run.track.frames.size(), 30u);
    for (int k = 0; k < 30; ++k) {
        const bool stopped = std::any_of(run.stops.begin(), run.stops.end(),
                                         [&](const EngineStop& s) { return s.frame == k; });
        EXPECT_EQ(run.track.frames[size_t(k)].operatorSet, k == 0 || stopped) << "frame " << k;
    }
    // Every frame's work timed once, a stopped frame's twice (the match, then the point).
    EXPECT_EQ(run.matchMs.size(), 30u + run.stops.size());
    EXPECT_EQ(run.framesDecoded, 30);
    const TrackFigures f = trackFigures(pass, run.track, false);
    EXPECT_EQ(f.pixels.count, 30 - 1 - int(run.stops.size()));
    // Where the point was given under spray the next frames follow the spray a little.
    EXPECT_EQ(f.overTwoPixels, 0);
    EXPECT_LE(f.pixels.max, 1.0);

    // Limited, it follows that many frames from the pass's first.
    EXPECT_EQ(runEngine(pass, TrackingMethod::TemplateNcc, 10, open).track.frames.size(), 10u);
}

TEST_F(TrackingBench, FiguresCountTheFramesOverTwoPixelsAndLeaveTheOperatorsOut)
{
    const BenchPass pass = straightPass(20);
    Track t = bestHandTrack(pass, *pass.trackedPass(), pass.truth.back().timeUs);
    for (TrackPoint& p : t.frames)
        p.operatorSet = false;
    t.frames[3].u = pass.truth[3].pylonAtShield.x + 3.0;
    t.frames[4].u = pass.truth[4].pylonAtShield.x - 2.5;
    t.frames[5].operatorSet = true;
    t.frames[5].u = pass.truth[5].pylonAtShield.x + 9.0;
    const TrackFigures f = trackFigures(pass, t, false);
    EXPECT_EQ(f.pixels.count, 19);
    EXPECT_EQ(f.overTwoPixels, 2);
    EXPECT_DOUBLE_EQ(f.pixels.max, 3.0);
    EXPECT_EQ(trackFigures(pass, t, true).overTwoPixels, 3);

    // Nearest rank: of 1 .. 20 the median is 10, p95 19.
    std::vector<double> values;
    for (int k = 20; k >= 1; --k)
        values.push_back(k);
    const Spread s = spreadOf(values);
    EXPECT_EQ(s.median, 10.0);
    EXPECT_EQ(s.p95, 19.0);
    EXPECT_EQ(s.max, 20.0);
}

TEST_F(TrackingBench, HandHeldLinesAreWhatTheirLabelsSay)
{
    const BenchPass pass = straightPass(400);
    const TrackedPass tracked = *pass.trackedPass();
    const qint64 last = pass.truth.back().timeUs;
    const Track best = bestHandTrack(pass, tracked, last);
    ASSERT_EQ(best.frames.size(), 400u);
    for (size_t k = 0; k < best.frames.size(); ++k) {
        EXPECT_EQ(best.frames[k].u, std::round(best.frames[k].u));
        EXPECT_LE(std::fabs(best.frames[k].u - pass.truth[k].pylonAtShield.x), 0.5);
    }

    // Without tremor the line is where the column was 150 ms (3.75 frames) before.
    OperatorModel steady;
    steady.tremorPx = 0.0;
    const Track late = modelledOperatorTrack(pass, tracked, last, steady);
    for (size_t k = 4; k < late.frames.size(); ++k)
        EXPECT_EQ(late.frames[k].u, std::round(300.0 + 0.8 * (double(k) - 3.75))) << k;

    // The tremor's spread is the one stated, the same on every run.
    const Track shaking = modelledOperatorTrack(pass, tracked, last, OperatorModel{});
    double sum = 0.0;
    for (size_t k = 4; k < shaking.frames.size(); ++k)
        sum += std::pow(shaking.frames[k].u - (300.0 + 0.8 * (double(k) - 3.75)), 2);
    const double rms = std::sqrt(sum / double(shaking.frames.size() - 4));
    EXPECT_GT(rms, 1.2);
    EXPECT_LT(rms, 1.9);
    EXPECT_EQ(modelledOperatorTrack(pass, tracked, last, OperatorModel{}), shaking);
}

TEST_F(TrackingBench, ThePassStartsOnTheFrameShowingTheGateCrossing)
{
    // 29.97 frames a second as the MP4 decoder times them: the crossing at 1.000 s is on
    // frame 29 (967.633 ms to 1001 ms).
    BenchPass p = straightPass(40);
    for (size_t k = 0; k < p.truth.size(); ++k) {
        p.truth[k].timeUs = qint64(k) * 1001000 / 30 + (k % 3 == 2 ? 1 : 0);
        p.truth[k].durationUs = 33366;
    }
    p.gateCrossingUs = 1000000;
    p.speedKmh = 55;
    const auto tracked = p.trackedPass();
    ASSERT_TRUE(tracked);
    EXPECT_EQ(tracked->startUs, p.truth[29].timeUs);
    EXPECT_EQ(tracked->passTenths, 170);
    p.speedKmh = 57; // no speed choice
    EXPECT_FALSE(p.trackedPass());
}

} // namespace
