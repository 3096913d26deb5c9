#include "platform/qt/video_end_search.h"

#include <algorithm>

VideoEndSearch::VideoEndSearch(qint64 held, qint64 missing, qint64 limit)
    : held_(std::max<qint64>(held, 0)), missing_(std::max(missing, held_ + 1)),
      limit_(std::max(limit, missing_))
{
}

std::optional<qint64> VideoEndSearch::nextProbe() const
{
    if (missing_ - held_ <= 1)
        return std::nullopt;
    return held_ + (missing_ - held_) / 2;
}

void VideoEndSearch::shown(qint64 frame)
{
    if (frame <= held_)
        return;
    held_ = frame;
    // An end taken for a probe at or below a frame that exists was not that probe's.
    if (missing_ <= frame)
        missing_ = std::max(limit_, frame + 1);
}

void VideoEndSearch::endMet(qint64 frame)
{
    if (frame > held_)
        missing_ = std::min(missing_, frame);
}
