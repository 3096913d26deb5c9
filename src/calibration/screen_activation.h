#pragma once
// What happens each time the calibration screen becomes active: the survey boxes take the
// standard course of the chosen event, and both day logs get a session header line.

#include "calibration/buoy_marking.h"
#include "common/day_files.h"
#include "common/run_info.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// The standard course's survey positions in point order (upper right, lower right, upper
// left, lower left): slalom gates 2.5 m wide 259 m apart, jump gates 4 m wide 280 m apart.
std::array<Point2, 4> standardSurvey(Event event);

struct BoxWrite
{
    CoordinateBox box;
    QString text;
};
// The survey box writes that switch the screen to the event's course; none when the upper
// left survey x already holds the event's value.
std::vector<BoxWrite> surveyDefaults(Event event, const QString& ulSurveyXText);

// Appends the two header lines to the day logs in the results folder. Returns the
// operator's messages for the lines that could not be written (none when all went well).
QStringList appendSessionHeaders(const QString& resultsFolder, const QString& programFolder,
                                 const QDateTime& now);
