// Makes the standard setup files SlalomOK.ipt and JumpOK.ipt from the standard camera:
// projects the four gate buoys of each course to the screen, rounds them to whole pixels as
// a click would, solves the coefficients with the program's own solve and writes the files
// with the program's own writer. With --check it compares instead of writing.
//
//   wakeline-make-standard-setups [--check] CAMERA.json OUTPUT_FOLDER

#include "camera_setup/camera_setup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

struct CourseFile
{
    const char* camera;
    Event event;
    const char* fileName;
    const char* description;
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
        {"slalom", Event::Slalom, "SlalomOK.ipt",
         "Standard slalom course, tower 300 m behind the near gates, 8 m high"},
        {"jump", Event::Jump, "JumpOK.ipt",
         "Standard jump course, tower 300 m behind the near gates, 8 m high"},
    };
    int status = 0;
    for (const CourseFile& f : files) {
        const auto camera = description->cameras.find(QString::fromLatin1(f.camera));
        if (camera == description->cameras.end())
            return fail(QStringLiteral("no camera \"%1\"").arg(QLatin1String(f.camera)));
        const CameraSetup setup =
            setupFromCamera(camera->second, description->widthPx, description->heightPx, f.event,
                            QString::fromLatin1(f.fileName), QString::fromLatin1(f.description));
        if (!setup.data)
            return fail(QLatin1String(f.fileName) + QStringLiteral(": ") + setup.problem);
        if (setup.perspective.warning)
            return fail(QLatin1String(f.fileName) + QStringLiteral(": ") +
                        *setup.perspective.warning);
        const SetupFileData& data = *setup.data;

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
                    setup.perspective.backRatio, setup.perspective.frontRatio);
    }
    return status;
}
