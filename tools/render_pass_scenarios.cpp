// Renders the test passes of the tracking benchmark (camera_model/pass_scenario.h): for each
// pass a video, its ground truth and the setup file of its camera, plus a list of the passes.
// A pass whose description is unchanged since it was last rendered into the folder is kept.
//
//   wakeline-render-pass-scenarios CAMERA.json OUTPUT_FOLDER [--frames N] [--only NAME,...]
//       renders every pass (or those named) with the standard camera of CAMERA.json; --frames
//       keeps only the first N frames of each (a quick run);
//   wakeline-render-pass-scenarios --list CAMERA.json
//       prints the passes, one a line;
//   wakeline-render-pass-scenarios --check-video CAMERA.json FOLDER
//       decodes every pass rendered in FOLDER and checks its frame count and frame times
//       against its truth, that the pylon stands where the truth puts it (within a pixel on
//       the lightly compressed passes) and that it cannot be found where spray hides it;
//   wakeline-render-pass-scenarios --check-times
//       encodes a few small frames at each frame rate with each encoder and checks that the
//       decoder gives the frame times the truth files are written with.
// Checks exit with 77 when gst-launch-1.0 or an encoder is not installed.

#include "camera_model/camera_model.h"
#include "camera_model/pass_scenario.h"
#include "camera_model/pylon_in_picture.h"
#include "camera_model/video_encoding.h"
#include "camera_setup/camera_setup.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <vector>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "wakeline-render-pass-scenarios: %s\n", qPrintable(message));
    return 1;
}

struct PassFiles
{
    QString video, truth, setup, description;
};

PassFiles filesOf(const QString& folder, const PassScenario& s)
{
    const QDir dir(folder);
    return {dir.filePath(s.name + QLatin1Char('.') + containerSuffix(s.codec)),
            dir.filePath(s.name + QStringLiteral("_truth.csv")),
            dir.filePath(s.name + QStringLiteral(".ipt")),
            dir.filePath(s.name + QStringLiteral(".scenario"))};
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeWhole(const QString& path, const QByteArray& bytes, QString* error)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    *error = path + QStringLiteral(": cannot be written: ") + f.errorString();
    return false;
}

QString oneLine(const PassScenario& s)
{
    return QStringLiteral(
               "%1  %2 camera, %3x%4, %5/%6 fps, %7, %8 km/h %9, %10 path%11%12%13%14%15%16")
        .arg(s.name, s.cameraName)
        .arg(s.width)
        .arg(s.height)
        .arg(s.rate.numerator)
        .arg(s.rate.denominator)
        .arg(codecName(s.codec))
        .arg(s.speedKmh)
        .arg(s.direction == PassDirection::TowardCamera ? QStringLiteral("toward the camera")
                                                        : QStringLiteral("away"))
        .arg(s.path == PassPath::GentleWeave ? QStringLiteral("gentle") : QStringLiteral("+-0.5 m"))
        .arg(s.water.waves ? QStringLiteral(", waves") : QString())
        .arg(s.water.glitter ? QStringLiteral(", glitter") : QString())
        .arg(s.water.wake ? QStringLiteral(", wake") : QString())
        .arg(s.spray ? QStringLiteral(", spray") : QString())
        .arg(s.hiding.frames > 0 ? QStringLiteral(", hidden on frames %1-%2")
                                       .arg(s.hiding.firstFrame)
                                       .arg(s.hiding.firstFrame + s.hiding.frames - 1)
                                 : QString())
        .arg(s.hard ? QStringLiteral(" [hard]") : QString());
}

// "frames a-b, c-d" where `out` holds, or an empty string.
QString frameRanges(const std::vector<bool>& out)
{
    QStringList ranges;
    for (size_t k = 0; k < out.size();) {
        if (!out[k]) {
            ++k;
            continue;
        }
        size_t end = k;
        while (end + 1 < out.size() && out[end + 1])
            ++end;
        ranges << (end == k ? QString::number(k) : QStringLiteral("%1-%2").arg(k).arg(end));
        k = end + 1;
    }
    return ranges.join(QStringLiteral(", "));
}

void reportOutOfPicture(const PassScenario& s, const std::vector<ScenarioTruthLine>& truth)
{
    const auto outside = [&](const PicturePoint& p) {
        return !(p.u >= 0 && p.v >= 0 && p.u <= s.width - 1 && p.v <= s.height - 1);
    };
    const std::pair<const char*, PicturePoint ScenarioTruthLine::*> points[] = {
        {"water", &ScenarioTruthLine::water},
        {"top", &ScenarioTruthLine::top},
        {"pylon_at_shield", &ScenarioTruthLine::pylonAtShield},
        {"shield", &ScenarioTruthLine::shield}};
    for (const auto& [name, member] : points) {
        std::vector<bool> out;
        for (const ScenarioTruthLine& l : truth)
            out.push_back(outside(l.*member));
        const QString ranges = frameRanges(out);
        if (!ranges.isEmpty())
            std::printf("  %s is outside the picture on frames %s\n", name, qPrintable(ranges));
    }
    std::vector<bool> hidden;
    for (const ScenarioTruthLine& l : truth)
        hidden.push_back(l.hidden);
    const QString ranges = frameRanges(hidden);
    if (!ranges.isEmpty())
        std::printf("  hidden by spray on frames %s\n", qPrintable(ranges));
}

