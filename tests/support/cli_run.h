#pragma once
// Runs the built wakeline-cli with arguments and standard input, and collects what it said.

#include "support/paths.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <gtest/gtest.h>

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
    QByteArray outBytes; // out and err as written, for byte-for-byte comparisons
    QByteArray errBytes;
};

inline CliRun
runCli(const QStringList& args, const QByteArray& input = {},
       const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(cliPath(), args);
    EXPECT_TRUE(p.waitForStarted(10000)) << cliPath().toStdString();
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    const QByteArray out = p.readAllStandardOutput();
    const QByteArray err = p.readAllStandardError();
    return {p.exitCode(), QString::fromUtf8(out), QString::fromUtf8(err), out, err};
}
