#include "scaled_camera.h"

#include "camera_model/camera_model.h"
#include "support/paths.h"

#include <gtest/gtest.h>

namespace {

QPointF projected(const PinholeCamera& camera, double x, double y)
{
    const auto p = camera.project({x, y, 0.0});
    EXPECT_TRUE(p) << x << ", " << y << " is behind the camera";
    return p ? QPointF(p->u, p->v) : QPointF();
}

} // namespace

ScaledCameraView standardSlalomCameraAt(int width, int height)
{
    QString error;
    const auto description = loadCameraDescription(
        sourcePath(QStringLiteral("resources/camera/standard_camera.json")), &error);
    EXPECT_TRUE(description) << error.toStdString();
    if (!description)
        return {};
    const PinholeCamera camera =
        scaledCamera(description->cameras.at(QStringLiteral("slalom")), description->widthPx,
                     description->heightPx, width, height);
    ScaledCameraView view;
    view.picture =
        QImage(fixturePath(QStringLiteral("slalom_course_%1x%2.jpg").arg(width).arg(height)));
    view.gates = {projected(camera, 0, 0), projected(camera, 0, -259), projected(camera, 2.5, 0),
                  projected(camera, 2.5, -259)};
    for (double x : {0.1, 2.4})
        for (int k = 0; k < 6; ++k) {
            const double y = -27.0 - 41.0 * k;
            view.guides.push_back({projected(camera, x, y), QPointF(x, y)});
        }
    return view;
}
