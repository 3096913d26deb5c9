#include "tracking/synthetic_pass.h"

#include "common/twips.h"

#include <algorithm>
#include <cmath>

namespace {

// A fixed pseudo-random value from 0 to 1 for a pixel and a seed.
double hash01(int x, int y, int seed)
{
    std::uint32_t h = std::uint32_t(x) * 73856093u ^ std::uint32_t(y) * 19349663u ^
                      std::uint32_t(seed) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return double(h & 0xffffu) / 65535.0;
}

struct Canvas
{
    std::vector<double> value;
    int width;
    int height;

    // A box from (left, top) to (right, bottom), edges at fractions of a pixel, blended by the
    // share of each pixel it covers (pixel i spans i - 0.5 to i + 0.5).
    void box(double left, double top, double right, double bottom, double level)
    {
        const int x0 = std::max(0, int(std::floor(left + 0.5)));
        const int x1 = std::min(width - 1, int(std::ceil(right - 0.5)));
        const int y0 = std::max(0, int(std::floor(top + 0.5)));
        const int y1 = std::min(height - 1, int(std::ceil(bottom - 0.5)));
        for (int y = y0; y <= y1; ++y) {
            const double cy = std::max(0.0, std::min(y + 0.5, bottom) - std::max(y - 0.5, top));
            for (int x = x0; x <= x1; ++x) {
                const double cx = std::max(0.0, std::min(x + 0.5, right) - std::max(x - 0.5, left));
                double& v = value[size_t(y) * size_t(width) + size_t(x)];
                v += (level - v) * cx * cy;
            }
        }
    }
};

} // namespace

SyntheticPass::SyntheticPass(const Calibration& calibration, PassPlan plan)
    : calibration(calibration), plan(std::move(plan))
{
    const int w = this->plan.width, h = this->plan.height;
    water.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            water[size_t(y) * size_t(w) + size_t(x)] =
                100.0 + 18.0 * std::sin(0.21 * x + 0.5 * std::sin(0.05 * y)) * std::sin(0.37 * y) +
                14.0 * hash01(x, y, 1);
}

TrackedPass SyntheticPass::pass() const
{
    TrackedPass p;
    p.event = Event::Slalom;
    p.direction = plan.direction;
    p.speedKmh = 58;
    p.passTenths = 161;
    p.startUs = 0;
    return p;
}

double SyntheticPass::courseY(int k) const
{
    const double run = plan.speedMps * double(startUs(k)) / 1e6;
    return plan.direction == Direction::Toward ? -run : run - 259.0;
}

double SyntheticPass::growth(int k) const
{
    // A metre across the course on the picture, where the boat is and where it started.
    const auto across = [&](double y) {
        const Point2 a = calibration.transform.toScreen({0.75, y})->point;
        const Point2 b = calibration.transform.toScreen({1.75, y})->point;
        return std::hypot(b.x - a.x, b.y - a.y);
    };
    return across(courseY(k)) / across(courseY(0));
}

PostPoint SyntheticPass::post(int k) const
{
    const double t = double(startUs(k)) / 1e6;
    const double y = courseY(k);
    // The post's middle stands 1 m above the water, seen from a camera 8 m up on the centre
    // line 300 m behind the near gate: it shows where the ray through it meets the water,
    // 8 / 7 times as far from the camera's foot.
    const double x = plan.courseX(t), scale = 8.0 / 7.0;
    const Point2 seen =
        calibration.transform.toScreen({1.25 + (x - 1.25) * scale, -559.0 + (y + 559.0) * scale})
            ->point;
    return {seen.x / kTwipsPerPixel, seen.y / kTwipsPerPixel};
}

GreyFrame SyntheticPass::frame(int k) const
{
    Canvas c{water, plan.width, plan.height};
    for (int y = 0; y < plan.height; ++y)
        for (int x = 0; x < plan.width; ++x)
            c.value[size_t(y) * size_t(plan.width) + size_t(x)] += 4.0 * hash01(x, y, 1000 + k);
    const PostPoint p = post(k);
    const double s = plan.boatSize * growth(k);
    // Drawn about the post's middle.
    const auto part = [&](double left, double top, double right, double bottom, double level) {
        c.box(p.u + s * left, p.v + s * top, p.u + s * right, p.v + s * bottom, level);
    };
    part(-16.0, 8.0, 16.0, 18.0, 205.0); // hull
    part(-13.0, 4.0, 11.0, 8.0, 55.0);   // windshield
    part(-2.0, -16.0, 2.0, 4.0, 25.0);   // post
    if (plan.sprayed.count(k))
        for (int j = 0; j < 6; ++j)
            c.box(p.u - 14.0 + 4.0 * j - 3.0 * hash01(j, k, 7), p.v - 16.0,
                  p.u - 8.0 + 4.0 * j + 3.0 * hash01(j, k, 9), p.v + 12.0, 240.0);

    GreyFrame f;
    f.startUs = startUs(k);
    f.durationUs = plan.frameUs;
    f.width = plan.width;
    f.height = plan.height;
    f.pixels.resize(c.value.size());
    for (size_t i = 0; i < c.value.size(); ++i)
        f.pixels[i] = std::uint8_t(std::clamp(std::lround(c.value[i]), 0L, 255L));
    return f;
}

std::optional<GreyFrame> SyntheticPass::next()
{
    if (at >= plan.frames)
        return std::nullopt;
    return frame(at++);
}
