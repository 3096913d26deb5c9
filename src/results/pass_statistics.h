#pragma once
// The statistics that judge a pass: the reference line (least squares for slalom, the mean
// for jump), the wander about it, the drift, start and exit, and the band shares.

#include "common/run_info.h"
#include "measure/pass_record.h"

#include <QDateTime>
#include <QString>
#include <span>

// What passStatistics finds besides the record: the band counts and the driver values
// that only the side file carries.
struct StatisticsOutcome
{
    PassStatistics statistics; // shares: the side file's percentages (0.12 m band)
    int leftCount = 0;
    int centerCount = 0;
    int rightCount = 0;
    double driverMean = 0.0; // slalom only, 0 for jump
    double driverMax = 0.0;
};

// The statistics of deviations D[0..T] (`deviations` holds exactly the pass's samples).
// An empty pass gives all zeros; a pass shorter than 11 samples takes start and exit over
// the samples it has.
StatisticsOutcome passStatistics(std::span<const double> deviations, Event event,
                                 double directionSign);

// The report's shares (0.12 m band for slalom, 0.24 m for jump); centre takes the rest, so
// the three always add up to 100.
void applyReportShares(PassStatistics& statistics, std::span<const double> deviations, Event event,
                       double directionSign);

// The block appended to "originalmeasurements.txt" for one pass, CR LF after every line.
QString originalMeasurementsBlock(const StatisticsOutcome& outcome, Event event,
                                  const QDateTime& now);
