// The renderer's shortcuts against the picture traced whole: the still picture that tests only
// the objects whose bounds hold a pixel, and the boat drawn over the water on the pixels its
// outline allows, with a pixel's inside taken from its centre when its neighbours agree.

#include "camera_model/course_scene.h"
#include "camera_model/pass_scenario.h"

#include <QString>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

int largestChannelDifference(const QImage& a, const QImage& b, QPoint* where)
{
    int largest = 0;
    for (int j = 0; j < a.height(); ++j)
        for (int i = 0; i < a.width(); ++i) {
            const QRgb p = a.pixel(i, j), q = b.pixel(i, j);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > largest) {
                largest = d;
                *where = {i, j};
            }
        }
    return largest;
}

// The cameras of the passes, for a picture of the given size.
PinholeCamera cameraNamed(const QString& name, int width, int height)
{
    if (name == QLatin1String("low"))
        return scaledCamera(lowCamera(), 1920, 1080, width, height);
    if (name == QLatin1String("side"))
        return scaledCamera(sideCamera(), 1920, 1080, width, height);
    PinholeCamera tower; // the standard slalom camera
    tower.position = {4.25, -559.0, 8.0};
    tower.headingDeg = -0.4;
    tower.tiltDeg = 1.17;
    tower.focalLengthPx = 43000;
    tower.principalPoint = {512, 384};
    return scaledCamera(tower, 1024, 768, width, height);
}

// A fifth of 1080p's width, for what is compared over the whole picture.
constexpr int kWidth = 384, kHeight = 216;

TEST(StillLayer, IsThePictureTracedWholeAndKnowsWhereTheWaterIs)
{
    for (const char* name : {"tower", "low", "side"}) {
        SCOPED_TRACE(name);
        const PinholeCamera camera = cameraNamed(QString::fromLatin1(name), kWidth, kHeight);
        const StillLayer layer = renderStillLayer(camera, slalomScene(), kWidth, kHeight);
        const QImage whole = renderCourse(camera, slalomScene(), kWidth, kHeight);
        EXPECT_EQ(layer.image, whole);

        // Open water is where the course without its buoys looks the same.
        const QImage water = renderCourse(camera, CourseScene{}, kWidth, kHeight);
        int buoyPixels = 0;
        for (int j = 0; j < kHeight; ++j)
            for (int i = 0; i < kWidth; ++i) {
                const int ninths = layer.waterNinths[size_t(j * kWidth + i)];
                const bool same = whole.pixel(i, j) == water.pixel(i, j);
                buoyPixels += ninths < 9;
                ASSERT_EQ(ninths == 9, same) << "pixel " << i << ", " << j;
            }
        EXPECT_GT(buoyPixels, 24); // every gate, guide and turn buoy shows
    }
}

struct BoatView
{
    const char* camera;
    double y;       // the pylon's course y
    double heading; // the bow, degrees from -y (toward the camera) turning toward +x
};

class BoatOverWater : public testing::TestWithParam<BoatView>
{
};

TEST_P(BoatOverWater, MatchesThePictureTracedWhole)
{
    // In a picture half the passes' 1920 x 1080, around the boat only: a camera whose
    // principal point is shifted renders that part of the picture pixel for pixel.
    const BoatView view = GetParam();
    const double h = view.heading * 3.14159265358979 / 180;
    const BoatPose boat{1.3, view.y, std::sin(h), -std::cos(h)};
    PinholeCamera camera = cameraNamed(QString::fromLatin1(view.camera), 960, 540);
    const QRect around =
        towBoatPictureBounds(camera, boat, 960, 540).adjusted(-4, -4, 4, 4) & QRect(0, 0, 960, 540);
    ASSERT_FALSE(around.isEmpty());
    camera.principalPoint.u -= around.left();
    camera.principalPoint.v -= around.top();

    CourseScene scene = slalomScene();
    QImage frame = renderStillLayer(camera, scene, around.width(), around.height()).image;
    scene.boat = boat;
    renderBoatOverWater(camera, scene, frame);

    // Only the boat's edge pixels may differ: there the water is the pixel's average rather
    // than each sample's, which differs by a level or two where the swell changes, and is
    // rounded down twice. A part of the boat missed or misplaced differs by tens of levels.
    QPoint where;
    const int difference = largestChannelDifference(
        frame, renderCourse(camera, scene, around.width(), around.height()), &where);
    EXPECT_LE(difference, 3) << "at pixel " << where.x() + around.left() << ", "
                             << where.y() + around.top();
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, BoatOverWater,
    testing::Values(BoatView{"tower", 16.0, 0.0}, BoatView{"tower", -27.0, 3.0},
                    BoatView{"tower", -259.0, -2.0}, BoatView{"low", -100.0, 180.0},
                    BoatView{"low", -270.0, 0.0}, BoatView{"side", -200.0, 175.0},
                    BoatView{"side", -27.5, 0.0}),
    [](const testing::TestParamInfo<BoatView>& info) {
        return QStringLiteral("%1_%2m_%3")
            .arg(QString::fromLatin1(info.param.camera))
            .arg(int(std::fabs(info.param.y)))
            .arg(std::fabs(info.param.heading) > 90 ? QStringLiteral("away")
                                                    : QStringLiteral("toward"))
            .toStdString();
    });

} // namespace
