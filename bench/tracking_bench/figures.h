#pragma once
// A track of a test pass against its truth: how far its columns are from the followed
// point's, and how far the deviations its samples give are from the pylon's course line.

#include "tracking/track.h"
#include "tracking_bench/bench_pass.h"

#include <vector>

struct Spread
{
    double median = 0.0;
    double p95 = 0.0;
    double max = 0.0;
    int count = 0;
};

// Nearest-rank quantiles of the values.
Spread spreadOf(std::vector<double> values);

struct TrackFigures
{
    Spread pixels;         // |column - truth column| on the frames counted
    Spread metres;         // |deviation - (pylon's course x - centre line)| on every sample read,
                           // the truth taken on the frame the sample is read on
    int overTwoPixels = 0; // frames counted with a column error over 2 px (none of them
                           // flagged: a frame the engine stopped on is the operator's now)
    int samples = 0;
};

// Frames set by the operator are counted only with countOperatorFrames (a hand-held track is
// all the operator's).
TrackFigures trackFigures(const BenchPass& pass, const Track& track, bool countOperatorFrames);

// The most the boat moves across the course between a sample's instant and the start of the
// frame it is read on, metres: what reading on a frame rather than at the instant costs even
// a perfect line (not counted in the figures).
double frameTimingSpread(const BenchPass& pass, const TrackedPass& tracked, int samples);
