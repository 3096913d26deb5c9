#pragma once
// The name list editor's text rules: what the editor shows for a list file, and what
// "Close/Save" writes back.

#include "app/start_up.h"
#include "common/text_file.h"

#include <QString>
#include <QStringList>
#include <optional>

// The list of a key; std::nullopt for anything else (an editor that was never opened).
std::optional<NameList> nameListForKey(const QString& key);

// The editor's text for a list's items: one item a line, each line ended by CR LF. An item
// that would not read back as itself without its quotes (a comma, a line break, blanks at
// either end) is shown in double quotes, so that saving an unchanged list keeps it whole.
QString editorTextFromItems(const QStringList& items);

// What "Close/Save" writes: the editor text with CR LF line ends, the spaces at its very end
// removed (a final line end stays), and one CR LF more.
QString listFileText(const QString& editorText);

// A list file read for the editor.
struct ListForEditing
{
    bool ok = true;
    QString editorText;
    QString message; // for the operator when !ok: names the file and the reason
};
// A file that has gone since start gives an empty editor; saving makes the file again. A
// file that is there but cannot be read is refused: saving over it would lose names the
// operator was never shown.
ListForEditing readListForEditing(const QString& path);

// Replaces the list file with listFileText(editorText); a failed write leaves the old file.
WriteResult saveNameList(const QString& path, const QString& editorText);
