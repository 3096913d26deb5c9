#include "common/day_files.h"

#include "common/date_forms.h"

QString resultLogName(const QDateTime& now)
{
    return dayFileName(QStringLiteral("ResultLog"), now);
}

QString databaseLogName(const QDateTime& now)
{
    return dayFileName(QStringLiteral("dbResultLog"), now);
}

QString resultLogHeader(const QDateTime& now)
{
    return QStringLiteral("Test Session Results Log Setup Starting ") + dateText(now) + ' ' +
           timeText(now);
}

QString databaseLogHeader(const QDateTime& now)
{
    return QStringLiteral("Test Session Database Log Setup Starting ") + dateText(now) + ' ' +
           timeText(now);
}
