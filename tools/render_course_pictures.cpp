// Renders the sample course pictures from the standard camera: every pixel is a ray of the
// pinhole camera traced into the course scene (water, buoys, ramp). Nothing here uses the
// calibration's transform, so a picture is an independent check of a setup file made for
// the same camera: the program's marks and course crosses must land on the drawn buoys.
//
//   wakeline-render-course-pictures [--check] CAMERA.json OUTPUT_FOLDER
//
// writes slalom_course.png and jump_course.png (the camera's picture size); with --check it
// compares the pictures already there with what the camera gives, pixel by pixel.

#include "camera_model/camera_model.h"
#include "camera_model/course_scene.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "wakeline-render-course-pictures: %s\n", qPrintable(message));
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
    if (!QDir().mkpath(args[1]))
        return fail(args[1] + QStringLiteral(": cannot create the folder"));

    for (const auto& [course, fileName] :
         {std::pair{QStringLiteral("slalom"), QStringLiteral("slalom_course.png")},
          std::pair{QStringLiteral("jump"), QStringLiteral("jump_course.png")}}) {
        const auto camera = description->cameras.find(course);
        if (camera == description->cameras.end())
            return fail(QStringLiteral("no camera \"%1\"").arg(course));
        const CourseScene scene = course == QLatin1String("slalom") ? slalomScene() : jumpScene();
        const QImage picture =
            renderCourse(camera->second, scene, description->widthPx, description->heightPx);
        const QString path = QDir(args[1]).filePath(fileName);
        if (check) {
            const QImage existing(path);
            if (existing.convertToFormat(picture.format()) != picture)
                return fail(path + QStringLiteral(" differs from what the camera gives"));
            continue;
        }
        if (!picture.save(path, "PNG"))
            return fail(path + QStringLiteral(": cannot be written"));
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
