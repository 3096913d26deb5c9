#pragma once
// The pass report: the text the results screen shows, logs and saves, built from the run
// particulars, the samples, the statistics and the time of measurement.

#include "common/run_info.h"
#include "measure/pass_record.h"
#include "results/pass_statistics.h"

#include <QDateTime>
#include <QString>
#include <span>

// Course length on the report and the graph: 259 m slalom, 280 m jump.
double courseLength(Event event);

// The samples of a pass of `passTenths` tenths: entries 0..passTenths, clamped to the array.
std::span<const double> passDeviations(const PassSamples& samples, int passTenths);

// The summary the measurement screen makes at the end of a pass (mean and largest absolute
// deviation, first index of the largest), for samples that come from elsewhere.
void summariseSamples(PassSamples& samples, int sampleCount);

// "Line Length: " text of a line length choice: "11.25m", " 9.75m"; empty for none.
QString reportLineLength(int lineLength);

// The report text; `statistics` carries the report's shares.
QString buildPassReport(const RunInfo& run, const PassSamples& samples, int passTenths,
                        const PassStatistics& statistics, const QDateTime& now);

// Everything that follows from a measured pass: the statistics (with the report's shares),
// the side-file block and the report.
struct PassAnalysis
{
    PassStatistics statistics;
    QString sideFileBlock;
    QString report;
};
PassAnalysis analysePass(const RunInfo& run, const PassSamples& samples, int passTenths,
                         const QDateTime& now);
