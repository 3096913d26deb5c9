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

// Per list: the editor's key, the file in the program folder, the field's placeholder.
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

// Enough bytes to need room on the disk, and more than a file size limit of a few bytes lets
// through.
constexpr const char* kFolderProbeBytes = "Wakeline folder check\r\n";

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

QString ResultsFolderSetting::remember(const QString& folder)
{
    QString error;
    if (settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath, folder,
                          &error)) {
        failing = false;
        return QString();
    }
    if (failing)
        return QString();
    failing = true;
    return QStringLiteral("The results folder could not be remembered for the next start: %1.")
        .arg(error);
}

FolderCheck checkResultsFolder(const QString& folder, const QString& programFolder)
{
    FolderCheck check;
    check.folder = withoutTrailingSeparator(folder, &check.trimmed);
    QFile probe(
        resultsFilePath(check.folder, QString::fromLatin1(kFolderProbeFile), programFolder));
    // The system's text alone ("No such file or directory") leaves the operator guessing
    // which folder is meant: a relative name is taken inside the program folder.
    const auto refuse = [&](const QString& reason) {
        check.error =
            QStringLiteral("The results folder %1 cannot be used: %2.")
                .arg(QDir::toNativeSeparators(QFileInfo(probe.fileName()).absolutePath()), reason);
        return check;
    };
    // Opening alone passes a full disk: a file of no bytes needs no room. The probe writes a
    // few bytes, unbuffered so that the write itself fails, and takes them back.
    const bool created =
        probe.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
    if (!created && !probe.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return refuse(probe.errorString());
    const qint64 before = probe.size();
    const bool written = writeAllBytes(probe, QByteArray(kFolderProbeBytes));
    const QString reason = probe.errorString();
    // An existing probe file is left as it was; one made here goes again.
    probe.resize(before);
    probe.close();
    if (created)
        probe.remove();
    if (!written)
        return refuse(reason);
    check.ok = true;
    return check;
}
