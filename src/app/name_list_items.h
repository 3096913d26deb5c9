#pragma once
// The items of the four name lists as the start screen offers them, for the screens that
// copy them into their own drop-downs.

#include "app/start_up.h"

#include <QStringList>
#include <array>

struct NameListItems
{
    std::array<QStringList, 4> lists; // by NameList

    QStringList& operator[](NameList list) { return lists[size_t(list)]; }
    const QStringList& operator[](NameList list) const { return lists[size_t(list)]; }
};
