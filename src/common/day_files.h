#pragma once
// The two day logs in the results folder and the header line each gets when a test session
// starts (every time the calibration screen becomes active).

#include <QDateTime>
#include <QString>

// "ResultLog" + MM + DD + ".txt" and "dbResultLog" + MM + DD + ".txt"
QString resultLogName(const QDateTime& now);
QString databaseLogName(const QDateTime& now);
// The session header lines, without their line end.
QString resultLogHeader(const QDateTime& now);
QString databaseLogHeader(const QDateTime& now);
