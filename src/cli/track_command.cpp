// wakeline-cli track: measures a pass on a video file by following the operator's point on
// the boat, frame by frame, and reading every sample from the track.

#include "cli/commands.h"
#include "cli/setup_commands.h"
#include "measure/measure_tables.h"
#include "platform/gst/gst_frame_reader.h"
#include "results/pass_report.h"
#include "results/results_file.h"
#include "tracking/track_file.h"
#include "tracking/track_samples.h"
#include "tracking/tracking_engine.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

struct TrackArgs
{
    QString video;
    QString setup;
    std::optional<double> startS;
    std::optional<Point2> at;
    Event event = Event::Slalom;
    Direction direction = Direction::Toward;
    std::optional<int> speedKmh;
    bool csv = false;
    QString resultsPath;
    QString trackPath;
    QString loadPath;
    QDateTime now = QDateTime::currentDateTime();
    std::vector<OperatorPoint> fixes;
    bool passGiven = false; // --event, --speed or --direction
};

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double v = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// "U,V" in picture pixels.
std::optional<Point2> picturePoint(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return std::nullopt;
    const auto u = number(parts[0]);
    const auto v = number(parts[1]);
    if (!u || !v || std::fabs(*u) > 1e6 || std::fabs(*v) > 1e6)
        return std::nullopt;
    return Point2{*u, *v};
}

qint64 microseconds(double seconds)
{
    return std::llround(seconds * 1e6);
}

std::optional<QString> parse(const QStringList& args, TrackArgs& out)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool takesValue = a == QLatin1String("--setup") || a == QLatin1String("--start") ||
                                a == QLatin1String("--at") || a == QLatin1String("--speed") ||
                                a == QLatin1String("--direction") ||
                                a == QLatin1String("--event") || a == QLatin1String("--results") ||
                                a == QLatin1String("--track") || a == QLatin1String("--fix");
        if (takesValue && (i + 1 >= args.size() || args[i + 1].isEmpty()))
            return QStringLiteral("track: %1 needs a value").arg(a);
        if (a == QLatin1String("--speed") || a == QLatin1String("--direction") ||
            a == QLatin1String("--event"))
            out.passGiven = true;
        if (a == QLatin1String("--setup")) {
            out.setup = args[++i];
        } else if (a == QLatin1String("--start")) {
            out.startS = number(args[++i]);
            if (!out.startS || *out.startS < 0.0 || *out.startS > 1e6)
                return QStringLiteral("track: --start \"%1\" is not a media time in seconds")
                    .arg(args[i]);
        } else if (a == QLatin1String("--at")) {
            out.at = picturePoint(args[++i]);
            if (!out.at)
                return QStringLiteral("track: --at \"%1\" is not a picture point U,V").arg(args[i]);
        } else if (a == QLatin1String("--speed")) {
            const auto v = number(args[++i]);
            if (!v || *v != std::floor(*v) || *v < 1 || *v > 200)
                return QStringLiteral("track: --speed \"%1\" is not a speed in km/h").arg(args[i]);
            out.speedKmh = int(*v);
        } else if (a == QLatin1String("--direction")) {
            const QString d = args[++i];
            if (d == QLatin1String("toward"))
                out.direction = Direction::Toward;
            else if (d == QLatin1String("away"))
                out.direction = Direction::Away;
            else
                return QStringLiteral("track: --direction \"%1\" is not toward or away").arg(d);
        } else if (a == QLatin1String("--event")) {
            const QString e = args[++i];
            if (e == QLatin1String("slalom"))
                out.event = Event::Slalom;
            else if (e == QLatin1String("jump"))
                out.event = Event::Jump;
            else
                return QStringLiteral("track: --event \"%1\" is not slalom or jump").arg(e);
        } else if (a == QLatin1String("--load")) {
            out.loadPath = args[++i];
        } else if (a == QLatin1String("--now")) {
            out.now = QDateTime::fromString(args[++i], Qt::ISODate);
            if (!out.now.isValid())
                return QStringLiteral("track: --now \"%1\" is not a date and time "
                                      "YYYY-MM-DDTHH:MM:SS")
                    .arg(args[i]);
        } else if (a == QLatin1String("--csv")) {
            out.csv = true;
        } else if (a == QLatin1String("--results")) {
            out.resultsPath = args[++i];
        } else if (a == QLatin1String("--track")) {
            out.trackPath = args[++i];
        } else if (a == QLatin1String("--fix")) {
            const QString fix = args[++i];
            const qsizetype eq = fix.indexOf(QLatin1Char('='));
            const auto time = number(fix.left(eq));
            const auto point = picturePoint(fix.mid(eq + 1));
            if (eq < 0 || !time || *time < 0.0 || *time > 1e6 || !point)
                return QStringLiteral("track: --fix \"%1\" is not TIME=U,V").arg(fix);
            out.fixes.push_back({microseconds(*time), point->x, point->y});
        } else if (a.startsWith(QLatin1String("--"))) {
            return QStringLiteral("track: unknown option \"%1\"").arg(a);
        } else if (out.video.isEmpty()) {
            out.video = a;
        } else {
            return QStringLiteral("track: one video only (\"%1\" is extra)").arg(a);
        }
    }
    if (out.video.isEmpty())
        return QStringLiteral("track: no video given");
    if (out.setup.isEmpty())
        return QStringLiteral("track: --setup FILE.ipt is needed (the calibration)");
    if (!out.loadPath.isEmpty()) {
        if (out.startS || out.at || out.passGiven)
            return QStringLiteral("track: with --load the pass and its first point come from the "
                                  "track file (no --start, --at, --event, --speed, --direction)");
        return std::nullopt;
    }
    if (!out.startS)
        return QStringLiteral("track: --start SECONDS is needed (the pass's first frame)");
    if (!out.at)
        return QStringLiteral("track: --at U,V is needed (the point on the first frame)");
    return std::nullopt;
}

