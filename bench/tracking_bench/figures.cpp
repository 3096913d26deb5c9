#include "tracking_bench/figures.h"

#include "measure/measure_tables.h"
#include "tracking/track_samples.h"

#include <algorithm>
#include <cmath>

Spread spreadOf(std::vector<double> values)
{
    Spread s;
    s.count = int(values.size());
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const auto rank = [&](double q) {
        return values[size_t(std::max(0.0, std::ceil(q * double(values.size())) - 1.0))];
    };
    s.median = rank(0.5);
    s.p95 = rank(0.95);
    s.max = values.back();
    return s;
}

TrackFigures trackFigures(const BenchPass& pass, const Track& track, bool countOperatorFrames)
{
    TrackFigures out;
    std::vector<double> pixels;
    for (const TrackPoint& p : track.frames) {
        if (p.operatorSet && !countOperatorFrames)
            continue;
        const TruthFrame* truth = pass.frameAt(p.startUs);
        if (!truth)
            continue;
        const double e = std::fabs(p.u - pass.followedPoint(*truth).x);
        pixels.push_back(e);
        if (e > 2.0)
            ++out.overTwoPixels;
    }
    out.pixels = spreadOf(pixels);

    std::vector<double> metres;
    for (const TrackSample& s : samplesFromTrack(track, pass.transform).samples) {
        if (!s.frame)
            continue;
        const TruthFrame* truth = pass.frameAt(s.frame->startUs);
        if (!truth)
            continue;
        metres.push_back(std::fabs(s.deviation - (truth->x - kSlalomCentreLineX)));
    }
    out.metres = spreadOf(metres);
    out.samples = int(metres.size());
    return out;
}

double frameTimingSpread(const BenchPass& pass, const TrackedPass& tracked, int samples)
{
    double worst = 0.0;
    for (int k = 0; k < samples; ++k) {
        const qint64 instant = tracked.startUs + qint64(k) * 100000;
        const TruthFrame* f = pass.frameHolding(instant);
        if (!f || f->durationUs <= 0)
            continue;
        const TruthFrame* next = pass.frameAt(f->timeUs + f->durationUs);
        if (!next)
            continue;
        const double s = double(instant - f->timeUs) / double(f->durationUs);
        worst = std::max(worst, std::fabs(s * (next->x - f->x)));
    }
    return worst;
}
