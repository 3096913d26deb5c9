#include "common/date_forms.h"

QString dateText(const QDateTime& t)
{
    return t.toString(QStringLiteral("MM-dd-yyyy"));
}

QString timeText(const QDateTime& t)
{
    return t.toString(QStringLiteral("HH:mm:ss"));
}

QString dayFileName(const QString& prefix, const QDateTime& t)
{
    return prefix + t.toString(QStringLiteral("MMdd")) + QStringLiteral(".txt");
}
