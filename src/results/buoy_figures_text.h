#pragma once
// The per-buoy figures as people read them: the table for the terminal and the day's buoy
// log, the rows of the results screen's table, and the CSV for scripts.

#include "common/run_info.h"
#include "results/buoy_figures.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// The table for the terminal, headed by the rule set's name and figures; one line each.
QStringList buoyFiguresTable(const BuoyFigures& figures);
// What the reader of the figures needs beside them: the pass's direction and samples, where
// a short pass stops, why there are no figures, how the readings are signed.
QStringList buoyFiguresNotes(const BuoyFigures& figures);

// One row of the results screen's table, as the operator reads it.
struct BuoyTableRow
{
    QString window;     // "Gate", "Buoy 1".."Buoy 6"
    QString span;       // "27..32 m": from the entrance gate
    QString samples;    // in the window
    QString reading;    // cm: "+12.5" toward the skier, "12.0 right" at the gate; "-" for none
    QString cumulative; // buoy rows, cm; "-" unknown; empty for the gate
    QString tolerance;  // cm, "none" where not judged; buoy rows "reading / cumulative"
    QString verdict;    // "within", "OUT", "not judged", "not reached", "too few samples"
    QString detail;     // the verdict of a row without a reading in a sentence; else empty
    std::optional<bool> readingWithin;
    std::optional<bool> cumulativeWithin;
    std::optional<bool> within;
};
// The gate and buoys 1..6; the zones stay in the day file's table.
std::array<BuoyTableRow, 1 + kGuideBuoys> buoyTableRows(const BuoyFigures& figures);
// The gate and buoy rows as CSV, CR LF after every line; the zone figures stay in the table,
// so that a script meets the rows "gate", "1".."6" and no others:
// window,start_m,end_m,samples,reading_m,cumulative_m,limit_m,cumulative_limit_m,within
// An empty field where a figure does not exist; within: "yes" when every figure of the row
// that can be judged is within its tolerance, "no" when one is out, empty when none can be.
QString buoyFiguresCsv(const BuoyFigures& figures);

// "BuoyLog" + MM + DD + ".txt"
QString buoyLogName(const QDateTime& now);
// One pass's block for the day's buoy log: the run's particulars, the rule set's figures
// and the table, CR LF after every line and an empty line after the block.
QString buoyLogBlock(const RunInfo& run, const BuoyFigures& figures, const QDateTime& now);
