#pragma once
// What a path given as a video file is, when it cannot be one. Told from the file system's
// entry alone: nothing is opened, since opening a named pipe for reading waits for a writer
// and a device such as /dev/zero never ends.

#include <QString>
#include <optional>

// The operator's reason why the path cannot be played ("It is a folder, not a video file.");
// none when it is a readable file with something in it.
std::optional<QString> videoPathProblem(const QString& path);