int renderOne(const PassScenario& s, const PassFiles& files, int frames)
{
    const CameraSetup setup = setupFromCamera(
        s.camera, s.width, s.height, Event::Slalom, QFileInfo(files.setup).fileName(),
        QStringLiteral("Test pass %1: %2 camera, %3 x %4 picture")
            .arg(s.name, s.cameraName)
            .arg(s.width)
            .arg(s.height));
    if (!setup.data)
        return fail(s.name + QStringLiteral(": no setup file: ") + setup.problem);
    if (setup.perspective.warning)
        std::printf("  setup: the program warns \"%s\" (a 16:9 picture of the standard view)\n",
                    qPrintable(*setup.perspective.warning));

    // The machine may be shared: the processor time of the tracing says what it costs, the
    // wall time what it took.
    QElapsedTimer wall;
    wall.start();
    FrameEncoder encoder(s.codec, s.width, s.height, s.rate, files.video);
    if (!encoder.start())
        return fail(encoder.error());
    const std::clock_t started = std::clock();
    const ScenarioFrames renderer(s);
    for (int k = 0; k < frames; ++k)
        if (!encoder.write(renderer.frame(k)))
            break;
    const double tracingSeconds = double(std::clock() - started) / CLOCKS_PER_SEC;
    if (!encoder.finish())
        return fail(s.name + QStringLiteral(": ") + encoder.error());

    const std::vector<ScenarioTruthLine> truth = scenarioTruth(s, frames);
    QString error;
    const WriteResult written = writeSetupFile(files.setup, *setup.data);
    if (!written)
        return fail(written.message);
    if (!writeWhole(files.truth, scenarioTruthCsv(truth), &error) ||
        !writeWhole(files.description, scenarioDescription(s, frames), &error))
        return fail(error);
    std::printf("%s: %d frames, %lld bytes; tracing %.1f s of processor time, %.1f s in all "
                "with the encoder beside it\n",
                qPrintable(s.name), frames, QFileInfo(files.video).size(), tracingSeconds,
                wall.elapsed() / 1000.0);
    reportOutOfPicture(s, truth);
    std::fflush(stdout);
    return 0;
}

int render(const std::vector<PassScenario>& scenarios, const QString& folder, int frameLimit)
{
    if (!QDir().mkpath(folder))
        return fail(folder + QStringLiteral(": cannot create the folder"));
    QElapsedTimer wall;
    wall.start();
    QByteArray manifest = "name,video,truth,setup,width,height,frame_rate,codec,frames,hard\n";
    for (const PassScenario& s : scenarios) {
        const PassFiles files = filesOf(folder, s);
        const int frames = std::min(frameLimit, scenarioFrameCount(s));
        const QByteArray description = scenarioDescription(s, frames);
        const bool current = readAll(files.description) == description &&
                             QFileInfo::exists(files.video) && QFileInfo::exists(files.truth) &&
                             QFileInfo::exists(files.setup);
        if (current) {
            std::printf("%s: already rendered\n", qPrintable(s.name));
        } else {
            // A pass half rewritten is not current: its description goes first.
            QFile::remove(files.description);
            if (const int status = renderOne(s, files, frames))
                return status;
        }
        manifest += QStringLiteral("%1,%2,%3,%4,%5,%6,%7/%8,%9,%10,%11\n")
                        .arg(s.name, QFileInfo(files.video).fileName(),
                             QFileInfo(files.truth).fileName(), QFileInfo(files.setup).fileName())
                        .arg(s.width)
                        .arg(s.height)
                        .arg(s.rate.numerator)
                        .arg(s.rate.denominator)
                        .arg(codecName(s.codec))
                        .arg(frames)
                        .arg(int(s.hard))
                        .toUtf8();
    }
    QString error;
    if (!writeWhole(QDir(folder).filePath(QStringLiteral("passes.csv")), manifest, &error))
        return fail(error);
    std::printf("all passes in %.1f s\n", wall.elapsed() / 1000.0);
    return 0;
}

