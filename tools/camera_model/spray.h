#pragma once
// Spray in the air around the boat: soft white puffs thrown from the bow, and a dense burst
// that can stand between the camera and the pylon. A puff is drawn in the picture as a disc
// whose opacity is flat in its core and falls off to its rim; whether it hides the boat or
// the boat hides it follows from its depth against the pylon's.

#include "camera_model/camera_model.h"
#include "camera_model/tow_boat.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <vector>

struct SprayPuff
{
    CourseVector centre;  // course metres
    double radius = 0.3;  // metres
    double opacity = 0.5; // in the core, 0 to 1
};

// The boat's pose at a media time in seconds.
using BoatMotion = std::function<BoatPose(double seconds)>;

// The spray alive at `seconds`: puffs thrown sideways and up from the bow's shoulders many
// times a second, and now and then a splash over the stem. Deterministic from the seed.
std::vector<SprayPuff> bowSpray(const BoatMotion& motion, double seconds, std::uint32_t seed);

// A column of spray on the line from the pylon to the camera, 1.3 m in front of the pylon,
// whose core covers the pylon from the deck to its top; `density` is its opacity (1: nothing
// of the pylon shows through).
std::vector<SprayPuff> hidingBurst(const PinholeCamera& camera, const BoatPose& boat,
                                   double density);

// The puffs nearer the camera than the pylon (`nearer` true) or the others.
std::vector<SprayPuff> puffsByDepth(const PinholeCamera& camera, const BoatPose& boat,
                                    const std::vector<SprayPuff>& puffs, bool nearer);

// How opaque the puffs are together at a picture point (0 to 1).
double sprayOpacity(const PinholeCamera& camera, const std::vector<SprayPuff>& puffs,
                    const PicturePoint& at);

// Draws the puffs over the frame.
void paintSpray(QImage& frame, const PinholeCamera& camera, const std::vector<SprayPuff>& puffs);
