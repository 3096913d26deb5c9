#include "recording/recording_names.h"

#include "common/date_forms.h"
#include "common/paths.h"

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
