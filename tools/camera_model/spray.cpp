#include "camera_model/spray.h"

#include "camera_model/moving_water.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kGravity = 9.81;
// Spray's colour: white water in daylight, a little blue.
constexpr int kSprayRed = 240, kSprayGreen = 243, kSprayBlue = 246;

CourseVector boatToCourse(const BoatPose& boat, double a, double b, double z)
{
    return {boat.x + a * boat.bowX - b * boat.bowY, boat.y + a * boat.bowY + b * boat.bowX, z};
}

double depthOf(const PinholeCamera& camera, const CourseVector& p)
{
    const CourseVector f = camera.forward();
    return (p.x - camera.position.x) * f.x + (p.y - camera.position.y) * f.y +
           (p.z - camera.position.z) * f.z;
}

// Opacity across a puff's picture disc at distance x of its radius: flat in the core, then a
// smooth fall to the rim.
double profile(double x)
{
    if (x <= 0.55)
        return 1.0;
    if (x >= 1.0)
        return 0.0;
    const double t = (1.0 - x) / 0.45;
    return t * t * (3 - 2 * t);
}

struct PuffInPicture
{
    PicturePoint centre;
    double radiusPx;
    double opacity;
};

std::optional<PuffInPicture> inPicture(const PinholeCamera& camera, const SprayPuff& puff)
{
    const double depth = depthOf(camera, puff.centre);
    const auto seen = camera.project(puff.centre);
    if (!seen || depth <= puff.radius)
        return std::nullopt;
    return PuffInPicture{*seen, puff.radius * camera.focalLengthPx / depth, puff.opacity};
}

// A ballistic puff: born at `birth` with velocity `velocity`, `age` seconds ago.
std::optional<SprayPuff> thrown(CourseVector birth, CourseVector velocity, double age, double life,
                                double opacity, double grows)
{
    if (age < 0 || age > life)
        return std::nullopt;
    const CourseVector at{birth.x + velocity.x * age, birth.y + velocity.y * age,
                          birth.z + velocity.z * age - 0.5 * kGravity * age * age};
    const double radius = 0.08 + grows * age;
    if (at.z < 0.3 * radius)
        return std::nullopt; // fallen back into the water
    const double fade = 1.0 - age / life;
    return SprayPuff{at, radius, opacity * fade * fade};
}

} // namespace

std::vector<SprayPuff> bowSpray(const BoatMotion& motion, double seconds, std::uint32_t seed)
{
    std::vector<SprayPuff> puffs;
    const auto velocityAt = [&](double t) {
        const BoatPose a = motion(t - 0.01), b = motion(t + 0.01);
        return CourseVector{(b.x - a.x) / 0.02, (b.y - a.y) / 0.02, 0.0};
    };

    // From each shoulder, 50 puffs a second, thrown outward and up; one in fifteen goes high
    // enough to reach the pylon's top.
    constexpr double kPerSecond = 100, kLongest = 0.8;
    for (auto n = std::int64_t(std::max(0.0, std::ceil((seconds - kLongest) * kPerSecond)));
         n <= std::int64_t(std::floor(seconds * kPerSecond)); ++n) {
        const auto index = std::uint64_t(n);
        const double born = double(n) / kPerSecond;
        const double life = 0.35 + 0.45 * unitRandom(seed, index, 20);
        if (seconds - born > life)
            continue;
        const BoatPose boat = motion(born);
        const double side = n % 2 == 0 ? 1.0 : -1.0;
        const CourseVector birth = boatToCourse(boat, 0.6 + 1.6 * unitRandom(seed, index, 21),
                                                side * (kHullBeamM / 2 + 0.05), 0.3);
        const CourseVector out = boatToCourse({0, 0, boat.bowX, boat.bowY}, 0, side, 0);
        const CourseVector v = velocityAt(born);
        const double carried = 0.55 + 0.2 * unitRandom(seed, index, 22);
        const double sideways = 2.0 + 3.0 * unitRandom(seed, index, 23);
        const double up = unitRandom(seed, index, 24) > 0.93
                              ? 4.0 + 1.5 * unitRandom(seed, index, 25)
                              : 1.5 + 2.5 * unitRandom(seed, index, 25);
        if (const auto puff = thrown(
                birth, {v.x * carried + out.x * sideways, v.y * carried + out.y * sideways, up},
                seconds - born, life, 0.2 + 0.3 * unitRandom(seed, index, 26), 0.35))
            puffs.push_back(*puff);
    }

    // Splashes over the stem, about one every two seconds: a few puffs thrown up and ahead.
    constexpr double kSplashesPerSecond = 2.0, kSplashLife = 0.6;
    for (auto n = std::int64_t(std::max(0.0, std::ceil((seconds - 2.0) * kSplashesPerSecond)));
         n <= std::int64_t(std::floor(seconds * kSplashesPerSecond)); ++n) {
        const auto index = std::uint64_t(n);
        if (unitRandom(seed, index, 30) > 0.5)
            continue;
        const double born = (double(n) + unitRandom(seed, index, 31)) / kSplashesPerSecond;
        if (born > seconds || seconds - born > kSplashLife)
            continue;
        const BoatPose boat = motion(born);
        const CourseVector v = velocityAt(born);
        for (std::uint32_t k = 0; k < 5; ++k) {
            const CourseVector birth = boatToCourse(
                boat, kHullLengthM / 2 - 0.2, 0.8 * (unitRandom(seed, index, 32 + k) - 0.5), 0.6);
            const double up = 2.0 + 2.0 * unitRandom(seed, index, 40 + k);
            if (const auto puff = thrown(birth, {v.x * 0.7, v.y * 0.7, up}, seconds - born,
                                         kSplashLife, 0.5, 0.4))
                puffs.push_back(*puff);
        }
    }
    return puffs;
}

