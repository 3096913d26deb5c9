#pragma once
// Runs the built wakeline-cli with arguments and standard input, and collects what it said.

#include "support/paths.h"

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(cliPath(), args);
    EXPECT_TRUE(p.waitForStarted(10000)) << cliPath().toStdString();
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
