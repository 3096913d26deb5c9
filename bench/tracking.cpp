// The tracking benchmark: the engine on the rendered test passes against their ground truth.
//
//   build/bench/tracking [--frames N] [--only NAME,...] [--method ncc|lk|both] [--csv FILE]
//
// Renders the passes into build/bench/passes first (the renderer keeps what it rendered
// before), then on each pass and with each method follows the operator's point from the pass's
// first frame, giving the point again wherever the engine stops, and reports per pass and
// method: column error (px) and deviation error (m) as median, p95 and max, the stops, the
// frames over 2 px the engine did not flag, the matching's milliseconds a frame on one core,
// decoding apart, and the whole pass; beside them two hand-held references (neither a
// measurement), and at the end the goals beside the figures. --frames N follows only the
// first N frames of each pass; --csv FILE also writes the figures one line per pass and row,
// --frames-csv FILE every tracked frame beside its truth.

#include "platform/gst/gst_frame_reader.h"
#include "tracking_bench/bench_pass.h"
#include "tracking_bench/engine_run.h"
#include "tracking_bench/figures.h"
#include "tracking_bench/hand_line.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <clocale>
#include <cstdio>
#include <sched.h>

namespace {

const char* kUsage = "usage: tracking [--frames N] [--only NAME,...] [--method ncc|lk|both] "
                     "[--csv FILE] [--frames-csv FILE]\n";

struct Options
{
    int frames = 0;
    QStringList only;
    std::vector<TrackingMethod> methods{TrackingMethod::TemplateNcc, TrackingMethod::LucasKanade};
    QString csv;
    QString framesCsv;
};

std::optional<Options> parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (i + 1 >= args.size())
            return std::nullopt;
        const QString value = args[++i];
        if (a == QLatin1String("--frames")) {
            bool ok = false;
            o.frames = value.toInt(&ok);
            if (!ok || o.frames < 1)
                return std::nullopt;
        } else if (a == QLatin1String("--only")) {
            o.only = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
        } else if (a == QLatin1String("--method")) {
            if (value == QLatin1String("ncc"))
                o.methods = {TrackingMethod::TemplateNcc};
            else if (value == QLatin1String("lk"))
                o.methods = {TrackingMethod::LucasKanade};
            else if (value != QLatin1String("both"))
                return std::nullopt;
        } else if (a == QLatin1String("--csv")) {
            o.csv = value;
        } else if (a == QLatin1String("--frames-csv")) {
            o.framesCsv = value;
        } else {
            return std::nullopt;
        }
    }
    return o;
}

// Spray this opaque over the pylon is named beside a stop.
constexpr double kSprayShown = 0.1;

const char* methodName(TrackingMethod m)
{
    return m == TrackingMethod::TemplateNcc ? "ncc" : "lk";
}

const char* stopCode(TrackStop s)
{
    switch (s) {
    case TrackStop::LowConfidence:
        return "confidence";
    case TrackStop::Sideways:
        return "sideways";
    case TrackStop::LeftPicture:
        return "edge";
    case TrackStop::AlongCourse:
        return "pace";
    case TrackStop::None:
        break;
    }
    return "-";
}

// Everything on one processor, before any thread starts: GStreamer's threads inherit it.
int pinToOneCore()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return -1;
    int cpu = -1;
    for (int c = 0; c < CPU_SETSIZE; ++c)
        if (CPU_ISSET(c, &allowed))
            cpu = c;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    return sched_setaffinity(0, sizeof one, &one) == 0 ? cpu : -1;
}

bool renderPasses(const QString& folder, const QStringList& only)
{
    QStringList args{QStringLiteral(WAKELINE_SOURCE_DIR "/resources/camera/standard_camera.json"),
                     folder};
    if (!only.isEmpty())
        args << QStringLiteral("--only") << only.join(QLatin1Char(','));
    QProcess render;
    render.setProcessChannelMode(QProcess::ForwardedChannels);
    render.start(QStringLiteral(WAKELINE_BINARY_DIR "/tools/wakeline-render-pass-scenarios"), args);
    if (!render.waitForStarted()) {
        std::fprintf(stderr, "tracking: the pass renderer cannot be started: %s\n",
                     qPrintable(render.errorString()));
        return false;
    }
    render.waitForFinished(-1);
    return render.exitStatus() == QProcess::NormalExit && render.exitCode() == 0;
}

