#include "results/pending_database_line.h"

#include "common/date_forms.h"
#include "common/day_files.h"
#include "common/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kFirstLine = QStringLiteral("Wakeline database line not yet written");
const QString kStem = QStringLiteral("PendingDatabaseLine");
const QString kSuffix = QStringLiteral(".txt");
const QString kMeasuredForm = QStringLiteral("MM-dd-yyyy HH:mm:ss");
constexpr int kFields = 22;
// A pending file is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxBytes = 64 * 1024;

PendingLineRead problem(const QString& why)
{
    return {std::nullopt, why};
}

} // namespace

QString pendingLineText(const PendingLine& pending)
{
    const QString nl = QString::fromLatin1(kCrLf);
    return kFirstLine + nl + dateText(pending.measured) + ' ' + timeText(pending.measured) + nl +
           pending.logName + nl + pending.line + nl;
}

PendingLineRead readPendingLine(const QString& path)
{
    const std::optional<QString> text = readTextFile(path, kMaxBytes + 1);
    if (!text)
        return problem(QStringLiteral("it cannot be opened"));
    if (text->size() > kMaxBytes)
        return problem(QStringLiteral("it is far too long for one pass's line"));
    return parsePendingLine(*text);
}

PendingLineRead parsePendingLine(const QString& text)
{
    const QStringList lines = splitLines(text);
    if (lines.isEmpty())
        return problem(QStringLiteral("it is empty"));
    if (lines[0] != kFirstLine)
        return problem(QStringLiteral("its first line is not \"%1\"").arg(kFirstLine));
    if (lines.size() < 4)
        return problem(QStringLiteral("it is cut short"));
    if (lines.size() > 4)
        return problem(QStringLiteral("it has more lines than one pass's"));
    PendingLine pending;
    pending.measured = QDateTime::fromString(lines[1], kMeasuredForm);
    if (!pending.measured.isValid())
        return problem(QStringLiteral("its second line is not the date and time of a pass"));
    // Only a day log of the file's own folder: a name with a path in it would write elsewhere.
    static const QRegularExpression logName(QStringLiteral("^dbResultLog[0-9]{4}\\.txt$"));
    if (!logName.match(lines[2]).hasMatch())
        return problem(QStringLiteral("its third line does not name a day's database log"));
    pending.logName = lines[2];
    pending.line = lines[3];
    if (const int fields = int(pending.line.count('|')) + 1; fields != kFields)
        return problem(QStringLiteral("its database line has %1 fields instead of %2")
                           .arg(fields)
                           .arg(kFields));
    return {pending, QString()};
}

QStringList pendingLineFiles(const QString& folder)
{
    const QDir dir(folder);
    QStringList paths;
    // The names carry month, day and time: by name is by measurement within a year.
    for (const QString& name :
         dir.entryList({kStem + '*' + kSuffix}, QDir::Files | QDir::Hidden, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

bool logHoldsLine(const QString& logPath, const QString& line)
{
    const std::optional<QString> text = readTextFile(logPath);
    return text && splitLines(*text).contains(line);
}

Recovery recoverPendingLine(const QString& pendingPath, const PendingLine& pending)
{
    Recovery r;
    const QString logPath = QFileInfo(pendingPath).dir().filePath(pending.logName);
    r.alreadyInLog = logHoldsLine(logPath, pending.line);
    if (!r.alreadyInLog) {
        r.written = appendText(logPath, pending.line + QString::fromLatin1(kCrLf));
        if (!r.written)
            return r;
    }
    QFile f(pendingPath);
    if (!f.remove() && f.exists())
        // The line is in the log: the next start finds it there and does not append it again.
        r.written = {false, QStringLiteral("The line is in %1, but the file %2 could not be "
                                           "removed: %3.")
                                .arg(QDir::toNativeSeparators(logPath),
                                     QDir::toNativeSeparators(pendingPath), f.errorString())};
    return r;
}

void PendingDatabaseLine::begin(const QString& folder, const QDateTime& measuredAt)
{
    state = State::Keeping;
    measured = measuredAt;
    path_ =
        unusedFilePath(folder, kStem + measuredAt.toString(QStringLiteral("MMdd-HHmmss")), kSuffix);
    keptLine.reset();
    failureTold = false;
}

std::optional<QString> PendingDatabaseLine::keep(const QString& line)
{
    if (state != State::Keeping || keptLine == line)
        return std::nullopt;
    const WriteResult written =
        replaceFile(path_, pendingLineText({measured, databaseLogName(measured), line}));
    if (written) {
        keptLine = line;
        failureTold = false;
        return std::nullopt;
    }
    // The file may still hold an earlier line: it is no longer the one to offer as is, but it
    // stays, since a kill now would otherwise lose the pass altogether.
    keptLine.reset();
    if (failureTold)
        return std::nullopt;
    failureTold = true;
    return written.message;
}

WriteResult PendingDatabaseLine::append(const QString& logPath, const QString& line)
{
    state = State::Idle;
    const WriteResult written = appendText(logPath, line + QString::fromLatin1(kCrLf));
    if (written && !path_.isEmpty()) {
        // Once the line is in, the pending file must go; if it cannot, the next start finds
        // the line in the log and does not write it twice.
        QFile::remove(path_);
        keptLine.reset();
    }
    return written;
}
