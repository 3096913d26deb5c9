#pragma once
// A setup file for a camera of the course model: the four gate buoys projected into its
// picture and rounded to whole pixels, as an operator's clicks would give them, solved with
// the program's own solve. What a measurement of a rendered pass is calibrated with.

#include "calibration/geometry_checks.h"
#include "calibration/setup_file.h"
#include "camera_model/camera_model.h"
#include "common/run_info.h"

#include <QString>
#include <optional>

struct CameraSetup
{
    std::optional<SetupFileData> data; // none when the camera cannot give a usable setup
    QString problem;                   // why not
    PerspectiveCheck perspective;      // with the program's warning about the gates, if any
};

// `fileName` goes on the file's first line, `description` on its second. A camera that does
// not show all four gate buoys gives no setup.
CameraSetup setupFromCamera(const PinholeCamera& camera, int width, int height, Event event,
                            const QString& fileName, const QString& description);
