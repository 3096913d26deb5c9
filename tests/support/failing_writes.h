#pragma once
// The three ways a file write fails where the program runs (its folder missing, the folder
// read-only, the disk full), for tests that break a folder and check what the operator is
// told: the reason as the system words it, and a disk that fills part way through a file.

#include <QDir>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>

enum class WriteFailure { FolderMissing, FolderReadOnly, DiskFull };

inline std::string writeFailureName(const testing::TestParamInfo<WriteFailure>& info)
{
    switch (info.param) {
    case WriteFailure::FolderMissing:
        return "FolderMissing";
    case WriteFailure::FolderReadOnly:
        return "FolderReadOnly";
    case WriteFailure::DiskFull:
        return "DiskFull";
    }
    return "Unknown";
}

inline const auto kAllWriteFailures = testing::Values(
    WriteFailure::FolderMissing, WriteFailure::FolderReadOnly, WriteFailure::DiskFull);

// Qt gives its own English text for the common errors and the C library's, in the locale's
// language, for the others ("File too large", "Die Datei ist zu groß").
inline bool namesReason(const QString& message, const char* english, int error)
{
    return message.contains(QLatin1String(english)) ||
           message.contains(QString::fromLocal8Bit(std::strerror(error)));
}

// The system's reason as the operator reads it. Tests running as root meet the file size
// limit where others meet the folder's permissions.
inline bool namesTheReason(WriteFailure kind, const QString& message)
{
    switch (kind) {
    case WriteFailure::FolderMissing:
        return namesReason(message, "No such file or directory", ENOENT);
    case WriteFailure::FolderReadOnly:
        return namesReason(message, "Permission denied", EACCES) ||
               namesReason(message, "File too large", EFBIG);
    case WriteFailure::DiskFull:
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