// The speed choice's index for the event; none when the event has no such speed.
std::optional<int> speedIndex(Event event, int kmh)
{
    if (event == Event::Slalom) {
        for (size_t i = 0; i < kSlalomSpeeds.size(); ++i)
            if (kSlalomSpeeds[i].kmh == kmh)
                return int(i);
        return std::nullopt;
    }
    for (size_t i = 0; i < kJumpSpeeds.size(); ++i)
        if (kJumpSpeeds[i].kmh == kmh)
            return int(i);
    return std::nullopt;
}

QString speedList(Event event)
{
    QStringList list;
    if (event == Event::Slalom)
        for (const SpeedChoice& s : kSlalomSpeeds)
            list << QString::number(s.kmh);
    else
        for (const SpeedChoice& s : kJumpSpeeds)
            list << QString::number(s.kmh);
    return list.join(QStringLiteral(", "));
}

QString seconds(qint64 us)
{
    return QString::number(double(us) / 1e6, 'f', 3);
}

void printCsv(const TrackSamples& samples, QTextStream& out)
{
    out << "sample,media_time_s,u,v,course_x_m,course_y_m,deviation_m,confidence,set_by\n";
    for (const TrackSample& s : samples.samples) {
        const TrackPoint& f = *s.frame;
        out << s.index << ',' << QString::number(double(f.startUs) / 1e6, 'f', 6) << ','
            << QString::number(f.u, 'f', 3) << ',' << QString::number(f.v, 'f', 3) << ','
            << (s.course ? QString::number(s.course->x, 'f', 4) : QString()) << ','
            << (s.course ? QString::number(s.course->y, 'f', 4) : QString()) << ','
            << QString::number(s.deviation, 'f', 2) << ',' << QString::number(f.confidence, 'f', 3)
            << ',' << (f.operatorSet ? "operator" : "track") << '\n';
    }
}

// The request for a new track from the arguments; none, with the message written, when the
// speed is not one of the event's.
std::optional<TrackingRequest> newTrack(const TrackArgs& a, CliStreams& io)
{
    const int kmh =
        a.speedKmh.value_or(a.event == Event::Slalom ? kSlalomSpeeds[kDefaultSlalomSpeed].kmh
                                                     : kJumpSpeeds[kDefaultJumpSpeed].kmh);
    const auto speed = speedIndex(a.event, kmh);
    if (!speed) {
        io.err << "track: --speed " << kmh << " is not a "
               << (a.event == Event::Slalom ? "slalom" : "jump") << " speed (" << speedList(a.event)
               << ")\n";
        return std::nullopt;
    }
    TrackingRequest request;
    request.base.videoFile = QFileInfo(a.video).fileName();
    request.base.setupFile = QFileInfo(a.setup).fileName();
    request.base.pass.event = a.event;
    request.base.pass.direction = a.direction;
    request.base.pass.speedKmh = kmh;
    request.base.pass.passTenths = *passTenthsFor(a.event, *speed);
    request.fromUs = microseconds(*a.startS);
    request.points.push_back({request.fromUs, a.at->x, a.at->y});
    request.points.insert(request.points.end(), a.fixes.begin(), a.fixes.end());
    return request;
}

// A saved track: measured as it is, or, with --fix, tracked again from the earliest point
// given (the frames before it kept). None, with the message written, when it cannot be used.
std::optional<TrackingRequest> loadedTrack(const TrackArgs& a, CliStreams& io)
{
    const TrackFileRead read = readTrackFile(a.loadPath);
    const QString shown = QDir::toNativeSeparators(a.loadPath);
    if (!read.track) {
        io.err << "track: " << shown << ", " << read.problem() << "\n";
        return std::nullopt;
    }
    if (read.track->videoFile != QFileInfo(a.video).fileName()) {
        io.err << "track: " << shown << " was made on the video \"" << read.track->videoFile
               << "\", not on \"" << QFileInfo(a.video).fileName() << "\"\n";
        return std::nullopt;
    }
    const TrackedPass& pass = read.track->pass;
    const auto speed = speedIndex(pass.event, pass.speedKmh);
    if (!speed || passTenthsFor(pass.event, *speed) != pass.passTenths) {
        io.err << "track: " << shown << ": " << pass.speedKmh << " km/h and " << pass.passTenths
               << " tenths are no pass of the event\n";
        return std::nullopt;
    }
    TrackingRequest request;
    request.base = *read.track;
    request.points = a.fixes;
    std::sort(request.points.begin(), request.points.end(),
              [](const OperatorPoint& x, const OperatorPoint& y) { return x.atUs < y.atUs; });
    if (!request.points.empty())
        request.fromUs = request.points.front().atUs;
    return request;
}

