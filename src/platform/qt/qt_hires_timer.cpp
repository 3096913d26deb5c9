#include "platform/qt/qt_hires_timer.h"

#include <cmath>

namespace {
// Qt reports the remaining time rounded up to whole milliseconds, as wantMs below is: in
// phase the two differ by at most one.
constexpr int kPhaseToleranceMs = 1;
} // namespace

QtHiResTimer::QtHiResTimer(const QString& role)
{
    timer.setObjectName(role);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [this] { wake(); });
}

void QtHiResTimer::setEnabled(bool enabled)
{
    ++generation; // ticks being raised by an earlier enabling stop here
    on = enabled;
    resyncing = false;
    if (!enabled) {
        timer.stop();
        return;
    }
    // The schedule starts before the Qt timer does, so no wake-up can precede its tick.
    enabledAt = SteadyClock::now();
    raised = 0;
    timer.start(periodMs);
}

void QtHiResTimer::wake()
{
    const std::chrono::nanoseconds period = std::chrono::milliseconds(periodMs);
    const quint64 mine = generation;
    const auto now = SteadyClock::now();
    const qint64 due = (now - enabledAt) / period;
    while (raised < due) {
        ++raised;
        if (tick)
            tick(std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() -
                                                                       enabledAt)
                     .count());
        // The callback may have disabled, re-enabled or re-timed this timer.
        if (generation != mine || !on)
            return;
    }
    // Qt restarts a periodic timer's phase from "now" when a wake-up is more than a period
    // late, and an early wake-up would leave this tick to the next one: in both cases run one
    // short interval to the next due tick, then go periodic again from there.
    const auto nextDue = enabledAt + (raised + 1) * period;
    const double untilNextMs =
        std::chrono::duration<double, std::milli>(nextDue - SteadyClock::now()).count();
    const int wantMs = std::max(0, int(std::ceil(untilNextMs)));
    if (resyncing) {
        resyncing = false;
        timer.start(periodMs);
    } else if (std::abs(timer.remainingTime() - wantMs) > kPhaseToleranceMs) {
        resyncing = true;
        timer.start(wantMs);
    }
}
