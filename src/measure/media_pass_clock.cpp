#include "measure/media_pass_clock.h"

#include "platform/clock.h"
#include "platform/hires_timer.h"

#include <algorithm>

MediaPassClock::MediaPassClock(Clock& clock) : clock(clock) {}

MediaPassClock::~MediaPassClock() = default;

void MediaPassClock::createTimer(HiResTimerFactory& timers)
{
    wakeTimer = timers.create(QStringLiteral("media wake"));
    wakeTimer->setPeriod(1);
    wakeTimer->setCallback([this](qint64) { wake(); });
}

void MediaPassClock::setFile(const std::optional<MediaClockFile>& file)
{
    if (timing_)
        sampler->giveUpPass(
            QStringLiteral("The video was replaced during the pass, after %1 of %2 samples: the "
                           "pass was not recorded.")
                .arg(sampler->nextSample())
                .arg(sampler->lastSample() + 1));
    file_ = file;
    // A new video has a clock of its own: nothing of the last one's frames carries over.
    schedule = MediaSampleSchedule();
    heldBack.clear();
}

std::optional<QString> MediaPassClock::prepare(PassSampler& s)
{
    const MediaSampleSchedule::Start start =
        schedule.start(s.lastSample(), file_ ? file_->durationUs : 0, clock.monotonicMs());
    if (!start.started)
        return start.refusal;
    sampler = &s;
    if (wakeTimer)
        wakeTimer->setEnabled(false);
    heldBack.clear();
    skippedFrameAsked = false;
    firstDue = start.due;
    timing_ = true;
    return std::nullopt;
}

void MediaPassClock::takeFirstSamples()
{
    std::vector<int> due;
    due.swap(firstDue);
    takeSamples(due); // sample 0, on the frame the operator started on
    afterPlayerEvent();
}

void MediaPassClock::stop()
{
    if (wakeTimer)
        wakeTimer->setEnabled(false);
    schedule.stop();
    heldBack.clear();
    skippedFrameAsked = false;
    timing_ = false;
}

std::optional<MediaPass> MediaPassClock::mediaPass() const
{
    return MediaPass{file_ ? file_->path : QString(),
                     schedule.passStartUs(),
                     schedule.sampleFrames(),
                     {},
                     QString()};
}

void MediaPassClock::frameShown(qint64 startUs, qint64 durationUs)
{
    // Samples held back for the previous frame belong to it: taken before this one counts.
    takeHeldBackSamples();
    const std::vector<int> due = schedule.frameShown(startUs, durationUs, clock.monotonicMs());
    // Instants that this frame passed lay on the previous one: taken now, with the line where
    // the operator held it over that frame. Instants on this frame are taken once the frame
    // has reached the screen and the operator has seen it, not in the middle of its delivery.
    std::vector<int> passed;
    for (int i : due) {
        const bool onThisFrame = size_t(i) < schedule.sampleFrames().size() &&
                                 schedule.sampleFrames()[size_t(i)] == startUs;
        (onThisFrame ? heldBack : passed).push_back(i);
    }
    takeSamples(passed);
    afterPlayerEvent();
}

void MediaPassClock::playing(double rate)
{
    videoPlaying = true;
    takeHeldBackSamples();
    takeSamples(schedule.playing(rate, clock.monotonicMs()));
    afterPlayerEvent();
}

void MediaPassClock::paused()
{
    videoPlaying = false;
    takeHeldBackSamples();
    takeSamples(schedule.paused(clock.monotonicMs()));
    afterPlayerEvent();
}

void MediaPassClock::seeked()
{
    if (ownSeeks > 0) {
        --ownSeeks; // to a frame the player skipped: part of the pass
        return;
    }
    heldBack.clear();
    schedule.seeked();
    afterPlayerEvent();
}

void MediaPassClock::ended()
{
    videoPlaying = false;
    takeHeldBackSamples();
    takeSamples(schedule.endOfMedia(clock.monotonicMs()));
    afterPlayerEvent();
}

void MediaPassClock::wake()
{
    wakeTimer->setEnabled(false);
    takeHeldBackSamples();
    takeSamples(schedule.advance(clock.monotonicMs()));
    afterPlayerEvent();
}

void MediaPassClock::takeHeldBackSamples()
{
    std::vector<int> due;
    due.swap(heldBack);
    takeSamples(due);
}

void MediaPassClock::takeSamples(const std::vector<int>& due)
{
    if (due.empty() || !timing_)
        return;
    sampler->countSampleTick();
    for (int i : due) {
        if (!timing_ || i != sampler->nextSample())
            break;
        sampler->takeSampleAtItsInstant();
    }
    sampler->samplesTaken();
}

void MediaPassClock::afterPlayerEvent()
{
    if (timing_ && schedule.state() == MediaSampleSchedule::State::Aborted) {
        sampler->giveUpPass(schedule.abortMessage());
        return;
    }
    if (timing_) {
        if (const std::optional<qint64> skipped = schedule.skippedInstant()) {
            // The player fell behind and never showed the frame holding the next instant: it
            // shows that frame now, so that the sample is taken on it like every other.
            if (!skippedFrameAsked) {
                skippedFrameAsked = true;
                playAfterSkippedFrame = videoPlaying;
                ++ownSeeks;
                Q_EMIT showFrameAt(*skipped);
            }
        } else if (skippedFrameAsked) {
            skippedFrameAsked = false;
            if (playAfterSkippedFrame)
                Q_EMIT playOn();
        }
    }
    if (!wakeTimer)
        return;
    std::optional<qint64> wakeInMs;
    if (timing_)
        wakeInMs = heldBack.empty() ? schedule.msUntilNextDue(clock.monotonicMs()) : 1;
    wakeTimer->setEnabled(false);
    if (wakeInMs) {
        wakeTimer->setPeriod(int(std::max<qint64>(*wakeInMs, 1)));
        wakeTimer->setEnabled(true);
    }
}
