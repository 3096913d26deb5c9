#pragma once
// The clock of a pass measured from a recorded track: every sample is already on a frame, so
// the pass takes them all at once as it starts, each at its own instant with the line where
// the track puts it on that frame (as the pointer on that column would), and the pass ends on
// the last. The pass record then says where the samples lie on the video and which track
// file they came from.

#include "measure/pass_clock.h"

#include <cstdint>
#include <vector>

class TrackPassClock : public PassClock
{
public:
    // lineXTwips[k]: the line for sample k; media: the video, P0, the frame of each sample and
    // the track file.
    TrackPassClock(std::vector<std::int32_t> lineXTwips, MediaPass media);

    // Refused when the track's samples are not the pass's (another speed or event chosen since).
    std::optional<QString> prepare(PassSampler& sampler) override;
    void takeFirstSamples() override;
    void stop() override { timing_ = false; }
    bool timing() const override { return timing_; }
    std::optional<int> timeCheckMs(int) const override { return std::nullopt; }
    std::optional<MediaPass> mediaPass() const override { return media; }

private:
    std::vector<std::int32_t> lineX;
    MediaPass media;
    PassSampler* sampler = nullptr;
    bool timing_ = false;
};
