#pragma once
// The logic of the program's start: name list files, and the results folder setting.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class SettingsStore;

// The four name lists, in the order the start screen reads them at start.
enum class NameList { Drivers, Skiers, Boats, Models };
inline constexpr std::array<NameList, 4> kNameListsInLoadOrder{NameList::Drivers, NameList::Skiers,
                                                               NameList::Boats, NameList::Models};

// "Drivers", "Skiers", "Boats", "Models": the list's key in the editor.
QString nameListKey(NameList list);
// "drivers.txt", "skiers.txt", "boats.txt", "models.txt"
QString nameListFile(NameList list);
// "Drivers", "Skiers", "Boat Manufacturer", "Boat Model": the field's placeholder, shown
// while it holds no name.
QString nameListPlaceholder(NameList list);

// Creates each missing list file empty in the folder; an existing one is left unchanged.
// Returns the operator's messages for files that could not be created.
QStringList createMissingListFiles(const QString& programFolder);
// The items of a list file by the item rule; an unreadable or missing file gives none.
QStringList readNameList(const QString& path);

// The results folder at start: the stored setting, "Default" when there is none, the
// program folder when the stored text is empty.
QString initialResultsFolder(const SettingsStore& settings, const QString& programFolder);

// The results folder remembered for the next start, written on every change of the field
// (each keystroke). A store that cannot be written is told once, not on every keystroke, and
// again only after a write has worked in between.
class ResultsFolderSetting
{
public:
    explicit ResultsFolderSetting(SettingsStore& settings) : settings(settings) {}
    // Stores `folder`. The operator's warning when this write failed and the one before did
    // not; empty otherwise.
    QString remember(const QString& folder);

private:
    SettingsStore& settings;
    bool failing = false;
};

// Outcome of the results folder check run before leaving the start screen.
struct FolderCheck
{
    bool ok = false;
    QString folder;       // the folder text after the trailing-separator rule
    bool trimmed = false; // one trailing "\" or "/" was removed
    QString error;        // names the folder and gives the platform's description of the failure
};
inline constexpr const char* kFolderProbeFile = "test.txt";
// Removes one trailing separator, then writes a few bytes to folder/"test.txt" and takes them
// back: an existing file is left as it was, a new one removed. A folder that takes no bytes
// (missing, read-only, a full disk) fails. A relative folder is taken inside the program
// folder.
FolderCheck checkResultsFolder(const QString& folder, const QString& programFolder);
