#include "app/missing_skier.h"

void MissingSkierQuestion::follow(const QString& now)
{
    if (now == skier)
        return;
    skier = now;
    agreed = false;
}

bool MissingSkierQuestion::mustAsk() const
{
    return skier.trimmed().isEmpty() && !agreed;
}

QString MissingSkierQuestion::text()
{
    return QStringLiteral("No skier is picked. Measure without a skier name?");
}
