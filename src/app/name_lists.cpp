#include "app/name_lists.h"

#include "common/list_items.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

std::optional<NameList> nameListForKey(const QString& key)
{
    for (NameList list : kNameListsInLoadOrder)
        if (nameListKey(list) == key)
            return list;
    return std::nullopt;
}

namespace {

bool isBlank(QChar c)
{
    return c == ' ' || c == '\t';
}

// The item rule drops the quotes of a quoted item; an item holding a comma or a line
// break, or with blanks at either end, only reads back whole inside quotes again. An item
// never holds both a comma and a quote, so the quotes need no escape.
bool needsQuotes(const QString& item)
{
    if (item.isEmpty())
        return false;
    return item.contains(',') || item.contains('\r') || item.contains('\n') ||
           isBlank(item.front()) || isBlank(item.back());
}

} // namespace

QString editorTextFromItems(const QStringList& items)
{
    QString text;
    for (const QString& item : items) {
        if (needsQuotes(item))
            text += '"' + item + '"';
        else
            text += item;
        text += QLatin1String(kCrLf);
    }
    return text;
}

QString listFileText(const QString& editorText)
{
    QString text;
    text.reserve(editorText.size() + 2);
    const qsizetype n = editorText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = editorText[i];
        if (c == '\r' || c == '\n') {
            text += QLatin1String(kCrLf);
            if (c == '\r' && i + 1 < n && editorText[i + 1] == '\n')
                ++i;
        } else {
            text += c;
        }
    }
    while (text.endsWith(' '))
        text.chop(1);
    return text + QLatin1String(kCrLf);
}

ListForEditing readListForEditing(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (!QFileInfo::exists(path))
            return {};
        return {false, QString(),
                QStringLiteral("Could not read the file %1: %2.")
                    .arg(QDir::toNativeSeparators(path), f.errorString())};
    }
    return {true, editorTextFromItems(readListItems(decodeText(f.readAll()))), QString()};
}

WriteResult saveNameList(const QString& path, const QString& editorText)
{
    return replaceFile(path, listFileText(editorText));
}
