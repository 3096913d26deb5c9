#include "tracking/track.h"

#include <algorithm>

const TrackPoint* Track::stopFrame() const
{
    if (frames.empty() || frames.back().stop == TrackStop::None)
        return nullptr;
    return &frames.back();
}

const TrackPoint* Track::frameHolding(qint64 us) const
{
    // Frames are in media order: the last that starts at or before the instant.
    const auto after =
        std::upper_bound(frames.begin(), frames.end(), us,
                         [](qint64 t, const TrackPoint& p) { return t < p.startUs; });
    if (after == frames.begin())
        return nullptr;
    const TrackPoint& p = *(after - 1);
    if (!p.holds(us) || p.stop != TrackStop::None)
        return nullptr;
    return &p;
}

bool Track::complete() const
{
    for (int k = 0; k <= pass.passTenths; ++k)
        if (!frameHolding(pass.startUs + qint64(k) * 100000))
            return false;
    return pass.passTenths > 0;
}

QString trackStopCode(TrackStop stop)
{
    switch (stop) {
    case TrackStop::None:
        return {};
    case TrackStop::LowConfidence:
        return QStringLiteral("confidence");
    case TrackStop::Sideways:
        return QStringLiteral("sideways");
    case TrackStop::LeftPicture:
        return QStringLiteral("outside");
    case TrackStop::AlongCourse:
        return QStringLiteral("pace");
    }
    return {};
}

std::optional<TrackStop> trackStopFromCode(const QString& code)
{
    for (TrackStop s : {TrackStop::None, TrackStop::LowConfidence, TrackStop::Sideways,
                        TrackStop::LeftPicture, TrackStop::AlongCourse})
        if (trackStopCode(s) == code)
            return s;
    return std::nullopt;
}

QString trackStopReason(TrackStop stop)
{
    switch (stop) {
    case TrackStop::None:
        return {};
    case TrackStop::LowConfidence:
        return QStringLiteral("the point no longer looks as it did (low confidence)");
    case TrackStop::Sideways:
        return QStringLiteral("the point moved across the course faster than 3 m/s");
    case TrackStop::LeftPicture:
        return QStringLiteral("the point reached the edge of the picture");
    case TrackStop::AlongCourse:
        return QStringLiteral("the point does not keep pace with the boat along the course");
    }
    return {};
}
