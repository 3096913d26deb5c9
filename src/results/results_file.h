#pragma once
// Saved results files: what "Save Result File" writes, and the reader that takes such a
// file back (both sample layouts). The reader never fails hard: any bytes give a result.

#include "common/run_info.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The file dialog filter of both results buttons, text files preselected.
inline constexpr const char* kResultsFileFilter = "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|";
inline constexpr int kResultsFileFilterIndex = 2;
// The largest results file read back; a saved pass is a few tens of kilobytes.
inline constexpr qint64 kResultsFileMaxBytes = 1024 * 1024;
// Longest line shown as it is; a report line is under a hundred characters, and a text box
// takes seconds to lay out a line of megabytes.
inline constexpr int kMaxShownLineLength = 1000;
// Most lines shown: a saved pass has a few hundred; a file of a million empty lines would
// hold the screen for seconds.
inline constexpr int kMaxShownLines = 2000;
// Samples a file may hold (index 0..500).
inline constexpr int kMaxReadSamples = 501;

// The saved file: the shown text, then the closing lines.
QString savedResultsText(const QString& shownText);

// "Slalom Pass Results" / "Jump Pass Results"
QString resultsFileTitle(Event event);
// The message when a file's first line is not the selected event's title.
QString notValidResultsFileMessage(Event event);

enum class ReadStatus {
    Ok,        // the sample scan finished: draw the trace
    NotValid,  // first line is not the title of the expected event
    NoSamples, // the file ended before any sample line
    TooMany,   // more than kMaxReadSamples sample lines
};

struct ResultsFileRead
{
    ReadStatus status = ReadStatus::NotValid;
    QStringList shownLines;         // the lines shown in the report box, in order
    bool comingToward = false;      // a header line begins with "Boat is co"
    std::vector<double> deviations; // metres
    std::vector<double> positions;  // course position as written, metres
    QStringList headerLines;        // the lines before the first sample line (title included)
    int firstSampleLine = 0;        // 1-based line number of the first sample line
    bool buoyLayout = false;        // the samples are in the older "Buoy" layout
};

// Reads a results file's text for the event selected now. On NotValid nothing is shown.
ResultsFileRead readResultsFile(const QString& text, Event expected);

// The value following `label` on the first header line that starts with it.
std::optional<QString> headerValue(const QStringList& headerLines, const QString& label);
