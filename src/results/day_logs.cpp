#include "results/day_logs.h"

#include "common/date_forms.h"
#include "common/text_file.h"

QString resultLogName(const QDateTime& now)
{
    return dayFileName(QStringLiteral("ResultLog"), now);
}

QString databaseLogName(const QDateTime& now)
{
    return dayFileName(QStringLiteral("dbResultLog"), now);
}

QString resultLogRecord(const QString& report)
{
    return report + QString::fromLatin1(kCrLf);
}

QString resultLogSessionHeader(const QDateTime& now)
{
    return QStringLiteral("Test Session Results Log Setup Starting ") + dateText(now) +
           QStringLiteral(" ") + timeText(now) + QString::fromLatin1(kCrLf);
}

QString databaseLogSessionHeader(const QDateTime& now)
{
    return QStringLiteral("Test Session Database Log Setup Starting ") + dateText(now) +
           QStringLiteral(" ") + timeText(now) + QString::fromLatin1(kCrLf);
}
