#pragma once
// Where a pass's video goes: one file per pass in the results folder, named so that a person
// finds it by date, time, skier and pass number: "Pass 12-07-2026 14-05-09 Ann Smith 3.mkv".

#include <QDateTime>
#include <QString>

// Matroska: a file cut by a full disk or a killed program still plays up to where it stops.
inline constexpr char kRecordingSuffix[] = ".mkv";

// The name without its folder. The date is the program's MM-DD-YYYY, the time HH-MM-SS (a
// colon is refused by some file systems); the skier is left out when empty and the number
// when it is not positive. Characters a file system refuses become "_".
QString recordingFileName(const QDateTime& when, const QString& skier, int passNumber);

// recordingFileName inside `folder`, with "-2", "-3" ... before the suffix when that file
// exists already (two passes in the same second, a clock set back).
QString recordingFilePath(const QString& folder, const QDateTime& when, const QString& skier,
                          int passNumber);

// The number of the skier's next pass recorded on `day` in `folder`: one more than the highest
// number among the recordings there with that day and skier in their names, or 1 when none is
// there. A program started again in the middle of a day goes on counting where it stopped.
int nextPassNumber(const QString& folder, const QDateTime& day, const QString& skier);
