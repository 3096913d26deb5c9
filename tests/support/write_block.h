#pragma once
// Makes file writes fail for as long as it lives, honestly: the folder is made read-only
// where permissions count; where they do not (tests running as root) a file size limit of a
// few bytes is set for the process instead, which the system enforces for everyone.

#include <QDir>
#include <QFile>
#include <QString>
#include <signal.h>
#include <sys/resource.h>

class WriteBlock
{
public:
    explicit WriteBlock(const QString& folder) : folder(folder)
    {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        QFile probe(QDir(folder).filePath(QStringLiteral("write-block-probe.tmp")));
        if (!probe.open(QIODevice::WriteOnly))
            return;
        probe.close();
        probe.remove();
        restorePermissions();
        getrlimit(RLIMIT_FSIZE, &saved);
        // Past the limit the kernel sends SIGXFSZ, which would end the test run.
        oldHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = kLimitBytes;
        setrlimit(RLIMIT_FSIZE, &small);
        usesSizeLimit = true;
    }
    ~WriteBlock()
    {
        if (usesSizeLimit) {
            setrlimit(RLIMIT_FSIZE, &saved);
            signal(SIGXFSZ, oldHandler);
        } else {
            restorePermissions();
        }
    }
    WriteBlock(const WriteBlock&) = delete;
    WriteBlock& operator=(const WriteBlock&) = delete;

    // Writes up to this many bytes still succeed under the size limit.
    static constexpr rlim_t kLimitBytes = 4;

private:
    void restorePermissions()
    {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString folder;
    bool usesSizeLimit = false;
    rlimit saved{};
    sighandler_t oldHandler = SIG_DFL;
};
