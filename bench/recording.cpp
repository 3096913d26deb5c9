// The pass recorder's cost: a live picture comes in real time through the live test source
// (a camera's path: each frame through the frame handler on the user-interface thread), first
// for --seconds without a recorder, then for --seconds recorded as one pass after 3 s of
// pre-roll. For each run: the process's CPU time per second (all threads, and the feeding
// thread alone), how late the frames reached the handler (p50, p99; the user-interface
// thread's own delay), frames the source skipped; with the recorder also the hand-over cost
// of a frame (wrapping it and feed()) on the feeding thread (p50, p99, max), frames dropped,
// the file's size and rate, and the luma PSNR of every tenth frame the program's player shows
// of the file against the picture fed.
//
//   cmake --build build --target recording && ./build/bench/recording
//   ./build/bench/recording --size 1280x720 --fps 30 --seconds 20 --encoder vp8
//
// Options: --size WxH (default 1920x1080), --fps N (30), --seconds S (20), --encoder
// h264|vp8|mjpeg (h264), --picture FILE (the course under the boat; default the rendered
// slalom course of tests/data; "drawn" for the source's own grainy water).
// The recording's share of a core is the difference of the two runs' CPU per second.

#include "platform/gst/gst_pass_recorder.h"
#include "platform/qt/live_test_source.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "platform/ui/recorder_frame.h"
#include "support/wait_until.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

struct Run
{
    double cpuPerSecond = 0.0;      // whole process, CPU seconds per second
    double feederPerSecond = 0.0;   // the feeding (user-interface) thread
    std::vector<double> lateMs;     // frame arrival after its moment
    std::vector<double> handOverUs; // feed() on the feeding thread
    int frames = 0;
    int skipped = 0;
};

