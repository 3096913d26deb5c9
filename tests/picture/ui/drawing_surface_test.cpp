#include "measure/ui/line_overlay.h"
#include "picture/ui/drawing_surface.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

// The surface under a picture that is not at the identity: a 2048 x 1536 camera picture
// fitted beside the 270-pixel control column of a 1024 x 768 screen (scale 0.368).

namespace {

constexpr int kColumn = 270;

bool drawn(const QImage& layer, int x, int y)
{
    return qAlpha(layer.pixel(x, y)) != 0;
}

// Bounding box of the pixels of one colour.
QRect where(const QImage& image, QColor colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

QImage cameraPicture()
{
    // A red buoy of 48 x 48 picture pixels centred on picture pixel (1024, 724).
    QImage picture(2048, 1536, QImage::Format_RGB32);
    picture.fill(QColor(40, 60, 80));
    for (int y = 700; y < 748; ++y)
        for (int x = 1000; x < 1048; ++x)
            picture.setPixelColor(x, y, Qt::red);
    return picture;
}

TEST(DrawingSurface, ACrossAndAClickMeetTheBuoyOnAScaledPicture)
{
    DrawingSurface surface;
    surface.resize(1024, 768);
    surface.fitPicturesBeside(kColumn);
    QSignalSpy placed(&surface, &DrawingSurface::mappingChanged);
    surface.setBackgroundPicture(cameraPicture());
    ASSERT_EQ(placed.count(), 1);
    EXPECT_EQ(surface.mapping().placement(), (PixelRect{270, 0, 754, 566}));

    // A cross on the buoy's centre, in picture twips.
    const double cx = 1024 * 15.0, cy = 724 * 15.0, arm = 40 * 15.0;
    surface.draw(OverlayShapes{OverlayLine{cx - arm, cy, cx + arm, cy, kWhite, 1},
                               OverlayLine{cx, cy - arm, cx, cy + arm, kWhite, 1}});
    const QImage seen = surface.composed();
    const QRect buoy = where(seen, Qt::red);
    const QRect cross = where(seen, Qt::white);
    ASSERT_FALSE(buoy.isEmpty());
    ASSERT_FALSE(cross.isEmpty());
    // Both where the picture itself was drawn, about 18 surface pixels wide.
    EXPECT_NEAR(buoy.width(), 48 * 0.368, 2);
    EXPECT_NEAR(cross.center().x(), buoy.center().x(), 1);
    EXPECT_NEAR(cross.center().y(), buoy.center().y(), 1);
    // The column and below the picture stay magenta.
    EXPECT_EQ(seen.pixelColor(100, 300), QColor(255, 0, 255));
    EXPECT_EQ(seen.pixelColor(600, 700), QColor(255, 0, 255));

    // A click on the buoy as it shows is reported on the buoy in the picture.
    std::optional<QPointF> clicked;
    QObject::connect(&surface, &DrawingSurface::mousePressed,
                     [&](Qt::MouseButton, Qt::KeyboardModifiers, double x, double y) {
                         clicked = QPointF(x / 15.0, y / 15.0);
                     });
    QTest::mouseClick(&surface, Qt::LeftButton, {}, buoy.center());
    ASSERT_TRUE(clicked);
    EXPECT_NEAR(clicked->x(), 1024, 3); // within one surface pixel: 2.7 picture pixels
    EXPECT_NEAR(clicked->y(), 724, 3);
}

TEST(DrawingSurface, ErasingSurvivesAChangeOfScaleAndPensKeepTheirWidth)
{
    DrawingSurface surface;
    // At the identity: a white line along y = 200 px, 3 px wide, erased from x 100 to 200,
    // drawn before the surface has its size (as a screen does while it loads).
    surface.draw(OverlayLine{0, 3000, 6000, 3000, kWhite, 3});
    surface.draw(OverlayLine{1500, 3000, 3000, 3000, kMagenta, 5});
    surface.resize(600, 400);
    const QImage before = surface.drawingLayer();
    EXPECT_TRUE(drawn(before, 50, 200));
    EXPECT_FALSE(drawn(before, 150, 200));
    EXPECT_TRUE(drawn(before, 300, 200));

    // The same picture shown at half size beside a column of 100 pixels.
    surface.setMapping(PictureMapping({600, 400}, PixelRect{100, 0, 300, 200}));
    const QImage after = surface.drawingLayer();
    EXPECT_TRUE(drawn(after, 100 + 25, 100));
    EXPECT_FALSE(drawn(after, 100 + 75, 100));
    EXPECT_TRUE(drawn(after, 100 + 150, 100));
    EXPECT_FALSE(drawn(after, 50, 100)) << "the old placement is gone";
    // Still 3 pixels thick, not 1.5.
    EXPECT_TRUE(drawn(after, 125, 99) && drawn(after, 125, 101));
    EXPECT_FALSE(drawn(after, 125, 97) || drawn(after, 125, 103));

    // Back at the identity, the drawing is what it was, pixel for pixel.
    surface.setMapping(PictureMapping::identity({600, 400}));
    EXPECT_EQ(surface.drawingLayer(), before);
}

TEST(DrawingSurface, AFrameRepaintsThePictureWithoutRedrawingTheMarks)
{
    DrawingSurface surface;
    surface.resize(1024, 768);
    surface.fitPicturesBeside(kColumn);
    QImage frame(1920, 1080, QImage::Format_RGB32);
    frame.fill(Qt::darkGray);
    surface.setBackgroundPicture(frame);
    surface.draw(OverlayCircle{15000, 8000, 600, kWhite, 2});
    const qint64 layerKey = surface.drawingLayer().cacheKey();
    frame.fill(Qt::gray);
    surface.setBackgroundPicture(frame);
    EXPECT_EQ(surface.drawingLayer().cacheKey(), layerKey);
    // A picture of another size places again, and the marks follow.
    surface.setBackgroundPicture(cameraPicture());
    EXPECT_NE(surface.drawingLayer().cacheKey(), layerKey);
}

TEST(LineOverlay, LinesFollowTheMapping)
{
    QWidget surface;
    surface.resize(800, 600);
    LineOverlay overlay(&surface);
    overlay.resize(surface.size());
    MeasureLines lines = initialMeasureLines();
    for (LineRecord* l : {&lines.measureLineColumn2, &lines.boatMarker, &lines.leftEdge,
                          &lines.rightEdge, &lines.leftBoundary, &lines.rightBoundary})
        l->visible = false;
    lines.measureLine = LineRecord{6000, 1500, 6000, 7500, kRed, LineStyle::Solid, 1, true};
    overlay.setLines(lines);
    // Picture pixel 400 at half scale beside a 270-pixel column: surface x 470.
    overlay.setMapping(PictureMapping({1000, 1000}, PixelRect{270, 0, 500, 500}));
    QImage shot(surface.size(), QImage::Format_ARGB32_Premultiplied);
    shot.fill(Qt::transparent);
    overlay.render(&shot);
    const QRect line = where(shot, Qt::red);
    EXPECT_EQ(line.left(), 470);
    EXPECT_EQ(line.right(), 470);
    EXPECT_EQ(line.top(), 50);
}

} // namespace
