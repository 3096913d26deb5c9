// Frame times a player reports for the files the encoders write, as measured here with
// GStreamer 1.22 and QVideoFrame::startTime (Qt 6.4): the ground truth's time columns.

#include "camera_model/video_encoding.h"

#include <gtest/gtest.h>

namespace {

struct MeasuredStart
{
    VideoCodec codec;
    FrameRate rate;
    int frame;
    qint64 startUs;
};

class FrameStart : public testing::TestWithParam<MeasuredStart>
{
};

TEST_P(FrameStart, IsWhatThePlayerReports)
{
    const MeasuredStart m = GetParam();
    EXPECT_EQ(containerFrameStartUs(m.codec, m.rate, m.frame), m.startUs);
}

INSTANTIATE_TEST_SUITE_P(
    Measured, FrameStart,
    testing::Values(
        // WebM keeps whole milliseconds of frames stamped k times 33366666 ns: frame 15 is at
        // 500.49999 ms, not 500.5.
        MeasuredStart{VideoCodec::Vp8Light, {30000, 1001}, 1, 33000},
        MeasuredStart{VideoCodec::Vp8Light, {30000, 1001}, 2, 67000},
        MeasuredStart{VideoCodec::Vp8Light, {30000, 1001}, 15, 500000},
        MeasuredStart{VideoCodec::Vp8Strong, {30, 1}, 2, 67000},
        MeasuredStart{VideoCodec::Vp8Light, {25, 1}, 449, 17960000},
        // An H.264 MP4 starts two frames late, in exact units of its time scale, truncated.
        MeasuredStart{VideoCodec::H264Light, {30000, 1001}, 0, 66733},
        MeasuredStart{VideoCodec::H264Light, {30000, 1001}, 1, 100100},
        MeasuredStart{VideoCodec::H264Strong, {30000, 1001}, 2, 133466},
        MeasuredStart{VideoCodec::H264Light, {25, 1}, 0, 80000},
        MeasuredStart{VideoCodec::H264Light, {30, 1}, 0, 66666}));

} // namespace
