#pragma once
// Periodic timers raised on the user-interface thread. Tick k after enabling is due at
// enable time + k x period on the monotonic clock: a late tick is late but does not push the
// later ones back, and none is skipped or doubled (a stall is caught up tick by tick).

#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

class HiResTimer
{
public:
    virtual ~HiResTimer() = default;
    // Takes effect at the next enabling.
    virtual void setPeriod(int milliseconds) = 0;
    virtual int period() const = 0;
    // Enabling (re)starts the schedule from now; disabling drops the ticks not yet raised.
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    // Called once per tick with the milliseconds since enabling.
    virtual void setCallback(std::function<void(qint64)> callback) = 0;
};

class HiResTimerFactory
{
public:
    virtual ~HiResTimerFactory() = default;
    // `role` says what the timer is for ("sample", "input"): a name to find it by (tests,
    // diagnostics), with no effect on its timing.
    virtual std::unique_ptr<HiResTimer> create(const QString& role) = 0;
};
