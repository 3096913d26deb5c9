#include "platform/qt/video_path_check.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

std::optional<QString> videoPathProblem(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat entry
    {
    };
    // stat follows links: a link is what it points to.
    if (::stat(name.constData(), &entry) != 0) {
        if (errno == EACCES)
            return QStringLiteral("The file cannot be read (permission denied).");
        return QStringLiteral("The file does not exist.");
    }
    const mode_t kind = entry.st_mode & S_IFMT;
    if (kind == S_IFDIR)
        return QStringLiteral("It is a folder, not a video file.");
    if (kind == S_IFIFO)
        return QStringLiteral("It is not a regular file (a named pipe).");
    if (kind == S_IFCHR || kind == S_IFBLK)
        return QStringLiteral("It is not a regular file (a device).");
    if (kind == S_IFSOCK)
        return QStringLiteral("It is not a regular file (a socket).");
    if (kind != S_IFREG)
        return QStringLiteral("It is not a regular file.");
    if (::access(name.constData(), R_OK) != 0)
        return QStringLiteral("The file cannot be read (permission denied).");
    if (entry.st_size == 0)
        return QStringLiteral("The file is empty (0 bytes).");
    return std::nullopt;
}
