#pragma once
// Date and time texts of reports and logs, and the names of the day files.

#include <QDateTime>
#include <QString>

// "MM-DD-YYYY"
QString dateText(const QDateTime& t);
// "HH:MM:SS", 24-hour clock
QString timeText(const QDateTime& t);
// prefix + MM + DD + ".txt", e.g. dayFileName("ResultLog", 7 December) = "ResultLog1207.txt"
QString dayFileName(const QString& prefix, const QDateTime& t);
