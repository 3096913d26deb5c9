#pragma once
// The program folder: name lists, standard setup files, state pictures, sample pictures,
// and the working folder.

#include <QString>
#include <QStringList>

// --program-folder wins; otherwise the executable's folder when it is writable and not a
// system install; otherwise the per-user data folder.
QString resolveProgramFolder(const QString& overrideFolder, const QString& executableFolder,
                             const QString& userDataFolder);

// True when the executable was installed as a desktop program (its desktop entry beside it in
// ../share/applications): its folder is then never the program folder, even for root.
bool isInstalledLayout(const QString& executableFolder);

// True when a file can be created in the folder (probed, not guessed from permissions).
bool folderIsWritable(const QString& folder);

// First use: copies every built-in file under resourceRoot into the folder, keeping the
// sub-folders, and creates the empty "Default" results folder. A file the operator already
// has is never overwritten. Returns the operator's messages for what could not be made.
QStringList installBuiltInResources(const QString& folder,
                                    const QString& resourceRoot = QStringLiteral(":/program"));
