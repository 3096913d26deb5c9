#pragma once
// The database line: one pass as 22 fields joined by "|", for spreadsheets that load the
// day's database log by field position.

#include "common/run_info.h"
#include "measure/pass_record.h"

#include <QString>

struct DatabaseLineInputs
{
    RunInfo run;
    QString speedText; // the measurement screen's speed caption
    QString lineText;  // the measurement screen's line caption
    PassSamples samples;
    PassStatistics statistics;
    QString split;
    QString full;
    QString comment;
};

// The line without its CR LF.
QString databaseLine(const DatabaseLineInputs& in);

// A typed "|" or line break would shift or split the fields: each becomes a blank.
QString databaseField(QString text);
