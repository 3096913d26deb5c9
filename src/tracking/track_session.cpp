#include "tracking/track_session.h"

TrackSession::TrackSession(FrameReaderOpener open, const CourseTransform& transform,
                           TrackingSettings settings)
    : open(std::move(open)), transform(transform), settings(settings)
{
}

TrackSession::~TrackSession() = default;

void TrackSession::setTrack(Track track)
{
    job.reset();
    taken = true;
    track_ = std::move(track);
    undoTrack.reset();
}

std::optional<QString> TrackSession::setPoint(const OperatorPoint& point,
                                              std::function<void()> finished)
{
    if (running())
        return QStringLiteral("The engine is still tracking: wait for it or cancel it first.");
    if (!track_.frames.empty() && point.atUs < track_.pass.startUs)
        return QStringLiteral("That frame is before the pass's first frame.");
    TrackingRequest request;
    request.base = track_;
    request.fromUs = point.atUs;
    request.points = {point};
    request.transform = transform;
    request.settings = settings;
    job.reset();
    taken = false;
    job = std::make_unique<TrackingJob>(std::move(request), open, std::move(finished));
    return std::nullopt;
}

TrackingProgress TrackSession::progress() const
{
    return job ? job->progress() : TrackingProgress{};
}

void TrackSession::cancel()
{
    if (job)
        job->cancel();
}

TrackingOutcome TrackSession::takeOutcome()
{
    if (!job || taken)
        return {};
    TrackingOutcome out = job->outcome();
    taken = true;
    using End = TrackingOutcome::End;
    if (out.end == End::Complete || out.end == End::Stopped || out.end == End::VideoEnded) {
        undoTrack = track_;
        track_ = out.track;
    }
    return out;
}

void TrackSession::undo()
{
    if (!undoTrack || running())
        return;
    track_ = std::move(*undoTrack);
    undoTrack.reset();
}
