#pragma once
// Results-folder paths: the folder as typed plus a file name, joined with QDir.

#include <QString>

// The results folder with one trailing "\" or "/" removed; `changed` tells whether it was.
QString withoutTrailingSeparator(const QString& folder, bool* changed = nullptr);
// folder + separator + name; a relative folder is taken inside `base` (the program folder).
QString resultsFilePath(const QString& resultsFolder, const QString& name,
                        const QString& base = QString());
// The results folder itself, absolute: a relative folder is taken inside `base`.
QString absoluteResultsFolder(const QString& resultsFolder, const QString& base = QString());
// folder + "/" + stem + suffix, or with "-2", "-3" ... after the stem when that file exists:
// a name no other file in the folder has now.
QString unusedFilePath(const QString& folder, const QString& stem, const QString& suffix);
