#pragma once
// The open-file dialog: a filter list in the "Name (*.ext)|*.ext|" form, a preselected
// filter (1-based), a starting folder. Cancel gives no path.

#include <QString>
#include <optional>

struct FileDialogRequest
{
    QString title;
    QString filter;         // "All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|"
    int filterIndex = 1;    // 1-based, as the filter list counts its entries
    QString folder;         // starting folder
    bool forSaving = false; // a new name may be typed
};

class FileDialog
{
public:
    virtual ~FileDialog() = default;
    virtual std::optional<QString> choose(const FileDialogRequest& request) = 0;
};
