#include "results/day_logs.h"

#include "common/text_file.h"

QString resultLogRecord(const QString& report)
{
    return report + QString::fromLatin1(kCrLf);
}
