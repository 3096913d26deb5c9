#pragma once
// The wall clock of a pass (a camera or the overlay card): sample i is due at start + i x
// 100 ms on the injected monotonic clock. The sample timer only wakes the pass; each wake-up
// takes every sample that has fallen due, so a late wake-up makes its samples late without
// moving the later ones, and the pass always has all its samples spread over its nominal
// time. A sample stores the deviation the latest input tick read.

#include "measure/pass_clock.h"

#include <memory>

class Clock;
class HiResTimer;
class HiResTimerFactory;

class WallPassClock : public PassClock
{
public:
    explicit WallPassClock(Clock& clock);
    ~WallPassClock() override;
    WallPassClock(const WallPassClock&) = delete;
    WallPassClock& operator=(const WallPassClock&) = delete;

    // The sample timer ("sample"), idle until a pass.
    void createTimer(HiResTimerFactory& timers);
    // Milliseconds on the monotonic clock at which the last pass started.
    qint64 startMs() const { return startMs_; }

    std::optional<QString> prepare(PassSampler& sampler) override;
    void takeFirstSamples() override;
    void stop() override;
    bool timing() const override { return timing_; }
    std::optional<int> timeCheckMs(int lastSample) const override;
    std::optional<MediaPass> mediaPass() const override { return std::nullopt; }

private:
    void sampleTick();
    void takeDueSamples();

    Clock& clock;
    PassSampler* sampler = nullptr; // of the last pass prepared
    std::unique_ptr<HiResTimer> sampleTimer;
    qint64 startMs_ = 0;
    bool timing_ = false;
};
