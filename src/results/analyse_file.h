#pragma once
// Re-analysis of a saved results file without the screens: the same reader as the results
// screen, the same statistics and report, for a record judge's check. Unlike the screen,
// which shows whatever a file holds, it refuses a file whose samples are not provably the
// whole pass its report was written for: a cut, a gap, a repeat or a damaged line.

#include "common/run_info.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <vector>

struct FileAnalysis
{
    bool ok = false;
    int line = 0;         // 1-based line the failure is about
    QString reason;       // why the file cannot be analysed
    QString report;       // the report as the results screen builds it
    QString databaseLine; // the database line, split, full and comment empty
    QStringList notes;    // what the reader should know about a file that was analysed
};

// What the caller prints: the report needs less of the header than the database line.
enum class AnalysisOutput { Report, DatabaseLine };

// Fewest samples a pass can have: the start and exit windows need ten each after sample 0.
inline constexpr int kMinAnalysedSamples = 11;

FileAnalysis analyseResultsFile(const QString& text, const QDateTime& now,
                                AnalysisOutput output = AnalysisOutput::Report);

// The samples of a saved slalom pass, for its per-buoy figures. A whole pass is taken as
// analyseResultsFile takes it. A pass that stopped before the exit gate is taken too when
// the file agrees with itself: its "Frames Measured:" line counts exactly the sample lines it
// holds, each whole and in turn, at the course positions of a pass at one of the slalom
// speeds. Its figures then cover the windows it reached; a file cut off is still refused.
struct SlalomPassRead
{
    bool ok = false;
    int line = 0;   // 1-based line the failure is about
    QString reason; // why the file gives no samples
    std::vector<double> deviations;
    int passTenths = 0; // of the whole pass: at least deviations.size() - 1
    Direction direction = Direction::Toward;
};

SlalomPassRead readSlalomPass(const QString& text);
