#pragma once
// The day's files in the results folder: the result log with every report, the database
// log with one line per pass, and the statistics side file.

#include <QDateTime>
#include <QString>

// "ResultLog" + MM + DD + ".txt" and "dbResultLog" + MM + DD + ".txt"
QString resultLogName(const QDateTime& now);
QString databaseLogName(const QDateTime& now);
inline constexpr const char* kOriginalMeasurementsFile = "originalmeasurements.txt";

// What the result log gains for a report: the report and one empty line after it.
QString resultLogRecord(const QString& report);
// The session header lines written when the calibration screen becomes active.
QString resultLogSessionHeader(const QDateTime& now);
QString databaseLogSessionHeader(const QDateTime& now);
