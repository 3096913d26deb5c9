#pragma once
// The database line of a pass on the results screen, kept in a file of its own in the results
// folder from the moment the screen opens until the return sequence has appended it to the
// day's database log. The report and the side files are written when the screen opens, the
// database line only when it is left: a program stopped in between (killed, crashed, the
// power gone) leaves the pending file, and the next start offers its line.

#include "common/text_file.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// Said with a pending file that could not be written.
inline constexpr const char* kPendingLineNote =
    "The database line of this pass is written as usual when you leave this screen; only if "
    "Wakeline stopped before that would it be lost.";

// What a pending file holds: when the pass was measured, the database log of that day, and
// the line exactly as the return sequence would append it (without its CR LF).
struct PendingLine
{
    QDateTime measured;
    QString logName; // "dbResultLog1207.txt"
    QString line;
};

// The file's text: a first line that names it, then one line per item.
QString pendingLineText(const PendingLine& pending);

// A pending file read back: the line, or why the file cannot be one.
struct PendingLineRead
{
    std::optional<PendingLine> pending;
    QString problem; // for the operator, when pending is empty
};
PendingLineRead readPendingLine(const QString& path);
// The same for a file's text.
PendingLineRead parsePendingLine(const QString& text);

// The pending files lying in the folder, oldest first.
QStringList pendingLineFiles(const QString& folder);

// Whether the log at `logPath` already holds `line` as one of its lines.
bool logHoldsLine(const QString& logPath, const QString& line);

// The line of a pass recovered at start: appended to its day's log in the pending file's
// folder, then the pending file goes. A line the log already holds (the program stopped
// between the append and the removal) is not appended again.
struct Recovery
{
    WriteResult written;
    bool alreadyInLog = false;
};
Recovery recoverPendingLine(const QString& pendingPath, const PendingLine& pending);

// The results screen's pending file, from its opening to its return sequence.
class PendingDatabaseLine
{
public:
    // A pass measured at `measured` is on the results screen: its line goes into a new pending
    // file in `folder` at the first keep().
    void begin(const QString& folder, const QDateTime& measured);
    // The line as the return sequence would write it now; the file is replaced when the line
    // changed. A failure's message (naming the file and the reason) comes once, until a write
    // succeeds again; the screen goes on either way.
    std::optional<QString> keep(const QString& line);
    // The return sequence: the line appended to the database log at `logPath`, and the pending
    // file removed only once the line is in. After this nothing more is kept.
    WriteResult append(const QString& logPath, const QString& line);
    // The pending file holds the last line kept.
    bool kept() const { return keptLine.has_value(); }
    const QString& path() const { return path_; }

private:
    enum class State { Idle, Keeping };
    State state = State::Idle;
    QString path_;
    QDateTime measured;
    std::optional<QString> keptLine;
    bool failureTold = false;
};
