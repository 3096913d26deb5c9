// wakeline-cli's setup file commands, run as a script would run them.

#include "calibration/setup_file.h"
#include "support/cli_run.h"
#include "support/impossible_setups.h"
#include "support/paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kSlalom = fixturePath("exponent-form-slalom.ipt");

TEST(CliSetupCommands, ToCourseMapsAMarkOntoItsSurveyPoint)
{
    const CliRun r = runCli({"to-course", kSlalom, "7958", "4527"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList xy = r.out.trimmed().split(' ');
    ASSERT_EQ(xy.size(), 2);
    EXPECT_NEAR(xy[0].toDouble(), 2.5, 1e-9);
    EXPECT_NEAR(xy[1].toDouble(), 0.0, 1e-9);
    EXPECT_EQ(r.out, xy.join(' ') + "\n");
}

TEST(CliSetupCommands, ToScreenIsTheInverse)
{
    const CliRun r = runCli({"to-screen", kSlalom, "0", "-259"});
    ASSERT_EQ(r.code, 0);
    const QStringList xy = r.out.trimmed().split(' ');
    EXPECT_NEAR(xy[0].toDouble(), 7551, 1e-6);
    EXPECT_NEAR(xy[1].toDouble(), 10471, 1e-6);
}

TEST(CliSetupCommands, CheckPrintsPointsCoefficientsAndTheLargestDistance)
{
    const CliRun r = runCli({"check", fixturePath("exponent-form-jump.ipt")});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains("point 2 (lower right): screen 9373 9734  survey 0 -280"));
    EXPECT_TRUE(r.out.contains("c4: 1.57403797607854e-07"));
    EXPECT_TRUE(r.out.contains("jump: 2 -180"));
    const QString last = r.out.trimmed().split('\n').last();
    ASSERT_TRUE(last.startsWith("largest distance: ")) << last.toStdString();
    EXPECT_LT(last.section(' ', 2, 2).toDouble(), 1e-9);
}

TEST(CliSetupCommands, MalformedFileExitsTwoWithFileLineAndReason)
{
    QTemporaryDir dir;
    QFile f(dir.filePath("bad.ipt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x\r\nd\r\n 1 , 2 , 0 , 0 \r\n 3 , four , 0 , 0 \r\n");
    f.close();
    for (const QStringList& args :
         {QStringList{"check", f.fileName()}, QStringList{"to-course", f.fileName(), "1", "2"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_TRUE(r.err.contains("bad.ipt: line 4: \"four\" is not a number"))
            << r.err.toStdString();
    }
}

TEST(CliSetupCommands, BadArgumentsExitTwo)
{
    EXPECT_EQ(runCli({"to-course", kSlalom, "1"}).code, 2);
    EXPECT_EQ(runCli({"to-screen", kSlalom, "x", "1"}).code, 2);
    EXPECT_EQ(runCli({"check"}).code, 2);
    EXPECT_EQ(runCli({"check", "/nonexistent/file.ipt"}).code, 2);
}

TEST(CliSetupCommands, APointOnTheHorizonExitsOne)
{
    // c2 = c8 = 1, c5 = -2^-10: the denominator 1 + c5 sy is exactly zero at sy = 1024.
    QTemporaryDir dir;
    QFile f(dir.filePath("horizon.ipt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x\r\nd\r\n 0 , 0 , 0 , 0 \r\n 0 , 1 , 0 , 1 \r\n 1 , 0 , 1 , 0 \r\n"
            " 1 , 1 , 1 , 1 \r\n 0 \r\n 1 \r\n 0 \r\n 0 \r\n-.0009765625 \r\n 0 \r\n"
            " 0 \r\n 1 \r\n 0 \r\n 0 \r\n 10 \r\n 2 \r\n 1 \r\n");
    f.close();
    const CliRun r = runCli({"to-course", f.fileName(), "5", "1024"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains("horizon"));
    EXPECT_EQ(runCli({"to-course", f.fileName(), "5", "512"}).out, "10 1024\n");
}

QString written(const QTemporaryDir& dir, const AlteredSetup& setup)
{
    QFile f(dir.filePath(QString::fromLatin1(setup.name) + ".ipt"));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(alteredSetupBytes(setup));
    return f.fileName();
}

class CliImpossibleSetup : public testing::TestWithParam<AlteredSetup>
{
};

// Every file the calibration screen refuses: check lists it and then refuses it, and the
// accuracy check, which runs on a file as the screen loads it, does not run.
TEST_P(CliImpossibleSetup, CheckAndAccuracyExitTwoNamingFileLineAndReason)
{
    QTemporaryDir dir;
    const QString path = written(dir, GetParam());
    const QString expected =
        QDir::toNativeSeparators(path) + (GetParam().where > 0
                                              ? QStringLiteral(": line %1: ").arg(GetParam().where)
                                              : QStringLiteral(": "));
    for (const QString& command : {QStringLiteral("check"), QStringLiteral("accuracy")}) {
        const CliRun r = runCli({command, path});
        EXPECT_EQ(r.code, 2) << command.toStdString() << "\n" << r.out.toStdString();
        EXPECT_TRUE(r.err.startsWith(expected)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(GetParam().reasonPart)))
            << r.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Files, CliImpossibleSetup, testing::ValuesIn(impossibleSetups()),
                         alteredName);

class CliMisfitCoefficients : public testing::TestWithParam<AlteredSetup>
{
};

TEST_P(CliMisfitCoefficients, CheckExitsOneWithTheCoefficientsTheScreenSolves)
{
    QTemporaryDir dir;
    const QString path = written(dir, GetParam());
    const CliRun r = runCli({"check", path});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    const QString solved = r.out.section(
        QStringLiteral("the calibration screen solves the coefficients again from the marks:\n"),
        1);
    ASSERT_FALSE(solved.isEmpty()) << r.out.toStdString();
    // The printed coefficients take each mark onto its survey point.
    CourseTransform t;
    const QStringList lines = solved.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 8);
    for (size_t k = 1; k <= 8; ++k)
        t.c[k] = lines[int(k) - 1].section(": ", 1).toDouble();
    const SetupFileRead file = readSetupFile(path);
    ASSERT_TRUE(file.data);
    for (const ReferencePoint& p : file.data->points) {
        const auto mapped = t.toCourse(p.screen);
        ASSERT_TRUE(mapped);
        EXPECT_NEAR(mapped->point.x, p.survey.x, 1e-9);
        EXPECT_NEAR(mapped->point.y, p.survey.y, 1e-9);
    }
    // The accuracy check runs on them, as on the screen after such a load, and says so.
    const CliRun accuracy = runCli({"accuracy", path});
    EXPECT_NE(accuracy.code, 2);
    EXPECT_TRUE(accuracy.err.contains("solved again")) << accuracy.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, CliMisfitCoefficients, testing::ValuesIn(misfitCoefficientSetups()),
                         alteredName);

class CliGoodSetup : public testing::TestWithParam<QString>
{
};

TEST_P(CliGoodSetup, CheckExitsZero)
{
    const CliRun r = runCli({"check", GetParam()});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, CliGoodSetup,
                         testing::Values(sourcePath("resources/program/SlalomOK.ipt"),
                                         sourcePath("resources/program/JumpOK.ipt"), kSlalom,
                                         fixturePath("exponent-form-jump.ipt")));

} // namespace
