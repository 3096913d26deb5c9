#pragma once
// The courses as a camera sees them: buoys floating on the water, the jump ramp and perhaps a
// tow boat, in the course frame of camera_model.h. Rendered by tracing one ray per sample of
// each pixel.

#include "camera_model/camera_model.h"
#include "camera_model/tow_boat.h"

#include <QColor>
#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

struct FloatingBuoy
{
    CourseVector waterLine; // the buoy's centre at the water line (z = 0)
    double radius = 0.15;   // metres
    QColor colour;
};

// A flat-topped ramp: a box from (xMin, yMin) to (xMax, yMax) whose top rises from the water
// at yLow to `height` at the other end.
struct Ramp
{
    double xMin = 0.0, xMax = 0.0, yMin = 0.0, yMax = 0.0;
    double yLow = 0.0;
    double height = 1.7;
};

struct CourseScene
{
    std::vector<FloatingBuoy> buoys;
    std::vector<Ramp> ramps;
    std::optional<BoatPose> boat;
};

// Colours of the slalom course's buoys; tests find the guide buoys by colour.
inline const QColor kGateBuoyColour{220, 30, 30};
inline const QColor kGuideBuoyColour{255, 140, 0};
inline const QColor kTurnBuoyColour{250, 230, 20};
inline const QColor kJumpBuoyColour{255, 140, 0};

// Slalom: the entrance and exit gate buoys (x 0 and 2.5 at y 0 and -259), the twelve boat
// guide buoys (x 0.1 and 2.4, 27 m to 232 m from the entrance gate every 41 m) and the six
// turn buoys 11.5 m either side of the centre line, alternating.
CourseScene slalomScene();
// Jump: the 180 m gate (x 0 and 4 at y 0), the ride-out gate 100 m past the ramp (y -280),
// the 150 m buoys (y -30) and the ramp 180 m from the first gate, left of the boat path.
CourseScene jumpScene();

QImage renderCourse(const PinholeCamera& camera, const CourseScene& scene, int width, int height);
// Draws the scene's boat into `image`, a picture of the same scene without the boat: only the
// pixels that some ray of the boat touches are traced again, so the result is the picture
// renderCourse would give, at a small part of the cost (a pass is one still picture and a
// boat drawn over it on every frame).
void renderBoatOver(const PinholeCamera& camera, const CourseScene& scene, QImage& image);

// The still picture of a scene without its boat, and how much of each pixel is open water, in
// ninths (the samples that met neither a buoy nor a ramp nor the sky): effects that move the
// water change only that share of a pixel.
struct StillLayer
{
    QImage image;
    std::vector<std::uint8_t> waterNinths; // row by row
};
// The same picture as renderCourse for a scene without a boat, faster: a ray is tested only
// against the buoys and ramps whose picture bounds hold its pixel.
StillLayer renderStillLayer(const PinholeCamera& camera, const CourseScene& scene, int width,
                            int height);
// Draws the scene's boat into `frame`, which shows everything but the boat (the still picture
// with the moving water drawn on it): only pixels that some ray of the boat touches are traced,
// and a sample of such a pixel that meets nothing takes the pixel's colour in `frame` (or, in
// a pixel that also shows a buoy, the still water's). A pixel whose centre and neighbours'
// centres meet the same flat-coloured part of the boat takes that colour whole: the boat's
// parts are many pixels across in the pictures of a pass.
void renderBoatOverWater(const PinholeCamera& camera, const CourseScene& scene, QImage& frame);
