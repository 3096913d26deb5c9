#pragma once
// What a screen draws over the picture, as plain geometry in twips: the logic computes a
// list of shapes, the screen's drawing surface paints them. Tests check the shapes.

#include <cstdint>
#include <variant>
#include <vector>

struct Rgb
{
    int r = 255;
    int g = 255;
    int b = 255;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kMagenta{255, 0, 255}; // the overlay card's key colour
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kBlue{0, 0, 255};

struct OverlayLine
{
    double x1, y1, x2, y2;
    Rgb colour = kWhite;
    int penWidth = 1; // pixels
    bool operator==(const OverlayLine&) const = default;
};

struct OverlayCircle
{
    double cx, cy, radius;
    Rgb colour = kWhite;
    int penWidth = 1;
    bool operator==(const OverlayCircle&) const = default;
};

// A single point, as wide as the pen.
struct OverlayPoint
{
    double x, y;
    Rgb colour = kWhite;
    int penWidth = 1;
    bool operator==(const OverlayPoint&) const = default;
};

using OverlayShape = std::variant<OverlayLine, OverlayCircle, OverlayPoint>;
using OverlayShapes = std::vector<OverlayShape>;
