#include "measure/track_pass_clock.h"

TrackPassClock::TrackPassClock(std::vector<std::int32_t> lineXTwips, MediaPass media)
    : lineX(std::move(lineXTwips)), media(std::move(media))
{
}

std::optional<QString> TrackPassClock::prepare(PassSampler& s)
{
    const size_t wanted = size_t(s.lastSample()) + 1;
    if (lineX.size() != wanted || media.sampleFramesUs.size() != wanted)
        return QStringLiteral("The track holds %1 samples, but the pass chosen has %2: choose "
                              "the speed and event the track was made for.")
            .arg(lineX.size())
            .arg(wanted);
    sampler = &s;
    timing_ = true;
    return std::nullopt;
}

void TrackPassClock::takeFirstSamples()
{
    // The last sample ends the pass, which stops this clock.
    while (timing_ && sampler->nextSample() <= sampler->lastSample())
        sampler->takeSampleAtItsInstant(double(lineX[size_t(sampler->nextSample())]));
    sampler->samplesTaken();
}
