// Renders the sample pass video: the slalom course of the standard camera with a tow boat
// coming toward the camera at 58 km/h on a known path (camera_model/slalom_pass.h), every
// frame traced from the camera model like the sample course pictures, then encoded as
// WebM/VP8 by GStreamer's gst-launch-1.0. Beside the video it writes the ground truth, one CSV
// line per frame with the pylon's course position and its place in the picture.
//
//   wakeline-render-pass-video CAMERA.json OUTPUT_FOLDER [--frames N] [--size WxH]
//                              [--png-folder DIR]
//       renders the first N frames (all by default) at W x H pixels (the camera's own picture
//       size by default; another size scales the camera, see scaledCamera) and can keep every
//       frame as a PNG as well;
//   wakeline-render-pass-video --check CAMERA.json FOLDER
//       compares the ground truth in FOLDER with what the camera gives;
//   wakeline-render-pass-video --check-video CAMERA.json FOLDER
//       decodes the video in FOLDER and checks that it has every frame and that on each one
//       the pylon stands within a pixel of where the camera puts it (exit code 77 when
//       gst-launch-1.0 is not installed).

#include "camera_model/camera_model.h"
#include "camera_model/course_scene.h"
#include "camera_model/pylon_in_picture.h"
#include "camera_model/slalom_pass.h"
#include "camera_model/video_encoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "wakeline-render-pass-video: %s\n", qPrintable(message));
    return 1;
}

struct RenderOptions
{
    QString outputFolder;
    int frames = kPassFrameCount;
    int width = 0;
    int height = 0;
    QString pngFolder;
};

int render(const RenderOptions& options, const PinholeCamera& camera)
{
    QDir out(options.outputFolder);
    if (!QDir().mkpath(options.outputFolder))
        return fail(options.outputFolder + QStringLiteral(": cannot create the folder"));
    if (!options.pngFolder.isEmpty() && !QDir().mkpath(options.pngFolder))
        return fail(options.pngFolder + QStringLiteral(": cannot create the folder"));

    const QString videoPath = out.filePath(kPassVideoName);
    FrameEncoder encoder(VideoCodec::Vp8Light, options.width, options.height,
                         FrameRate{kPassFramesPerSecond, 1}, videoPath, EncoderEffort::Thorough);
    if (!encoder.start())
        return fail(encoder.error());

    QElapsedTimer wall, tracing;
    wall.start();
    qint64 tracingMs = 0;
    tracing.start();
    CourseScene scene = slalomScene();
    const QImage still = renderCourse(camera, scene, options.width, options.height);
    tracingMs += tracing.elapsed();
    for (int k = 0; k < options.frames; ++k) {
        tracing.restart();
        QImage frame = still;
        scene.boat = passBoatPose(k);
        renderBoatOver(camera, scene, frame);
        tracingMs += tracing.elapsed();
        if (!options.pngFolder.isEmpty()) {
            const QString png =
                QDir(options.pngFolder)
                    .filePath(QStringLiteral("frame_%1.png").arg(k, 5, 10, QLatin1Char('0')));
            if (!frame.save(png, "PNG")) {
                encoder.abandon();
                return fail(png + QStringLiteral(": cannot be written"));
            }
        }
        if (!encoder.write(frame))
            break;
    }
    if (!encoder.finish())
        return fail(encoder.error());

    const QString truthPath = out.filePath(kPassTruthName);
    QSaveFile truth(truthPath);
    if (!truth.open(QIODevice::WriteOnly) ||
        truth.write(passTruthCsv(passTruth(camera, options.frames))) < 0 || !truth.commit())
        return fail(truthPath + QStringLiteral(": cannot be written: ") + truth.errorString());

    std::printf("%s: %d frames of %d x %d, %lld bytes\n%s\n", qPrintable(videoPath), options.frames,
                options.width, options.height, QFileInfo(videoPath).size(), qPrintable(truthPath));
    std::printf("tracing %.1f s, tracing and encoding %.1f s\n", tracingMs / 1000.0,
                wall.elapsed() / 1000.0);
    return 0;
}

int checkTruth(const QString& folder, const PinholeCamera& camera, int width, int height)
{
    const QString path = QDir(folder).filePath(kPassTruthName);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(path + QStringLiteral(": ") + file.errorString());
    const QList<QByteArray> existing = file.readAll().split('\n');
    const QList<QByteArray> expected = passTruthCsv(passTruth(camera, kPassFrameCount)).split('\n');
    for (qsizetype k = 0; k < std::max(existing.size(), expected.size()); ++k) {
        const QByteArray a = existing.value(k), b = expected.value(k);
        if (a != b)
            return fail(QStringLiteral("%1 differs from what the camera gives at line %2: \"%3\", "
                                       "expected \"%4\"")
                            .arg(path)
                            .arg(k + 1)
                            .arg(QString::fromLatin1(a), QString::fromLatin1(b)));
    }

    // A frame is the still picture with only the boat traced again; on a small picture the
    // farthest, a middle and the nearest frame must come out as if traced whole.
    const int smallWidth = 256, smallHeight = 192;
    const PinholeCamera small = scaledCamera(camera, width, height, smallWidth, smallHeight);
    CourseScene scene = slalomScene();
    const QImage still = renderCourse(small, scene, smallWidth, smallHeight);
    for (int k : {0, kPassFrameCount / 2, kPassFrameCount - 1}) {
        scene.boat = passBoatPose(k);
        QImage frame = still;
        renderBoatOver(small, scene, frame);
        if (frame != renderCourse(small, scene, smallWidth, smallHeight))
            return fail(QStringLiteral("frame %1: the boat drawn over the still picture differs "
                                       "from the picture traced whole")
                            .arg(k));
    }
    return 0;
}

