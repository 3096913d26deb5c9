#include "tracking/tracking_engine.h"

#include "tracking/pass_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

// Whatever the prediction, the point is looked for this far around it (pixels): a boat's
// speed changes and the picture's noise move it a few pixels from where it was expected.
constexpr double kMinSearchRadius = 6.0;
// More on the first frame after an operator's point, predicted from the course alone.
constexpr double kCourseOnlyMargin = 4.0;

double thousandths(double v)
{
    return std::round(v * 1000.0) / 1000.0;
}

class Run
{
public:
    Run(const TrackingRequest& request, FrameReader& frames, const std::atomic<bool>& cancel,
        const std::function<void(TrackingProgress)>& progress)
        : request(request), frames(frames), cancel(cancel), progress(progress),
          matcher(makePointMatcher(request.settings.method))
    {
        out.track = request.base;
    }

    TrackingOutcome go();

private:
    TrackingOutcome ended(TrackingOutcome::End end)
    {
        out.end = end;
        return out;
    }
    TrackingOutcome failed(const QString& why)
    {
        out.message = why;
        out.track = request.base;
        return ended(TrackingOutcome::End::Failed);
    }
    // The next frame; none at the end, or, with `lengthless` set, where a frame has no length
    // (no sample could be placed on it).
    std::optional<GreyFrame> nextFrame()
    {
        std::optional<GreyFrame> f = peeked ? std::move(ahead) : frames.next();
        ahead.reset();
        peeked = false;
        if (f && f->durationUs <= 0) {
            lengthless = f->startUs;
            return std::nullopt;
        }
        return f;
    }
    // The player shows a frame from its start until its end or the next frame's start,
    // whichever comes first: files stamped to the whole millisecond at 30 or 29.97 frames a
    // second give frames a whole period long that reach past the next one's start.
    bool shows(const GreyFrame& f, qint64 us)
    {
        if (us < f.startUs || us >= f.startUs + std::max<qint64>(f.durationUs, 1))
            return false;
        // Only then is the next frame read ahead: until it is needed, a reader that waits
        // (a file still being written) holds back no frame already come.
        if (!peeked) {
            ahead = frames.next();
            peeked = true;
        }
        return !ahead || us < ahead->startUs;
    }
    const OperatorPoint* pointOn(const GreyFrame& f)
    {
        for (const OperatorPoint& p : request.points)
            if (shows(f, p.atUs))
                return &p;
        return nullptr;
    }
    // Why nextFrame() gave none, when it was not the video's end.
    std::optional<QString> readFailure() const
    {
        if (lengthless)
            return QStringLiteral("the video gives its frame at %1 s no length")
                .arg(double(*lengthless) / 1e6, 0, 'f', 3);
        if (!frames.error().isEmpty())
            return frames.error();
        return std::nullopt;
    }
    // Where the point should be on a frame starting at us.
    Point2 predict(qint64 us) const;
    double searchRadius(qint64 us, qint64 dtUs) const;
    // How large the boat is on the frame at us, times its size on the pass's first frame: a
    // metre across the course on its row, as against on the first frame's.
    double boatSize(qint64 us) const
    {
        const auto now = geometry->pixelsPerMetreAcross(us);
        const auto first = geometry->pixelsPerMetreAcross(out.track.pass.startUs);
        return now && first ? *now / *first : 1.0;
    }
    bool movedTooFast(const TrackPoint& from, double u, qint64 us) const;
    bool offPace(double u, double v, qint64 us) const;
    void take(const GreyFrame& f, double u, double v, double confidence, bool byOperator,
              TrackStop stop = TrackStop::None);

    const TrackingRequest& request;
    FrameReader& frames;
    const std::atomic<bool>& cancel;
    const std::function<void(TrackingProgress)>& progress;
    std::unique_ptr<PointMatcher> matcher;
    std::optional<PassGeometry> geometry;
    TrackingOutcome out;
    std::optional<qint64> lengthless;
    // The frame after the one taken last, read to know where that one ends.
    std::optional<GreyFrame> ahead;
    bool peeked = false;
    // Frames since the operator's last point, that one included: the motion to predict from.
    size_t sinceOperator = 0;
};