int checkVideo(const PassScenario& s, const PassFiles& files)
{
    // The truth file must be what the scenario gives for as many frames as it holds.
    const QByteArray truthText = readAll(files.truth);
    const int frames = int(truthText.count('\n')) - 1;
    if (frames < 1)
        return fail(files.truth + QStringLiteral(": no frames"));
    const std::vector<ScenarioTruthLine> truth = scenarioTruth(s, frames);
    if (scenarioTruthCsv(truth) != truthText)
        return fail(files.truth + QStringLiteral(": differs from what the pass gives"));

    QString error;
    bool skipped = false;
    const auto starts = decodedFrameStartsUs(files.video, &error, &skipped);
    if (skipped) {
        std::printf("skipped: %s\n", qPrintable(error));
        return kSkippedExitCode;
    }
    if (!starts)
        return fail(error);
    for (int k = 0; k < std::min<int>(frames, int(starts->size())); ++k)
        if ((*starts)[size_t(k)] != truth[size_t(k)].ptsUs)
            return fail(QStringLiteral("%1: frame %2 starts at %3 us, its truth at %4 us")
                            .arg(files.video)
                            .arg(k)
                            .arg((*starts)[size_t(k)])
                            .arg(truth[size_t(k)].ptsUs));

    const bool light = s.codec == VideoCodec::Vp8Light || s.codec == VideoCodec::H264Light;
    std::vector<double> offsets;
    int worstFrame = -1;
    double worst = 0.0;
    QStringList seenThroughSpray, missing;
    const auto take = [&](int k, const uchar* grey, int stride) {
        if (k >= frames)
            return;
        const BoatPose boat = scenarioBoatPose(s, s.rate.frameSeconds(k));
        const auto offset = pylonOffset(grey, stride, s.width, s.height, s.camera, boat);
        if (truth[size_t(k)].hidden) {
            if (offset)
                seenThroughSpray << QString::number(k);
            return;
        }
        if (truth[size_t(k)].sprayCover > 0.2)
            return; // partly covered: no clean measure either way
        if (!offset) {
            missing << QString::number(k);
            return;
        }
        offsets.push_back(std::fabs(*offset));
        if (std::fabs(*offset) > std::fabs(worst) || worstFrame < 0) {
            worst = *offset;
            worstFrame = k;
        }
    };
    const auto decoded = decodeGreyFrames(files.video, s.width, s.height, take, &error, &skipped);
    if (skipped) {
        std::printf("skipped: %s\n", qPrintable(error));
        return kSkippedExitCode;
    }
    if (!decoded)
        return fail(error);
    if (*decoded != frames || int(starts->size()) != frames)
        return fail(QStringLiteral("%1: %2 frames decoded, %3 frame times; the truth has %4")
                        .arg(files.video)
                        .arg(*decoded)
                        .arg(starts->size())
                        .arg(frames));
    std::sort(offsets.begin(), offsets.end());
    std::printf("%s: %d frames at the truth's times; pylon measured on %zu, median %.2f px, at "
                "most %.2f px (frame %d)\n",
                qPrintable(s.name), frames, offsets.size(),
                offsets.empty() ? 0.0 : offsets[offsets.size() / 2], worst, worstFrame);
    if (!seenThroughSpray.isEmpty())
        return fail(QStringLiteral("%1: the pylon shows through the spray on frames %2")
                        .arg(files.video, seenThroughSpray.join(QLatin1Char(' '))));
    if (light && !missing.isEmpty())
        return fail(QStringLiteral("%1: no pylon where the truth puts it on frames %2")
                        .arg(files.video, missing.join(QLatin1Char(' '))));
    if (light && std::fabs(worst) >= 1.0)
        return fail(QStringLiteral("%1: the pylon stands %2 px from its truth on frame %3")
                        .arg(files.video)
                        .arg(worst, 0, 'f', 2)
                        .arg(worstFrame));
    return 0;
}

int checkVideos(const std::vector<PassScenario>& scenarios, const QString& folder)
{
    int checked = 0;
    for (const PassScenario& s : scenarios) {
        const PassFiles files = filesOf(folder, s);
        if (!QFileInfo::exists(files.description))
            continue;
        if (const int status = checkVideo(s, files))
            return status;
        ++checked;
    }
    if (checked == 0)
        return fail(folder + QStringLiteral(": no rendered pass"));
    return 0;
}

