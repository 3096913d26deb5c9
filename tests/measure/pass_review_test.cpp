#include "measure/pass_review.h"

#include <gtest/gtest.h>

namespace {

// Samples every 100 ms on a 25 fps video from P0 = 1 s: frames 1.00, 1.08 (the instant 1.1
// lies on it), 1.20; the last frame of the pass 1.20.
ReviewedPass threeSamples()
{
    ReviewedPass pass;
    pass.startUs = 1000000;
    pass.sampleFramesUs = {1000000, 1080000, 1200000};
    pass.sampleLines = {{100.0, 10.0}, {200.0, 20.0}, {300.0, 30.0}};
    return pass;
}

struct Frame
{
    qint64 startUs;
    std::optional<int> sample; // none: no line drawn
    bool taken = false;
};

class HeldLineOnAFrame : public ::testing::TestWithParam<Frame>
{
};

TEST_P(HeldLineOnAFrame, IsTheSampleTakenOnItOrTheLastBefore)
{
    const Frame& f = GetParam();
    const ReviewedPass pass = threeSamples();
    const auto held = heldLineOn(pass, f.startUs);
    ASSERT_EQ(held.has_value(), f.sample.has_value()) << f.startUs;
    if (!held)
        return;
    EXPECT_EQ(held->sample, *f.sample) << f.startUs;
    EXPECT_EQ(held->line, pass.sampleLines[size_t(*f.sample)]);
    EXPECT_EQ(held->takenOnThisFrame, f.taken) << f.startUs;
}

INSTANTIATE_TEST_SUITE_P(PassReview, HeldLineOnAFrame,
                         ::testing::Values(Frame{960000, std::nullopt}, // before the pass
                                           Frame{1000000, 0, true}, Frame{1040000, 0, false},
                                           Frame{1080000, 1, true}, Frame{1160000, 1, false},
                                           Frame{1200000, 2, true},
                                           Frame{1240000, std::nullopt})); // after it

TEST(PassReview, NoLineWhereTheLineWasNotKept)
{
    ReviewedPass pass = threeSamples();
    pass.sampleLines.clear();
    EXPECT_FALSE(heldLineOn(pass, 1000000));
    pass.sampleLines = {{1, 1}}; // not one per sample: none rather than a line out of place
    EXPECT_FALSE(heldLineOn(pass, 1000000));
}

// A window of the course on the video runs from the frame of its first sample to that of its
// last; metres from the gate are i / tenths x course length.
TEST(PassReview, AWindowOfTheCourseOnTheVideo)
{
    // 11 samples over 100 m: sample i at 10 i metres, on frame 1 s + 0.1 i s.
    std::vector<qint64> frames;
    for (int i = 0; i <= 10; ++i)
        frames.push_back(1000000 + i * 100000);
    const auto w = windowOnVideo(20.0, 45.0, 100.0, 10, frames, QStringLiteral("Buoy 1"));
    ASSERT_TRUE(w);
    EXPECT_EQ(w->fromUs, 1200000); // the sample at 20 m, on the window's start, is inside
    EXPECT_EQ(w->toUs, 1400000);
    EXPECT_EQ(w->label, QStringLiteral("Buoy 1"));
    EXPECT_FALSE(windowOnVideo(21.0, 29.0, 100.0, 10, frames, QString())); // between samples
    EXPECT_FALSE(windowOnVideo(20.0, 45.0, 100.0, 0, frames, QString()));  // no length
    // A pass that stopped short: the window holds what was taken of it.
    frames.resize(4);
    EXPECT_EQ(windowOnVideo(20.0, 45.0, 100.0, 10, frames, QString())->toUs, 1300000);
}

} // namespace
