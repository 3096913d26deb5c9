#include "measure/wall_pass_clock.h"

#include "measure/pass_rules.h"
#include "platform/clock.h"
#include "platform/hires_timer.h"

WallPassClock::WallPassClock(Clock& clock) : clock(clock) {}

WallPassClock::~WallPassClock() = default;

void WallPassClock::createTimer(HiResTimerFactory& timers)
{
    sampleTimer = timers.create(QStringLiteral("sample"));
    sampleTimer->setPeriod(int(kSamplePeriodMs));
    sampleTimer->setCallback([this](qint64) { sampleTick(); });
}

std::optional<QString> WallPassClock::prepare(PassSampler& s)
{
    sampler = &s;
    // The pass starts now: the schedule first, then the timer, so that no tick can come
    // before its sample is due, and none is owed for the time the rest of the start takes.
    // No tick can run before the start returns.
    sampleTimer->setEnabled(false);
    startMs_ = clock.monotonicMs();
    sampleTimer->setPeriod(int(kSamplePeriodMs));
    sampleTimer->setEnabled(true);
    timing_ = true;
    return std::nullopt;
}

void WallPassClock::takeFirstSamples()
{
    sampler->readLiveDeviation();
    takeDueSamples(); // sample 0 is due at the start itself
}

void WallPassClock::stop()
{
    if (sampleTimer)
        sampleTimer->setEnabled(false);
    timing_ = false;
}

std::optional<int> WallPassClock::timeCheckMs(int lastSample) const
{
    return int(kSamplePeriodMs) * lastSample;
}

void WallPassClock::sampleTick()
{
    sampler->countSampleTick();
    takeDueSamples();
    sampler->samplesTaken();
}

void WallPassClock::takeDueSamples()
{
    if (!timing_)
        return;
    const qint64 now = clock.monotonicMs();
    // Every sample whose time has come, each once: a late wake-up catches up, and the next
    // wake-up finds the next sample on its own schedule.
    while (timing_ && startMs_ + qint64(sampler->nextSample()) * kSamplePeriodMs <= now)
        sampler->takeLiveSample();
}
