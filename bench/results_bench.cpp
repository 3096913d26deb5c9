// Results work per pass: statistics and report, reading a saved file back, graph geometry,
// and the pending database line replaced on disk at each keystroke on the results screen (in
// a folder beside the one it runs in: the disk counts, not the code).
// Run: ./build/bench/results_bench

#include "results/pass_report.h"
#include "results/pending_database_line.h"
#include "results/results_file.h"
#include "results/results_graph.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

template <typename F> double microsecondsPerRun(int runs, F&& f)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i)
        f();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::micro>(end - start).count() / runs;
}

} // namespace

int main()
{
    const int tenths = 210; // the longest pass: jump at 48 km/h
    RunInfo run;
    run.event = Event::Jump;
    PassSamples samples;
    for (int i = 0; i <= tenths; ++i)
        samples.deviations[size_t(i)] = std::round(20 * std::sin(i / 9.0)) / 100.0;
    summariseSamples(samples, tenths + 1);
    const QDateTime now(QDate(2026, 12, 7), QTime(12, 0));
    const QString saved = savedResultsText(analysePass(run, samples, tenths, now).report);

    size_t sink = 0;
    const double analyse = microsecondsPerRun(
        2000, [&] { sink += size_t(analysePass(run, samples, tenths, now).report.size()); });
    const double read = microsecondsPerRun(
        2000, [&] { sink += readResultsFile(saved, Event::Jump).deviations.size(); });
    const double graph = microsecondsPerRun(2000, [&] {
        sink += passGraph(Event::Jump, Direction::Toward, passDeviations(samples, tenths),
                          PassStatistics{})
                    .size();
    });
    std::printf("pass of %d tenths: statistics + report %.1f us, read back %.1f us, "
                "graph geometry %.1f us (%zu)\n",
                tenths, analyse, read, graph, sink % 10);

    const QTemporaryDir folder(QDir::current().filePath(QStringLiteral("results_bench-XXXXXX")));
    PendingDatabaseLine pending;
    pending.begin(folder.path(), now);
    QString line = QStringLiteral("1|Malibu|TXi|S|Carl|Ann|58|11.25| .013| .099| .046| .17|||"
                                  " 25| 25| 50|-0.12|0.01|0.00|0.10|");
    const int keystrokes = 200;
    double slowest = 0;
    const double kept = microsecondsPerRun(keystrokes, [&] {
        line += 'x';
        const auto start = std::chrono::steady_clock::now();
        if (pending.keep(line))
            std::printf("the pending file could not be written\n");
        slowest = std::max(slowest, std::chrono::duration<double, std::micro>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    });
    std::printf("pending database line replaced on a keystroke: %.0f us on average, %.0f us at "
                "most (%d keystrokes in %s)\n",
                kept, slowest, keystrokes, qPrintable(QDir::current().path()));
    return 0;
}
