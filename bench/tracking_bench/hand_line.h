#pragma once
// What a line held by hand would give on the same pass, for comparison with the engine. There
// is no recording of a person's pass, so neither is a measurement:
// - the best a hand can do: on every frame the line on the truth's column, where the arrow
//   keys (one picture pixel a step) or the pointer on a picture shown at full size can put
//   it, a whole picture pixel;
// - a modelled operator: the line follows the truth's column late by a reaction lag, with a
//   hand's tremor added (a smooth random wander of the stated size, the same on every run
//   for its seed), then put on a whole pixel.
// Either is a track of the pass's frames, read by the same sample computation as the engine's.

#include "tracking/track.h"
#include "tracking_bench/bench_pass.h"

#include <cstdint>

struct OperatorModel
{
    double lagS = 0.15;         // the line is where the point was this long before
    double tremorPx = 1.5;      // root mean square of the hand's wander, picture pixels
    double tremorCorrelS = 0.1; // how long the wander keeps its direction
    std::uint32_t seed = 1;
};

// lastFrameUs: the track runs from the pass's first frame to the frame starting there.
Track bestHandTrack(const BenchPass& pass, const TrackedPass& tracked, qint64 lastFrameUs);
Track modelledOperatorTrack(const BenchPass& pass, const TrackedPass& tracked, qint64 lastFrameUs,
                            const OperatorModel& model);
