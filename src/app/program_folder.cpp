#include "app/program_folder.h"

#include "common/text_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

QString resolveProgramFolder(const QString& overrideFolder, const QString& executableFolder,
                             const QString& userDataFolder)
{
    if (!overrideFolder.isEmpty())
        return QDir(overrideFolder).absolutePath();
    if (!isInstalledLayout(executableFolder) && folderIsWritable(executableFolder))
        return QDir(executableFolder).absolutePath();
    return QDir(userDataFolder).absolutePath();
}

bool isInstalledLayout(const QString& executableFolder)
{
    return QFileInfo::exists(
        QDir(executableFolder).filePath(QStringLiteral("../share/applications/wakeline.desktop")));
}

bool folderIsWritable(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".wakeline-probe-XXXXXX")));
    return probe.open();
}

QStringList installBuiltInResources(const QString& folder, const QString& resourceRoot)
{
    QStringList failures;
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        failures << QStringLiteral("The program folder %1 could not be created.")
                        .arg(QDir::toNativeSeparators(folder));
        return failures;
    }
    if (!dir.mkpath(QStringLiteral("Default")))
        failures << QStringLiteral("The results folder %1 could not be created.")
                        .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("Default"))));

    QDirIterator it(resourceRoot, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString relative = source.mid(resourceRoot.size() + 1);
        const QString target = dir.filePath(relative);
        if (QFileInfo::exists(target))
            continue;
        if (!dir.mkpath(QFileInfo(relative).path())) {
            failures << writeFailureMessage(target, QStringLiteral("its folder cannot be created"));
            continue;
        }
        QFile in(source);
        if (!in.open(QIODevice::ReadOnly)) {
            failures << writeFailureMessage(target, in.errorString());
            continue;
        }
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly) || out.write(in.readAll()) < 0 ||
            !out.flush()) {
            failures << writeFailureMessage(target, out.errorString());
            out.remove();
            continue;
        }
        // Copies of resources are read-only; the operator's copy must stay editable.
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                           QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    return failures;
}
