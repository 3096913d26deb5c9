#include "camera_model/tow_boat.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <span>

namespace {

// Points and directions in the boat's own frame: a toward the bow, b across (to the left of a
// person facing the bow), z up from the water.
struct Local
{
    double a, b, z;
};

double dot(Local p, Local q)
{
    return p.a * q.a + p.b * q.b + p.z * q.z;
}

// One face of a convex solid: the inside is where dot(normal, p) <= offset.
struct Face
{
    Local normal;
    double offset;
};

// The hull: flat deck, sides flaring out from the water line to the deck, a raked bow of two
// angled faces and a narrow stem, a square stern. Faces 0 is the deck.
constexpr double kHalfLength = kHullLengthM / 2;
constexpr std::array kHull{
    Face{{0, 0, 1}, kDeckHeightM},
    Face{{0, 0, -1}, 0.5},
    Face{{-1, 0, 0}, kHalfLength},
    Face{{0, 1, -0.25}, kHullBeamM / 2 - 0.25 * kDeckHeightM},
    Face{{0, -1, -0.25}, kHullBeamM / 2 - 0.25 * kDeckHeightM},
    // From the shoulders (a 1.0, b +-1.15) to the stem (a 3.25, b +-0.2) at deck height.
    Face{{0.95, 2.25, -0.55}, 0.95 * 1.0 + 2.25 * kHullBeamM / 2 - 0.55 * kDeckHeightM},
    Face{{0.95, -2.25, -0.55}, 0.95 * 1.0 + 2.25 * kHullBeamM / 2 - 0.55 * kDeckHeightM},
    Face{{1, 0, -0.3125}, kHalfLength - 0.3125 * kDeckHeightM},
};

// A windshield raked back, across the boat just ahead of the pylon; its face toward the bow is
// where a + 0.75 z = 1.7 (kWindshieldCentreAheadM).
constexpr std::array kWindshield{
    Face{{0, 0, -1}, -kDeckHeightM}, Face{{0, 0, 1}, kWindshieldTopM}, Face{{0, 1, 0}, 1.0},
    Face{{0, -1, 0}, 1.0},           Face{{1, 0, 0.75}, 1.7},          Face{{-1, 0, -0.75}, -1.66},
};

struct FaceHit
{
    double t;
    size_t face;
};

// Where a ray enters a convex solid (from outside), if it does.
std::optional<FaceHit> enterConvex(Local origin, Local ray, std::span<const Face> faces)
{
    double enter = -std::numeric_limits<double>::infinity();
    double leave = std::numeric_limits<double>::infinity();
    size_t enterFace = 0;
    for (size_t k = 0; k < faces.size(); ++k) {
        const double along = dot(faces[k].normal, ray);
        const double room = faces[k].offset - dot(faces[k].normal, origin);
        if (along == 0) {
            if (room < 0)
                return std::nullopt;
            continue;
        }
        const double t = room / along;
        if (along < 0) {
            if (t > enter) {
                enter = t;
                enterFace = k;
            }
        } else {
            leave = std::min(leave, t);
        }
    }
    if (!(enter <= leave) || enter <= 0)
        return std::nullopt;
    return FaceHit{enter, enterFace};
}

// Lit from above, on the camera's side of the course, so the bow facing the camera is bright.
QColor shaded(const QColor& colour, CourseVector normal)
{
    const double length =
        std::sqrt(normal.x * normal.x + normal.y * normal.y + normal.z * normal.z);
    const double lx = 0.3, ly = -1.0, lz = 1.0;
    const double light = std::sqrt(lx * lx + ly * ly + lz * lz);
    const double cosine = (normal.x * lx + normal.y * ly + normal.z * lz) / (length * light);
    const double shade = 0.6 + 0.4 * std::max(0.0, cosine);
    return QColor(int(colour.red() * shade), int(colour.green() * shade),
                  int(colour.blue() * shade));
}

} // namespace