int checkVideo(const QString& folder, const PinholeCamera& camera, int width, int height)
{
    const QString path = QDir(folder).filePath(kPassVideoName);
    int found = 0, worstFrame = -1;
    double worst = 0.0, total = 0.0;
    QStringList missing;
    const auto take = [&](int frame, const uchar* grey, int stride) {
        if (frame >= kPassFrameCount)
            return;
        const auto offset = pylonOffset(grey, stride, width, height, camera, passBoatPose(frame));
        if (!offset) {
            missing << QString::number(frame);
            return;
        }
        ++found;
        total += std::fabs(*offset);
        if (std::fabs(*offset) > std::fabs(worst) || worstFrame < 0) {
            worst = *offset;
            worstFrame = frame;
        }
    };
    QString error;
    bool skipped = false;
    const auto frames = decodeGreyFrames(path, width, height, take, &error, &skipped);
    if (skipped) {
        std::printf("skipped: %s\n", qPrintable(error));
        return kSkippedExitCode;
    }
    if (!frames)
        return fail(error);

    std::printf(
        "%s: %d frames; pylon found on %d, %.2f px from its place on average, at most %.2f px "
        "(frame %d)\n",
        qPrintable(path), *frames, found, found ? total / found : 0.0, worst, worstFrame);
    if (*frames != kPassFrameCount)
        return fail(QStringLiteral("%1: %2 frames; the pass has %3 frames")
                        .arg(path)
                        .arg(*frames)
                        .arg(kPassFrameCount));
    if (!missing.isEmpty())
        return fail(QStringLiteral("%1: no pylon where the camera puts it on frames %2")
                        .arg(path, missing.join(QLatin1Char(' '))));
    if (std::fabs(worst) >= 1.0)
        return fail(QStringLiteral("%1: the pylon stands %2 px from where the camera puts it on "
                                   "frame %3")
                        .arg(path)
                        .arg(worst, 0, 'f', 2)
                        .arg(worstFrame));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString usage = QStringLiteral(
        "usage: CAMERA.json OUTPUT_FOLDER [--frames N] [--size WxH] [--png-folder DIR]\n"
        "       --check CAMERA.json FOLDER\n"
        "       --check-video CAMERA.json FOLDER");
    const bool checkTruthOnly = args.removeAll(QStringLiteral("--check")) > 0;
    const bool checkVideoOnly = args.removeAll(QStringLiteral("--check-video")) > 0;
    RenderOptions options;
    QString size;
    for (qsizetype k = 0; k < args.size();) {
        const QString& a = args[k];
        if (!a.startsWith(QLatin1String("--"))) {
            ++k;
            continue;
        }
        if (k + 1 >= args.size())
            return fail(a + QStringLiteral(" needs a value\n") + usage);
        const QString value = args[k + 1];
        if (a == QLatin1String("--frames")) {
            bool ok = false;
            options.frames = value.toInt(&ok);
            if (!ok || options.frames < 1 || options.frames > kPassFrameCount)
                return fail(QStringLiteral("--frames: \"%1\" is not a number from 1 to %2")
                                .arg(value)
                                .arg(kPassFrameCount));
        } else if (a == QLatin1String("--size")) {
            size = value;
        } else if (a == QLatin1String("--png-folder")) {
            options.pngFolder = value;
        } else {
            return fail(QStringLiteral("unknown option %1\n").arg(a) + usage);
        }
        args.remove(k, 2);
    }
    if (args.size() != 2 || (checkTruthOnly && checkVideoOnly))
        return fail(usage);

    QString error;
    const auto description = loadCameraDescription(args[0], &error);
    if (!description)
        return fail(args[0] + QStringLiteral(": ") + error);
    const auto slalom = description->cameras.find(QStringLiteral("slalom"));
    if (slalom == description->cameras.end())
        return fail(args[0] + QStringLiteral(": no camera \"slalom\""));
    if (checkTruthOnly)
        return checkTruth(args[1], slalom->second, description->widthPx, description->heightPx);
    if (checkVideoOnly)
        return checkVideo(args[1], slalom->second, description->widthPx, description->heightPx);

    options.outputFolder = args[1];
    options.width = description->widthPx;
    options.height = description->heightPx;
    if (!size.isEmpty()) {
        // Even sizes only: the encoder halves the colour planes.
        const auto m = QRegularExpression(QStringLiteral("^(\\d{2,4})x(\\d{2,4})$")).match(size);
        if (!m.hasMatch() || m.captured(1).toInt() % 2 || m.captured(2).toInt() % 2)
            return fail(QStringLiteral("--size: \"%1\" is not WIDTHxHEIGHT in even pixels, "
                                       "such as 1920x1080")
                            .arg(size));
        options.width = m.captured(1).toInt();
        options.height = m.captured(2).toInt();
    }
    const PinholeCamera camera = scaledCamera(slalom->second, description->widthPx,
                                              description->heightPx, options.width, options.height);
    return render(options, camera);
}
