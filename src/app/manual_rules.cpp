#include "app/manual_rules.h"

#include "common/text_file.h"

#include <QFile>
#include <algorithm>

QString manualText(const QString& resourcePath)
{
    QFile f(resourcePath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return splitLines(decodeText(f.readAll())).join(QLatin1String(kCrLf));
}

QPoint manualPosition(const QRect& startFrame, const QSize& windowSize, const QRect& available)
{
    // A small gap, so that the two frames read as two windows.
    constexpr int kGap = 8;
    int x = startFrame.right() + 1 + kGap;
    if (x + windowSize.width() > available.right() + 1) {
        const int left = startFrame.left() - kGap - windowSize.width();
        x = left >= available.left() ? left : available.right() + 1 - windowSize.width();
    }
    x = std::max(x, available.left());
    int y = std::min(startFrame.top(), available.bottom() + 1 - windowSize.height());
    y = std::max(y, available.top());
    return {x, y};
}