std::vector<SprayPuff> hidingBurst(const PinholeCamera& camera, const BoatPose& boat,
                                   double density)
{
    // A column of spray on the line of sight to the middle of the pylon: four puffs stacked so
    // that their cores overlap from below the deck to above the pylon's top.
    const CourseVector middle{boat.x, boat.y, (kDeckHeightM + kPylonTopM) / 2};
    const CourseVector toCamera{camera.position.x - middle.x, camera.position.y - middle.y,
                                camera.position.z - middle.z};
    const double length =
        std::sqrt(toCamera.x * toCamera.x + toCamera.y * toCamera.y + toCamera.z * toCamera.z);
    constexpr double kAhead = 1.3;
    const CourseVector front{middle.x + toCamera.x / length * kAhead,
                             middle.y + toCamera.y / length * kAhead,
                             middle.z + toCamera.z / length * kAhead};
    const double opacity = std::min(1.0, density);
    std::vector<SprayPuff> column;
    for (const auto& [dz, radius] : {std::pair{-0.35, 0.45}, std::pair{0.0, 0.5},
                                     std::pair{0.35, 0.45}, std::pair{0.65, 0.35}})
        column.push_back({{front.x, front.y, front.z + dz}, radius, opacity});
    return column;
}

std::vector<SprayPuff> puffsByDepth(const PinholeCamera& camera, const BoatPose& boat,
                                    const std::vector<SprayPuff>& puffs, bool nearer)
{
    const double pylon = depthOf(camera, {boat.x, boat.y, kPylonTopM});
    std::vector<SprayPuff> kept;
    for (const SprayPuff& p : puffs)
        if ((depthOf(camera, p.centre) < pylon) == nearer)
            kept.push_back(p);
    return kept;
}

double sprayOpacity(const PinholeCamera& camera, const std::vector<SprayPuff>& puffs,
                    const PicturePoint& at)
{
    double clear = 1.0;
    for (const SprayPuff& puff : puffs) {
        const auto p = inPicture(camera, puff);
        if (!p)
            continue;
        const double d = std::hypot(at.u - p->centre.u, at.v - p->centre.v);
        clear *= 1.0 - p->opacity * profile(d / p->radiusPx);
    }
    return 1.0 - clear;
}

void paintSpray(QImage& frame, const PinholeCamera& camera, const std::vector<SprayPuff>& puffs)
{
    // Farthest first, so that a nearer puff lies over a farther one.
    std::vector<SprayPuff> ordered = puffs;
    std::sort(ordered.begin(), ordered.end(), [&](const SprayPuff& a, const SprayPuff& b) {
        return depthOf(camera, a.centre) > depthOf(camera, b.centre);
    });
    for (const SprayPuff& puff : ordered) {
        const auto p = inPicture(camera, puff);
        if (!p)
            continue;
        const int i0 = std::max(0, int(std::floor(p->centre.u - p->radiusPx)));
        const int i1 = std::min(frame.width() - 1, int(std::ceil(p->centre.u + p->radiusPx)));
        const int j0 = std::max(0, int(std::floor(p->centre.v - p->radiusPx)));
        const int j1 = std::min(frame.height() - 1, int(std::ceil(p->centre.v + p->radiusPx)));
        for (int j = j0; j <= j1; ++j) {
            auto* line = reinterpret_cast<QRgb*>(frame.scanLine(j));
            for (int i = i0; i <= i1; ++i) {
                const double alpha =
                    p->opacity *
                    profile(std::hypot(i - p->centre.u, j - p->centre.v) / p->radiusPx);
                if (alpha <= 0)
                    continue;
                const QRgb c = line[i];
                line[i] = qRgb(int(qRed(c) + alpha * (kSprayRed - qRed(c)) + 0.5),
                               int(qGreen(c) + alpha * (kSprayGreen - qGreen(c)) + 0.5),
                               int(qBlue(c) + alpha * (kSprayBlue - qBlue(c)) + 0.5));
            }
        }
    }
}
