#include "common/paths.h"

#include <QDir>
#include <QFileInfo>

QString withoutTrailingSeparator(const QString& folder, bool* changed)
{
    const bool trailing = folder.endsWith('\\') || folder.endsWith('/');
    if (changed)
        *changed = trailing;
    return trailing ? folder.left(folder.size() - 1) : folder;
}

QString resultsFilePath(const QString& resultsFolder, const QString& name, const QString& base)
{
    // Folders typed on Windows workstations use "\"; QDir wants "/".
    QString folder = resultsFolder;
    folder.replace('\\', '/');
    if (folder.isEmpty())
        return QDir(base.isEmpty() ? QDir::currentPath() : base).filePath(name);
    if (QDir::isRelativePath(folder) && !base.isEmpty())
        return QDir(base).filePath(folder + QStringLiteral("/") + name);
    return QDir(folder).filePath(name);
}

QString absoluteResultsFolder(const QString& resultsFolder, const QString& base)
{
    return QFileInfo(resultsFilePath(resultsFolder, QStringLiteral("x"), base)).absolutePath();
}

QString unusedFilePath(const QString& folder, const QString& stem, const QString& suffix)
{
    const QDir dir(folder);
    QString path = dir.filePath(stem + suffix);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(stem + QStringLiteral("-%1").arg(n) + suffix);
    return path;
}
