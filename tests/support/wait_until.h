#pragma once
// Runs a real event loop until done() or for at most ms milliseconds, and says whether done()
// came true. The media player's bus messages need a running loop; QTest's waits delayed the
// loading of a file by half a second. Shared by the video tests and the benchmarks.

#include <QEventLoop>
#include <QObject>
#include <QTimer>

template <class F> bool waitUntil(F done, int ms)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}
