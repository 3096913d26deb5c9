#include "measure/media_sample_schedule.h"

#include "measure/pass_rules.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {
constexpr qint64 kSamplePeriodUs = kSamplePeriodMs * 1000;

QString seconds(qint64 us)
{
    return QLocale::c().toString(double(us) / 1e6, 'f', 1);
}
} // namespace

qint64 MediaSampleSchedule::instant(int index) const
{
    return passStartUs_ + qint64(index) * kSamplePeriodUs;
}

qint64 MediaSampleSchedule::mediaNow(qint64 nowMs) const
{
    if (!playing_)
        return anchorMediaUs;
    const qint64 run =
        std::llround(double(std::max<qint64>(nowMs - anchorWallMs, 0)) * 1000.0 * rate_);
    // The clock cannot run into the next frame before that frame is on screen.
    return std::min(anchorMediaUs + run, std::max(frameEndUs - 1, anchorMediaUs));
}

void MediaSampleSchedule::takeBefore(qint64 limitUs, qint64 frameUs, std::vector<int>& due)
{
    while (state_ == State::Running && !skipped_ && instant(next) < limitUs) {
        sampleFrames_.push_back(frameUs);
        due.push_back(next);
        if (++next > lastIndex_)
            state_ = State::Complete;
    }
}

void MediaSampleSchedule::abort(const QString& why)
{
    abortMessage_ = why;
    state_ = State::Aborted;
}

void MediaSampleSchedule::showFrame(qint64 startUs, qint64 endUs, qint64 nowMs)
{
    haveFrame = true;
    frameStartUs = startUs;
    frameEndUs = endUs;
    anchorMediaUs = startUs;
    anchorWallMs = nowMs;
}

std::vector<int> MediaSampleSchedule::frameShown(qint64 startUs, qint64 durationUs, qint64 nowMs)
{
    std::vector<int> due;
    if (haveFrame && startUs == frameStartUs)
        return due; // the same frame again (a resume or a repaint): nothing has moved
    const qint64 endUs = startUs + std::max<qint64>(durationUs, 1);
    if (running() && skipped_) {
        // Waiting for the skipped frame: other frames, before or after it, are only shown.
        showFrame(startUs, endUs, nowMs);
        if (startUs <= *skipped_ && *skipped_ < endUs) {
            skipped_.reset();
            takeBefore(startUs + 1, startUs, due);
        }
        return due;
    }
    if (running() && haveFrame && startUs < frameStartUs) {
        abort(QStringLiteral("The video went back during the pass, after %1 of %2 samples: the "
                             "pass was not recorded.")
                  .arg(next)
                  .arg(lastIndex_ + 1));
    }
    if (haveFrame) {
        // The instants the previous frame held were passed while it was on screen.
        takeBefore(std::min(startUs, frameEndUs), frameStartUs, due);
        // A gap of half a frame or more is a frame the player skipped; an instant in it was
        // never on screen.
        const qint64 gap = startUs - frameEndUs;
        if (running() && gap > 0 && 2 * gap >= frameEndUs - frameStartUs && instant(next) < startUs)
            skipped_ = instant(next);
    }
    showFrame(startUs, endUs, nowMs);
    takeBefore(startUs + 1, startUs, due);
    return due;
}

std::vector<int> MediaSampleSchedule::playing(double rate, qint64 nowMs)
{
    std::vector<int> due = advance(nowMs);
    anchorMediaUs = mediaNow(nowMs);
    anchorWallMs = nowMs;
    if (rate > 0.0 && std::isfinite(rate))
        rate_ = rate;
    playing_ = true;
    return due;
}

std::vector<int> MediaSampleSchedule::paused(qint64 nowMs)
{
    std::vector<int> due = advance(nowMs);
    anchorMediaUs = mediaNow(nowMs);
    anchorWallMs = nowMs;
    playing_ = false;
    return due;
}

void MediaSampleSchedule::seeked()
{
    if (running())
        abort(QStringLiteral("The video was moved during the pass, after %1 of %2 samples: the "
                             "pass was not recorded.")
                  .arg(next)
                  .arg(lastIndex_ + 1));
}

std::vector<int> MediaSampleSchedule::endOfMedia(qint64 nowMs)
{
    std::vector<int> due;
    if (haveFrame)
        takeBefore(frameEndUs, frameStartUs, due);
    // A skipped frame is still to be shown: the video goes back to it.
    if (running() && !skipped_)
        abort(QStringLiteral("The video ended after %1 of %2 samples: the pass was not recorded.")
                  .arg(next)
                  .arg(lastIndex_ + 1));
    playing_ = false;
    anchorMediaUs = haveFrame ? frameEndUs - 1 : anchorMediaUs;
    anchorWallMs = nowMs;
    return due;
}

std::vector<int> MediaSampleSchedule::advance(qint64 nowMs)
{
    std::vector<int> due;
    if (haveFrame)
        takeBefore(mediaNow(nowMs) + 1, frameStartUs, due);
    return due;
}

MediaSampleSchedule::Start MediaSampleSchedule::start(int lastIndex, qint64 durationUs,
                                                      qint64 nowMs)
{
    Start s;
    if (!haveFrame) {
        s.refusal = QStringLiteral("There is no video picture to start the pass on.");
        return s;
    }
    const qint64 needed = qint64(std::max(lastIndex, 0)) * kSamplePeriodUs;
    // Media time starts at 0: a video no longer than the pass cannot hold it from any frame
    // (a recording cut short often cannot).
    if (durationUs > 0 && needed >= durationUs) {
        s.refusal = QStringLiteral("The video holds only %1 s, and this pass needs %2 s: it "
                                   "cannot be measured on this video.")
                        .arg(seconds(durationUs), seconds(needed));
        return s;
    }
    if (durationUs > 0 && frameStartUs + needed >= durationUs) {
        s.refusal = QStringLiteral("The video ends %1 s after this frame, and this pass needs "
                                   "%2 s: start it on an earlier frame.")
                        .arg(seconds(durationUs - frameStartUs), seconds(needed));
        return s;
    }
    lastIndex_ = std::max(lastIndex, 0);
    next = 0;
    passStartUs_ = frameStartUs;
    sampleFrames_.clear();
    abortMessage_.clear();
    skipped_.reset();
    state_ = State::Running;
    takeBefore(mediaNow(nowMs) + 1, frameStartUs, s.due);
    s.started = true;
    return s;
}

void MediaSampleSchedule::stop()
{
    if (running())
        state_ = State::Idle;
}

std::optional<QString> MediaSampleSchedule::refuseJump() const
{
    if (!running())
        return std::nullopt;
    return QStringLiteral("The video can only go forward frame by frame during a pass: finish or "
                          "abort the pass first.");
}

std::optional<qint64> MediaSampleSchedule::msUntilNextDue(qint64 nowMs) const
{
    if (!running() || skipped_ || !playing_ || !haveFrame || instant(next) >= frameEndUs)
        return std::nullopt;
    const qint64 ahead = std::max<qint64>(instant(next) - mediaNow(nowMs), 0);
    return qint64(std::ceil(double(ahead) / (1000.0 * rate_)));
}
