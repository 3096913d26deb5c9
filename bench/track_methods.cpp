// Tracking methods compared on a rendered pass with its truth: each method follows the same
// point from the same frame, and every tracked column is compared with the column where the
// camera model puts the pylon's axis on that frame (the column decides the sample; the row
// of a point above the windshield is not the truth's row on the water). Frames are decoded
// once into memory first, so the times are the matching's alone; decoding is timed apart.
// Then a real run (decoding included) goes on a worker thread while the main thread's event
// loop runs a 10 ms timer: how late it fires is how long a click would wait.
//
//   build/bench/track_methods [VIDEO TRUTH.csv SETUP.ipt START_S U,V]
// Without arguments: the sample pass (the boat coming toward the camera at 58 km/h, its
// first frame at 1.000 s, the pylon just above the windshield). A 1920x1080 render of the
// same pass (tools/render_pass_video --size 1920x1080) is measured with its own truth, the
// point given in its own pixels; the setup's marks are scaled to it as the renderer scales
// the camera (resources/camera/README.md).

#include "calibration/setup_file.h"
#include "measure/measure_tables.h"
#include "platform/gst/gst_frame_reader.h"
#include "tracking/tracking_engine.h"
#include "tracking/tracking_job.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace {

class MemoryFrames : public FrameReader
{
public:
    explicit MemoryFrames(const std::vector<GreyFrame>& frames) : frames(frames) {}
    std::optional<GreyFrame> next() override
    {
        if (at >= frames.size())
            return std::nullopt;
        return frames[at++];
    }
    QString error() const override { return {}; }

private:
    const std::vector<GreyFrame>& frames;
    size_t at = 0;
};

std::map<qint64, double> truthColumns(const QString& path)
{
    std::map<qint64, double> columns;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return columns;
    f.readLine();
    while (!f.atEnd()) {
        const QList<QByteArray> v = f.readLine().trimmed().split(',');
        if (v.size() >= 6)
            columns[v[1].toLongLong() * 1000] = v[4].toDouble();
    }
    return columns;
}

double quantile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[size_t(std::lround(q * double(v.size() - 1)))];
}

