// Pass timing: the measurement screen's real pass engine on its real timers (offscreen),
// through whole passes, against a plain periodic 100 ms QTimer in the same run (and a
// precise one, which shows the wake-up latency of the machine itself).
//
//   cmake --build build --target pass_timing && QT_QPA_PLATFORM=offscreen ./build/bench/pass_timing
//   QT_QPA_PLATFORM=offscreen ./build/bench/pass_timing --load      (both cores kept busy)
//
//   QT_QPA_PLATFORM=offscreen ./build/bench/pass_timing --stall 250 (the event loop blocked
//                                                               once, 5 s into each pass)
//
//   QT_QPA_PLATFORM=offscreen ./build/bench/pass_timing
//       --video resources/program/videos/slalom_pass_58kmh.webm          (and a pass on it)
//
//   QT_QPA_PLATFORM=offscreen ./build/bench/pass_timing --live 1920x1080@30 --record
//       (the slalom pass again over a drawn live picture, then recorded)
//   QT_QPA_PLATFORM=offscreen ./build/bench/pass_timing --live FILE --record  (over a file
//                                                               played as a camera's picture)
//
// Options: --load starts one spinning thread per core for the length of the run;
// --passes N runs each pass N times (default 1); --stall MS blocks the user-interface thread
// for MS milliseconds once in each pass (samples due meanwhile are late, the rest on time).
// Per sample: the time it was taken minus start + i x 100 ms (median, p99, max); the pass
// duration error (last sample against start + PassTenths x 100 ms); the sample count; the
// CPU time of the user-interface thread per second of pass.
//
// --live SOURCE then runs the slalom pass again on the wall clock with a live picture under
// the measurement screen, through the path a camera's frames take: SOURCE is WIDTHxHEIGHT[@FPS]
// for the drawn live test picture, or a video file (at least 20 s long) played from its start
// as a camera's picture. --record adds the same live passes again with "Record Live Passes"
// on, each pass recorded by the real recorder behind the screen (2.5 s of picture before each
// pass), says what each file holds, the frames dropped (by the recorder or, for the drawn
// picture, missed by a busy event loop) and the program's processor time with and without.
//
// --video FILE then measures a slalom pass at 58 km/h on the file under the measurement
// screen, from the frame at --video-start SECONDS (default 1.0, the sample pass's entrance
// gate), played at rate 1 (--video-rate R): each sample against the moment the media clock
// reached its instant (the arrival of the frame holding it plus the media time from that
// frame's start, at the rate), the same figures, and whether every sample lies on the frame
// holding its instant.

#include "app/program_state.h"
#include "app/ui/screens.h"
#include "app/ui/start_screen.h"
#include "bench_services.h"
#include "calibration/course_transform.h"
#include "measure/pass_recording.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "platform/file_dialog.h"
#include "platform/gst/gst_pass_recorder.h"
#include "platform/message_boxes.h"
#include "platform/platform.h"
#include "platform/qt/live_test_source.h"
#include "platform/qt/qt_hires_timer.h"
#include "platform/qt/qt_key_state.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "platform/qt/sdl_joystick.h"
#include "platform/settings_store.h"
#include "results/ui/results_screen.h"
#include "support/wait_until.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using Steady = std::chrono::steady_clock;