int speedIndexOf(const TrackedPass& pass)
{
    return speedIndex(pass.event, pass.speedKmh).value_or(0);
}

} // namespace

int runTrack(const QStringList& args, CliStreams& io)
{
    TrackArgs a;
    if (const auto problem = parse(args, a)) {
        io.err << *problem << "\n";
        return 2;
    }
    // The track goes beside the results (pass.txt: pass.track.txt) unless told otherwise.
    if (a.trackPath.isEmpty() && !a.resultsPath.isEmpty()) {
        const QFileInfo results(a.resultsPath);
        a.trackPath = results.dir().filePath(results.completeBaseName() + kTrackFileSuffix);
    }
    const bool loading = !a.loadPath.isEmpty();
    std::optional<TrackingRequest> request = loading ? loadedTrack(a, io) : newTrack(a, io);
    if (!request)
        return 2;
    const auto setup = readSetupOrReport(a.setup, io);
    if (!setup)
        return 2;
    request->transform = setup->transform;

    QString error;
    const std::unique_ptr<FrameReader> frames =
        openGstFrameReader(a.video, &error, request->fromUs);
    if (!frames) {
        io.err << "track: " << error << "\n";
        return 2;
    }
    using End = TrackingOutcome::End;
    TrackingOutcome outcome;
    if (loading && request->points.empty()) {
        // Measured as saved: a track that stops or falls short is reported as tracking would.
        outcome.track = request->base;
        const std::vector<TrackPoint>& f = outcome.track.frames;
        const qint64 lastInstant = outcome.track.pass.lastInstantUs();
        const bool reaches =
            !f.empty() && (f.back().holds(lastInstant) || f.back().startUs > lastInstant);
        outcome.end = outcome.track.stopFrame() ? End::Stopped
                      : reaches                 ? End::Complete
                                                : End::VideoEnded;
    } else {
        const std::atomic<bool> never{false};
        outcome = trackPoint(*request, *frames, never);
    }
    if (outcome.end == End::Failed) {
        io.err << "track: " << outcome.message << "\n";
        return 2;
    }
    if (!a.trackPath.isEmpty()) {
        if (const WriteResult w = writeTrackFile(a.trackPath, outcome.track); !w) {
            io.err << "track: " << w.message << "\n";
            return 1;
        }
    }
    const Track& track = outcome.track;
    if (outcome.end == End::VideoEnded) {
        const qint64 endUs =
            track.frames.empty() ? 0 : track.frames.back().startUs + track.frames.back().durationUs;
        if (loading && request->points.empty())
            io.err << "track: the track ends at " << seconds(endUs)
                   << " s, before the pass's last sample at " << seconds(track.pass.lastInstantUs())
                   << " s\n";
        else
            io.err << "track: the video ends at " << seconds(endUs)
                   << " s, before the pass's last sample at " << seconds(track.pass.lastInstantUs())
                   << " s: start on an earlier frame\n";
        return loading ? 3 : 2;
    }
    if (outcome.end == End::Stopped) {
        const TrackPoint& f = track.frames.back();
        const QString at = QString::number(double(f.startUs) / 1e6, 'f', 6);
        io.err << "track: stopped on ";
        if (outcome.stopFrameNumber >= 0)
            io.err << "frame " << outcome.stopFrameNumber << " at ";
        io.err << "media time " << at << " s: " << trackStopReason(f.stop) << " (confidence "
               << QString::number(f.confidence, 'f', 3) << "); give the point there with --fix "
               << at << "=U,V\n";
        return 3;
    }

    const TrackSamples samples = samplesFromTrack(track, setup->transform);
    if (!samples.complete()) {
        // A saved track with a gap: the frames holding some samples were never tracked.
        io.err << "track: no tracked frame holds sample " << samples.firstMissing << " at "
               << seconds(track.pass.startUs + qint64(samples.firstMissing) * 100000)
               << " s; give the point there with --fix\n";
        return 3;
    }
    RunInfo run;
    run.event = track.pass.event;
    run.direction = track.pass.direction;
    (run.event == Event::Slalom ? run.slalomSpeed : run.jumpSpeed) = speedIndexOf(track.pass);
    const PassAnalysis analysis =
        analysePass(run, samples.passSamples(), track.pass.passTenths, a.now);
    if (!a.resultsPath.isEmpty()) {
        if (const WriteResult w = replaceFile(a.resultsPath, savedResultsText(analysis.report));
            !w) {
            io.err << "track: " << w.message << "\n";
            return 1;
        }
    }
    if (a.csv)
        printCsv(samples, io.out);
    else
        io.out << analysis.report;
    return 0;
}