const char* endName(TrackingOutcome::End e)
{
    switch (e) {
    case TrackingOutcome::End::Complete:
        return "complete";
    case TrackingOutcome::End::Stopped:
        return "stopped";
    case TrackingOutcome::End::VideoEnded:
        return "video ended";
    case TrackingOutcome::End::Failed:
        return "failed";
    case TrackingOutcome::End::Cancelled:
        return "cancelled";
    }
    return "?";
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        const QString videos = QStringLiteral(WAKELINE_SOURCE_DIR "/resources/program/videos/");
        args = {videos + QStringLiteral("slalom_pass_58kmh.webm"),
                videos + QStringLiteral("slalom_pass_58kmh_truth.csv"),
                QStringLiteral(WAKELINE_SOURCE_DIR "/resources/program/SlalomOK.ipt"),
                QStringLiteral("1.0"), QStringLiteral("433.309,30")};
    }
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: track_methods [VIDEO TRUTH.csv SETUP.ipt START_S U,V]\n");
        return 2;
    }
    const auto columns = truthColumns(args[1]);
    const SetupFileRead setup = readSetupFile(args[2]);
    const QStringList at = args[4].split(QLatin1Char(','));
    if (columns.empty() || !setup.data || at.size() != 2) {
        std::fprintf(stderr, "track_methods: cannot read the truth, the setup or the point\n");
        return 2;
    }

    QString error;
    QElapsedTimer clock;
    clock.start();
    std::vector<GreyFrame> frames;
    {
        const auto reader = openGstFrameReader(args[0], &error);
        if (!reader) {
            std::fprintf(stderr, "track_methods: %s\n", qPrintable(error));
            return 2;
        }
        while (auto f = reader->next())
            frames.push_back(std::move(*f));
    }
    const double decodeMs = double(clock.nsecsElapsed()) / 1e6;
    if (frames.empty())
        return 2;
    std::printf("%s: %zu frames of %d x %d, decoded in %.1f ms (%.2f ms a frame)\n",
                qPrintable(args[0]), frames.size(), frames[0].width, frames[0].height, decodeMs,
                decodeMs / double(frames.size()));

    TrackingRequest request;
    request.base.videoFile = args[0];
    request.base.pass.event = Event::Slalom;
    request.base.pass.direction = Direction::Toward;
    request.base.pass.speedKmh = 58;
    request.base.pass.passTenths = *passTenthsFor(Event::Slalom, 0);
    request.fromUs = std::llround(args[3].toDouble() * 1e6);
    request.points = {{request.fromUs, at[0].toDouble(), at[1].toDouble()}};
    request.transform = setup.data->transform;
    // A setup marked on the standard 1024 x 768 picture, for a render of another size: its
    // marks scaled about the centre as the renderer scales the camera.
    if (frames[0].width != 1024 || frames[0].height != 768) {
        const double scale = std::min(frames[0].width / 1024.0, frames[0].height / 768.0);
        std::array<ReferencePoint, 4> marks = setup.data->points;
        for (ReferencePoint& m : marks)
            m.screen = {15.0 * (frames[0].width / 2.0 + scale * (m.screen.x / 15.0 - 512.0)),
                        15.0 * (frames[0].height / 2.0 + scale * (m.screen.y / 15.0 - 384.0))};
        request.transform = *solveCourseTransform(marks);
        std::printf("setup marks scaled by %.5f about the picture's centre\n", scale);
    }

    std::printf("%-12s %-9s %6s %7s %7s %7s %9s %9s\n", "method", "end", "frames", "median", "p95",
                "max", "lowest-c", "ms/frame");
    for (const auto& [name, method] : {std::pair{"ncc", TrackingMethod::TemplateNcc},
                                       std::pair{"lucas-kanade", TrackingMethod::LucasKanade}}) {
        request.settings.method = method;
        MemoryFrames memory(frames);
        const std::atomic<bool> never{false};
        clock.restart();
        const TrackingOutcome out = trackPoint(request, memory, never);
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        std::vector<double> errors;
        double lowest = 1.0;
        for (const TrackPoint& p : out.track.frames)
            if (const auto c = columns.find(p.startUs); c != columns.end() && !p.operatorSet) {
                errors.push_back(std::fabs(p.u - c->second));
                lowest = std::min(lowest, p.confidence);
            }
        const size_t n = out.track.frames.size();
        std::printf("%-12s %-9s %6zu %7.3f %7.3f %7.3f %9.3f %9.3f\n", name, endName(out.end), n,
                    quantile(errors, 0.5), quantile(errors, 0.95), quantile(errors, 1.0), lowest,
                    n ? ms / double(n) : 0.0);
        if (out.end == TrackingOutcome::End::Stopped)
            std::printf("  stopped at %.3f s: %s (confidence %.3f)\n",
                        double(out.track.frames.back().startUs) / 1e6,
                        qPrintable(trackStopReason(out.track.frames.back().stop)),
                        out.track.frames.back().confidence);
    }

    // The engine on a worker with real decoding, the event loop beside it.
    request.settings = {};
    qint64 worstLateMs = 0;
    int ticks = 0;
    QElapsedTimer since;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (since.isValid())
            worstLateMs = std::max(worstLateMs, since.elapsed() - 10);
        ++ticks;
        since.restart();
    });
    std::atomic<bool> finished{false};
    clock.restart();
    TrackingJob job(request, gstFrameReaderOpener(args[0]), [&] { finished.store(true); });
    tick.start();
    while (!finished.load())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const TrackingOutcome out = job.outcome();
    std::printf("worker run with decoding: %s, %zu frames in %.0f ms; the main thread's 10 ms "
                "timer fired %d times, at most %lld ms late\n",
                endName(out.end), out.track.frames.size(), double(clock.nsecsElapsed()) / 1e6,
                ticks, worstLateMs);
    return 0;
}
