#include "tracking_bench/hand_line.h"

#include <cmath>
#include <random>

namespace {

// The followed point's column at media time us, between the frames' instants.
double columnAt(const BenchPass& pass, double us)
{
    const std::vector<TruthFrame>& t = pass.truth;
    if (us <= double(t.front().timeUs))
        return pass.followedPoint(t.front()).x;
    for (size_t k = 1; k < t.size(); ++k)
        if (us <= double(t[k].timeUs)) {
            const double a = pass.followedPoint(t[k - 1]).x, b = pass.followedPoint(t[k]).x;
            const double s = (us - double(t[k - 1].timeUs)) / double(t[k].timeUs - t[k - 1].timeUs);
            return a + s * (b - a);
        }
    return pass.followedPoint(t.back()).x;
}

// Gaussian numbers from the generator's bits alone (Box-Muller), so a seed gives the same
// wander with any standard library.
class Gaussian
{
public:
    explicit Gaussian(std::uint32_t seed) : bits(seed) {}
    double operator()()
    {
        const double u1 = (double(bits()) + 1.0) / 4294967296.0;
        const double u2 = double(bits()) / 4294967296.0;
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
    }

private:
    std::mt19937 bits;
};

template <typename Column>
Track handTrack(const BenchPass& pass, const TrackedPass& tracked, qint64 lastFrameUs,
                Column column)
{
    Track t;
    t.videoFile = pass.videoPath;
    t.pass = tracked;
    for (const TruthFrame& f : pass.truth) {
        if (f.timeUs < tracked.startUs || f.timeUs > lastFrameUs)
            continue;
        TrackPoint p;
        p.startUs = f.timeUs;
        p.durationUs = f.durationUs;
        p.u = std::round(column(f));
        p.v = pass.followedPoint(f).y;
        p.confidence = 1.0;
        p.operatorSet = true;
        t.frames.push_back(p);
    }
    return t;
}

} // namespace

Track bestHandTrack(const BenchPass& pass, const TrackedPass& tracked, qint64 lastFrameUs)
{
    return handTrack(pass, tracked, lastFrameUs,
                     [&](const TruthFrame& f) { return pass.followedPoint(f).x; });
}

Track modelledOperatorTrack(const BenchPass& pass, const TrackedPass& tracked, qint64 lastFrameUs,
                            const OperatorModel& model)
{
    Gaussian normal(model.seed);
    double wander = model.tremorPx * normal();
    qint64 lastUs = -1;
    return handTrack(pass, tracked, lastFrameUs, [&](const TruthFrame& f) {
        // A first-order wander: each frame keeps exp(-dt / tau) of the last and takes in new
        // noise so that its spread stays tremorPx.
        if (lastUs >= 0) {
            const double keep = std::exp(-double(f.timeUs - lastUs) / 1e6 / model.tremorCorrelS);
            wander = keep * wander + std::sqrt(1.0 - keep * keep) * model.tremorPx * normal();
        }
        lastUs = f.timeUs;
        return columnAt(pass, double(f.timeUs) - model.lagS * 1e6) + wander;
    });
}
