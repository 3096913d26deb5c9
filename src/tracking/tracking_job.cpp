#include "tracking/tracking_job.h"

TrackingJob::TrackingJob(TrackingRequest request, FrameReaderOpener open,
                         std::function<void()> finished)
    : onFinished(std::move(finished))
{
    worker = std::thread(
        [this, request = std::move(request), open = std::move(open)] { work(request, open); });
}

TrackingJob::~TrackingJob()
{
    cancel();
    if (worker.joinable())
        worker.join();
}

void TrackingJob::work(const TrackingRequest& request, const FrameReaderOpener& open)
{
    QString error;
    std::unique_ptr<FrameReader> reader = open ? open(request.fromUs, &error) : nullptr;
    if (!reader) {
        result.end = TrackingOutcome::End::Failed;
        result.message = error.isEmpty() ? QStringLiteral("the video cannot be opened") : error;
        result.track = request.base;
    } else {
        result = trackPoint(request, *reader, cancelled, [this](TrackingProgress p) {
            framesToDo.store(p.total);
            framesDone.store(p.done);
        });
    }
    reader.reset(); // the decoder's threads end before the run counts as finished
    done.store(true);
    if (onFinished)
        onFinished();
}

TrackingOutcome TrackingJob::outcome()
{
    if (worker.joinable())
        worker.join();
    return std::move(result);
}
