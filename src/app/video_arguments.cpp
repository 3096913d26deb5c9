#include "app/video_arguments.h"

#include <QDir>

namespace {

const QString kVideo = QStringLiteral("--video");
const QString kCamera = QStringLiteral("--camera");

// The value of `--name=value`, when the argument has that form.
std::optional<QString> attached(const QString& argument, const QString& option)
{
    if (!argument.startsWith(option + QLatin1Char('=')))
        return std::nullopt;
    return argument.mid(option.size() + 1);
}

} // namespace

VideoArguments takeVideoArguments(const QStringList& arguments, const QString& workingFolder)
{
    VideoArguments out;
    bool video = false, camera = false;
    if (!arguments.isEmpty())
        out.remaining << arguments.first(); // the program
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--")) {
            out.remaining << arguments.mid(i);
            break;
        }
        if (a == kVideo || attached(a, kVideo)) {
            QString file;
            if (const auto value = attached(a, kVideo)) {
                file = *value;
            } else if (i + 1 < arguments.size()) {
                // A required value is the next argument whatever it looks like, as
                // QCommandLineParser takes it.
                file = arguments[++i];
            }
            if (file.isEmpty()) {
                out.error = QStringLiteral("--video needs the name of a video file.");
                continue;
            }
            video = true;
            out.choice =
                VideoChoice::ofFile(QDir::cleanPath(QDir(workingFolder).absoluteFilePath(file)));
            continue;
        }
        if (a == kCamera || attached(a, kCamera)) {
            QString name;
            if (const auto value = attached(a, kCamera))
                name = *value;
            else if (i + 1 < arguments.size() && !arguments[i + 1].startsWith(QLatin1Char('-')))
                name = arguments[++i];
            camera = true;
            out.choice = VideoChoice::ofCamera(name);
            continue;
        }
        out.remaining << a;
    }
    if (video && camera)
        out.error = QStringLiteral("Give either --video FILE or --camera [NAME], not both.");
    if (!out.error.isEmpty())
        out.choice.reset();
    return out;
}
