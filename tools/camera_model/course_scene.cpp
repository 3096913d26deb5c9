#include "camera_model/course_scene.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
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

std::optional<SurfaceHit> hitBuoy(CourseVector origin, CourseVector ray, const FloatingBuoy& b)
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

// What a ray that meets no object shows: the water, or the sky should the horizon be in view.
QColor backdrop(const PinholeCamera& camera, const CourseVector& ray)
{
    if (ray.z < 0) {
        const double t = -camera.position.z / ray.z;
        const CourseVector p = along(camera.position, ray, t);
        return waterAt(p, std::sqrt(dot(sub(p, camera.position), sub(p, camera.position))));
    }
    return QColor(190, 205, 220);
}

// The buoys and ramps a ray may meet: the scene's, or only those that can be in a pixel.
struct Obstacles
{
    std::vector<const FloatingBuoy*> buoys;
    std::vector<const Ramp*> ramps;
};

// The nearest surface a ray meets, in the scene's order (buoys, ramps, the boat), so that it
// agrees with traceRay to the last bit.
std::optional<SurfaceHit> nearestHit(const CourseVector& origin, const Obstacles& obstacles,
                                     const std::optional<BoatPose>& boat, const CourseVector& ray)
{
    std::optional<SurfaceHit> best;
    const auto keep = [&best](std::optional<SurfaceHit> h) {
        if (h && (!best || h->t < best->t))
            best = h;
    };
    for (const FloatingBuoy* buoy : obstacles.buoys)
        keep(hitBuoy(origin, ray, *buoy));
    for (const Ramp* ramp : obstacles.ramps)
        keep(hitRamp(origin, ray, *ramp));
    if (boat)
        keep(hitTowBoat(origin, ray, *boat));
    return best;
}