double msBetween(Steady::time_point a, Steady::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double processCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double threadCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_THREAD, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Real timers, with the moment of every sample the sample timer's ticks take.
class RecordingTimer : public HiResTimer
{
public:
    RecordingTimer(std::unique_ptr<HiResTimer> real, const std::function<int()>& samplesTaken,
                   std::vector<Steady::time_point>& sampleTimes)
        : real(std::move(real)), samplesTaken(samplesTaken), sampleTimes(sampleTimes)
    {
    }
    void setPeriod(int ms) override { real->setPeriod(ms); }
    int period() const override { return real->period(); }
    void setEnabled(bool on) override { real->setEnabled(on); }
    bool enabled() const override { return real->enabled(); }
    void setCallback(std::function<void(qint64)> callback) override
    {
        real->setCallback([this, callback](qint64 ms) {
            const int before = samplesTaken();
            const Steady::time_point now = Steady::now();
            callback(ms);
            for (int i = before; i < samplesTaken(); ++i)
                sampleTimes.push_back(now);
        });
    }

private:
    std::unique_ptr<HiResTimer> real;
    const std::function<int()>& samplesTaken;
    std::vector<Steady::time_point>& sampleTimes;
};

class RecordingFactory : public HiResTimerFactory
{
public:
    explicit RecordingFactory(std::vector<Steady::time_point>& times) : times(times) {}
    std::unique_ptr<HiResTimer> create(const QString& role) override
    {
        return std::make_unique<RecordingTimer>(real.create(role), samplesTaken, times);
    }

    // The pass engine's count of samples taken, once the measurement screen exists.
    std::function<int()> samplesTaken = [] { return 0; };

private:
    QtHiResTimerFactory real;
    std::vector<Steady::time_point>& times;
};

struct Figures
{
    int samples = 0;
    double median = 0, p99 = 0, max = 0, durationError = 0, cpuPercent = 0;
    int byNominalEnd = -1;
    int late = 0; // samples more than kLateMs after their instant
};

constexpr double kLateMs = 10.0;

Figures figuresOf(Steady::time_point start, const std::vector<Steady::time_point>& times,
                  int passTenths, double cpuSeconds)
{
    Figures f;
    f.samples = int(times.size());
    std::vector<double> errors;
    for (size_t i = 0; i < times.size(); ++i)
        errors.push_back(msBetween(start, times[i]) - double(i) * 100.0);
    std::vector<double> sorted = errors;
    std::sort(sorted.begin(), sorted.end());
    if (!sorted.empty()) {
        f.median = sorted[sorted.size() / 2];
        f.p99 = sorted[std::min(sorted.size() - 1, size_t(double(sorted.size()) * 0.99))];
        f.max = sorted.back();
        f.durationError = msBetween(start, times.back()) - passTenths * 100.0;
        f.late =
            int(std::count_if(errors.begin(), errors.end(), [](double e) { return e > kLateMs; }));
    }
    const double seconds = passTenths / 10.0;
    f.cpuPercent = cpuSeconds / seconds * 100.0;
    return f;
}

void print(const char* pass, const char* source, int expected, const Figures& f)
{
    std::printf("%-16s %-22s %4d/%-4d %8.2f %8.2f %8.2f %10.2f %7.2f%%", pass, source, f.samples,
                expected, f.median, f.p99, f.max, f.durationError, f.cpuPercent);
    if (f.byNominalEnd >= 0)
        std::printf("   %d samples by the nominal end", f.byNominalEnd);
    if (f.late > 0)
        std::printf("   %d late (> %.0f ms)", f.late, kLateMs);
    std::printf("\n");
    std::fflush(stdout);
}

// A periodic 100 ms QTimer (the default coarse kind, or precise): sample 0 at the start,
// one sample per timeout.
Figures referencePass(int passTenths, int stallMs, Qt::TimerType type)
{
    std::vector<Steady::time_point> times;
    QTimer timer;
    timer.setTimerType(type);
    timer.setInterval(100);
    QEventLoop loop;
    const double cpu0 = threadCpuSeconds();
    const Steady::time_point start = Steady::now();
    times.push_back(start);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        times.push_back(Steady::now());
        if (int(times.size()) > passTenths)
            loop.quit();
    });
    timer.start();
    if (stallMs > 0)
        QTimer::singleShot(
            5050, [stallMs] { std::this_thread::sleep_for(std::chrono::milliseconds(stallMs)); });
    loop.exec();
    timer.stop();
    const double cpu = threadCpuSeconds() - cpu0;
    Figures f = figuresOf(start, times, passTenths, cpu);
    const auto nominalEnd = start + std::chrono::milliseconds(passTenths * 100);
    f.byNominalEnd = int(std::count_if(times.begin(), times.end(),
                                       [&](Steady::time_point t) { return t <= nominalEnd; }));
    return f;
}

// A slalom pass at 58 km/h on a video file, on its media clock, with the moments each frame
// came and each sample was taken.
struct VideoRun
{
    QString file;
    qint64 startUs = 1000000;
    double rate = 1.0;
    std::map<qint64, Steady::time_point> arrivals; // by frame start
    // By sample index: the recording timers fill it for samples taken on a wake-up, the
    // frame handler for those taken as a frame comes.
    std::vector<Steady::time_point>* taken = nullptr;
    int framesShownAgain = 0;
    qint64 lastFrameUs = -1;
    bool measuring = false;
};

