#include "common/paths.h"

#include <QDir>

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
