#include "course_display/picture_mapping.h"

#include "common/twips.h"

#include <algorithm>
#include <cmath>

PictureMapping::PictureMapping(PixelSize pictureSize, PixelRect placement)
    : picture{std::max(1, pictureSize.width), std::max(1, pictureSize.height)},
      placed{placement.x, placement.y, std::max(1, placement.width), std::max(1, placement.height)},
      // Taken from the whole placement, not from a fitted factor: the picture is drawn into
      // exactly this rectangle, so a picture pixel lands where it is painted.
      sx(double(placed.width) / picture.width), sy(double(placed.height) / picture.height)
{
}

PictureMapping PictureMapping::identity(PixelSize surface)
{
    return PictureMapping(surface, PixelRect{0, 0, surface.width, surface.height});
}

PlanePoint PictureMapping::toSurface(double xTwips, double yTwips) const
{
    return {placed.x + xTwips / kTwipsPerPixel * sx, placed.y + yTwips / kTwipsPerPixel * sy};
}

PlanePoint PictureMapping::toPicture(double xPixels, double yPixels) const
{
    return {(xPixels - placed.x) / sx * kTwipsPerPixel, (yPixels - placed.y) / sy * kTwipsPerPixel};
}

double PictureMapping::lengthXToSurface(double twips) const
{
    return twips / kTwipsPerPixel * sx;
}

double PictureMapping::lengthYToSurface(double twips) const
{
    return twips / kTwipsPerPixel * sy;
}

PictureMapping fitPicture(PixelSize picture, PixelRect area)
{
    if (picture.isEmpty())
        return PictureMapping(PixelSize{area.width, area.height}, area);
    const double scale =
        std::min(double(area.width) / picture.width, double(area.height) / picture.height);
    // The side that fills the area keeps the area's exact length; the other is rounded.
    const int width = int(std::lround(picture.width * scale));
    const int height = int(std::lround(picture.height * scale));
    return PictureMapping(picture, PixelRect{area.x, area.y, width, height});
}
