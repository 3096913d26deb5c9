#pragma once
// Screen positions are kept in twips, 15 to the pixel. Widgets work in pixels: this is the
// one place where the two meet.

#include <cmath>

inline constexpr double kTwipsPerPixel = 15.0;

inline int twipsToPixels(double twips)
{
    return int(std::lround(twips / kTwipsPerPixel));
}
inline double pixelsToTwips(double pixels)
{
    return pixels * kTwipsPerPixel;
}
