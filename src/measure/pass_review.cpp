#include "measure/pass_review.h"

#include "measure/pass_rules.h"

#include <algorithm>

namespace {

// Window ends and sample distances are not exact in binary; samples lie metres apart.
constexpr double kEdgeSlackMetres = 1e-6;

} // namespace

std::optional<HeldLineOnFrame> heldLineOn(const ReviewedPass& pass, qint64 frameStartUs)
{
    const std::vector<qint64>& frames = pass.sampleFramesUs;
    if (frames.empty() || pass.sampleLines.size() != frames.size())
        return std::nullopt;
    if (frameStartUs < frames.front() || frameStartUs > frames.back())
        return std::nullopt;
    // Sample frames go forward with the sample index: the last sample at or before the frame.
    const auto after = std::upper_bound(frames.begin(), frames.end(), frameStartUs);
    const size_t k = size_t(after - frames.begin()) - 1;
    return HeldLineOnFrame{int(k), pass.sampleLines[k], frames[k] == frameStartUs};
}

std::optional<ReviewWindow> windowOnVideo(double startMetres, double endMetres, double courseLength,
                                          int passTenths, const std::vector<qint64>& sampleFramesUs,
                                          const QString& label)
{
    std::optional<ReviewWindow> w;
    if (passTenths < 1)
        return w;
    for (size_t i = 0; i < sampleFramesUs.size(); ++i) {
        const double at = sampleDistance(int(i), passTenths, courseLength);
        if (at < startMetres - kEdgeSlackMetres || at > endMetres + kEdgeSlackMetres)
            continue;
        if (!w)
            w = ReviewWindow{sampleFramesUs[i], sampleFramesUs[i], label};
        w->toUs = sampleFramesUs[i];
    }
    return w;
}
