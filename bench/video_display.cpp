// What showing a 1920 x 1080, 30 fps video under the measurement screen costs beyond decoding
// it. The same file is played twice in one run: once decoded with no screen (the player and
// the frame conversion alone), once under the measurement screen with a calibrated course, its
// course marks, the line following the mouse and the boat markers on. For each: the share of
// one core the process used (its CPU time over the wall time), the frames that never reached
// the screen, and from a frame's arrival to the end of its paint (median, 99th percentile).
// The file (600 frames, made once with gst-launch-1.0) is kept in video_cache beside this
// program. Another file can be given instead (a 3840 x 2160 recording, say), and a playback
// rate (0.25 for a pass on a file too large to show at full speed).
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/video_display [FILE] [--rate R]
//      (or under xvfb-run -a)

#include "app/program_state.h"
#include "app/ui/screens.h"
#include "bench_services.h"
#include "calibration/grid_slots.h"
#include "calibration/setup_file.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/qt/qt_hires_timer.h"
#include "platform/qt/qt_key_state.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "platform/qt/sdl_joystick.h"
#include "platform/settings_store.h"
#include "support/wait_until.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;
constexpr int kFrames = 600;
// The frames of the file played: kFrames for the made one, else from its length.
int frames = kFrames;
double rate = 1.0;

double msBetween(Steady::time_point a, Steady::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The test file, made once: gst-launch-1.0 (package gstreamer1.0-tools) encodes a moving test
// pattern to VP8 in WebM, about 25 seconds on two cores.
QString testFile()
{
    const QDir cache(QCoreApplication::applicationDirPath() + QStringLiteral("/video_cache"));
    const QString path = cache.filePath(QStringLiteral("testsrc_1920x1080_30fps_600.webm"));
    if (QFileInfo::exists(path))
        return path;
    if (!QDir().mkpath(cache.path())) {
        std::fprintf(stderr, "video_display: cannot create %s\n", qPrintable(cache.path()));
        return {};
    }
    const QString partial = path + QStringLiteral(".part");
    std::printf("making the test file %s (once)...\n", qPrintable(path));
    std::fflush(stdout);
    QProcess gst;
    gst.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gst.start(QStringLiteral("gst-launch-1.0"),
              {QStringLiteral("-q"), QStringLiteral("videotestsrc"),
               QStringLiteral("num-buffers=%1").arg(kFrames), QStringLiteral("pattern=smpte"),
               QStringLiteral("horizontal-speed=4"), QStringLiteral("!"),
               QStringLiteral("video/x-raw,width=1920,height=1080,framerate=30/1"),
               QStringLiteral("!"), QStringLiteral("vp8enc"), QStringLiteral("deadline=1"),
               QStringLiteral("target-bitrate=8000000"), QStringLiteral("!"),
               QStringLiteral("webmmux"), QStringLiteral("!"), QStringLiteral("filesink"),
               QStringLiteral("location=") + partial});
    if (!gst.waitForFinished(300000) || gst.exitStatus() != QProcess::NormalExit ||
        gst.exitCode() != 0 || !QFile::rename(partial, path)) {
        std::fprintf(stderr, "video_display: gst-launch-1.0 could not make the test file (is "
                             "gstreamer1.0-tools installed?)\n");
        QFile::remove(partial);
        return {};
    }
    return path;
}

struct Figures
{
    int arrived = 0; // frames the player delivered, the first (shown on opening) included
    int shown = 0;   // of those, painted before the next one came
    double cpuShare = 0.0;
    double seconds = 0.0;
    double medianMs = 0.0, p99Ms = 0.0;
};

void print(const char* what, const Figures& f)
{
    std::printf("%-30s %6.1f%% %6d/%d %9d %9.2f %9.2f %8.2f\n", what, f.cpuShare * 100.0, f.arrived,
                frames, f.arrived - f.shown, f.medianMs, f.p99Ms, f.seconds);
    std::fflush(stdout);
}

// Plays the file to its end with no screen: decoding and the conversion to an image alone.
Figures decodeOnly(QtVideoSources& videos, const QString& path)
{
    Figures f;
    std::unique_ptr<VideoFile> file = videos.openFile(path);
    if (!waitUntil([&] { return file->state() != VideoState::Opening; }, 10000) ||
        file->state() != VideoState::Ready) {
        std::printf("decode only: the file did not open (%s)\n", qPrintable(file->message()));
        return f;
    }
    frames = int(std::llround(double(file->durationUs()) / double(file->frameUs())));
    std::printf("%dx%d, %d frames, rate %g\n", file->frame().image.width(),
                file->frame().image.height(), frames, rate);
    file->setRate(rate);
    bool ended = false;
    file->setFrameHandler([&f](const VideoFrame&) { ++f.arrived; });
    file->setChangeHandler(
        [&ended](PlaybackChange c) { ended |= c == PlaybackChange::EndOfMedia; });
    const double cpu0 = processCpuSeconds();
    const Steady::time_point t0 = Steady::now();
    file->play();
    waitUntil([&] { return ended; }, 600000);
    f.seconds = msBetween(t0, Steady::now()) / 1000.0;
    f.cpuShare = (processCpuSeconds() - cpu0) / f.seconds;
    ++f.arrived;         // the first frame came with Ready
    f.shown = f.arrived; // nothing to paint
    return f;
}

// Arrival of each frame, then the paints of the measurement screen's surface and of the line
// overlay over it (the last thing painted in the picture area).
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget* surface, QWidget* lineOverlay) : surface(surface), lineOverlay(lineOverlay)
    {
        surface->installEventFilter(this);
        if (lineOverlay)
            lineOverlay->installEventFilter(this);
    }
    void arrived()
    {
        ++arrivals;
        pending = true;
        painted = false;
        arrival = Steady::now();
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !pending)
            return false;
        if (watched == surface && !painted) {
            painted = true;
            ++shown;
            if (!lineOverlay) {
                latencies.push_back(msBetween(arrival, Steady::now()));
                pending = false;
            }
        } else if (watched == lineOverlay && painted) {
            // The surface's paint for this region is over once its child's begins.
            latencies.push_back(msBetween(arrival, Steady::now()));
            pending = false;
        }
        return false;
    }

    QWidget* surface;
    QWidget* lineOverlay;
    int arrivals = 0;
    int shown = 0;
    bool pending = false;
    bool painted = false;
    Steady::time_point arrival;
    std::vector<double> latencies;
};

