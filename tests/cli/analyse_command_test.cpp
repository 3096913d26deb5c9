#include "common/text_file.h"
#include "results/pass_report.h"
#include "results/results_file.h"
#include "support/cli_run.h"
#include "support/paths.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class AnalyseCommand : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        RunInfo run;
        run.skier = QStringLiteral("Ann");
        run.direction = Direction::Away;
        PassSamples samples;
        for (int i = 0; i <= 161; ++i)
            samples.deviations[size_t(i)] = (i % 9 - 4) * 0.03;
        summariseSamples(samples, 162);
        report =
            analysePass(run, samples, 161, QDateTime(QDate(2026, 12, 7), QTime(8, 0, 1))).report;
        path = dir.filePath(QStringLiteral("pass.txt"));
        ASSERT_TRUE(replaceFile(path, savedResultsText(report)).ok);
    }

    QTemporaryDir dir;
    QString report;
    QString path;
};

TEST_F(AnalyseCommand, PrintsTheReportAsTheResultsScreenBuildsIt)
{
    const CliRun r = runCli({QStringLiteral("analyse"), path, QStringLiteral("--now"),
                             QStringLiteral("2026-12-07T08:00:01")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, report);
}

TEST_F(AnalyseCommand, DatabaseLineWithDb)
{
    const CliRun r = runCli({QStringLiteral("analyse"), path, QStringLiteral("--db")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("\r\n")));
    const QStringList f = r.out.trimmed().split('|');
    ASSERT_EQ(f.size(), 22);
    EXPECT_EQ(f[6], QStringLiteral("58"));
    EXPECT_EQ(f[7], QStringLiteral("11.25"));
}

TEST_F(AnalyseCommand, BadFileNamesTheFileAndLineAndExitsTwo)
{
    const QString bad = dir.filePath(QStringLiteral("bad.txt"));
    ASSERT_TRUE(replaceFile(bad, QStringLiteral("Slalom Pass Results\r\nSkier Name: A\r\n")).ok);
    const CliRun r = runCli({QStringLiteral("analyse"), bad});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("bad.txt, line 2: the file ends before any sample line")))
        << r.err.toStdString();
    EXPECT_EQ(runCli({QStringLiteral("analyse"), dir.filePath(QStringLiteral("none.txt"))}).code,
              2);
    EXPECT_EQ(runCli({QStringLiteral("analyse"), path, QStringLiteral("--now"),
                      QStringLiteral("yesterday")})
                  .code,
              2);
}

TEST_F(AnalyseCommand, FileCutOffAfterItsLastSampleReadsAllItsSamples)
{
    // A 58 km/h pass: samples 0 to 161, the file's last line the last sample.
    const QString cut = dir.filePath(QStringLiteral("cut.txt"));
    ASSERT_TRUE(replaceFile(cut, report).ok);
    const CliRun r = runCli({QStringLiteral("analyse"), cut, QStringLiteral("--now"),
                             QStringLiteral("2026-12-07T08:00:01")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, report);
    EXPECT_EQ(r.out.count(QStringLiteral("\r\nFrame ")), 162);
    EXPECT_TRUE(r.err.contains(QStringLiteral("cut.txt: note: the file ends without")));
    const CliRun db = runCli({QStringLiteral("analyse"), cut, QStringLiteral("--db")});
    EXPECT_EQ(db.out.split('|').value(6), QStringLiteral("58"));
}

// The tool's output under a locale, as bytes.
QByteArray outputUnder(const char* locale, const QStringList& args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    env.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
    p.setProcessEnvironment(env);
    p.start(cliPath(), args);
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

TEST_F(AnalyseCommand, LatinOneNamesArePrintedAsUtf8WhateverTheLocale)
{
    // Written by another workstation: 8-bit names.
    QString text = savedResultsText(report);
    text.replace(QStringLiteral("Skier Name: Ann"), QStringLiteral("Skier Name: J\u00e9r\u00f4me"));
    const QString latin = dir.filePath(QStringLiteral("latin1.txt"));
    QFile file(latin);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toLatin1());
    file.close();
    const QStringList analyse = {QStringLiteral("analyse"), latin, QStringLiteral("--now"),
                                 QStringLiteral("2026-12-07T08:00:01")};
    for (const QStringList& args : {analyse, analyse + QStringList{QStringLiteral("--db")}}) {
        const QByteArray plain = outputUnder("C", args);
        EXPECT_TRUE(plain.contains("J\xc3\xa9r\xc3\xb4me")) << plain.left(80).toStdString();
        EXPECT_EQ(outputUnder("C.UTF-8", args), plain);
    }
}

} // namespace
