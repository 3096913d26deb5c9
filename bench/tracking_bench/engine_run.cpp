#include "tracking_bench/engine_run.h"

#include <QElapsedTimer>
#include <cmath>
#include <ctime>

namespace {

double cpuMs(clockid_t clock)
{
    timespec t{};
    clock_gettime(clock, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// The decoder's frames, timed: the engine's thread's processor time between handing out a
// frame and being asked for the next is that frame's matching. The frame handed out last can
// be handed out again (the engine stopped on it and starts again there).
class TimedFrames : public FrameReader
{
public:
    TimedFrames(FrameReader& inner, qint64 passStartUs, int limit)
        : inner(inner), passStartUs(passStartUs), limit(limit)
    {
    }

    std::optional<GreyFrame> next() override
    {
        close();
        if (replay && last) {
            replay = false;
            opened = cpuMs(CLOCK_THREAD_CPUTIME_ID);
            return *last;
        }
        if (limit > 0 && inPass >= limit)
            return std::nullopt;
        last = inner.next();
        if (!last)
            return std::nullopt;
        ++decoded;
        if (last->startUs >= passStartUs)
            ++inPass;
        timing = last->startUs >= passStartUs;
        opened = cpuMs(CLOCK_THREAD_CPUTIME_ID);
        return *last;
    }
    QString error() const override { return inner.error(); }
    qint64 durationUs() const override { return inner.durationUs(); }

    // The engine is done with the frame handed out last.
    void close()
    {
        if (opened >= 0.0 && timing)
            perFrame.push_back(cpuMs(CLOCK_THREAD_CPUTIME_ID) - opened);
        opened = -1.0;
    }
    void handOutAgain() { replay = true; }

    std::vector<double> perFrame;
    int decoded = 0;

private:
    FrameReader& inner;
    qint64 passStartUs;
    int limit;
    int inPass = 0;
    std::optional<GreyFrame> last;
    bool replay = false;
    bool timing = false;
    double opened = -1.0;
};

} // namespace

EngineRun runEngine(const BenchPass& pass, TrackingMethod method, int frameLimit,
                    const FrameReaderOpener& open)
{
    EngineRun run;
    QElapsedTimer wall;
    wall.start();
    const double processStart = cpuMs(CLOCK_PROCESS_CPUTIME_ID);

    const TrackedPass tracked = *pass.trackedPass();
    const TruthFrame& first = *pass.frameAt(tracked.startUs);
    TrackingRequest request;
    request.base.videoFile = pass.videoPath;
    request.base.pass = tracked;
    request.fromUs = tracked.startUs;
    const Point2 at = pass.followedPoint(first);
    request.points = {{tracked.startUs, at.x, at.y}};
    request.transform = pass.transform;
    request.settings.method = method;

    QString error;
    const std::unique_ptr<FrameReader> reader = open(0, &error);
    if (!reader) {
        run.message = error;
        return run;
    }
    TimedFrames frames(*reader, tracked.startUs, frameLimit);
    const std::atomic<bool> never{false};
    while (true) {
        TrackingOutcome out = trackPoint(request, frames, never);
        frames.close();
        run.end = out.end;
        run.message = out.message;
        if (out.end != TrackingOutcome::End::Failed)
            run.track = out.track;
        if (out.end != TrackingOutcome::End::Stopped)
            break;
        const TrackPoint& stopped = out.track.frames.back();
        const TruthFrame* truth = pass.frameAt(stopped.startUs);
        if (!truth || stopped.operatorSet) {
            // Stopped on the operator's own point: it lies where the engine cannot start.
            run.message = QStringLiteral("stopped on the operator's point at %1 s")
                              .arg(double(stopped.startUs) / 1e6, 0, 'f', 3);
            break;
        }
        const Point2 p = pass.followedPoint(*truth);
        run.stops.push_back({truth->frame, stopped.stop, stopped.confidence,
                             std::fabs(stopped.u - p.x), truth->sprayCover});
        request.base = out.track;
        request.fromUs = stopped.startUs;
        request.points.push_back({stopped.startUs, p.x, p.y});
        frames.handOutAgain();
    }
    const double processMs = cpuMs(CLOCK_PROCESS_CPUTIME_ID) - processStart;
    run.matchMs = frames.perFrame;
    double matched = 0.0;
    for (double ms : frames.perFrame)
        matched += ms;
    // Everything else on any thread is the video's: opening it, decoding, converting to grey,
    // the copy out of the decoder, passing over the frames before the pass.
    run.decodeMs = processMs - matched;
    run.framesDecoded = frames.decoded;
    run.wallMs = double(wall.nsecsElapsed()) / 1e6;
    return run;
}
