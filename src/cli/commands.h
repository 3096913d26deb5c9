#pragma once
// The commands of wakeline-cli. Each takes its arguments (after the command name) and the
// standard streams, and returns the exit code: 0 done, 1 the computation failed (singular
// system, zero denominator), 2 bad input (the message names the line and field).

#include <QStringList>
#include <QTextStream>

struct CliStreams
{
    QTextStream& in;
    QTextStream& out;
    QTextStream& err;
};

struct CliCommand
{
    const char* name;
    const char* usage;   // one line: arguments
    const char* summary; // a few lines: what it does
    int (*run)(const QStringList& args, CliStreams& io);
};

// solve_command.cpp
extern const char kSolveUsage[];
extern const char kSolveSummary[];
int runSolve(const QStringList& args, CliStreams& io);
// The commands, one file each.
int runAnalyse(const QStringList& args, CliStreams& io); // analyse_command.cpp
extern const CliCommand kAccuracyCommand;                // accuracy_command.cpp
int runTrack(const QStringList& args, CliStreams& io);   // track_command.cpp

// analyse --buoys (analyse_buoys.cpp): the per-buoy figures of a saved pass's text, as a table
// or as CSV; exit code as above.
struct BuoyOptions
{
    QString rulesPath; // empty: the built-in default rule set
    bool csv = false;
};
int printBuoyFigures(const QString& shownPath, const QString& text, const BuoyOptions& options,
                     CliStreams& io);
