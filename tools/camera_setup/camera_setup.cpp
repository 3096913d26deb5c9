#include "camera_setup/camera_setup.h"

#include "calibration/grid_slots.h"
#include "calibration/screen_activation.h"
#include "common/twips.h"

#include <cmath>

CameraSetup setupFromCamera(const PinholeCamera& camera, int width, int height, Event event,
                            const QString& fileName, const QString& description)
{
    CameraSetup setup;
    SetupFileData data;
    data.savedPath = fileName;
    data.description = description;
    const std::array<Point2, 4> survey = standardSurvey(event);
    for (size_t k = 0; k < 4; ++k) {
        const auto seen = camera.project({survey[k].x, survey[k].y, 0.0});
        if (!seen || seen->u < 0 || seen->v < 0 || seen->u >= width || seen->v >= height) {
            setup.problem = QStringLiteral("gate buoy %1 is not in the picture").arg(k + 1);
            return setup;
        }
        data.points[k] = {
            {pixelsToTwips(std::floor(seen->u + 0.5)), pixelsToTwips(std::floor(seen->v + 0.5))},
            survey[k]};
    }
    const auto transform = solveCourseTransform(data.points);
    if (!transform) {
        setup.problem = QStringLiteral("the marks give no unique solution");
        return setup;
    }
    data.transform = *transform;
    // The jump reference point: the ramp, 180 m beyond the far gate.
    data.jump = event == Event::Jump ? Point2{2.0, -180.0} : Point2{0.0, 0.0};
    data.trailer = {10.0, 2.0, 1.0};
    setup.perspective = perspectiveCheck(width, boxTextsFor(data));
    setup.data = data;
    return setup;
}
