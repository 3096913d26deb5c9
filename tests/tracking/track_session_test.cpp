// Corrections, undo and cancel through the worker thread, on a pass drawn in memory.

#include "support/calibrated_course.h"
#include "tracking/synthetic_pass.h"
#include "tracking/track_session.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// Hands out the frames of a synthetic pass; from frame `holdAt` on it waits until released.
class GatedFrames : public FrameReader
{
public:
    GatedFrames(std::shared_ptr<SyntheticPass> clip, std::shared_ptr<struct Gate> gate)
        : clip(std::move(clip)), gate(std::move(gate))
    {
    }
    std::optional<GreyFrame> next() override;
    QString error() const override { return {}; }

private:
    std::shared_ptr<SyntheticPass> clip;
    std::shared_ptr<struct Gate> gate;
    int served = 0;
};

struct Gate
{
    std::mutex m;
    std::condition_variable changed;
    int holdAt = 1 << 30;
    bool waiting = false;
    bool open = false;
};

std::optional<GreyFrame> GatedFrames::next()
{
    if (served >= gate->holdAt) {
        std::unique_lock lock(gate->m);
        gate->waiting = true;
        gate->changed.notify_all();
        gate->changed.wait(lock, [this] { return gate->open; });
    }
    ++served;
    return clip->next();
}

class TrackSessionTest : public ::testing::Test
{
protected:
    TrackSessionTest()
    {
        calibrateSlalom(calibration);
        plan.frames = 24;
    }

    TrackSession session()
    {
        return TrackSession(
            [this](qint64, QString*) -> std::unique_ptr<FrameReader> {
                return std::make_unique<GatedFrames>(
                    std::make_shared<SyntheticPass>(calibration, plan), gate);
            },
            calibration.transform);
    }
    SyntheticPass clip() const { return SyntheticPass(calibration, plan); }

    // Sets the point and waits for the worker's outcome.
    TrackingOutcome run(TrackSession& s, OperatorPoint p)
    {
        std::atomic<bool> finished{false};
        EXPECT_FALSE(s.setPoint(p, [&] { finished.store(true); }).has_value());
        TrackingOutcome out = s.takeOutcome();
        EXPECT_TRUE(finished.load());
        return out;
    }

    Track empty() const
    {
        Track t;
        t.videoFile = QStringLiteral("pass.webm");
        t.pass = clip().pass();
        return t;
    }

    Calibration calibration;
    PassPlan plan;
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();
};

TEST_F(TrackSessionTest, ACorrectionKeepsTheFramesBeforeItAndTracksOnFromIt)
{
    TrackSession s = session();
    s.setTrack(empty());
    const SyntheticPass c = clip();
    run(s, {0, c.post(0).u, c.post(0).v});
    const Track first = s.track();
    ASSERT_EQ(first.frames.size(), 24u);

    // The operator moves the point two pixels right on frame 10 (a time inside it).
    const OperatorPoint moved{c.startUs(10) + 5000, c.post(10).u + 2.0, c.post(10).v};
    const TrackingOutcome out = run(s, moved);
    EXPECT_EQ(out.end, TrackingOutcome::End::VideoEnded);
    const Track& second = s.track();
    ASSERT_EQ(second.frames.size(), 24u);
    for (size_t k = 0; k < 10; ++k)
        EXPECT_EQ(second.frames[k], first.frames[k]) << "frame " << k;
    EXPECT_TRUE(second.frames[10].operatorSet);
    EXPECT_EQ(second.frames[10].startUs, c.startUs(10));
    EXPECT_DOUBLE_EQ(second.frames[10].u, std::round((c.post(10).u + 2.0) * 1000) / 1000);
    // Tracked again from the new point: it follows the same picture two pixels to the right.
    for (size_t k = 11; k < 24; ++k)
        EXPECT_NEAR(second.frames[k].u - c.post(int(k)).u, 2.0, 0.5) << "frame " << k;

    // One undo brings back the track before the correction, and only one.
    ASSERT_TRUE(s.canUndo());
    s.undo();
    EXPECT_EQ(s.track(), first);
    EXPECT_FALSE(s.canUndo());
    s.undo();
    EXPECT_EQ(s.track(), first);
}

TEST_F(TrackSessionTest, ACorrectionBeforeThePassOrDuringARunIsRefused)
{
    TrackSession s = session();
    s.setTrack(empty());
    const SyntheticPass c = clip();
    run(s, {c.startUs(2), c.post(2).u, c.post(2).v});
    EXPECT_TRUE(s.setPoint({c.startUs(1), 300.0, 70.0}, {}).has_value());
    gate->holdAt = 3;
    ASSERT_FALSE(s.setPoint({c.startUs(5), c.post(5).u, c.post(5).v}, {}).has_value());
    EXPECT_TRUE(s.running());
    EXPECT_TRUE(s.setPoint({c.startUs(6), 1.0, 1.0}, {}).has_value());
    {
        std::lock_guard lock(gate->m);
        gate->open = true;
    }
    gate->changed.notify_all();
    EXPECT_EQ(s.takeOutcome().end, TrackingOutcome::End::VideoEnded);
}

TEST_F(TrackSessionTest, ACancelledRunLeavesTheTrackAsItWas)
{
    TrackSession s = session();
    s.setTrack(empty());
    const SyntheticPass c = clip();
    run(s, {0, c.post(0).u, c.post(0).v});
    const Track before = s.track();
    s.setTrack(before); // as loaded from its file: nothing to undo

    gate->holdAt = 15; // frames 0..14 come, then the reader waits
    ASSERT_FALSE(s.setPoint({c.startUs(4), c.post(4).u + 1.0, c.post(4).v}, {}).has_value());
    {
        std::unique_lock lock(gate->m);
        ASSERT_TRUE(
            gate->changed.wait_for(lock, std::chrono::seconds(10), [&] { return gate->waiting; }));
    }
    const TrackingProgress p = s.progress();
    EXPECT_EQ(p.done, 11); // frames 4 to 14
    EXPECT_GT(p.total, p.done);
    s.cancel();
    {
        std::lock_guard lock(gate->m);
        gate->open = true;
    }
    gate->changed.notify_all();
    const TrackingOutcome out = s.takeOutcome();
    EXPECT_EQ(out.end, TrackingOutcome::End::Cancelled);
    EXPECT_EQ(s.track(), before);
    EXPECT_FALSE(s.canUndo());
    EXPECT_FALSE(s.running());
}

TEST_F(TrackSessionTest, AVideoThatCannotBeOpenedChangesNothing)
{
    TrackSession s(
        [](qint64, QString* error) -> std::unique_ptr<FrameReader> {
            *error = QStringLiteral("pass.webm: no such file");
            return nullptr;
        },
        calibration.transform);
    s.setTrack(empty());
    const TrackingOutcome out = run(s, {0, 300.0, 70.0});
    EXPECT_EQ(out.end, TrackingOutcome::End::Failed);
    EXPECT_EQ(out.message, QStringLiteral("pass.webm: no such file"));
    EXPECT_EQ(s.track(), empty());
    EXPECT_FALSE(s.canUndo());
}

} // namespace
