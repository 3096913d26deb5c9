// The list item rule on arbitrary bytes: never more items than the text has characters + 1.
#include "common/list_items.h"
#include "common/text_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString text = decodeText(bytes);
    const QStringList items = readListItems(text);
    if (items.size() > text.size() + 1)
        __builtin_trap();
    for (const QString& item : items)
        if (item.size() > text.size())
            __builtin_trap();
    return 0;
}
