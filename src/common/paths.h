#pragma once
// Results-folder paths: the folder as typed plus a file name, joined with QDir.

#include <QString>

// The results folder with one trailing "\" or "/" removed; `changed` tells whether it was.
QString withoutTrailingSeparator(const QString& folder, bool* changed = nullptr);
// folder + separator + name; a relative folder is taken inside `base` (the program folder).
QString resultsFilePath(const QString& resultsFolder, const QString& name,
                        const QString& base = QString());
