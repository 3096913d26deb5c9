#pragma once
// The tracking engine over one test pass, as an operator would run it: from the pass's first
// frame with the point on it, and wherever the engine stops, the point on that frame given
// again (the truth's, as a careful operator would click it) and the engine started on from
// there, the frames before kept. Timed on the processor's clocks: the matching on the
// engine's thread apart from the decoding, which runs on GStreamer's threads.

#include "tracking/tracking_engine.h"
#include "tracking_bench/bench_pass.h"

#include <vector>

struct EngineStop
{
    int frame = 0; // the frame's number in the video
    TrackStop why = TrackStop::None;
    double confidence = 0.0;
    double error = 0.0;      // the engine's guess on that frame from the truth, pixels across
    double sprayCover = 0.0; // the truth's spray over the pylon on that frame (0 to 1)
};

struct EngineRun
{
    TrackingOutcome::End end = TrackingOutcome::End::Failed;
    QString message; // Failed: why
    Track track;     // operator's points where it stopped, the engine's everywhere else
    std::vector<EngineStop> stops;
    std::vector<double> matchMs; // processor time of the engine's work on each frame
    double decodeMs = 0.0;       // processor time of decoding (every other thread, and the
                                 // copy out of the decoder), the frames before the pass included
    int framesDecoded = 0;
    double wallMs = 0.0; // the whole run, opening the video to the last frame
};

// frameLimit > 0: only that many frames from the pass's first. The video is read once.
EngineRun runEngine(const BenchPass& pass, TrackingMethod method, int frameLimit,
                    const FrameReaderOpener& open);
