#pragma once
// Re-analysis of a saved results file without the screens: the same reader as the results
// screen, the same statistics and report, for a record judge's check.

#include <QDateTime>
#include <QString>

struct FileAnalysis
{
    bool ok = false;
    int line = 0;         // 1-based line the failure is about
    QString reason;       // why the file cannot be analysed
    QString report;       // the report as the results screen builds it
    QString databaseLine; // the database line, split, full and comment empty
};

// Fewest samples a pass can have: the start and exit windows need ten each after sample 0.
inline constexpr int kMinAnalysedSamples = 11;

FileAnalysis analyseResultsFile(const QString& text, const QDateTime& now);
