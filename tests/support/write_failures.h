#pragma once
// The three ways a file write fails in the write-failure tests: the folder missing (a memory
// stick pulled out), the folder read-only, the disk full; and whether a message gives the
// system's reason for each.

#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

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
