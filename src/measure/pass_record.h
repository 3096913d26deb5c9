#pragma once
// The last pass: what the pass engine recorded and what the results screen found in it.
// One instance, created at start; the measurement screen fills it, the results screen reads
// it and adds the statistics.

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

// Deviations of the last pass, one per tenth of a second, metres to two decimals.
struct PassSamples
{
    static constexpr int kCapacity = 701;
    std::array<double, kCapacity> deviations{};
    int sampleCount = 0;
    double meanAbsDeviation = 0.0;
    double maxAbsDeviation = 0.0;
    int maxDeviationIndex = 0;
};

// Statistics of the last pass, read by the report, the database line and the graph.
struct PassStatistics
{
    double meanFitDeviation = 0.0;
    double maxFitDeviation = 0.0;
    double fitStart = 0.0;
    double fitEnd = 0.0;
    double totalDeviation = 0.0;
    double jumpMean = 0.0;
    double meanDeviation = 0.0;
    double startDeviation = 0.0;
    double exitDeviation = 0.0;
    double leftPercent = 0.0;
    double centerPercent = 0.0;
    double rightPercent = 0.0;
};

// Where the operator held the measurement line when a sample was taken, picture twips: its x,
// and the height it was read at (the boat marker's y).
struct HeldLine
{
    double x = 0.0;
    double y = 0.0;
    bool operator==(const HeldLine&) const = default;
};

// A pass measured on a video file, on the video's own clock: it can be measured again on the
// same frames.
struct MediaPass
{
    QString videoFile;
    // P0: media time (microseconds) of the frame on screen at Start Pass; sample k is due at
    // P0 + k x 100 ms.
    qint64 startUs = 0;
    // Media start time of the frame each sample was taken on, by sample index.
    std::vector<qint64> sampleFramesUs;
    // The line at each sample, by sample index; empty when the clock that took the samples
    // did not say.
    std::vector<HeldLine> sampleLines;
    // The track file the samples were read from; empty for a pass held by hand.
    QString trackFile;
};

struct PassRecord
{
    PassSamples samples;
    // PassTenths: the nominal length of the pass in tenths of a second; a pass has tenths + 1
    // samples.
    int tenths = 0;
    // PassMeasured: a recorded pass has ended since the program started.
    bool measured = false;
    PassStatistics statistics;
    // The speed and line length the measurement screen shows and the database line carries:
    // the km/h figure ("58"), and the line right-aligned (" 9.75") or, once the results
    // screen's line copy has chosen one, as that list writes it ("9.75").
    QString speedText;
    QString lineText;
    // Set when the last pass was measured on a video file; empty for the wall clock.
    std::optional<MediaPass> media;
};
