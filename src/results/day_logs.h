#pragma once
// The day's files in the results folder: the result log with every report, the database
// log with one line per pass, and the statistics side file.

#include "common/day_files.h"

#include <QString>

inline constexpr const char* kOriginalMeasurementsFile = "originalmeasurements.txt";

// What the result log gains for a report: the report and one empty line after it.
QString resultLogRecord(const QString& report);
