#pragma once
// The delimited-item rule of list files: leading blanks skipped; an item starting with a
// double quote runs to the next double quote (quotes dropped); any other item ends at a
// comma or the end of the line. "Smith, John" is two items.

#include <QString>
#include <QStringList>

// Items of a whole file's text in file order. Empty lines give no item.
QStringList readListItems(const QString& text);