void Run::take(const GreyFrame& f, double u, double v, double confidence, bool byOperator,
               TrackStop stop)
{
    TrackPoint p;
    p.startUs = f.startUs;
    p.durationUs = f.durationUs;
    p.u = thousandths(u);
    p.v = thousandths(v);
    p.confidence = thousandths(confidence);
    p.operatorSet = byOperator;
    p.stop = stop;
    out.track.frames.push_back(p);
    sinceOperator = byOperator ? 1 : sinceOperator + 1;
    // The reader may have started part way (a seek): the number comes from the time.
    if (stop != TrackStop::None)
        out.stopFrameNumber = int(std::llround(double(f.startUs) / double(f.durationUs)));
}

Point2 Run::predict(qint64 us) const
{
    const std::vector<TrackPoint>& t = out.track.frames;
    const TrackPoint& last = t.back();
    if (sinceOperator >= 2) {
        const TrackPoint& before = t[t.size() - 2];
        const double k = double(us - last.startUs) / double(last.startUs - before.startUs);
        return {last.u + k * (last.u - before.u), last.v + k * (last.v - before.v)};
    }
    // Only the operator's point so far: the point moves on the picture as the boat's place
    // on the ideal path does.
    const auto a = geometry->pathPoint(last.startUs);
    const auto b = geometry->pathPoint(us);
    if (!a || !b)
        return {last.u, last.v};
    return {last.u + (b->x - a->x), last.v + (b->y - a->y)};
}

double Run::searchRadius(qint64 us, qint64 dtUs) const
{
    double radius = kMinSearchRadius;
    if (const auto ppm = geometry->pixelsPerMetreAcross(us))
        radius = std::max(radius, *ppm * request.settings.maxSidewaysMps * double(dtUs) / 1e6 +
                                      kMinSearchRadius / 2);
    if (sinceOperator < 2)
        radius += kCourseOnlyMargin;
    return std::min(radius, 64.0);
}

bool Run::movedTooFast(const TrackPoint& from, double u, qint64 us) const
{
    const auto x0 = geometry->courseX(from.u, from.startUs);
    const auto x1 = geometry->courseX(u, us);
    if (!x0 || !x1)
        return true; // off the course's plane: nothing a boat does
    const double limit = request.settings.maxSidewaysMps * double(us - from.startUs) / 1e6;
    return std::fabs(*x1 - *x0) > limit;
}

bool Run::offPace(double u, double v, qint64 us) const
{
    // The frame a window's length before this one, if the track reaches back that far since
    // the operator's last point: what came before a correction is no measure of the boat.
    const std::vector<TrackPoint>& t = out.track.frames;
    auto end =
        std::find_if(t.rbegin(), t.rend(), [](const TrackPoint& p) { return p.operatorSet; });
    if (end != t.rend())
        ++end;
    const auto from = std::find_if(
        t.rbegin(), end, [&](const TrackPoint& p) { return p.startUs <= us - kPaceWindowUs; });
    if (from == end)
        return false;
    const auto d0 = geometry->distanceOf(from->u, from->v);
    const auto d1 = geometry->distanceOf(u, v);
    if (!d0 || !d1)
        return true;
    const double expected = geometry->distanceAt(us) - geometry->distanceAt(from->startUs);
    const double pace = (*d1 - *d0) / expected;
    return !(pace >= request.settings.minPace && pace <= request.settings.maxPace);
}

