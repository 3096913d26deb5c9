#include "camera_model/course_scene.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

CourseVector sub(CourseVector a, CourseVector b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(CourseVector a, CourseVector b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
CourseVector along(CourseVector o, CourseVector d, double t)
{
    return {o.x + d.x * t, o.y + d.y * t, o.z + d.z * t};
}

// Water: a calm blue, lighter toward the horizon, with a faint swell so the picture does not
// look like a flat fill. The pattern is a function of the course point, so it recedes with
// perspective like real water.
QColor waterAt(CourseVector p, double distance)
{
    const double swell = 0.5 + 0.25 * std::sin(p.y * 1.7 + std::sin(p.x * 0.9) * 2.0) +
                         0.25 * std::sin(p.x * 2.3 - p.y * 0.6);
    const double haze = std::clamp((distance - 250.0) / 450.0, 0.0, 1.0);
    const double r = 25 + 30 * haze + 10 * swell;
    const double g = 70 + 45 * haze + 14 * swell;
    const double b = 105 + 50 * haze + 18 * swell;
    return QColor(int(r), int(g), int(b));
}

std::optional<SurfaceHit> hitBuoy(CourseVector origin, CourseVector ray, const Buoy& b)
{
    // A sphere floating half out of the water: only its upper half can be hit.
    const CourseVector oc = sub(origin, b.waterLine);
    const double a = dot(ray, ray);
    const double half = dot(oc, ray);
    const double c = dot(oc, oc) - b.radius * b.radius;
    const double disc = half * half - a * c;
    if (disc < 0)
        return std::nullopt;
    const double t = (-half - std::sqrt(disc)) / a;
    if (t <= 0)
        return std::nullopt;
    const CourseVector p = along(origin, ray, t);
    if (p.z < 0)
        return std::nullopt;
    // Lit from above and behind the camera: brighter toward the top.
    const double shade = 0.65 + 0.35 * std::clamp(p.z / b.radius, 0.0, 1.0);
    return SurfaceHit{t, QColor(int(b.colour.red() * shade), int(b.colour.green() * shade),
                                int(b.colour.blue() * shade))};
}

std::optional<SurfaceHit> hitRamp(CourseVector origin, CourseVector ray, const Ramp& r)
{
    // The sloping top face: z = height * (y - yLow) / (yHigh - yLow) over the footprint.
    const double yHigh = r.yLow == r.yMin ? r.yMax : r.yMin;
    const double slope = r.height / (yHigh - r.yLow);
    // origin.z + t ray.z = slope (origin.y + t ray.y - yLow)
    const double denom = ray.z - slope * ray.y;
    if (denom == 0)
        return std::nullopt;
    const double t = (slope * (origin.y - r.yLow) - origin.z) / denom;
    if (t <= 0)
        return std::nullopt;
    const CourseVector p = along(origin, ray, t);
    if (p.x < r.xMin || p.x > r.xMax || p.y < r.yMin || p.y > r.yMax)
        return std::nullopt;
    const bool stripe = std::fmod(std::fabs(p.y - r.yLow), 1.5) < 0.2;
    return SurfaceHit{t, stripe ? QColor(200, 60, 40) : QColor(235, 235, 228)};
}

constexpr int kSamples = 3; // per axis, for smooth edges

// The rays of a pixel's samples: pixel (i, j) is centred on the ray through (u, v) = (i, j).
class PixelRays
{
public:
    explicit PixelRays(const PinholeCamera& camera)
        : camera_(camera), f_(camera.forward()), r_(camera.right()), d_(camera.down())
    {
    }
    CourseVector operator()(int i, int j, int si, int sj) const
    {
        const PicturePoint at{i + (si + 0.5) / kSamples - 0.5, j + (sj + 0.5) / kSamples - 0.5};
        return camera_.rayThrough(at, f_, r_, d_);
    }

private:
    const PinholeCamera& camera_;
    CourseVector f_, r_, d_;
};

QColor traceRay(const PinholeCamera& camera, const CourseScene& scene, const CourseVector& ray)
{
    std::optional<SurfaceHit> best;
    const auto keep = [&best](std::optional<SurfaceHit> h) {
        if (h && (!best || h->t < best->t))
            best = h;
    };
    for (const Buoy& buoy : scene.buoys)
        keep(hitBuoy(camera.position, ray, buoy));
    for (const Ramp& ramp : scene.ramps)
        keep(hitRamp(camera.position, ray, ramp));
    if (scene.boat)
        keep(hitTowBoat(camera.position, ray, *scene.boat));
    if (best)
        return best->colour;
    if (ray.z < 0) {
        const double t = -camera.position.z / ray.z;
        const CourseVector p = along(camera.position, ray, t);
        return waterAt(p, std::sqrt(dot(sub(p, camera.position), sub(p, camera.position))));
    }
    return QColor(190, 205, 220); // sky, should the horizon be in view
}

QRgb tracePixel(const PinholeCamera& camera, const PixelRays& rays, const CourseScene& scene, int i,
                int j)
{
    int r = 0, g = 0, b = 0;
    for (int sj = 0; sj < kSamples; ++sj)
        for (int si = 0; si < kSamples; ++si) {
            const QColor c = traceRay(camera, scene, rays(i, j, si, sj));
            r += c.red();
            g += c.green();
            b += c.blue();
        }
    constexpr int n = kSamples * kSamples;
    return qRgb(r / n, g / n, b / n);
}

} // namespace

CourseScene slalomScene()
{
    CourseScene s;
    for (double y : {0.0, -259.0})
        for (double x : {0.0, 2.5})
            s.buoys.push_back({{x, y, 0.0}, 0.2, kGateBuoyColour});
    for (double x : {0.1, 2.4})
        for (int row = 0; row < 6; ++row)
            s.buoys.push_back({{x, -27.0 - 41.0 * row, 0.0}, 0.15, kGuideBuoyColour});
    for (int row = 0; row < 6; ++row)
        s.buoys.push_back({{1.25 + (row % 2 == 0 ? 11.5 : -11.5), -27.0 - 41.0 * row, 0.0},
                           0.2,
                           kTurnBuoyColour});
    return s;
}

CourseScene jumpScene()
{
    CourseScene s;
    for (double y : {0.0, -280.0})
        for (double x : {0.0, 4.0})
            s.buoys.push_back({{x, y, 0.0}, 0.2, kGateBuoyColour});
    for (double x : {0.0, 4.0})
        s.buoys.push_back({{x, -30.0, 0.0}, 0.15, kJumpBuoyColour});
    // The ramp stands beside the boat path; the boat comes toward the camera, so the ramp
    // rises toward the camera and ends 180 m past the first gate.
    s.ramps.push_back({5.5, 9.5, -180.0, -173.0, -173.0, 1.7});
    return s;
}

QImage renderCourse(const PinholeCamera& camera, const CourseScene& scene, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const PixelRays rays(camera);
    for (int j = 0; j < height; ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = 0; i < width; ++i)
            line[i] = tracePixel(camera, rays, scene, i, j);
    }
    return image;
}

void renderBoatOver(const PinholeCamera& camera, const CourseScene& scene, QImage& image)
{
    if (!scene.boat)
        return;
    const QRect pixels = towBoatPictureBounds(camera, *scene.boat, image.width(), image.height());
    const PixelRays rays(camera);
    for (int j = pixels.top(); j <= pixels.bottom(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(j));
        for (int i = pixels.left(); i <= pixels.right(); ++i) {
            bool touched = false;
            for (int s = 0; s < kSamples * kSamples && !touched; ++s)
                touched =
                    hitTowBoat(camera.position, rays(i, j, s % kSamples, s / kSamples), *scene.boat)
                        .has_value();
            if (touched)
                line[i] = tracePixel(camera, rays, scene, i, j);
        }
    }
}
