#include "common/list_items.h"

QStringList readListItems(const QString& text)
{
    QStringList items;
    const int n = int(text.size());
    int i = 0;
    auto atLineEnd = [&](int at) { return at >= n || text[at] == '\r' || text[at] == '\n'; };
    while (i < n) {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (atLineEnd(i)) {
            // An empty line (or blanks only) gives no item.
            while (i < n && (text[i] == '\r' || text[i] == '\n'))
                ++i;
            continue;
        }
        QString item;
        if (text[i] == '"') {
            const int close = text.indexOf('"', i + 1);
            const int end = close < 0 ? n : close;
            item = text.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Whatever follows the closing quote up to the delimiter is not part of the item.
            while (i < n && text[i] != ',' && !atLineEnd(i))
                ++i;
        } else {
            const int start = i;
            while (i < n && text[i] != ',' && !atLineEnd(i))
                ++i;
            item = text.mid(start, i - start);
            while (item.endsWith(' ') || item.endsWith('\t'))
                item.chop(1);
        }
        items << item;
        if (i < n && text[i] == ',')
            ++i;
        else
            while (i < n && (text[i] == '\r' || text[i] == '\n'))
                ++i;
    }
    return items;
}