// One row of a pass's table.
struct Row
{
    QString label;
    TrackFigures figures;
    int stops = -1;          // -1: not the engine's
    double matchMedian = -1; // ms a frame
    double matchP95 = -1;
    double decodeMs = -1; // ms a frame
    double passS = -1;
    QString end;
};

QString cell(double v, int decimals, int width)
{
    return (v < 0 ? QStringLiteral("-") : QString::number(v, 'f', decimals)).rightJustified(width);
}

void printRow(const Row& r)
{
    const TrackFigures& f = r.figures;
    std::printf("  %-30s %5s %6s %6s %6s  %6s %6s %6s %6s %7s %7s %7s %7s\n", qPrintable(r.label),
                qPrintable(cell(r.stops, 0, 5)), qPrintable(cell(f.pixels.median, 3, 6)),
                qPrintable(cell(f.pixels.p95, 3, 6)), qPrintable(cell(f.pixels.max, 3, 6)),
                qPrintable(cell(f.metres.median, 3, 6)), qPrintable(cell(f.metres.p95, 3, 6)),
                qPrintable(cell(f.metres.max, 3, 6)),
                qPrintable(r.stops < 0 ? QStringLiteral("-") : QString::number(f.overTwoPixels)),
                qPrintable(cell(r.matchMedian, 2, 7)), qPrintable(cell(r.matchP95, 2, 7)),
                qPrintable(cell(r.decodeMs, 2, 7)), qPrintable(cell(r.passS, 1, 7)));
}

QString csvRow(const BenchPass& p, const Row& r)
{
    const TrackFigures& f = r.figures;
    QStringList v{p.name,
                  r.label,
                  QString::number(r.stops),
                  QString::number(f.pixels.count),
                  QString::number(f.pixels.median, 'f', 4),
                  QString::number(f.pixels.p95, 'f', 4),
                  QString::number(f.pixels.max, 'f', 4),
                  QString::number(f.samples),
                  QString::number(f.metres.median, 'f', 4),
                  QString::number(f.metres.p95, 'f', 4),
                  QString::number(f.metres.max, 'f', 4),
                  r.stops < 0 ? QString() : QString::number(f.overTwoPixels),
                  QString::number(r.matchMedian, 'f', 3),
                  QString::number(r.matchP95, 'f', 3),
                  QString::number(r.decodeMs, 'f', 3),
                  QString::number(r.passS, 'f', 2)};
    return v.join(QLatin1Char(',')) + QLatin1Char('\n');
}

// A goal and whether the figure meets it.
struct Goal
{
    QString pass;
    QString method;
    QString goal;
    QString figure;
    bool met;
};

void addGoals(std::vector<Goal>& goals, const BenchPass& p, const Row& r, bool wholePass)
{
    const auto add = [&](const QString& goal, const QString& figure, bool met) {
        goals.push_back({p.name, r.label, goal, figure, met});
    };
    if (!p.hard) {
        add(QStringLiteral("no stop"), QString::number(r.stops), r.stops == 0);
        add(QStringLiteral("median <= 0.3 px"), QString::number(r.figures.pixels.median, 'f', 3),
            r.figures.pixels.median <= 0.3);
        add(QStringLiteral("max <= 1 px"), QString::number(r.figures.pixels.max, 'f', 3),
            r.figures.pixels.max <= 1.0);
    } else {
        add(QStringLiteral("every frame over 2 px flagged"),
            QStringLiteral("%1 not flagged").arg(r.figures.overTwoPixels),
            r.figures.overTwoPixels == 0);
    }
    if (p.width >= 1920)
        add(QStringLiteral("<= 5 ms a 1080p frame (median)"),
            QString::number(r.matchMedian, 'f', 2), r.matchMedian <= 5.0);
    if (!wholePass)
        add(QStringLiteral("the pass followed to its last sample"), r.end, false);
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit())
        return true;
    std::fprintf(stderr, "tracking: %s cannot be written: %s\n", qPrintable(path),
                 qPrintable(f.errorString()));
    return false;
}

