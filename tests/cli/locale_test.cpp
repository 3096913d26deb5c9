// wakeline-cli writes the same bytes whatever the system's locale: scripts compare its
// output and read its numbers with a point.

#include "common/text_file.h"
#include "results/pass_report.h"
#include "results/results_file.h"
#include "support/cli_run.h"
#include "support/comma_locale.h"
#include "support/paths.h"
#include "support/qt_printers.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

QProcessEnvironment localeEnvironment(const QString& locale)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANG"), locale);
    env.insert(QStringLiteral("LC_ALL"), locale);
    return env;
}

class CliUnderCommaLocale : public CommaLocaleTest
{
};

TEST_F(CliUnderCommaLocale, EveryCommandWritesTheSameBytesAsUnderTheCLocale)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    RunInfo run;
    run.skier = QStringLiteral("Ann");
    PassSamples samples;
    for (int i = 0; i <= 161; ++i)
        samples.deviations[size_t(i)] = (i % 11 - 5) * 0.037;
    summariseSamples(samples, 162);
    const QString pass = dir.filePath(QStringLiteral("pass.txt"));
    ASSERT_TRUE(
        replaceFile(pass, savedResultsText(
                              analysePass(run, samples, 161, QDateTime::currentDateTime()).report))
            .ok);

    const QString slalom = fixturePath(QStringLiteral("exponent-form-slalom.ipt"));
    const QString jump = fixturePath(QStringLiteral("exponent-form-jump.ipt"));
    const QByteArray points = "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n300 900 2.5 -259\n";
    const QStringList now{QStringLiteral("--now"), QStringLiteral("2026-12-07T14:05:09")};
    struct Run
    {
        QStringList args;
        QByteArray input;
    };
    const std::vector<Run> runs{
        {{"solve"}, points},
        {{"solve", "--to-course", "495.5", "600.25"}, points},
        {{"solve", "--to-screen", "1.25", "-100.5"}, points},
        {{"to-course", slalom, "7958.5", "4527.25"}, {}},
        {{"to-screen", jump, "1.5", "-180.25"}, {}},
        {{"check", slalom}, {}},
        {{"check", jump}, {}},
        {QStringList{"accuracy", slalom, "--display", "detail", "--screen-width", "1024"} + now,
         {}},
        {QStringList{"accuracy", jump, "--display", "distance"} + now, {}},
        {QStringList{"accuracy", slalom} + now, {}},
        {QStringList{"analyse", pass} + now, {}},
        {{"analyse", pass, "--db"}, {}},
        {{"analyse", pass, "--buoys"}, {}},
        {{"analyse", pass, "--buoys", "--csv"}, {}},
    };
    for (const Run& r : runs) {
        const CliRun c = runCli(r.args, r.input, localeEnvironment(QStringLiteral("C")));
        const CliRun comma =
            runCli(r.args, r.input, localeEnvironment(QString::fromLatin1(kCommaLocale)));
        const std::string what = r.args.join(' ').toStdString();
        EXPECT_EQ(c.code, 0) << what << ": " << c.err.toStdString();
        EXPECT_TRUE(c.outBytes.contains('.')) << what; // numbers with decimals were written
        EXPECT_EQ(comma.code, c.code) << what;
        // Latin-1 maps byte to character one to one: equal texts are equal bytes.
        EXPECT_EQ(QString::fromLatin1(comma.outBytes), QString::fromLatin1(c.outBytes)) << what;
        EXPECT_EQ(QString::fromLatin1(comma.errBytes), QString::fromLatin1(c.errBytes)) << what;
    }
}

} // namespace
