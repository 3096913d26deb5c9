#pragma once
// The program folder: name lists, standard setup files, state pictures, sample pictures,
// and the working folder.

#include <QString>
#include <QStringList>

// --program-folder wins; otherwise the executable's folder when it is writable; otherwise
// the per-user data folder.
QString resolveProgramFolder(const QString& overrideFolder, const QString& executableFolder,
                             const QString& userDataFolder);

// True when a file can be created in the folder (probed, not guessed from permissions).
bool folderIsWritable(const QString& folder);

// First use: copies every built-in file under resourceRoot into the folder, keeping the
// sub-folders, and creates the empty "Default" results folder. A file the operator already
// has is never overwritten. Returns the operator's messages for what could not be made.
QStringList installBuiltInResources(const QString& folder,
                                    const QString& resourceRoot = QStringLiteral(":/program"));
