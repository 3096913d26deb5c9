#pragma once
// Where the picture under the screens lies on a drawing surface, and the one conversion
// between picture twips and surface pixels that every screen uses: for drawing the marks,
// for mouse clicks, for the measurement line and for the markers.
//
// Calibration positions are measured on the picture: one picture pixel is 15 twips from the
// picture's top-left corner, whatever the scale and offset the picture is shown at. So a
// calibration made on a camera picture stays right when the window is resized or the same
// camera is shown on a smaller screen.
//
// The identity (scale 1 at the surface's top-left) covers the overlay card, whose picture is
// the surface itself, and a still picture shown at its own size from the surface's corner.
// A picture fitted beside the screens' control column (fitPicture) is usually not the
// identity.

struct PixelSize
{
    int width = 0;
    int height = 0;
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const PixelSize&) const = default;
};

struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PlanePoint
{
    double x = 0.0;
    double y = 0.0;
    bool operator==(const PlanePoint&) const = default;
};

class PictureMapping
{
public:
    // The identity on a surface of unknown size.
    PictureMapping() = default;
    // A picture of `picture` pixels drawn into `placed` (surface pixels). Empty sizes are
    // taken as one pixel, so the conversions stay finite on a window shrunk to nothing.
    PictureMapping(PixelSize picture, PixelRect placed);

    // The picture is the surface itself (the overlay card).
    static PictureMapping identity(PixelSize surface);

    PixelSize pictureSize() const { return picture; }
    // The picture's rectangle on the surface.
    PixelRect placement() const { return placed; }
    // Surface pixels per picture pixel, across and down (equal but for rounding of the
    // placement to whole pixels).
    double scaleX() const { return sx; }
    double scaleY() const { return sy; }
    bool isIdentity() const { return placed.x == 0 && placed.y == 0 && sx == 1.0 && sy == 1.0; }

    // Picture twips to surface pixels (fractional: a twip is a fifteenth of a picture pixel).
    PlanePoint toSurface(double xTwips, double yTwips) const;
    PlanePoint toSurface(PlanePoint twips) const { return toSurface(twips.x, twips.y); }
    // Surface pixels to picture twips.
    PlanePoint toPicture(double xPixels, double yPixels) const;
    PlanePoint toPicture(PlanePoint pixels) const { return toPicture(pixels.x, pixels.y); }
    // A length along x or y in picture twips as surface pixels (circle radii).
    double lengthXToSurface(double twips) const;
    double lengthYToSurface(double twips) const;

    bool operator==(const PictureMapping&) const = default;

private:
    PixelSize picture{1, 1};
    PixelRect placed{0, 0, 1, 1};
    double sx = 1.0;
    double sy = 1.0;
};

// The picture scaled to fit `area` with its aspect ratio kept, anchored at the area's
// top-left, up or down, by any factor. An empty picture (nothing to show) gives scale 1 at
// the area's corner.
PictureMapping fitPicture(PixelSize picture, PixelRect area);
