#pragma once
// Files that cannot be written, three ways (the folder missing, read-only, the disk full), and
// how the operator's message names the reason: for the tests that break a folder under the
// program and check what it says and keeps.

#include "support/write_block.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <utility>

enum class Failure { FolderMissing, FolderReadOnly, DiskFull };

inline std::string failureName(const testing::TestParamInfo<Failure>& info)
{
    switch (info.param) {
    case Failure::FolderMissing:
        return "FolderMissing";
    case Failure::FolderReadOnly:
        return "FolderReadOnly";
    case Failure::DiskFull:
        return "DiskFull";
    }
    return "Unknown";
}

inline const auto kAllFailures =
    testing::Values(Failure::FolderMissing, Failure::FolderReadOnly, Failure::DiskFull);

// Qt gives its own English text for the common errors and the C library's, in the locale's
// language, for the others ("File too large", "Die Datei ist zu groß").
inline bool namesReason(const QString& message, const char* english, int error)
{
    return message.contains(QLatin1String(english)) ||
           message.contains(QString::fromLocal8Bit(std::strerror(error)));
}

// The system's reason as the operator reads it. Tests running as root meet the file size
// limit where others meet the folder's permissions.
inline bool namesTheReason(Failure kind, const QString& message)
{
    switch (kind) {
    case Failure::FolderMissing:
        return namesReason(message, "No such file or directory", ENOENT);
    case Failure::FolderReadOnly:
        return namesReason(message, "Permission denied", EACCES) ||
               namesReason(message, "File too large", EFBIG);
    case Failure::DiskFull:
        return namesReason(message, "No space left on device", ENOSPC) ||
               namesReason(message, "File too large", EFBIG);
    }
    return false;
}

// A disk that fills part way through a file: the system's file size limit for this process.
class SizeLimit
{
public:
    explicit SizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~SizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        signal(SIGXFSZ, oldHandler);
    }
    SizeLimit(const SizeLimit&) = delete;
    SizeLimit& operator=(const SizeLimit&) = delete;

private:
    rlimit saved{};
    sighandler_t oldHandler = SIG_DFL;
};

// A folder broken the way a test's parameter says: taken away (a memory stick pulled out) or
// made read-only until mend(), or the disk full for the files named until the end.
class BrokenFolder
{
public:
    BrokenFolder(QString folder, Failure kind) : folder(std::move(folder)), kind(kind) {}
    ~BrokenFolder() { mend(); }
    BrokenFolder(const BrokenFolder&) = delete;
    BrokenFolder& operator=(const BrokenFolder&) = delete;

    void breakFor(const QStringList& names)
    {
        switch (kind) {
        case Failure::FolderMissing:
            ASSERT_TRUE(QDir().rename(folder, awayPath()));
            movedAway = true;
            break;
        case Failure::FolderReadOnly:
            block.emplace(folder);
            break;
        case Failure::DiskFull:
            for (const QString& name : names) {
                const QString path = QDir(folder).filePath(name);
                QFile::remove(path);
                ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), path));
            }
            break;
        }
    }
    void mend()
    {
        block.reset();
        if (movedAway) {
            EXPECT_TRUE(QDir().rename(awayPath(), folder));
        }
        movedAway = false;
    }

private:
    QString awayPath() const { return folder + QStringLiteral("-away"); }

    QString folder;
    Failure kind;
    std::optional<WriteBlock> block;
    bool movedAway = false;
};

inline QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