TrackingOutcome Run::go()
{
    if (request.points.empty())
        return failed(QStringLiteral("no point to start from"));
    // The frames before the first one tracked are decoded and passed over.
    std::optional<GreyFrame> f;
    while (true) {
        if (cancel.load())
            return ended(TrackingOutcome::End::Cancelled);
        f = nextFrame();
        if (!f) {
            if (const auto why = readFailure())
                return failed(*why);
            return failed(QStringLiteral("the video ends before %1 s")
                              .arg(double(request.fromUs) / 1e6, 0, 'f', 3));
        }
        if (f->startUs > request.fromUs || shows(*f, request.fromUs))
            break;
    }
    const OperatorPoint* seed = pointOn(*f);
    if (!seed)
        return failed(QStringLiteral("no operator's point on the frame at %1 s")
                          .arg(double(f->startUs) / 1e6, 0, 'f', 3));

    std::vector<TrackPoint>& kept = out.track.frames;
    kept.erase(std::find_if(kept.begin(), kept.end(),
                            [&](const TrackPoint& p) { return p.startUs >= f->startUs; }),
               kept.end());
    if (kept.empty())
        out.track.pass.startUs = f->startUs;
    if (f->startUs < out.track.pass.startUs)
        return failed(QStringLiteral("the frame at %1 s is before the pass")
                          .arg(double(f->startUs) / 1e6, 0, 'f', 3));
    geometry.emplace(request.transform, out.track.pass);
    const qint64 lastInstant = out.track.pass.lastInstantUs();
    // Known before a frame is tracked, as the player knows it before a pass starts.
    if (frames.durationUs() > 0 && lastInstant >= frames.durationUs())
        return failed(QStringLiteral("the video ends at %1 s, before the pass's last sample at "
                                     "%2 s: start on an earlier frame")
                          .arg(double(frames.durationUs()) / 1e6, 0, 'f', 3)
                          .arg(double(lastInstant) / 1e6, 0, 'f', 3));
    TrackingProgress done{0, int((lastInstant - f->startUs) / f->durationUs) + 1};

    bool byOperator = true;
    OperatorPoint point = *seed;
    while (true) {
        if (byOperator) {
            if (!matcher->start(*f, point.u, point.v, boatSize(f->startUs))) {
                take(*f, point.u, point.v, 1.0, true, TrackStop::LeftPicture);
                return ended(TrackingOutcome::End::Stopped);
            }
            take(*f, point.u, point.v, 1.0, true);
        } else {
            const TrackPoint& last = kept.back();
            const Point2 guess = predict(f->startUs);
            const PointMatch m = matcher->find(*f, guess.x, guess.y,
                                               searchRadius(f->startUs, f->startUs - last.startUs),
                                               boatSize(f->startUs));
            TrackStop stop = TrackStop::None;
            if (!m.inPicture)
                stop = TrackStop::LeftPicture;
            else if (m.confidence < request.settings.minConfidence)
                stop = TrackStop::LowConfidence;
            else if (movedTooFast(last, m.u, f->startUs))
                stop = TrackStop::Sideways;
            else if (offPace(m.u, m.v, f->startUs))
                stop = TrackStop::AlongCourse;
            take(*f, m.u, m.v, m.confidence, false, stop);
            if (stop != TrackStop::None)
                return ended(TrackingOutcome::End::Stopped);
            matcher->accept(*f, m);
        }
        ++done.done;
        done.total = std::max(done.total, done.done);
        if (progress)
            progress(done);
        if (shows(*f, lastInstant) || f->startUs > lastInstant)
            return ended(TrackingOutcome::End::Complete);
        if (cancel.load())
            return ended(TrackingOutcome::End::Cancelled);
        f = nextFrame();
        if (!f) {
            if (const auto why = readFailure())
                return failed(*why);
            return ended(TrackingOutcome::End::VideoEnded);
        }
        const OperatorPoint* given = pointOn(*f);
        byOperator = given != nullptr;
        if (given)
            point = *given;
    }
}

} // namespace

TrackingOutcome trackPoint(const TrackingRequest& request, FrameReader& frames,
                           const std::atomic<bool>& cancel,
                           const std::function<void(TrackingProgress)>& progress)
{
    Run run(request, frames, cancel, progress);
    TrackingOutcome out = run.go();
    if (out.end == TrackingOutcome::End::Cancelled)
        out.track = request.base;
    return out;
}