QByteArray frameRows(const BenchPass& p, const char* method, const Track& track)
{
    QByteArray out;
    for (const TrackPoint& f : track.frames) {
        const TruthFrame* t = p.frameAt(f.startUs);
        if (!t)
            continue;
        const Point2 truth = p.followedPoint(*t);
        out += QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11\n")
                   .arg(p.name, QLatin1String(method))
                   .arg(t->frame)
                   .arg(f.startUs)
                   .arg(f.u, 0, 'f', 3)
                   .arg(f.v, 0, 'f', 3)
                   .arg(truth.x, 0, 'f', 3)
                   .arg(truth.y, 0, 'f', 3)
                   .arg(f.confidence, 0, 'f', 3)
                   .arg(f.operatorSet ? QStringLiteral("operator") : QStringLiteral("track"))
                   .arg(trackStopCode(f.stop))
                   .toUtf8();
    }
    return out;
}

} // namespace

int main(int argc, char* argv[])
{
    const int cpu = pinToOneCore();
    QCoreApplication app(argc, argv);
    // The core application takes the system's locale: numbers are printed with a point.
    std::setlocale(LC_NUMERIC, "C");
    const std::optional<Options> options = parse(app.arguments().mid(1));
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString folder = QStringLiteral(WAKELINE_BINARY_DIR "/bench/passes");
    if (!renderPasses(folder, options->only)) {
        std::fprintf(stderr, "tracking: the passes could not be rendered into %s\n",
                     qPrintable(folder));
        return 1;
    }
    const std::vector<BenchPassRead> passes = readBenchPasses(folder, options->only);
    if (cpu >= 0)
        std::printf("\nEverything runs on processor %d (sched_setaffinity before any thread "
                    "started: the decoder's threads share it).\n",
                    cpu);
    else
        std::printf("\nNot pinned to one processor (sched_setaffinity failed): the figures may "
                    "use two.\n");
    std::printf(
        "Times are processor time: match = the engine's thread per frame (median, p95), decode "
        "= every other thread and the copy out of the decoder per frame decoded, pass = the "
        "whole run by the wall clock, decoding and matching together.\n"
        "px: |tracked column - truth column of the followed point| on the frames the engine "
        "set; m: |deviation - (pylon's course x - 1.25)| on every sample, the truth of the frame "
        "it is read on. >2px: frames over 2 px the engine did not flag (a frame it stopped on "
        "is flagged; the operator's point replaces it).\n"
        "Hand-held references are not measurements: 'best hand' puts the line on the truth "
        "column rounded to a whole picture pixel (the arrow key's step, or the pointer on a "
        "picture at full size) on every frame; 'operator model' follows the truth %g ms late "
        "with a %g px RMS tremor (correlated over %g ms, seed %u), on whole pixels.\n",
        OperatorModel{}.lagS * 1e3, OperatorModel{}.tremorPx, OperatorModel{}.tremorCorrelS * 1e3,
        OperatorModel{}.seed);

    QByteArray csv = "pass,row,stops,frames,px_median,px_p95,px_max,samples,m_median,m_p95,m_max,"
                     "over_2px_unflagged,match_ms_median,match_ms_p95,decode_ms_per_frame,"
                     "pass_s\n";
    QByteArray framesCsv = "pass,method,frame,time_us,u,v,truth_u,truth_v,confidence,set_by,stop\n";
    std::vector<Goal> goals;
    int failures = 0;
    for (const BenchPassRead& read : passes) {
        if (!read.pass) {
            std::printf("\n%s\n", qPrintable(read.problem));
            ++failures;
            continue;
        }
        const BenchPass& p = *read.pass;
        const TrackedPass tracked = *p.trackedPass();
        const TruthFrame& first = *p.frameAt(tracked.startUs);
        std::printf("\n%s: %dx%d, %s fps, %s, %s; %g km/h %s; %s\n", qPrintable(p.name), p.width,
                    p.height, qPrintable(p.frameRate), qPrintable(p.codec),
                    p.hard ? "hard" : "clean", p.speedKmh,
                    p.direction == Direction::Toward ? "toward the camera" : "away",
                    qPrintable(followedPointName(p.followed())));
        std::printf("  from frame %d (%.3f s) at (%.3f, %.3f), %d samples\n", first.frame,
                    double(first.timeUs) / 1e6, p.followedPoint(first).x, p.followedPoint(first).y,
                    tracked.passTenths + 1);
        std::printf("  %-30s %5s %6s %6s %6s  %6s %6s %6s %6s %7s %7s %7s %7s\n", "", "stops",
                    "px med", "p95", "max", "m med", "p95", "max", ">2px", "match", "p95", "decode",
                    "pass s");
        qint64 lastFrameUs = tracked.startUs;
        int samples = tracked.passTenths + 1;
        for (TrackingMethod method : options->methods) {
            const EngineRun run =
                runEngine(p, method, options->frames, gstFrameReaderOpener(p.videoPath));
            Row r;
            r.label = QStringLiteral("engine %1").arg(QLatin1String(methodName(method)));
            if (run.end == TrackingOutcome::End::Failed) {
                std::printf("  %-30s failed: %s\n", qPrintable(r.label), qPrintable(run.message));
                ++failures;
                continue;
            }
            r.figures = trackFigures(p, run.track, false);
            r.stops = int(run.stops.size());
            const Spread match = spreadOf(run.matchMs);
            r.matchMedian = match.median;
            r.matchP95 = match.p95;
            r.decodeMs = run.framesDecoded ? run.decodeMs / run.framesDecoded : 0.0;
            r.passS = run.wallMs / 1e3;
            const bool whole = run.end == TrackingOutcome::End::Complete;
            r.end = whole ? QStringLiteral("complete") : run.message;
            if (!run.track.frames.empty())
                lastFrameUs = std::max(lastFrameUs, run.track.frames.back().startUs);
            samples = std::min(samples, r.figures.samples);
            printRow(r);
            if (!run.stops.empty()) {
                QStringList list;
                int sprayed = 0;
                for (const EngineStop& s : run.stops) {
                    if (s.sprayCover >= kSprayShown)
                        ++sprayed;
                    list << QStringLiteral("%1 %2 %3 (%4 px%5)")
                                .arg(s.frame)
                                .arg(QLatin1String(stopCode(s.why)))
                                .arg(s.confidence, 0, 'f', 2)
                                .arg(s.error, 0, 'f', 1)
                                .arg(s.sprayCover >= kSprayShown
                                         ? QStringLiteral(", spray %1").arg(s.sprayCover, 0, 'f', 2)
                                         : QString());
                }
                std::printf("    stops, %d of them where spray covers the pylon a tenth or more "
                            "(frame, why, confidence, the engine's guess off the truth):\n    %s\n",
                            sprayed, qPrintable(list.join(QStringLiteral(", "))));
            }
            if (!whole && options->frames == 0)
                std::printf("    did not reach the last sample: %s\n", qPrintable(run.message));
            csv += csvRow(p, r).toUtf8();
            framesCsv += frameRows(p, methodName(method), run.track);
            addGoals(goals, p, r, whole || options->frames > 0);
        }
        for (const auto& [label, track] :
             {std::pair{QStringLiteral("best hand (reference)"),
                        bestHandTrack(p, tracked, lastFrameUs)},
              std::pair{QStringLiteral("operator model (reference)"),
                        modelledOperatorTrack(p, tracked, lastFrameUs, OperatorModel{})}}) {
            Row r;
            r.label = label;
            r.figures = trackFigures(p, track, true);
            printRow(r);
            csv += csvRow(p, r).toUtf8();
        }
        std::printf("  reading a sample on its frame rather than at its instant moves the pylon "
                    "up to %.3f m across the course (in no figure above)\n",
                    frameTimingSpread(p, tracked, samples));
        std::fflush(stdout);
    }

    std::printf("\nGoals\n  %-36s %-12s %-32s %-28s %s\n", "pass", "method", "goal", "figure", "");
    for (const Goal& g : goals)
        std::printf("  %-36s %-12s %-32s %-28s %s\n", qPrintable(g.pass), qPrintable(g.method),
                    qPrintable(g.goal), qPrintable(g.figure), g.met ? "met" : "NOT MET");
    if (!options->csv.isEmpty() && !writeFile(options->csv, csv))
        return 1;
    if (!options->framesCsv.isEmpty() && !writeFile(options->framesCsv, framesCsv))
        return 1;
    return failures ? 1 : 0;
}
