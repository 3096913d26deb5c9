#pragma once
// HiResTimer on a periodic Qt::PreciseTimer. The Qt timer only wakes the thread: which
// ticks are due is read from the monotonic clock, so a wake-up that comes late raises the
// ticks it owes, and the Qt timer is put back in phase when it has slipped.

#include "platform/hires_timer.h"

#include <QTimer>
#include <chrono>

class QtHiResTimer : public HiResTimer
{
public:
    explicit QtHiResTimer(const QString& role);

    void setPeriod(int milliseconds) override { periodMs = milliseconds > 0 ? milliseconds : 1; }
    int period() const override { return periodMs; }
    void setEnabled(bool enabled) override;
    bool enabled() const override { return on; }
    void setCallback(std::function<void(qint64)> callback) override { tick = std::move(callback); }

private:
    using SteadyClock = std::chrono::steady_clock;
    void wake();

    QTimer timer;
    std::function<void(qint64)> tick;
    int periodMs = 100;
    bool on = false;
    bool resyncing = false;
    SteadyClock::time_point enabledAt;
    qint64 raised = 0; // ticks raised since enabling
    quint64 generation = 0;
};

class QtHiResTimerFactory : public HiResTimerFactory
{
public:
    std::unique_ptr<HiResTimer> create(const QString& role) override
    {
        return std::make_unique<QtHiResTimer>(role);
    }
};