std::optional<SurfaceHit> hitTowBoat(const CourseVector& origin, const CourseVector& ray,
                                     const BoatPose& boat)
{
    // Into the boat's frame: b is the bow direction turned a quarter left.
    const auto toLocal = [&](double x, double y, double z) {
        return Local{x * boat.bowX + y * boat.bowY, -x * boat.bowY + y * boat.bowX, z};
    };
    const Local o = toLocal(origin.x - boat.x, origin.y - boat.y, origin.z);
    const Local d = toLocal(ray.x, ray.y, ray.z);
    const auto toCourse = [&](Local n) {
        return CourseVector{n.a * boat.bowX - n.b * boat.bowY, n.a * boat.bowY + n.b * boat.bowX,
                            n.z};
    };

    std::optional<SurfaceHit> best;
    const auto keep = [&](double t, const QColor& colour, int part) {
        if (!best || t < best->t)
            best = SurfaceHit{t, colour, part};
    };

    if (const auto h = enterConvex(o, d, kHull)) {
        const double z = o.z + h->t * d.z;
        if (z >= 0) {
            const bool deck = h->face == 0;
            const bool stripe = !deck && z > 0.50 && z < 0.60;
            const QColor base = deck     ? QColor(178, 180, 184)
                                : stripe ? QColor(25, 45, 105)
                                         : QColor(240, 240, 235);
            keep(h->t, shaded(base, toCourse(kHull[h->face].normal)),
                 int(h->face) + (stripe ? 20 : 1));
        }
    }
    if (const auto h = enterConvex(o, d, kWindshield))
        keep(h->t, shaded(QColor(55, 70, 82), toCourse(kWindshield[h->face].normal)),
             int(h->face) + 40);

    // The pylon: a vertical cylinder on the centre line, standing on the deck; one flat colour.
    const double qa = d.a * d.a + d.b * d.b;
    const double qb = o.a * d.a + o.b * d.b;
    const double qc = o.a * o.a + o.b * o.b - kPylonRadiusM * kPylonRadiusM;
    const double disc = qb * qb - qa * qc;
    if (qa > 0 && disc >= 0) {
        const double t = (-qb - std::sqrt(disc)) / qa;
        const double z = o.z + t * d.z;
        if (t > 0 && z >= kDeckHeightM && z <= kPylonTopM)
            keep(t, kPylonColour, 60);
    }
    if (d.z != 0) {
        const double t = (kPylonTopM - o.z) / d.z;
        const double a = o.a + t * d.a, b = o.b + t * d.b;
        if (t > 0 && a * a + b * b <= kPylonRadiusM * kPylonRadiusM)
            keep(t, kPylonColour, 60);
    }
    return best;
}

QRect towBoatPictureBounds(const PinholeCamera& camera, const BoatPose& boat, int width, int height)
{
    const QRect picture(0, 0, width, height);
    double uMin = std::numeric_limits<double>::infinity(), vMin = uMin;
    double uMax = -uMin, vMax = -uMin;
    const double reach = kHalfLength + 0.1, side = kHullBeamM / 2 + 0.1;
    for (double a : {-reach, reach})
        for (double b : {-side, side})
            for (double z : {0.0, kPylonTopM + 0.05}) {
                const CourseVector p{boat.x + a * boat.bowX - b * boat.bowY,
                                     boat.y + a * boat.bowY + b * boat.bowX, z};
                const auto seen = camera.project(p);
                if (!seen)
                    return picture; // beside or behind the lens: trace everything
                uMin = std::min(uMin, seen->u);
                uMax = std::max(uMax, seen->u);
                vMin = std::min(vMin, seen->v);
                vMax = std::max(vMax, seen->v);
            }
    // Pixel (i, j) covers the rays through (i +- 0.5, j +- 0.5); one pixel more for safety.
    const double limit = 1e6;
    const auto pixel = [&](double x) { return int(std::clamp(x, -limit, limit)); };
    const QRect box(QPoint(pixel(std::floor(uMin - 0.5)) - 1, pixel(std::floor(vMin - 0.5)) - 1),
                    QPoint(pixel(std::ceil(uMax + 0.5)) + 1, pixel(std::ceil(vMax + 0.5)) + 1));
    return box.intersected(picture);
}