Figures underTheScreen(Screens& screens, const QString& path)
{
    Figures f;
    CourseVideo& video = screens.courseVideo();
    MeasureScreen& measure = screens.measureScreen();
    measure.show();
    measure.resize(1024, 768);
    for (const char* name : {"useMouseCheck", "edgeMarkersCheck", "pathMarkersCheck"})
        if (auto* box = measure.findChild<QAbstractButton*>(QString::fromLatin1(name)))
            box->setChecked(true);
    video.choose(VideoChoice::ofFile(path));
    if (!waitUntil([&] { return video.file() != nullptr; }, 10000)) {
        std::printf("under the screen: the file did not open\n");
        return f;
    }
    video.setRate(rate);
    auto* surface = measure.findChild<DrawingSurface*>();
    PaintWatch watch(surface, measure.findChild<QWidget*>(QStringLiteral("LineOverlay")));
    // The operator's mouse sweeps the line across the course, a step each frame.
    int step = 0;
    QObject::connect(&video, &CourseVideo::frameShown, &watch, [&](const VideoFrame&) {
        watch.arrived();
        const PixelRect r = surface->mapping().placement();
        const QPointF at(r.x + r.width * (0.3 + 0.4 * ((step++ % 120) / 120.0)), r.height / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, surface->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(surface, &move);
    });
    bool ended = false;
    QObject::connect(&video, &CourseVideo::playbackChanged, &watch,
                     [&ended](PlaybackChange c) { ended |= c == PlaybackChange::EndOfMedia; });
    waitUntil([] { return false; }, 500);

    const double cpu0 = processCpuSeconds();
    const Steady::time_point t0 = Steady::now();
    watch.shown = 0;
    watch.arrivals = 0;
    video.file()->play();
    waitUntil([&] { return ended; }, 600000);
    f.seconds = msBetween(t0, Steady::now()) / 1000.0;
    f.cpuShare = (processCpuSeconds() - cpu0) / f.seconds;
    // The first frame was on screen before play.
    f.arrived = watch.arrivals + 1;
    f.shown = watch.shown + 1;
    std::vector<double> sorted = watch.latencies;
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty()) {
        f.medianMs = sorted[sorted.size() / 2];
        f.p99Ms = sorted[std::min(sorted.size() - 1, size_t(double(sorted.size()) * 0.99))];
    }
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // As the program: GStreamer, and frames converted on the processor.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);
    QString given;
    const QStringList arguments = app.arguments();
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--rate") && i + 1 < arguments.size())
            rate = arguments[++i].toDouble();
        else
            given = arguments[i];
    }
    if (!(rate > 0.0)) {
        std::fprintf(stderr, "usage: video_display [FILE] [--rate R] (R above 0)\n");
        return 2;
    }
    const QString path = given.isEmpty() ? testFile() : given;
    if (path.isEmpty())
        return 1;

    ProgramState g;
    QTemporaryDir work;
    g.place.folder = work.path();
    QDir(work.path()).mkdir(QStringLiteral("Default"));
    const SetupFileRead setup = readSetupFile(QStringLiteral(":/program/SlalomOK.ipt"));
    if (!setup.data) {
        std::fprintf(stderr, "video_display: the built-in SlalomOK.ipt did not load\n");
        return 1;
    }
    GridSlots slots;
    applyLoadedSetup(g.calibration, slots, *setup.data, QStringLiteral("SlalomOK.ipt"));

    MemorySettings settings;
    NoDialog dialog;
    QuietMessages messages;
    SystemClock clock;
    QtPictureSource pictures;
    QtKeyState keys;
    SdlJoystick joystick;
    QtHiResTimerFactory timers;
    QtVideoSources videos(clock);
    Platform platform{settings, dialog,   messages, clock,  pictures,
                      keys,     joystick, timers,   videos, nullptr};
    Screens screens(g, platform);

    std::printf("%s, platform %s\n", qPrintable(path), qPrintable(QGuiApplication::platformName()));
    std::printf("%-30s %7s %10s %9s %9s %9s %8s\n", "", "cpu", "frames", "never", "arrival",
                "to paint", "wall");
    std::printf("%-30s %7s %10s %9s %9s %9s %8s\n", "", "of core", "delivered", "painted",
                "median ms", "p99 ms", "s");
    const Figures alone = decodeOnly(videos, path);
    print("decoded, no screen", alone);
    const Figures shown = underTheScreen(screens, path);
    print("under the measurement screen", shown);
    std::printf("beyond decoding: %.1f%% of a core (goal at most 25%%); dropped under the screen: "
                "%d of %d (goal 0), %d of them by the player (decoding alone: %d)\n",
                (shown.cpuShare - alone.cpuShare) * 100.0, frames - shown.shown, frames,
                frames - shown.arrived, frames - alone.arrived);
    return 0;
}
