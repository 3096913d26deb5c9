// Makes the standard setup files SlalomOK.ipt and JumpOK.ipt from the standard camera:
// projects the four gate buoys of each course to the screen, rounds them to whole pixels as
// a click would, solves the coefficients with the program's own solve and writes the files
// with the program's own writer. With --check it compares instead of writing.
//
//   wakeline-make-standard-setups [--check] CAMERA.json OUTPUT_FOLDER

#include "calibration/geometry_checks.h"
#include "calibration/grid_slots.h"
#include "calibration/screen_activation.h"
#include "calibration/setup_file.h"
#include "camera_model/camera_model.h"
#include "common/twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>

namespace {

struct CourseFile
{
    const char* camera;
    Event event;
    const char* fileName;
    const char* description;
    Point2 jump; // the jump reference point: the ramp, 180 m beyond the far gate
};

int fail(const QString& message)
{
    std::fprintf(stderr, "wakeline-make-standard-setups: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    if (args.size() != 2)
        return fail(QStringLiteral("usage: [--check] CAMERA.json OUTPUT_FOLDER"));
    QString error;
    const auto description = loadCameraDescription(args[0], &error);
    if (!description)
        return fail(args[0] + QStringLiteral(": ") + error);

    const CourseFile files[] = {
        {"slalom",
         Event::Slalom,
         "SlalomOK.ipt",
         "Standard slalom course, tower 300 m behind the near gates, 8 m high",
         {0.0, 0.0}},
        {"jump",
         Event::Jump,
         "JumpOK.ipt",
         "Standard jump course, tower 300 m behind the near gates, 8 m high",
         {2.0, -180.0}},
    };
    int status = 0;
    for (const CourseFile& f : files) {
        const auto camera = description->cameras.find(QString::fromLatin1(f.camera));
        if (camera == description->cameras.end())
            return fail(QStringLiteral("no camera \"%1\"").arg(QLatin1String(f.camera)));
        SetupFileData data;
        data.savedPath = QString::fromLatin1(f.fileName);
        data.description = QString::fromLatin1(f.description);
        const std::array<Point2, 4> survey = standardSurvey(f.event);
        for (size_t k = 0; k < 4; ++k) {
            const auto seen = camera->second.project({survey[k].x, survey[k].y, 0.0});
            if (!seen || seen->u < 0 || seen->v < 0 || seen->u >= description->widthPx ||
                seen->v >= description->heightPx)
                return fail(QStringLiteral("%1: gate buoy %2 is not in the picture")
                                .arg(QLatin1String(f.fileName))
                                .arg(k + 1));
            data.points[k] = {{pixelsToTwips(std::floor(seen->u + 0.5)),
                               pixelsToTwips(std::floor(seen->v + 0.5))},
                              survey[k]};
        }
        const auto transform = solveCourseTransform(data.points);
        if (!transform)
            return fail(QStringLiteral("%1: the marks give no unique solution")
                            .arg(QLatin1String(f.fileName)));
        data.transform = *transform;
        data.jump = f.jump;
        data.trailer = {10.0, 2.0, 1.0};
        const PerspectiveCheck perspective =
            perspectiveCheck(int(description->widthPx), boxTextsFor(data));
        if (perspective.warning)
            return fail(QLatin1String(f.fileName) + QStringLiteral(": ") + *perspective.warning);

        const QString path = QDir(args[1]).filePath(QString::fromLatin1(f.fileName));
        if (check) {
            QFile existing(path);
            if (!existing.open(QIODevice::ReadOnly) ||
                existing.readAll() != setupFileText(data).toUtf8()) {
                std::fprintf(stderr, "%s differs from what the camera gives\n", qPrintable(path));
                status = 1;
            }
            continue;
        }
        const WriteResult written = writeSetupFile(path, data);
        if (!written)
            return fail(written.message);
        std::printf("%s: back ratio %.1f%%, front ratio %.1f%%\n", qPrintable(path),
                    perspective.backRatio, perspective.frontRatio);
    }
    return status;
}
