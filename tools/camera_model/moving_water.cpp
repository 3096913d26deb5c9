#include "camera_model/moving_water.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kGravity = 9.81;

std::uint64_t mix(std::uint64_t z)
{
    // splitmix64's finaliser: every input bit reaches every output bit.
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// Sin(x) / x over the main lobe only: the share of a wave that survives averaging over a
// pixel whose footprint spans a phase of 2x. Beyond the first zero the wave is gone.
double pixelAverage(double x)
{
    x = std::fabs(x);
    if (x < 1e-6)
        return 1.0;
    return x >= kPi ? 0.0 : std::sin(x) / x;
}

std::optional<CourseVector> waterPoint(const PinholeCamera& camera, const CourseVector& ray)
{
    if (!(ray.z < 0))
        return std::nullopt;
    const double t = -camera.position.z / ray.z;
    return CourseVector{camera.position.x + t * ray.x, camera.position.y + t * ray.y, 0.0};
}

double smooth(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Foam's texture: value noise on cells stretched along the course (white water streaks along
// the boat's track), fixed on the water.
double foamTexture(std::uint32_t seed, double x, double y)
{
    const double cx = x / 0.35, cy = y / 2.5;
    const double fx = std::floor(cx), fy = std::floor(cy);
    const auto corner = [&](double dx, double dy) {
        const auto ix = std::uint64_t(std::int64_t(fx + dx)) & 0xffffffffULL;
        const auto iy = std::uint64_t(std::int64_t(fy + dy)) & 0xffffffffULL;
        return unitRandom(seed, (ix << 32) | iy, 7);
    };
    const double tx = smooth(cx - fx), ty = smooth(cy - fy);
    const double top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * tx;
    const double bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * tx;
    return top + (bottom - top) * ty;
}

QRgb towards(QRgb c, double alpha, int r, int g, int b)
{
    alpha = std::clamp(alpha, 0.0, 1.0);
    return qRgb(int(qRed(c) + alpha * (r - qRed(c)) + 0.5),
                int(qGreen(c) + alpha * (g - qGreen(c)) + 0.5),
                int(qBlue(c) + alpha * (b - qBlue(c)) + 0.5));
}

// The wake reaches this far behind the stern before it has faded into the water.
constexpr double kWakeLengthM = 90.0;
constexpr double kHalfHullM = kHullLengthM / 2;
const double kWakeSpread = std::tan(12.0 * kPi / 180.0);

double wakeArmOffset(double behindStern)
{
    return 1.0 + behindStern * kWakeSpread;
}

// How white the wake is (0 to 1, before the foam's texture) at a water point `s` metres behind
// the stern along the course and `q` metres beside the path the boat took there: the
// propeller's trail on the path, fading over some 35 m, and the two arms of the V spreading
// from the stern's corners.
double wakeFoam(double s, double q)
{
    if (s < -0.3 || s > kWakeLengthM)
        return 0.0;
    const double fadeIn = std::clamp((s + 0.3) / 0.8, 0.0, 1.0);
    // Four widths out, either is below a thousandth: not worth an exponential.
    const double sc = 0.5 + 0.03 * s;
    const double trail =
        std::fabs(q) < 4 * sc ? 0.8 * std::exp(-s / 35 - q * q / (2 * sc * sc)) : 0.0;
    const double sa = 0.18 + 0.012 * s;
    const double arm = std::fabs(q) - wakeArmOffset(s);
    const double arms =
        std::fabs(arm) < 4 * sa ? 0.6 * std::exp(-s / 50 - arm * arm / (2 * sa * sa)) : 0.0;
    return fadeIn * (1 - (1 - trail) * (1 - arms));
}

} // namespace

double unitRandom(std::uint64_t seed, std::uint64_t index, std::uint32_t stream)
{
    const std::uint64_t z =
        mix(mix(seed * 0x9e3779b97f4a7c15ULL + stream) ^ (index + 0x632be59bd9b4e019ULL));
    return double(z >> 11) / double(1ULL << 53);
}

MovingWater::MovingWater(const PinholeCamera& camera, const StillLayer& still, WaterEffects effects)
    : camera_(camera), width_(still.image.width()), height_(still.image.height()),
      effects_(effects), waterNinths_(still.waterNinths)
{
    const size_t pixels = size_t(width_) * size_t(height_);
    const CourseVector f = camera_.forward(), r = camera_.right(), d = camera_.down();
    const auto ground = [&](double u, double v) {
        return waterPoint(camera_, camera_.rayThrough({u, v}, f, r, d));
    };
    if (effects_.wake) {
        groundX_.assign(pixels, qQNaN());
        groundY_.assign(pixels, qQNaN());
        foamTexture_.assign(pixels, 0.0f);
        for (int j = 0; j < height_; ++j)
            for (int i = 0; i < width_; ++i) {
                const size_t at = size_t(j) * size_t(width_) + size_t(i);
                if (const auto p = ground(i, j)) {
                    groundX_[at] = float(p->x);
                    groundY_[at] = float(p->y);
                    foamTexture_[at] = float(foamTexture(effects_.seed, p->x, p->y));
                }
            }
    }
    if (!effects_.waves)
        return;
    // Short-crested water: four trains of different length and direction, turned a little by
    // the seed; deep-water waves, whose speed follows from their length.
    const double lengths[kWaves] = {1.1, 1.9, 3.2, 5.5};
    const double directions[kWaves] = {25, 80, 125, 170};
    const double amplitudes[kWaves] = {3.0, 5.0, 5.0, 4.0};
    for (int k = 0; k < kWaves; ++k) {
        const double angle =
            (directions[k] + 20 * (unitRandom(effects_.seed, k, 1) - 0.5)) * kPi / 180;
        const double wavenumber = 2 * kPi / lengths[k];
        waves_.push_back({wavenumber * std::cos(angle), wavenumber * std::sin(angle),
                          std::sqrt(kGravity * wavenumber),
                          2 * kPi * unitRandom(effects_.seed, k, 2), amplitudes[k]});
    }
    waveParts_.assign(2 * kWaves * pixels, 0.0f);
    // Wave by wave, sines then cosines, each as long as the picture: a row of one is a
    // contiguous run the compiler can add up in vector registers.
    for (int j = 0; j < height_; ++j)
        for (int i = 0; i < width_; ++i) {
            const size_t at = size_t(j) * size_t(width_) + size_t(i);
            if (waterNinths_[at] == 0)
                continue;
            const auto centre = ground(i, j);
            const auto left = ground(i - 0.5, j), right = ground(i + 0.5, j);
            const auto up = ground(i, j - 0.5), down = ground(i, j + 0.5);
            if (!centre || !left || !right || !up || !down)
                continue;
            for (int k = 0; k < kWaves; ++k) {
                const Wave& w = waves_[size_t(k)];
                const double across = w.kx * (right->x - left->x) + w.ky * (right->y - left->y);
                const double along = w.kx * (down->x - up->x) + w.ky * (down->y - up->y);
                const double gain =
                    w.amplitude * pixelAverage(across / 2) * pixelAverage(along / 2);
                const double phase = w.kx * centre->x + w.ky * centre->y + w.phase;
                waveParts_[size_t(k) * pixels + at] = float(gain * std::sin(phase));
                waveParts_[size_t(kWaves + k) * pixels + at] = float(gain * std::cos(phase));
            }
        }
}

double MovingWater::waterShare(int i, int j) const
{
    return waterNinths_[size_t(j) * size_t(width_) + size_t(i)] / 9.0;
}

void MovingWater::paint(QImage& frame, double seconds, const BoatTrack& boat) const
{
    if (effects_.waves)
        paintWaves(frame, seconds);
    if (effects_.wake)
        paintWake(frame, boat);
    if (effects_.glitter)
        paintGlitter(frame, seconds);
}

void MovingWater::paintWaves(QImage& frame, double seconds) const
{
    // sin(phase - omega t) = sin(phase) cos(omega t) - cos(phase) sin(omega t)
    float cosines[kWaves], sines[kWaves];
    for (int k = 0; k < kWaves; ++k) {
        cosines[k] = float(std::cos(waves_[size_t(k)].omega * seconds));
        sines[k] = -float(std::sin(waves_[size_t(k)].omega * seconds));
    }
    const size_t pixels = size_t(width_) * size_t(height_);
    std::vector<float> height(static_cast<size_t>(width_));
    for (int j = 0; j < height_; ++j) {
        const size_t row = size_t(j) * size_t(width_);
        std::fill(height.begin(), height.end(), 0.0f);
        for (int k = 0; k < kWaves; ++k) {
            const float* sine = waveParts_.data() + size_t(k) * pixels + row;
            const float* cosine = waveParts_.data() + size_t(kWaves + k) * pixels + row;
            const float c = cosines[k], s = sines[k];
            for (size_t i = 0; i < size_t(width_); ++i)
                height[i] += sine[i] * c + cosine[i] * s;
        }
        auto* line = reinterpret_cast<QRgb*>(frame.scanLine(j));
        const std::uint8_t* ninths = waterNinths_.data() + row;
        for (int i = 0; i < width_; ++i) {
            if (ninths[i] == 0)
                continue;
            // Crests catch the sky's light: brighter, and bluer than they are red.
            const float w = height[size_t(i)] * float(ninths[i]) / 9.0f;
            const QRgb c = line[i];
            line[i] = qRgb(std::clamp(int(float(qRed(c)) + 0.75f * w + 0.5f), 0, 255),
                           std::clamp(int(float(qGreen(c)) + 0.95f * w + 0.5f), 0, 255),
                           std::clamp(int(float(qBlue(c)) + 1.1f * w + 0.5f), 0, 255));
        }
    }
}

void MovingWater::paintGlitter(QImage& frame, double seconds) const
{
    // About 500 flecks shine at any moment over the water around the course, each for a few
    // hundredths to a third of a second.
    constexpr double kShortest = 0.06, kLongest = 0.30;
    constexpr double kPerSecond = 500 / ((kShortest + kLongest) / 2);
    const auto first = std::int64_t(std::ceil((seconds - kLongest) * kPerSecond));
    const auto last = std::int64_t(std::floor(seconds * kPerSecond));
    const CourseVector f = camera_.forward();
    for (std::int64_t n = std::max<std::int64_t>(first, 0); n <= last; ++n) {
        const auto index = std::uint64_t(n);
        const double life =
            kShortest + (kLongest - kShortest) * unitRandom(effects_.seed, index, 10);
        const double age = seconds - double(n) / kPerSecond;
        if (age < 0 || age > life)
            continue;
        const CourseVector at{-5.0 + 12.5 * unitRandom(effects_.seed, index, 11) +
                                  0.3 * (unitRandom(effects_.seed, index, 12) - 0.5) * age,
                              -300.0 + 340.0 * unitRandom(effects_.seed, index, 13) +
                                  0.3 * (unitRandom(effects_.seed, index, 14) - 0.5) * age,
                              0.0};
        const auto seen = camera_.project(at);
        if (!seen)
            continue;
        const CourseVector d{at.x - camera_.position.x, at.y - camera_.position.y,
                             -camera_.position.z};
        const double depth = d.x * f.x + d.y * f.y + d.z * f.z;
        // A glint is the sun's image in a wave's facet: a point, spread by the lens to a pixel
        // or two however near it is.
        const double size = 0.004 + 0.008 * unitRandom(effects_.seed, index, 15);
        const double su = std::clamp(size * camera_.focalLengthPx / depth, 0.45, 1.5);
        const double sv = std::max(0.45, 0.6 * su);
        const double peak =
            (0.5 + 0.5 * unitRandom(effects_.seed, index, 16)) * std::sin(kPi * age / life);
        const int i0 = std::max(0, int(std::floor(seen->u - 3 * su)));
        const int i1 = std::min(width_ - 1, int(std::ceil(seen->u + 3 * su)));
        const int j0 = std::max(0, int(std::floor(seen->v - 3 * sv)));
        const int j1 = std::min(height_ - 1, int(std::ceil(seen->v + 3 * sv)));
        for (int j = j0; j <= j1; ++j) {
            auto* line = reinterpret_cast<QRgb*>(frame.scanLine(j));
            for (int i = i0; i <= i1; ++i) {
                const double du = (i - seen->u) / su, dv = (j - seen->v) / sv;
                const double alpha = peak * std::exp(-0.5 * (du * du + dv * dv)) * waterShare(i, j);
                if (alpha > 0.004)
                    line[i] = towards(line[i], alpha, 255, 252, 240);
            }
        }
    }
}

void MovingWater::paintWake(QImage& frame, const BoatTrack& boat) const
{
    if (!boat.pathX)
        return;
    // The wake's pixels: the picture of the water from the stern to the wake's end, as wide as
    // the arms spread, around the path the boat took there.
    const double sternY = boat.y - boat.travel * kHalfHullM;
    const double endY = sternY - boat.travel * kWakeLengthM;
    double xMin = boat.pathX(sternY), xMax = xMin;
    for (double s = 0; s <= kWakeLengthM; s += 1.0) {
        const double x = boat.pathX(sternY - boat.travel * s);
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
    }
    const double reach = wakeArmOffset(kWakeLengthM) + 3.0;
    double uMin = width_, uMax = -1, vMin = height_, vMax = -1;
    bool behindLens = false;
    for (double y : {sternY + boat.travel * 0.5, endY})
        for (double x : {xMin - reach, xMax + reach}) {
            const auto seen = camera_.project({x, y, 0.0});
            behindLens = behindLens || !seen;
            if (!seen)
                continue;
            uMin = std::min(uMin, seen->u);
            uMax = std::max(uMax, seen->u);
            vMin = std::min(vMin, seen->v);
            vMax = std::max(vMax, seen->v);
        }
    if (behindLens) {
        uMin = vMin = 0;
        uMax = width_;
        vMax = height_;
    }
    const int i0 = std::max(0, int(std::floor(uMin)) - 1);
    const int i1 = std::min(width_ - 1, int(std::ceil(uMax)) + 1);
    const int j0 = std::max(0, int(std::floor(vMin)) - 1);
    const int j1 = std::min(height_ - 1, int(std::ceil(vMax)) + 1);
    // The path's x every 10 cm over the wake, interpolated: the path bends over tens of metres.
    constexpr double kStep = 0.1;
    const double yLow = std::min(sternY, endY) - 1.0;
    std::vector<double> pathX;
    for (double y = yLow; y <= std::max(sternY, endY) + 1.0 + kStep; y += kStep)
        pathX.push_back(boat.pathX(y));
    const auto pathAt = [&](double y) {
        const double at = std::clamp((y - yLow) / kStep, 0.0, double(pathX.size() - 2));
        const auto k = size_t(at);
        return pathX[k] + (pathX[k + 1] - pathX[k]) * (at - double(k));
    };
    for (int j = j0; j <= j1; ++j) {
        auto* line = reinterpret_cast<QRgb*>(frame.scanLine(j));
        for (int i = i0; i <= i1; ++i) {
            const size_t at = size_t(j) * size_t(width_) + size_t(i);
            if (waterNinths_[at] == 0)
                continue;
            const double x = groundX_[at], y = groundY_[at];
            const double s = boat.travel * (sternY - y);
            if (!(s >= -0.3 && s <= kWakeLengthM))
                continue;
            const double q = x - pathAt(y);
            if (std::fabs(q) > wakeArmOffset(s) + 2.0)
                continue;
            const double foam = wakeFoam(s, q);
            if (foam < 0.003)
                continue;
            const double alpha = foam * (0.45 + 0.55 * foamTexture_[at]);
            line[i] = towards(line[i], alpha * waterShare(i, j), 236, 240, 242);
        }
    }
}
