#pragma once
// A tow boat as the course renderer draws it: a white hull with a grey deck, a low windshield
// and a dark pylon standing on the boat's centre line. The pylon is what an operator keeps the
// measurement line on, so it is drawn in one flat colour: its centre in the picture is its axis.

#include "camera_model/camera_model.h"

#include <QColor>
#include <QRect>
#include <optional>
#include <vector>

// Where the boat is: the point on the water straight under the pylon, and the horizontal
// direction the bow points to (a unit vector in the course frame).
struct BoatPose
{
    double x = 0.0;
    double y = 0.0;
    double bowX = 0.0;
    double bowY = -1.0;
};

struct SurfaceHit
{
    double t; // along the ray, in units of the ray's length
    QColor colour;
    // Which part of the boat, when the hit is on it: parts of one number are one flat colour,
    // so a pixel whose neighbours all show the same part shows it whole. 0 elsewhere.
    int part = 0;
};

// The boat's measures, metres. The pylon stands midway between bow and stern.
inline constexpr double kHullLengthM = 6.5;
inline constexpr double kHullBeamM = 2.3;
inline constexpr double kDeckHeightM = 0.8;
inline constexpr double kPylonTopM = 1.8;
inline constexpr double kPylonRadiusM = 0.05;
inline constexpr double kWindshieldTopM = 1.1;
// The centre of the windshield's face toward the bow: on the centre line, this far ahead of
// the pylon, midway between the deck and the windshield's top.
inline constexpr double kWindshieldCentreHeightM = (kDeckHeightM + kWindshieldTopM) / 2;
inline constexpr double kWindshieldCentreAheadM = 1.7 - 0.75 * kWindshieldCentreHeightM;
inline const QColor kPylonColour{28, 28, 32};

// The nearest point where the ray from `origin` hits the boat above the water, if it does.
std::optional<SurfaceHit> hitTowBoat(const CourseVector& origin, const CourseVector& ray,
                                     const BoatPose& boat);

// Pixels of a width x height picture that can show the boat (a conservative box, clipped to
// the picture; empty when the boat is out of view).
QRect towBoatPictureBounds(const PinholeCamera& camera, const BoatPose& boat, int width,
                           int height);

// The pixels that can show the boat, tighter than towBoatPictureBounds: the picture of each
// of its three solids (hull, windshield, pylon) lies inside the convex outline of its box's
// eight corners, and a pixel more than a pixel from all three outlines cannot show the boat.
class TowBoatOutline
{
public:
    TowBoatOutline(const PinholeCamera& camera, const BoatPose& boat);
    bool mayShow(int i, int j) const;

private:
    struct Edge
    {
        double u, v, du, dv, length;
    };
    std::vector<std::vector<Edge>> outlines_;
    bool everywhere_ = false; // a corner beside or behind the lens
};
