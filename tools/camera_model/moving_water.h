#pragma once
// The water of a pass as it changes from frame to frame: small waves that travel, sun glitter
// (bright flecks that flash and drift), and the wake the boat leaves behind it (white water
// in a V, densest in the propeller's trail). All of it lies on the water plane, so it is drawn
// into the water share of each pixel of the still picture before the boat is drawn over it.
// Every pattern is a function of the course point and the time, deterministic from a seed, so
// a picture cut out of a larger one (a camera with a shifted principal point) shows the same
// pixels.

#include "camera_model/camera_model.h"
#include "camera_model/course_scene.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <vector>

// Which moving parts the water has.
struct WaterEffects
{
    bool waves = false;
    bool glitter = false;
    bool wake = false;
    std::uint32_t seed = 1;

    bool any() const { return waves || glitter || wake; }
    bool operator==(const WaterEffects&) const = default;
};

// Where the boat is and where it has been, for the wake: its path x(y) over the course, its
// pylon's course y now and the way it travels along the course (+1 toward +y, -1 toward -y).
struct BoatTrack
{
    std::function<double(double y)> pathX;
    double y = 0.0;
    double travel = -1.0;
};

// Stable pseudo-random numbers in [0, 1): the same (seed, index, stream) always gives the same
// number, so a pattern needs no state from frame to frame.
double unitRandom(std::uint64_t seed, std::uint64_t index, std::uint32_t stream);

class MovingWater
{
public:
    // Precomputes what the waves need per pixel (the camera and the still picture must be
    // those of the frames painted later).
    MovingWater(const PinholeCamera& camera, const StillLayer& still, WaterEffects effects);

    // Paints the water at `seconds` into `frame`, a copy of the still picture.
    void paint(QImage& frame, double seconds, const BoatTrack& boat) const;

private:
    void paintWaves(QImage& frame, double seconds) const;
    void paintGlitter(QImage& frame, double seconds) const;
    void paintWake(QImage& frame, const BoatTrack& boat) const;
    double waterShare(int i, int j) const;

    PinholeCamera camera_;
    int width_, height_;
    WaterEffects effects_;
    std::vector<std::uint8_t> waterNinths_;
    // Per wave and pixel: the wave's amplitude, averaged over the pixel's footprint on the
    // water, times the sine and the cosine of its phase at the pixel's centre at time 0.
    struct Wave
    {
        double kx, ky, omega, phase, amplitude;
    };
    std::vector<Wave> waves_;
    static constexpr int kWaves = 4;
    std::vector<float> waveParts_; // the sine part of each wave, then the cosines, per pixel
    // For the wake, per pixel: the water point at its centre (course metres; NaN for the sky)
    // and the foam's texture there.
    std::vector<float> groundX_, groundY_, foamTexture_;
};