void videoPass(VideoRun& v, Screens& screens, MeasureScreen& measure, ProgramState& g)
{
    CourseVideo& video = screens.courseVideo();
    g.run.setEvent(Event::Slalom);
    g.run.setSlalomSpeed(0);
    g.run.setDirection(Direction::Toward);
    video.choose(VideoChoice::ofFile(v.file));
    if (!waitUntil([&] { return video.file() != nullptr; }, 10000)) {
        std::printf("%-16s the video did not open\n", "video pass");
        return;
    }
    measure.show();
    VideoFile& file = *video.file();
    file.seek(v.startUs);
    if (!waitUntil([&] { return file.frame().startUs == v.startUs; }, 5000)) {
        std::printf("%-16s no frame at %.3f s\n", "video pass", double(v.startUs) / 1e6);
        return;
    }
    video.setRate(v.rate);
    waitUntil([] { return false; }, 300);

    v.arrivals.clear();
    std::vector<Steady::time_point>& taken = *v.taken;
    taken.clear();
    v.framesShownAgain = 0;
    const double cpu0 = threadCpuSeconds();
    auto* start = measure.findChild<QPushButton*>(QStringLiteral("startPassButton"));
    v.measuring = true;
    start->click(); // sample 0, on the frame on screen
    v.arrivals[file.frame().startUs] = Steady::now();
    while (int(taken.size()) < measure.model().sampleIndex())
        taken.push_back(Steady::now());
    if (!measure.model().mediaPassRunning()) {
        std::printf("%-16s the pass did not start on the video\n", "video pass");
        return;
    }
    file.play();
    while (measure.model().running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double cpu = threadCpuSeconds() - cpu0;
    v.measuring = false;
    file.pause();
    if (screens.hasResults())
        screens.resultsScreen().hide();

    const int tenths = g.pass.tenths;
    if (!g.pass.media || int(taken.size()) != tenths + 1) {
        std::printf("%-16s the pass on the video was not recorded (%d samples)\n", "video pass",
                    int(taken.size()));
        return;
    }
    // Each sample against the moment the media clock reached its instant.
    const auto& frames = g.pass.media->sampleFramesUs;
    std::vector<Steady::time_point> due;
    int onItsFrame = 0;
    for (int k = 0; k <= tenths; ++k) {
        const qint64 instant = g.pass.media->startUs + qint64(k) * 100000;
        const qint64 f = frames[size_t(k)];
        onItsFrame += f <= instant && instant < f + file.frameUs();
        const auto a = v.arrivals.find(f);
        due.push_back(a == v.arrivals.end()
                          ? taken[size_t(k)]
                          : a->second +
                                std::chrono::microseconds(qint64(double(instant - f) / v.rate)));
    }
    Figures f;
    std::vector<double> late;
    for (size_t k = 0; k < due.size(); ++k)
        late.push_back(msBetween(due[k], taken[k]));
    std::vector<double> sorted = late;
    std::sort(sorted.begin(), sorted.end());
    f.samples = int(taken.size());
    f.median = sorted[sorted.size() / 2];
    f.p99 = sorted[std::min(sorted.size() - 1, size_t(double(sorted.size()) * 0.99))];
    f.max = sorted.back();
    f.durationError = msBetween(taken.front(), taken.back()) - tenths * 100.0 / v.rate;
    f.cpuPercent = cpu / (tenths / 10.0 / v.rate) * 100.0;
    print("slalom 58 km/h", "video, media clock", tenths + 1, f);
    std::printf("%-16s %d of %d samples on the frame holding their instant; %d frames shown, %d "
                "skipped by the player and shown again\n",
                "", onItsFrame, tenths + 1, int(v.arrivals.size()), v.framesShownAgain);
    std::fflush(stdout);
}

// A video file played from its start as a camera's picture.
class FileAsCamera final : public VideoSource
{
public:
    explicit FileAsCamera(std::unique_ptr<VideoFile> file) : file(std::move(file))
    {
        this->file->setStateHandler([this] {
            if (this->file->state() == VideoState::Ready)
                this->file->play();
            if (stateHandler)
                stateHandler();
        });
    }
    VideoState state() const override { return file->state(); }
    QString message() const override { return file->message(); }
    QString notice() const override { return QString(); }
    bool live() const override { return true; }
    const VideoFrame& frame() const override { return file->frame(); }
    void setFrameHandler(std::function<void(const VideoFrame&)> handler) override
    {
        file->setFrameHandler(std::move(handler));
    }
    void setStateHandler(std::function<void()> handler) override
    {
        stateHandler = std::move(handler);
    }

private:
    std::unique_ptr<VideoFile> file;
    std::function<void()> stateHandler;
};

// One camera: the drawn live picture, or the file played as a camera's.
class BenchCameras final : public VideoSources
{
public:
    static constexpr char kName[] = "bench live picture";

    BenchCameras(VideoSources& real, const Clock& clock,
                 std::optional<LiveTestSource::Options> drawn, QString file)
        : real(real), clock(clock), drawn(drawn), file(std::move(file))
    {
    }
    QStringList cameras() const override { return {QString::fromLatin1(kName)}; }
    std::unique_ptr<VideoSource> openCamera(const QString&) override
    {
        if (drawn)
            return std::make_unique<LiveTestSource>(*drawn, clock);
        return std::make_unique<FileAsCamera>(real.openFile(file));
    }
    std::unique_ptr<VideoFile> openFile(const QString& path) override
    {
        return real.openFile(path);
    }

private:
    VideoSources& real;
    const Clock& clock;
    std::optional<LiveTestSource::Options> drawn;
    QString file;
};

struct PassSpec
{
    const char* name;
    Event event;
    int speedIndex;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool load = false;
    int repeats = 1;
    int stallMs = 0;
    VideoRun video;
    // A video file played as a camera's picture, or the drawn live picture's size.
    QString liveSpec;
    bool record = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--load") == 0)
            load = true;
        else if (std::strcmp(argv[i], "--passes") == 0 && i + 1 < argc)
            repeats = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--stall") == 0 && i + 1 < argc)
            stallMs = std::max(0, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--video") == 0 && i + 1 < argc)
            video.file = QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[++i]));
        else if (std::strcmp(argv[i], "--video-start") == 0 && i + 1 < argc)
            video.startUs = qint64(std::atof(argv[++i]) * 1e6);
        else if (std::strcmp(argv[i], "--video-rate") == 0 && i + 1 < argc)
            video.rate = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--record") == 0)
            record = true;
        else if (std::strcmp(argv[i], "--live") == 0 && i + 1 < argc)
            liveSpec = QString::fromLocal8Bit(argv[++i]);
    }
    // As the program: GStreamer, and frames converted on the processor.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    QApplication::setAttribute(Qt::AA_ForceRasterWidgets);
    QApplication app(argc, argv);

    // Bounded load: one spinning thread per core, stopped when the run ends (or after ten
    // minutes at the latest).
    std::atomic<bool> stop{false};
    std::vector<std::thread> spinners;
    if (load) {
        const unsigned n = std::max(1u, std::thread::hardware_concurrency());
        const auto deadline = Steady::now() + std::chrono::minutes(10);
        for (unsigned i = 0; i < n; ++i)
            spinners.emplace_back([&stop, deadline] {
                volatile double x = 1.0;
                while (!stop.load(std::memory_order_relaxed) && Steady::now() < deadline)
                    for (int k = 0; k < 100000; ++k)
                        x = x * 1.0000001 + 1e-9;
            });
    }

    ProgramState g;
    // The results screen writes its day logs after each pass: keep them out of the way.
    QTemporaryDir work;
    g.place.folder = work.path();
    QDir(work.path()).mkdir(QStringLiteral("Default"));
    // A slalom course on a plausible picture, as a completed calibration leaves it.
    const std::array<ReferencePoint, 4> marks{{{{5100, 1200}, {0, 0}},
                                               {{7500, 6600}, {0, -259}},
                                               {{4500, 1200}, {2.5, 0}},
                                               {{1500, 6600}, {2.5, -259}}}};
    g.calibration.transform = *solveCourseTransform(marks);
    g.calibration.setReferencePoints(marks);
    g.calibration.complete = true;

    std::vector<Steady::time_point> sampleTimes;
    MemorySettings settings;
    NoDialog dialog;
    QuietMessages messages;
    SystemClock clock;
    QtPictureSource pictures;
    QtKeyState keys;
    SdlJoystick joystick;
    RecordingFactory timers(sampleTimes);
    QtVideoSources videos(clock);
    const std::optional<LiveTestSource::Options> drawn = WithLiveTestCamera::optionsFrom(liveSpec);
    BenchCameras cameras(videos, clock, drawn,
                         drawn ? QString() : QDir::current().absoluteFilePath(liveSpec));
    RecorderSettings recorderSettings;
    if (drawn)
        recorderSettings.fps = drawn->fps;
    const std::unique_ptr<PassRecorder> recorder =
        record ? makeGstPassRecorder(recorderSettings) : nullptr;
    Platform platform{settings, dialog,   messages, clock,   pictures,
                      keys,     joystick, timers,   cameras, recorder.get()};
    Screens screens(g, platform);
    // Each frame's arrival, before the measurement screen sees it; each sample the screen
    // takes as a frame comes (an instant the frame before held), after it.
    QObject::connect(&screens.courseVideo(), &CourseVideo::frameShown,
                     [&video](const VideoFrame& frame) {
                         video.framesShownAgain += frame.startUs < video.lastFrameUs;
                         video.lastFrameUs = frame.startUs;
                         video.arrivals.emplace(frame.startUs, Steady::now());
                     });
    screens.startScreen().startUp();
    MeasureScreen& measure = screens.measureScreen();
    video.taken = &sampleTimes;
    QObject::connect(&screens.courseVideo(), &CourseVideo::frameShown, [&video, &measure] {
        if (!video.measuring)
            return;
        while (int(video.taken->size()) < measure.model().sampleIndex())
            video.taken->push_back(Steady::now());
    });
    timers.samplesTaken = [&measure] { return measure.model().sampleIndex(); };
    auto* start = measure.findChild<QPushButton*>(QStringLiteral("startPassButton"));

    std::printf("machine %s, %u cores%s\n",
                load ? "loaded (one spinning thread per core)" : "without added load",
                std::thread::hardware_concurrency(),
                stallMs > 0 ? qPrintable(QStringLiteral(", one %1 ms stall per pass").arg(stallMs))
                            : "");
    std::printf("%-16s %-22s %9s %8s %8s %8s %10s %8s\n", "pass", "timing", "samples", "median",
                "p99", "max", "duration", "cpu");
    std::printf("%-16s %-22s %9s %8s %8s %8s %10s %8s\n", "", "", "", "ms", "ms", "ms", "error ms",
                "of core");
    const PassSpec passes[] = {{"slalom 58 km/h", Event::Slalom, 0},
                               {"jump 48 km/h", Event::Jump, 0}};
    // One pass on the wall clock; the two reference timers after it unless `alone`.
    const auto runPass = [&](const PassSpec& p, const char* label, bool alone) {
        g.run.setEvent(p.event);
        if (p.event == Event::Slalom)
            g.run.setSlalomSpeed(p.speedIndex);
        else
            g.run.setJumpSpeed(p.speedIndex);
        g.run.setDirection(Direction::Toward);
        measure.show();
        QCoreApplication::processEvents();
        // Settle: let the screen paint before the pass starts.
        QEventLoop settle;
        QTimer::singleShot(300, &settle, &QEventLoop::quit);
        settle.exec();

        sampleTimes.clear();
        const double cpu0 = threadCpuSeconds();
        const Steady::time_point t0 = Steady::now();
        if (stallMs > 0)
            QTimer::singleShot(5050, [stallMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
            });
        start->click(); // sample 0 is taken inside, no timer can tick meanwhile
        sampleTimes.push_back(Steady::now());
        while (measure.model().running())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double cpu = threadCpuSeconds() - cpu0;
        const int tenths = g.pass.tenths;
        const int expected = tenths + 1;
        print(p.name, label, expected, figuresOf(t0, sampleTimes, tenths, cpu));
        if (screens.hasResults())
            screens.resultsScreen().hide();
        if (alone)
            return;
        print(p.name, "plain 100 ms QTimer", expected,
              referencePass(tenths, stallMs, Qt::CoarseTimer));
        // The operating system's own wake-up latency, for comparison.
        print(p.name, "precise 100 ms QTimer", expected,
              referencePass(tenths, stallMs, Qt::PreciseTimer));
    };
    for (int r = 0; r < repeats; ++r)
        for (const PassSpec& p : passes)
            runPass(p, "engine (HiResTimer)", false);

    // The slalom pass again with a live picture under the screen, as a camera gives one:
    // through the camera's path (the shared video, the screen, the pass recording), each pass
    // on a source opened afresh. With --record, the same passes again with "Record Live
    // Passes" on: each pass recorded by the real recorder behind the screen.
    if (!liveSpec.isEmpty()) {
        CourseVideo& course = screens.courseVideo();
        auto* toggle = measure.findChild<QAction*>(QStringLiteral("mnuRecordLivePasses"));
        PassRecording* recording = screens.passRecording();
        std::optional<RecordingOutcome> outcome;
        QObject::connect(recording, &PassRecording::recordingFinished,
                         [&](const RecordingOutcome& o) { outcome = o; });
        int frames = 0;
        QObject::connect(&course, &CourseVideo::frameShown, [&] { ++frames; });
        const auto livePasses = [&](const char* label, bool recorded) {
            toggle->setChecked(recorded);
            double seconds = 0.0, cpu = 0.0;
            int framesInPasses = 0, dropped = 0;
            for (int r = 0; r < repeats; ++r) {
                course.choose(VideoChoice::ofCamera(QString::fromLatin1(BenchCameras::kName)));
                if (!waitUntil([&] { return course.source() && course.source()->live(); }, 10000)) {
                    std::printf("%-16s the live picture did not come\n", "live");
                    return std::optional<double>();
                }
                // The seconds before Start Pass that a recording starts with.
                waitUntil([] { return false; }, 2500);
                outcome.reset();
                const Steady::time_point from = Steady::now();
                const double cpu0 = processCpuSeconds();
                const int before = frames;
                runPass(passes[0], label, true);
                seconds += msBetween(from, Steady::now()) / 1e3;
                cpu += processCpuSeconds() - cpu0;
                framesInPasses += frames - before;
                if (recorded) {
                    waitUntil([&] { return outcome.has_value(); }, 10000);
                    if (!outcome)
                        std::printf("%-16s the recording was not finished\n", "");
                    else if (!outcome->recorded)
                        std::printf("%-16s %s\n", "", qPrintable(outcome->message));
                    else
                        std::printf("%-16s recorded %d frames (%d dropped), %.1f MB\n", "",
                                    outcome->frames, outcome->droppedFrames,
                                    double(QFileInfo(outcome->path).size()) / 1e6);
                    if (outcome)
                        dropped += outcome->droppedFrames;
                }
                if (const auto* test = dynamic_cast<const LiveTestSource*>(course.source()))
                    dropped += test->skipped();
                course.choose(VideoChoice::overlayCard());
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            std::printf("%-16s %d frames shown in %.1f s of passes, %d dropped; the program "
                        "used %.0f %% of one core\n",
                        "", framesInPasses, seconds, dropped, cpu / seconds * 100.0);
            return std::optional<double>(cpu / seconds * 100.0);
        };
        const std::optional<double> off = livePasses("live, not recorded", false);
        if (record) {
            if (platform.recorder->state() == RecorderState::Unavailable) {
                std::printf("%-16s %s\n", "recording", qPrintable(platform.recorder->message()));
            } else if (const std::optional<double> on = livePasses("live, recorded", true);
                       on && off) {
                std::printf("%-16s %.0f %% of one core (the program's share with recording on "
                            "less without)\n",
                            "recording cpu", *on - *off);
            }
        }
    }
    if (!video.file.isEmpty())
        for (int r = 0; r < repeats; ++r)
            videoPass(video, screens, measure, g);
    stop = true;
    for (std::thread& t : spinners)
        t.join();
    return 0;
}
