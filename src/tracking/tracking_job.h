#pragma once
// One run of the tracking engine on a worker thread of its own, which owns the decoding and
// the matching: the thread that started it (the screens') stays free. Progress is read at
// any time; cancel() stops the run within one frame, and a cancelled run hands back nothing.

#include "tracking/tracking_engine.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class TrackingJob
{
public:
    // Starts at once. `finished` is called once on the worker thread when the outcome is
    // there (the caller hands it to its own thread, e.g. with a queued call).
    TrackingJob(TrackingRequest request, FrameReaderOpener open,
                std::function<void()> finished = {});
    // Cancels a run still going and waits for its thread.
    ~TrackingJob();
    TrackingJob(const TrackingJob&) = delete;
    TrackingJob& operator=(const TrackingJob&) = delete;

    void cancel() { cancelled.store(true); }
    bool finished() const { return done.load(); }
    TrackingProgress progress() const { return {framesDone.load(), framesToDo.load()}; }
    // Waits for the worker's end, then gives the outcome (once).
    TrackingOutcome outcome();

private:
    void work(const TrackingRequest& request, const FrameReaderOpener& open);

    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    std::atomic<int> framesDone{0};
    std::atomic<int> framesToDo{0};
    std::function<void()> onFinished;
    TrackingOutcome result;
    std::thread worker;
};
