#include "course_display/picture_mapping.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace {

// A picture fitted into an area: the placement worked out by hand.
struct Fit
{
    const char* what;
    PixelSize picture;
    PixelRect area;
    PixelRect placed;
};

void PrintTo(const Fit& f, std::ostream* os)
{
    *os << f.what;
}

class Fitting : public ::testing::TestWithParam<Fit>
{
};

const Fit kFits[] = {
    // The measurement screen at 1024 x 768 with its 270-pixel column: 754 x 768 to the right.
    {"camera 1920x1080, down, width-bound", {1920, 1080}, {270, 0, 754, 768}, {270, 0, 754, 424}},
    {"4:3 picture 1024x768, down, width-bound",
     {1024, 768},
     {270, 0, 754, 768},
     {270, 0, 754, 566}},
    {"tall phone picture, down, height-bound",
     {1080, 1920},
     {270, 0, 754, 768},
     {270, 0, 432, 768}},
    {"small 320x240, up, width-bound", {320, 240}, {270, 0, 754, 768}, {270, 0, 754, 566}},
    {"small tall 100x400, up, height-bound", {100, 400}, {10, 20, 500, 300}, {10, 20, 75, 300}},
    {"exact size", {754, 768}, {270, 0, 754, 768}, {270, 0, 754, 768}},
    // 1366 x 768 laptop screen.
    {"camera 1920x1080 on a laptop", {1920, 1080}, {270, 0, 1096, 740}, {270, 0, 1096, 617}},
};

TEST_P(Fitting, PlacementKeepsTheAspectAndFillsOneSide)
{
    const Fit& f = GetParam();
    const PictureMapping m = fitPicture(f.picture, f.area);
    EXPECT_EQ(m.placement(), f.placed);
    EXPECT_EQ(m.pictureSize(), f.picture);
}

TEST_P(Fitting, PictureCornersLandOnThePlacementCornersAndPointsComeBack)
{
    const Fit& f = GetParam();
    const PictureMapping m = fitPicture(f.picture, f.area);
    // The picture's far corner, in twips, is where the drawn picture ends.
    const PlanePoint farCorner = m.toSurface(f.picture.width * 15.0, f.picture.height * 15.0);
    EXPECT_NEAR(farCorner.x, f.placed.x + f.placed.width, 1e-9);
    EXPECT_NEAR(farCorner.y, f.placed.y + f.placed.height, 1e-9);
    EXPECT_EQ(m.toSurface(0, 0), (PlanePoint{double(f.placed.x), double(f.placed.y)}));

    // Twips past 32767 on wide pictures, and off the picture, survive the round trip.
    for (const PlanePoint twips : {PlanePoint{0, 0}, PlanePoint{7.5, 15}, PlanePoint{28799, 16199},
                                   PlanePoint{40000.5, 3}, PlanePoint{-150, -3000}}) {
        const PlanePoint back = m.toPicture(m.toSurface(twips));
        EXPECT_NEAR(back.x, twips.x, 1e-7);
        EXPECT_NEAR(back.y, twips.y, 1e-7);
    }
}

INSTANTIATE_TEST_SUITE_P(Placements, Fitting, ::testing::ValuesIn(kFits));

TEST(PictureMapping, IdentityIsFifteenTwipsToThePixelFromTheCorner)
{
    for (const PictureMapping& m : {PictureMapping::identity({1024, 768}), PictureMapping(),
                                    PictureMapping({640, 480}, PixelRect{0, 0, 640, 480})}) {
        EXPECT_TRUE(m.isIdentity());
        EXPECT_EQ(m.toSurface(4500, 3015), (PlanePoint{300, 201}));
        EXPECT_EQ(m.toPicture(300, 201), (PlanePoint{4500, 3015}));
        EXPECT_EQ(m.lengthXToSurface(180), 12);
    }
    EXPECT_FALSE(fitPicture({1920, 1080}, {270, 0, 754, 768}).isIdentity());
}

TEST(PictureMapping, NothingToShowOrNowhereToShowItStaysFinite)
{
    // No picture: scale 1 at the area's corner.
    const PictureMapping none = fitPicture({0, 0}, {270, 0, 754, 768});
    EXPECT_EQ(none.toSurface(150, 0), (PlanePoint{280, 0}));
    // A window shrunk to nothing: the conversions stay finite both ways.
    for (const PictureMapping& m : {fitPicture({1920, 1080}, {270, 0, 0, 0}),
                                    fitPicture({1920, 1080}, {270, 0, -270, 400})}) {
        const PlanePoint p = m.toPicture(500, 500);
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
        EXPECT_GE(m.placement().width, 1);
    }
}

} // namespace
