#include "tracking/track_samples.h"

#include "common/twips.h"
#include "measure/input_positioning.h"
#include "measure/measure_tables.h"
#include "measure/pass_rules.h"
#include "measure/sample_reading.h"

std::int32_t lineTwipsForColumn(double u)
{
    return mouseTwips(pixelsToTwips(u));
}

TrackSamples samplesFromTrack(const Track& track, const CourseTransform& transform)
{
    TrackSamples out;
    out.videoFile = track.videoFile;
    const TrackedPass& pass = track.pass;
    const bool slalom = pass.event == Event::Slalom;
    const double centre = slalom ? kSlalomCentreLineX : kJumpCentreLineX;
    const double length = slalom ? kSlalomCourseLength : kJumpCourseLength;
    // Armed, the marker stands at the entrance; a point that does not map leaves it where
    // it was, and a reading that does not map leaves the last deviation standing.
    double markerY = 0.0;
    if (const auto p = boatMarkerPoint(transform, centre, 0.0, pass.direction))
        markerY = p->y;
    double deviation = 0.0;
    for (int k = 0; k <= pass.passTenths; ++k) {
        TrackSample s;
        s.index = k;
        s.instantUs = pass.startUs + qint64(k) * kSamplePeriodMs * 1000;
        if (const TrackPoint* f = track.frameHolding(s.instantUs))
            s.frame = *f;
        else if (out.firstMissing < 0)
            out.firstMissing = k;
        if (const auto p = boatMarkerPoint(
                transform, centre, sampleDistance(k, pass.passTenths, length), pass.direction))
            markerY = p->y;
        s.markerY = markerY;
        if (s.frame) {
            s.lineX = lineTwipsForColumn(s.frame->u);
            if (const auto r = readLine(transform, s.lineX, markerY, centre)) {
                s.course = r->course;
                deviation = r->deviation;
            }
        }
        s.deviation = deviation;
        out.samples.push_back(s);
    }
    return out;
}

PassSamples TrackSamples::passSamples() const
{
    PassSamples p;
    const int n = std::min(int(samples.size()), PassSamples::kCapacity);
    for (int k = 0; k < n; ++k)
        p.deviations[size_t(k)] = samples[size_t(k)].deviation;
    summarisePass(p, int(samples.size()));
    return p;
}

MediaPass TrackSamples::mediaPass() const
{
    MediaPass m;
    m.videoFile = videoFile;
    if (!samples.empty())
        m.startUs = samples.front().instantUs;
    for (const TrackSample& s : samples)
        m.sampleFramesUs.push_back(s.frame ? s.frame->startUs : s.instantUs);
    return m;
}

std::vector<std::int32_t> TrackSamples::lineColumns() const
{
    std::vector<std::int32_t> out;
    for (const TrackSample& s : samples)
        out.push_back(s.lineX);
    return out;
}