TowBoatOutline::TowBoatOutline(const PinholeCamera& camera, const BoatPose& boat)
{
    struct Box
    {
        double a0, a1, b0, b1, z0, z1;
    };
    // The solids above the water, with 2 cm to spare: the hull from the water line to the deck
    // (its sides flare out to the deck's width), the windshield, the pylon.
    constexpr double m = 0.02;
    const Box boxes[] = {
        {-kHalfLength - m, kHalfLength + m, -kHullBeamM / 2 - m, kHullBeamM / 2 + m, 0.0,
         kDeckHeightM + m},
        {1.66 - 0.75 * kWindshieldTopM - m, 1.7 - 0.75 * kDeckHeightM + m, -1.0 - m, 1.0 + m,
         kDeckHeightM - m, kWindshieldTopM + m},
        {-kPylonRadiusM - m, kPylonRadiusM + m, -kPylonRadiusM - m, kPylonRadiusM + m,
         kDeckHeightM - m, kPylonTopM + m},
    };
    for (const Box& box : boxes) {
        std::vector<PicturePoint> corners;
        for (double a : {box.a0, box.a1})
            for (double b : {box.b0, box.b1})
                for (double z : {box.z0, box.z1}) {
                    const auto seen = camera.project({boat.x + a * boat.bowX - b * boat.bowY,
                                                      boat.y + a * boat.bowY + b * boat.bowX, z});
                    if (!seen) {
                        everywhere_ = true;
                        return;
                    }
                    corners.push_back(*seen);
                }
        // The convex hull, counter-clockwise in (u, v) (Andrew's monotone chain).
        std::sort(corners.begin(), corners.end(), [](const PicturePoint& p, const PicturePoint& q) {
            return p.u < q.u || (p.u == q.u && p.v < q.v);
        });
        const auto turn = [](const PicturePoint& o, const PicturePoint& a, const PicturePoint& b) {
            return (a.u - o.u) * (b.v - o.v) - (a.v - o.v) * (b.u - o.u);
        };
        std::vector<PicturePoint> hull(2 * corners.size());
        size_t k = 0;
        for (size_t n = 0; n < corners.size(); ++n) {
            while (k >= 2 && turn(hull[k - 2], hull[k - 1], corners[n]) <= 0)
                --k;
            hull[k++] = corners[n];
        }
        for (size_t n = corners.size() - 1, lower = k + 1; n-- > 0;) {
            while (k >= lower && turn(hull[k - 2], hull[k - 1], corners[n]) <= 0)
                --k;
            hull[k++] = corners[n];
        }
        hull.resize(k - 1);
        std::vector<Edge> edges;
        for (size_t n = 0; n < hull.size(); ++n) {
            const PicturePoint& p = hull[n];
            const PicturePoint& q = hull[(n + 1) % hull.size()];
            edges.push_back({p.u, p.v, q.u - p.u, q.v - p.v, std::hypot(q.u - p.u, q.v - p.v)});
        }
        outlines_.push_back(edges);
    }
}

bool TowBoatOutline::mayShow(int i, int j) const
{
    if (everywhere_)
        return true;
    for (const std::vector<Edge>& edges : outlines_) {
        bool inside = !edges.empty();
        for (const Edge& e : edges) {
            // Left of every edge (counter-clockwise), with a pixel to spare: a pixel's samples
            // lie within 0.71 of its centre.
            if (e.du * (j - e.v) - e.dv * (i - e.u) < -1.0 * e.length) {
                inside = false;
                break;
            }
        }
        if (inside)
            return true;
    }
    return false;
}
