#pragma once
// Time sources, injected so that tests and recorded passes can drive time themselves.

#include <QDateTime>

class Clock
{
public:
    virtual ~Clock() = default;
    // Local date and time of day (reports, logs, day-file names).
    virtual QDateTime now() const = 0;
    // Monotonic milliseconds (pass timing); only differences carry meaning.
    virtual qint64 monotonicMs() const = 0;
};
