// Results work per pass: statistics and report, reading a saved file back, graph geometry.
// Run: ./build/bench/results_bench

#include "results/pass_report.h"
#include "results/results_file.h"
#include "results/results_graph.h"

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
    return 0;
}