QColor traceRay(const PinholeCamera& camera, const CourseScene& scene, const CourseVector& ray)
{
    std::optional<SurfaceHit> best;
    const auto keep = [&best](std::optional<SurfaceHit> h) {
        if (h && (!best || h->t < best->t))
            best = h;
    };
    for (const FloatingBuoy& buoy : scene.buoys)
        keep(hitBuoy(camera.position, ray, buoy));
    for (const Ramp& ramp : scene.ramps)
        keep(hitRamp(camera.position, ray, ramp));
    if (scene.boat)
        keep(hitTowBoat(camera.position, ray, *scene.boat));
    if (best)
        return best->colour;
    return backdrop(camera, ray);
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

namespace {

// Pixels of a width x height picture that can show a box of the course (clipped; the whole
// picture when a corner is beside or behind the lens).
QRect boxPictureBounds(const PinholeCamera& camera, CourseVector low, CourseVector high, int width,
                       int height)
{
    const QRect picture(0, 0, width, height);
    double uMin = std::numeric_limits<double>::infinity(), vMin = uMin;
    double uMax = -uMin, vMax = -uMin;
    for (double x : {low.x, high.x})
        for (double y : {low.y, high.y})
            for (double z : {low.z, high.z}) {
                const auto seen = camera.project({x, y, z});
                if (!seen)
                    return picture;
                uMin = std::min(uMin, seen->u);
                uMax = std::max(uMax, seen->u);
                vMin = std::min(vMin, seen->v);
                vMax = std::max(vMax, seen->v);
            }
    // Pixel (i, j) covers the rays through (i +- 0.5, j +- 0.5); one pixel more for safety.
    const double limit = 1e6;
    const auto pixel = [&](double x) { return int(std::clamp(x, -limit, limit)); };
    return QRect(QPoint(pixel(std::floor(uMin - 0.5)) - 1, pixel(std::floor(vMin - 0.5)) - 1),
                 QPoint(pixel(std::ceil(uMax + 0.5)) + 1, pixel(std::ceil(vMax + 0.5)) + 1))
        .intersected(picture);
}

} // namespace

StillLayer renderStillLayer(const PinholeCamera& camera, const CourseScene& scene, int width,
                            int height)
{
    StillLayer layer{QImage(width, height, QImage::Format_RGB32),
                     std::vector<std::uint8_t>(size_t(width) * size_t(height))};
    std::vector<QRect> buoyBounds, rampBounds;
    for (const FloatingBuoy& b : scene.buoys)
        buoyBounds.push_back(boxPictureBounds(
            camera, {b.waterLine.x - b.radius, b.waterLine.y - b.radius, 0.0},
            {b.waterLine.x + b.radius, b.waterLine.y + b.radius, b.radius}, width, height));
    for (const Ramp& r : scene.ramps)
        rampBounds.push_back(boxPictureBounds(camera, {r.xMin, r.yMin, 0.0},
                                              {r.xMax, r.yMax, r.height}, width, height));
    const PixelRays rays(camera);
    const std::optional<BoatPose> noBoat;
    Obstacles inPixel;
    for (int j = 0; j < height; ++j) {
        auto* line = reinterpret_cast<QRgb*>(layer.image.scanLine(j));
        for (int i = 0; i < width; ++i) {
            inPixel.buoys.clear();
            inPixel.ramps.clear();
            for (size_t k = 0; k < scene.buoys.size(); ++k)
                if (buoyBounds[k].contains(i, j))
                    inPixel.buoys.push_back(&scene.buoys[k]);
            for (size_t k = 0; k < scene.ramps.size(); ++k)
                if (rampBounds[k].contains(i, j))
                    inPixel.ramps.push_back(&scene.ramps[k]);
            int r = 0, g = 0, b = 0, water = 0;
            for (int sj = 0; sj < kSamples; ++sj)
                for (int si = 0; si < kSamples; ++si) {
                    const CourseVector ray = rays(i, j, si, sj);
                    const auto hit = inPixel.buoys.empty() && inPixel.ramps.empty()
                                         ? std::nullopt
                                         : nearestHit(camera.position, inPixel, noBoat, ray);
                    const QColor c = hit ? hit->colour : backdrop(camera, ray);
                    water += !hit && ray.z < 0;
                    r += c.red();
                    g += c.green();
                    b += c.blue();
                }
            constexpr int n = kSamples * kSamples;
            line[i] = qRgb(r / n, g / n, b / n);
            layer.waterNinths[size_t(j) * size_t(width) + size_t(i)] = std::uint8_t(water);
        }
    }
    return layer;
}

void renderBoatOverWater(const PinholeCamera& camera, const CourseScene& scene, QImage& frame)
{
    if (!scene.boat)
        return;
    const QRect box = towBoatPictureBounds(camera, *scene.boat, frame.width(), frame.height());
    if (box.isEmpty())
        return;
    const TowBoatOutline outline(camera, *scene.boat);
    std::vector<QRect> obstacleBounds;
    for (const FloatingBuoy& b : scene.buoys)
        obstacleBounds.push_back(
            boxPictureBounds(camera, {b.waterLine.x - b.radius, b.waterLine.y - b.radius, 0.0},
                             {b.waterLine.x + b.radius, b.waterLine.y + b.radius, b.radius},
                             frame.width(), frame.height()));
    for (const Ramp& r : scene.ramps)
        obstacleBounds.push_back(boxPictureBounds(camera, {r.xMin, r.yMin, 0.0},
                                                  {r.xMax, r.yMax, r.height}, frame.width(),
                                                  frame.height()));
    const PixelRays rays(camera);

    // First the ray through each pixel's centre: which part of the boat it meets, if any.
    const int w = box.width(), h = box.height();
    std::vector<std::optional<SurfaceHit>> centre(size_t(w) * size_t(h));
    const PinholeCamera& c = camera;
    const CourseVector f = c.forward(), r = c.right(), d = c.down();
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
            if (outline.mayShow(box.left() + i, box.top() + j))
                centre[size_t(j) * size_t(w) + size_t(i)] = hitTowBoat(
                    c.position,
                    c.rayThrough({double(box.left() + i), double(box.top() + j)}, f, r, d),
                    *scene.boat);
    const auto partAt = [&](int i, int j) {
        if (i < 0 || j < 0 || i >= w || j >= h)
            return 0;
        const auto& hit = centre[size_t(j) * size_t(w) + size_t(i)];
        return hit ? hit->part : 0;
    };

    // A pixel whose centre and eight neighbours show the same part (or none) shows it whole,
    // as the boat's parts are flat colours many pixels across; the others are traced in full.
    constexpr int n = kSamples * kSamples;
    Obstacles inPixel;
    const std::optional<BoatPose> noBoat;
    for (int j = 0; j < h; ++j) {
        auto* line = reinterpret_cast<QRgb*>(frame.scanLine(box.top() + j));
        for (int i = 0; i < w; ++i) {
            const int part = partAt(i, j);
            bool uniform = true;
            for (int dj = -1; dj <= 1 && uniform; ++dj)
                for (int di = -1; di <= 1 && uniform; ++di)
                    uniform = partAt(i + di, j + dj) == part;
            const int pi = box.left() + i, pj = box.top() + j;
            inPixel.buoys.clear();
            inPixel.ramps.clear();
            for (size_t k = 0; k < obstacleBounds.size(); ++k) {
                if (!obstacleBounds[k].contains(pi, pj))
                    continue;
                if (k < scene.buoys.size())
                    inPixel.buoys.push_back(&scene.buoys[k]);
                else
                    inPixel.ramps.push_back(&scene.ramps[k - scene.buoys.size()]);
            }
            const bool clear = inPixel.buoys.empty() && inPixel.ramps.empty();
            if (uniform && part == 0)
                continue;
            if (uniform && clear) {
                line[pi] = centre[size_t(j) * size_t(w) + size_t(i)]->colour.rgb();
                continue;
            }
            const QRgb water = line[pi];
            int red = 0, green = 0, blue = 0;
            bool touched = false;
            std::array<QRgb, n> colours;
            for (int s = 0; s < n; ++s) {
                const CourseVector ray = rays(pi, pj, s % kSamples, s / kSamples);
                std::optional<SurfaceHit> hit =
                    clear ? std::nullopt : nearestHit(camera.position, inPixel, noBoat, ray);
                const auto boatHit = hitTowBoat(camera.position, ray, *scene.boat);
                touched = touched || boatHit.has_value();
                if (boatHit && (!hit || boatHit->t < hit->t))
                    hit = boatHit;
                // Where a buoy shares the pixel, the pixel's colour holds some of the buoy:
                // its water is traced (without what moves on it, over a few pixels a frame).
                colours[size_t(s)] = hit     ? hit->colour.rgb()
                                     : clear ? water
                                             : backdrop(camera, ray).rgb();
            }
            if (!touched)
                continue;
            for (QRgb colour : colours) {
                red += qRed(colour);
                green += qGreen(colour);
                blue += qBlue(colour);
            }
            line[pi] = qRgb(red / n, green / n, blue / n);
        }
    }
}