int checkTimes()
{
    const QString folder = QDir::temp().filePath(
        QStringLiteral("wakeline-frame-times-%1").arg(QCoreApplication::applicationPid()));
    if (!QDir().mkpath(folder))
        return fail(folder + QStringLiteral(": cannot create the folder"));
    QImage picture(64, 48, QImage::Format_RGB32);
    int status = 0;
    for (VideoCodec codec : {VideoCodec::Vp8Light, VideoCodec::H264Light})
        for (FrameRate rate : {FrameRate{25, 1}, FrameRate{30, 1}, FrameRate{30000, 1001}}) {
            const QString path = QDir(folder).filePath(QStringLiteral("%1-%2.%3")
                                                           .arg(codecName(codec))
                                                           .arg(rate.numerator)
                                                           .arg(containerSuffix(codec)));
            FrameEncoder encoder(codec, picture.width(), picture.height(), rate, path);
            if (!encoder.start()) {
                std::printf("skipped: %s\n", qPrintable(encoder.error()));
                QDir(folder).removeRecursively();
                return kSkippedExitCode;
            }
            // 40 frames reach a rounding of a half millisecond at 29.97 (frame 15).
            constexpr int kFrames = 40;
            for (int k = 0; k < kFrames; ++k) {
                picture.fill(qRgb(4 * k, 128, 255 - 4 * k));
                encoder.write(picture);
            }
            if (!encoder.finish()) {
                if (!encoder.error().contains(QLatin1String("no element"))) {
                    QDir(folder).removeRecursively();
                    return fail(path + QStringLiteral(": ") + encoder.error());
                }
                // Without x264enc the H.264 checks cannot run; the VP8 ones have.
                std::printf("skipped %s: %s\n", qPrintable(codecName(codec)),
                            qPrintable(encoder.error()));
                break;
            }
            QString error;
            bool skipped = false;
            const auto starts = decodedFrameStartsUs(path, &error, &skipped);
            if (!starts) {
                QDir(folder).removeRecursively();
                return skipped ? kSkippedExitCode : fail(error);
            }
            QStringList wrong;
            for (int k = 0; k < kFrames; ++k) {
                const qint64 expected = containerFrameStartUs(codec, rate, k);
                if (size_t(k) >= starts->size() || (*starts)[size_t(k)] != expected)
                    wrong << QStringLiteral("frame %1: %2 us, expected %3 us")
                                 .arg(k)
                                 .arg(size_t(k) < starts->size() ? (*starts)[size_t(k)] : -1)
                                 .arg(expected);
            }
            if (int(starts->size()) != kFrames)
                wrong << QStringLiteral("%1 frames decoded of %2").arg(starts->size()).arg(kFrames);
            std::printf("%s at %d/%d: %s\n", qPrintable(codecName(codec)), rate.numerator,
                        rate.denominator, wrong.isEmpty() ? "frame times as written" : "WRONG");
            if (!wrong.isEmpty()) {
                fail(path + QStringLiteral(": ") + wrong.mid(0, 5).join(QStringLiteral("; ")));
                status = 1;
            }
        }
    QDir(folder).removeRecursively();
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString usage =
        QStringLiteral("usage: CAMERA.json OUTPUT_FOLDER [--frames N] [--only NAME,...]\n"
                       "       --list CAMERA.json\n"
                       "       --check-video CAMERA.json FOLDER\n"
                       "       --check-times");
    if (args.removeAll(QStringLiteral("--check-times")) > 0)
        return args.isEmpty() ? checkTimes() : fail(usage);
    const bool list = args.removeAll(QStringLiteral("--list")) > 0;
    const bool check = args.removeAll(QStringLiteral("--check-video")) > 0;
    int frameLimit = std::numeric_limits<int>::max();
    QStringList only;
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
            frameLimit = value.toInt(&ok);
            if (!ok || frameLimit < 1)
                return fail(QStringLiteral("--frames: \"%1\" is not a positive number").arg(value));
        } else if (a == QLatin1String("--only")) {
            only = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else {
            return fail(QStringLiteral("unknown option %1\n").arg(a) + usage);
        }
        args.remove(k, 2);
    }
    if (args.size() != (list ? 1 : 2) || (list && check))
        return fail(usage);

    QString error;
    const auto description = loadCameraDescription(args[0], &error);
    if (!description)
        return fail(args[0] + QStringLiteral(": ") + error);
    const auto tower = description->cameras.find(QStringLiteral("slalom"));
    if (tower == description->cameras.end())
        return fail(args[0] + QStringLiteral(": no camera \"slalom\""));
    std::vector<PassScenario> scenarios =
        builtInScenarios(tower->second, description->widthPx, description->heightPx);
    if (!only.isEmpty()) {
        for (const QString& name : only)
            if (std::none_of(scenarios.begin(), scenarios.end(),
                             [&](const PassScenario& s) { return s.name == name; }))
                return fail(QStringLiteral("no pass \"%1\"").arg(name));
        std::erase_if(scenarios, [&](const PassScenario& s) { return !only.contains(s.name); });
    }
    if (list) {
        for (const PassScenario& s : scenarios)
            std::printf("%s (%d frames)\n", qPrintable(oneLine(s)), scenarioFrameCount(s));
        return 0;
    }
    if (check)
        return checkVideos(scenarios, args[1]);
    return render(scenarios, args[1], frameLimit);
}
