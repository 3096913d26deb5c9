#include "app/start_up.h"

#include "app/settings_keys.h"
#include "common/list_items.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "platform/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Per list: the editor's key, the file in the program folder, the field's text before a pick.
struct NameListNames
{
    NameList list;
    const char* key;
    const char* file;
    const char* placeholder;
};
constexpr std::array<NameListNames, 4> kNameLists{{
    {NameList::Drivers, "Drivers", "drivers.txt", "Drivers"},
    {NameList::Skiers, "Skiers", "skiers.txt", "Skiers"},
    {NameList::Boats, "Boats", "boats.txt", "Boat Manufacturer"},
    {NameList::Models, "Models", "models.txt", "Boat Model"},
}};

const NameListNames& namesOf(NameList list)
{
    for (const NameListNames& n : kNameLists)
        if (n.list == list)
            return n;
    return kNameLists[0];
}

} // namespace

QString nameListKey(NameList list)
{
    return QString::fromLatin1(namesOf(list).key);
}
QString nameListFile(NameList list)
{
    return QString::fromLatin1(namesOf(list).file);
}
QString nameListPlaceholder(NameList list)
{
    return QString::fromLatin1(namesOf(list).placeholder);
}

QStringList createMissingListFiles(const QString& programFolder)
{
    QStringList failures;
    const QDir dir(programFolder);
    for (NameList list : kNameListsInLoadOrder) {
        const QString path = dir.filePath(nameListFile(list));
        if (QFileInfo::exists(path))
            continue;
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            failures << writeFailureMessage(path, f.errorString());
    }
    return failures;
}

QStringList readNameList(const QString& path)
{
    const std::optional<QString> text = readTextFile(path);
    return text ? readListItems(*text) : QStringList();
}

QString initialResultsFolder(const SettingsStore& settings, const QString& programFolder)
{
    const std::optional<QString> stored =
        settings.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath);
    if (!stored)
        return QStringLiteral("Default");
    if (stored->isEmpty())
        return programFolder;
    return *stored;
}

FolderCheck checkResultsFolder(const QString& folder, const QString& programFolder)
{
    FolderCheck check;
    check.folder = withoutTrailingSeparator(folder, &check.trimmed);
    QFile probe(resultsFilePath(check.folder, QStringLiteral("test.txt"), programFolder));
    if (!probe.open(QIODevice::Append)) {
        // The system's text alone ("No such file or directory") leaves the operator guessing
        // which folder is meant: a relative name is taken inside the program folder.
        check.error = QStringLiteral("The results folder %1 cannot be used: %2.")
                          .arg(QDir::toNativeSeparators(QFileInfo(probe.fileName()).absolutePath()),
                               probe.errorString());
        return check;
    }
    probe.close();
    check.ok = true;
    return check;
}