void printRun(const char* label, const Run& r)
{
    std::printf("%-14s %6.1f %% %7.1f %% %7.2f %7.2f %6d %6d", label, 100.0 * r.cpuPerSecond,
                100.0 * r.feederPerSecond, percentile(r.lateMs, 0.5), percentile(r.lateMs, 0.99),
                r.frames, r.skipped);
    if (!r.handOverUs.empty())
        std::printf("  %6.1f %6.1f %7.1f", percentile(r.handOverUs, 0.5),
                    percentile(r.handOverUs, 0.99), percentile(r.handOverUs, 1.0));
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    LiveTestSource::Options options;
    options.size = QSize(1920, 1080);
    int seconds = 20;
    RecorderSettings settings;
    QString picture = QStringLiteral(WAKELINE_SOURCE_DIR "/tests/data/slalom_course_1920x1080.jpg");
    for (int i = 1; i + 1 < argc; i += 2) {
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (std::strcmp(argv[i], "--size") == 0) {
            const QStringList wh = value.split(QLatin1Char('x'));
            if (wh.size() == 2)
                options.size = QSize(wh[0].toInt(), wh[1].toInt());
        } else if (std::strcmp(argv[i], "--fps") == 0) {
            options.fps = std::max(1, value.toInt());
        } else if (std::strcmp(argv[i], "--seconds") == 0) {
            seconds = std::max(1, value.toInt());
        } else if (std::strcmp(argv[i], "--encoder") == 0) {
            const std::optional<RecordingCodec> codec = recordingCodecNamed(value);
            if (!codec) {
                std::fprintf(stderr, "--encoder: h264, vp8 or mjpeg\n");
                return 2;
            }
            settings.codec = *codec;
        } else if (std::strcmp(argv[i], "--picture") == 0) {
            picture = value == QLatin1String("drawn") ? QString() : value;
        }
    }
    settings.fps = options.fps;
    QApplication app(argc, argv);
    if (!picture.isEmpty()) {
        options.background = QImage(picture);
        if (options.background.isNull()) {
            std::fprintf(stderr, "%s: not a picture\n", qPrintable(picture));
            return 2;
        }
    }
    SystemClock clock;
    QTemporaryDir folder;

    // One run of `seconds` of picture; with a recorder, recorded as a pass after the pre-roll.
    const auto run = [&](PassRecorder* recorder, const QString& path) {
        Run r;
        LiveTestSource source(options, clock);
        std::vector<qint64> fed;
        bool measuring = false;
        const Steady::time_point began = Steady::now();
        source.setFrameHandler([&](const VideoFrame& f) {
            const Steady::time_point now = Steady::now();
            if (recorder) {
                const RecorderFrame frame = recorderFrame(f.image);
                recorder->feed(frame, f.startUs);
                if (measuring)
                    r.handOverUs.push_back(
                        std::chrono::duration<double, std::micro>(Steady::now() - now).count());
                fed.push_back(f.startUs);
            }
            if (measuring)
                r.lateMs.push_back(std::chrono::duration<double, std::milli>(now - began).count() -
                                   double(f.startUs) / 1000.0);
        });
        waitUntil([] { return false; }, 3000);
        if (recorder)
            recorder->startPassRecording(path, source.captureUs(source.delivered()));
        const int framesBefore = source.delivered(), skippedBefore = source.skipped();
        const double cpu0 = cpuSeconds(RUSAGE_SELF), feeder0 = cpuSeconds(RUSAGE_THREAD);
        const Steady::time_point from = Steady::now();
        measuring = true;
        waitUntil([] { return false; }, seconds * 1000);
        measuring = false;
        const double wall = std::chrono::duration<double>(Steady::now() - from).count();
        r.cpuPerSecond = (cpuSeconds(RUSAGE_SELF) - cpu0) / wall;
        r.feederPerSecond = (cpuSeconds(RUSAGE_THREAD) - feeder0) / wall;
        r.frames = source.delivered() - framesBefore;
        r.skipped = source.skipped() - skippedBefore;
        if (recorder)
            recorder->passEnded(fed.empty() ? 0 : fed.back());
        // The post-roll: the picture goes on until the file is finished.
        std::optional<RecordingOutcome> outcome;
        if (recorder) {
            recorder->setOutcomeHandler([&](const RecordingOutcome& o) { outcome = o; });
            waitUntil([&] { return outcome.has_value(); }, 15000);
        }
        source.stop();
        return std::make_pair(r, std::make_pair(outcome, fed));
    };

    std::printf("%dx%d at %d fps, %d s, encoder %s, picture %s; %u cores\n", options.size.width(),
                options.size.height(), options.fps, seconds,
                settings.codec == RecordingCodec::H264  ? "h264 (x264enc)"
                : settings.codec == RecordingCodec::Vp8 ? "vp8 (vp8enc)"
                                                        : "mjpeg (jpegenc)",
                picture.isEmpty() ? "drawn" : qPrintable(QFileInfo(picture).fileName()),
                std::thread::hardware_concurrency());
    std::printf("%-14s %8s %9s %7s %7s %6s %6s  %6s %6s %7s\n", "run", "cpu", "feeder", "late50",
                "late99", "frames", "skip", "feed50", "feed99", "feedmax");
    std::printf("%-14s %8s %9s %7s %7s %6s %6s  %6s %6s %7s\n", "", "of core", "of core", "ms",
                "ms", "", "", "us", "us", "us");
    const Run off = run(nullptr, QString()).first;
    printRun("recording off", off);

    std::unique_ptr<PassRecorder> recorder = makeGstPassRecorder(settings);
    if (recorder->state() == RecorderState::Unavailable) {
        std::printf("%s\n", qPrintable(recorder->message()));
        return 1;
    }
    const QString path = folder.filePath(QStringLiteral("pass.mkv"));
    const auto [on, result] = run(recorder.get(), path);
    printRun("recording on", on);
    const auto& [outcome, fed] = result;
    std::printf("recording's share of a core: %.1f %% (feeding thread %.1f %%)\n",
                100.0 * (on.cpuPerSecond - off.cpuPerSecond),
                100.0 * (on.feederPerSecond - off.feederPerSecond));
    if (!outcome) {
        std::printf("the file was not finished within 15 s\n");
        return 1;
    }
    if (!outcome->recorded) {
        std::printf("%s\n", qPrintable(outcome->message));
        return 1;
    }
    const qint64 bytes = QFileInfo(path).size();
    const double fileSeconds = double(outcome->lastFrameUs) / 1e6;
    std::printf("file: %d frames over %.2f s, %d dropped, %.1f MB, %.2f Mbit/s\n", outcome->frames,
                fileSeconds, outcome->droppedFrames, double(bytes) / 1e6,
                fileSeconds > 0 ? double(bytes) * 8 / 1e6 / fileSeconds : 0.0);

    // The program's player, playing the file through: every tenth frame it shows against
    // the picture fed at that frame's capture time.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QtVideoSources sources(clock);
    std::unique_ptr<VideoFile> file = sources.openFile(path);
    LiveTestSource pictures(options, clock);
    pictures.stop();
    std::vector<double> quality;
    int shown = 0, unknown = 0;
    bool ended = false;
    const auto compare = [&](const VideoFrame& f) {
        if (shown++ % 10 != 0)
            return;
        const auto fedAt = std::find_if(fed.begin(), fed.end(), [&](qint64 c) {
            return recorder->mediaTimeUs(c) == f.startUs;
        });
        if (fedAt == fed.end()) {
            ++unknown;
            return;
        }
        const int n = int(std::lround(double(*fedAt) * options.fps / 1e6));
        quality.push_back(LiveTestSource::lumaPsnr(f.image, pictures.picture(n)));
    };
    file->setFrameHandler(compare);
    file->setChangeHandler([&](PlaybackChange c) { ended |= c == PlaybackChange::EndOfMedia; });
    if (!waitUntil([&] { return file->state() != VideoState::Opening; }, 10000) ||
        file->state() != VideoState::Ready) {
        std::printf("the player cannot open the file: %s\n", qPrintable(file->message()));
        return 1;
    }
    compare(file->frame());
    file->play();
    waitUntil([&] { return ended; }, int(fileSeconds * 1000) + 10000);
    std::printf("player: %d frames shown, %d at a time no frame was fed at; luma PSNR of %zu: "
                "worst %.1f dB, median %.1f dB\n",
                shown, unknown, quality.size(), percentile(quality, 0.0), percentile(quality, 0.5));
    return 0;
}
