#pragma once
// The samples of a pass measured from a track: sample k is due at P0 + k x 100 ms and read on
// the tracked frame that holds that instant, with the measurement line at the tracked point's
// column as the pointer would put it there (u x 15 twips, rounded to a whole twip, halves to
// even), the boat marker and the reading as a hand-held pass on the video's clock places and
// reads them. Given the same line on the same frames, both give the same samples.

#include "calibration/course_transform.h"
#include "measure/pass_record.h"
#include "tracking/track.h"

#include <cstdint>
#include <optional>
#include <vector>

struct TrackSample
{
    int index = 0;
    qint64 instantUs = 0;
    // The frame the sample is read on; none when the track does not cover its instant.
    std::optional<TrackPoint> frame;
    std::int32_t lineX = 0;       // twips
    double markerY = 0.0;         // twips
    std::optional<Point2> course; // the line read on the marker's row, metres
    double deviation = 0.0;       // metres, two decimals
};

struct TrackSamples
{
    std::vector<TrackSample> samples; // 0 .. passTenths
    int firstMissing = -1;            // the first sample no tracked frame holds; -1 when none
    bool complete() const { return firstMissing < 0 && !samples.empty(); }
    // As the pass engine hands them to the results: deviations, count and summary.
    PassSamples passSamples() const;
    // The media pass the results record: P0 and the frame each sample was read on.
    MediaPass mediaPass() const;
    // The line of each sample in twips, as the pass clock of a track hands them over.
    std::vector<std::int32_t> lineColumns() const;
    QString videoFile;
};

TrackSamples samplesFromTrack(const Track& track, const CourseTransform& transform);

// The line's x in twips for a tracked column, as the pointer on that column would give it.
std::int32_t lineTwipsForColumn(double u);
