#include "recording/recording_names.h"

#include "common/date_forms.h"
#include "common/paths.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>

namespace {

// A skier's name as typed can be long, so cap it: a whole name stays well under the 255
// bytes file systems allow, whatever its script.
constexpr int kMaxSkierChars = 60;

bool refused(QChar c)
{
    // Windows refuses these; "/" and NUL every system; control characters confuse any shell.
    return c.unicode() < 0x20 || c.unicode() == 0x7f || QStringLiteral("\\/:*?\"<>|").contains(c);
}

QString fileSafe(const QString& text)
{
    QString safe = text.simplified();
    for (QChar& c : safe)
        if (refused(c))
            c = QLatin1Char('_');
    safe.truncate(kMaxSkierChars);
    return safe.trimmed();
}

QString stemOf(const QDateTime& when, const QString& skier, int passNumber)
{
    QString stem = QStringLiteral("Pass ") + dateText(when) + QLatin1Char(' ') +
                   when.toString(QStringLiteral("HH-mm-ss"));
    const QString name = fileSafe(skier);
    if (!name.isEmpty())
        stem += QLatin1Char(' ') + name;
    if (passNumber > 0)
        stem += QLatin1Char(' ') + QString::number(passNumber);
    return stem;
}

} // namespace

QString recordingFileName(const QDateTime& when, const QString& skier, int passNumber)
{
    return stemOf(when, skier, passNumber) + QLatin1String(kRecordingSuffix);
}

QString recordingFilePath(const QString& folder, const QDateTime& when, const QString& skier,
                          int passNumber)
{
    return unusedFilePath(folder, stemOf(when, skier, passNumber), QLatin1String(kRecordingSuffix));
}

int nextPassNumber(const QString& folder, const QDateTime& day, const QString& skier)
{
    const QString name = fileSafe(skier);
    // "Pass <date> <time>[ <skier>] <number>[-<copy>].mkv"
    const QRegularExpression pattern(
        QStringLiteral("^Pass %1 \\d\\d-\\d\\d-\\d\\d%2 (\\d+)(-\\d+)?%3$")
            .arg(QRegularExpression::escape(dateText(day)),
                 name.isEmpty() ? QString()
                                : QStringLiteral(" ") + QRegularExpression::escape(name),
                 QRegularExpression::escape(QLatin1String(kRecordingSuffix))));
    int highest = 0;
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString& file : files)
        if (const QRegularExpressionMatch m = pattern.match(file); m.hasMatch())
            highest = std::max(highest, m.captured(1).toInt());
    return highest + 1;
}
