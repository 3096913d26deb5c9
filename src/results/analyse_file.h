#pragma once
// Re-analysis of a saved results file without the screens: the same reader as the results
// screen, the same statistics and report, for a record judge's check. Unlike the screen,
// which shows whatever a file holds, it refuses a file whose samples are not provably the
// whole pass its report was written for: a cut, a gap, a repeat or a damaged line.

#include <QDateTime>
#include <QString>
#include <QStringList>

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
