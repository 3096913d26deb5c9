#include "calibration/setup_file.h"
#include "support/paths.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <charconv>
#include <cstring>

namespace {

// The exact double of a decimal text, whatever the locale (strtod would stop at the point
// under a comma-decimal one).
double lit(const char* text)
{
    double v = 0.0;
    std::from_chars(text, text + std::strlen(text), v);
    return v;
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

SetupFileData sample()
{
    SetupFileData d;
    d.savedPath = QStringLiteral("C:\\Courses\\lake.ipt");
    d.description = QStringLiteral("North tower, zoom 3, wind 2 m/s, caméra");
    d.points = {ReferencePoint{{8136, 4527}, {0, 0}}, ReferencePoint{{7551, 10471}, {0, -259}},
                ReferencePoint{{7958, 4527}, {2.5, 0}},
                ReferencePoint{{6348.5, 10461.25}, {2.5, -259}}};
    d.transform.c = {0.0,    -35.3440520092129, 1.0 / 3.0,  4.05348086457788E-03, -4.1e-7, -2.8e-22,
                     -391.9, 0.1 + 0.2,         1e300 / 7.0};
    d.jump = {2.0, -180.0};
    d.trailer = {10, 2, 3};
    return d;
}

TEST(SetupFileFixtures, SlalomFileLoadsExactly)
{
    const SetupFileRead r = readSetupFile(fixturePath("exponent-form-slalom.ipt"));
    ASSERT_TRUE(r.data) << r.problem.line << " " << r.problem.reason.toStdString();
    const SetupFileData& d = *r.data;
    EXPECT_EQ(d.savedPath, QStringLiteral("C:\\Courses\\exponent-form-slalom.ipt"));
    EXPECT_EQ(d.description, QStringLiteral("Lac d'Annecy, tour nord, caméra 2"));
    EXPECT_EQ(d.points[0].screen, (Point2{8136, 4527}));
    EXPECT_EQ(d.points[1].survey, (Point2{0, -259}));
    EXPECT_EQ(d.points[3].screen, (Point2{6348, 10461}));
    EXPECT_EQ(d.points[3].survey, (Point2{2.5, -259}));
    const char* c[] = {"-35.3440520092129",
                       "4.11861371949588E-03",
                       "4.05348086457788E-04",
                       "-4.09863746705459E-07",
                       "-2.84953302657792E-04",
                       "-391.917406281244",
                       "0",
                       ".086573317049093"};
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_TRUE(sameBits(d.transform.c[k], lit(c[k - 1]))) << "c" << k;
    EXPECT_EQ(d.jump, (Point2{0, 0}));
    EXPECT_EQ(d.trailer, (std::array<double, 3>{10, 2, 1}));
}

TEST(SetupFileFixtures, EachMarkMapsOntoItsSurveyPoint)
{
    for (const char* name : {"exponent-form-slalom.ipt", "exponent-form-jump.ipt"}) {
        const SetupFileRead r = readSetupFile(fixturePath(name));
        ASSERT_TRUE(r.data) << name;
        for (const ReferencePoint& p : r.data->points) {
            const auto m = r.data->transform.toCourse(p.screen);
            ASSERT_TRUE(m);
            EXPECT_NEAR(m->point.x, p.survey.x, 1e-9) << name;
            EXPECT_NEAR(m->point.y, p.survey.y, 1e-9) << name;
        }
    }
    const SetupFileRead jump = readSetupFile(fixturePath("exponent-form-jump.ipt"));
    EXPECT_EQ(jump.data->jump, (Point2{2, -180}));
    EXPECT_TRUE(sameBits(jump.data->transform.c[4], lit("1.57403797607854E-07")));
}

TEST(SetupFileFormat, NineteenCrLfLinesWithTheNumberForm)
{
    const QString text = setupFileText(sample());
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 20); // the last line end leaves an empty remainder
    EXPECT_TRUE(lines.last().isEmpty());
    EXPECT_EQ(text.count('\n'), 19);
    EXPECT_EQ(text.count('\r'), 19);
    EXPECT_EQ(lines[0], QStringLiteral("Initialization Points for file: C:\\Courses\\lake.ipt"));
    EXPECT_EQ(lines[1], sample().description);
    EXPECT_EQ(lines[2], QStringLiteral(" 8136 , 4527 , 0 , 0 "));
    EXPECT_EQ(lines[3], QStringLiteral(" 7551 , 10471 , 0 ,-259 "));
    EXPECT_EQ(lines[5], QStringLiteral(" 6348.5 , 10461.25 , 2.5 ,-259 "));
    EXPECT_EQ(lines[6], QStringLiteral("-35.3440520092129 "));
    EXPECT_EQ(lines[14], QStringLiteral(" 2 "));
    EXPECT_EQ(lines[15], QStringLiteral("-180 "));
    EXPECT_EQ(lines[16], QStringLiteral(" 10 "));
    EXPECT_EQ(lines[18], QStringLiteral(" 3 "));
}

TEST(SetupFileFormat, WriteThenReadGivesTheSameBits)
{
    const SetupFileData d = sample();
    const SetupFileRead r = parseSetupFile(setupFileText(d));
    ASSERT_TRUE(r.data);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_TRUE(sameBits(r.data->points[k].screen.x, d.points[k].screen.x));
        EXPECT_TRUE(sameBits(r.data->points[k].screen.y, d.points[k].screen.y));
        EXPECT_TRUE(sameBits(r.data->points[k].survey.x, d.points[k].survey.x));
        EXPECT_TRUE(sameBits(r.data->points[k].survey.y, d.points[k].survey.y));
    }
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_TRUE(sameBits(r.data->transform.c[k], d.transform.c[k])) << "c" << k;
    EXPECT_EQ(r.data->jump, d.jump);
    EXPECT_EQ(r.data->description, d.description);
    EXPECT_EQ(r.data->savedPath, d.savedPath);
}

TEST(SetupFileFormat, LineBreaksInTheDescriptionKeepNineteenLines)
{
    SetupFileData d = sample();
    d.description = QStringLiteral("two\r\nlines\nand\rmore");
    const SetupFileRead r = parseSetupFile(setupFileText(d));
    ASSERT_TRUE(r.data);
    EXPECT_EQ(r.data->description, QStringLiteral("two lines and more"));
}

struct Damage
{
    const char* name;
    int line;         // line replaced (1-based), or 0 to cut the file
    const char* text; // the replacement; for a cut, the number of lines kept
    int expectedLine;
    const char* reasonPart;
};

class MalformedSetupFile : public testing::TestWithParam<Damage>
{
};

TEST_P(MalformedSetupFile, NamesTheLineAndTheReason)
{
    const Damage& p = GetParam();
    QStringList lines = setupFileText(sample()).split(QStringLiteral("\r\n"));
    lines.removeLast();
    if (p.line == 0)
        lines = lines.mid(0, QString::fromLatin1(p.text).toInt());
    else
        lines[p.line - 1] = QString::fromLatin1(p.text);
    const SetupFileRead r = parseSetupFile(lines.join(QStringLiteral("\r\n")));
    ASSERT_FALSE(r.data);
    EXPECT_EQ(r.problem.line, p.expectedLine);
    EXPECT_TRUE(r.problem.reason.contains(QString::fromLatin1(p.reasonPart)))
        << r.problem.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedSetupFile,
    testing::Values(Damage{"empty", 0, "0", 1, "ends after 0"},
                    Damage{"eighteen_lines", 0, "18", 19, "ends after 18 of its 19"},
                    Damage{"two_lines", 0, "2", 3, "ends after 2"},
                    Damage{"letters_in_a_point", 4, " 7551 , abc , 0 ,-259 ", 4, "\"abc\""},
                    Damage{"three_fields", 5, " 7958 , 4527 , 2.5 ", 5, "3 fields"},
                    Damage{"five_fields", 3, "1,2,3,4,5", 3, "5 fields"},
                    Damage{"empty_field", 6, " 1 ,, 2 , 3 ", 6, "missing"},
                    Damage{"empty_coefficient", 9, "", 9, "missing"},
                    Damage{"two_points", 10, "1.2.3", 10, "not a number"},
                    Damage{"dangling_exponent", 11, "1E", 11, "not a number"},
                    Damage{"huge", 12, "1E999", 12, "out of range"},
                    Damage{"nan", 13, "nan", 13, "not a number"},
                    Damage{"infinity", 14, "-inf", 14, "not a number"},
                    Damage{"double_sign", 15, "--5", 15, "not a number"},
                    Damage{"comma_in_jump", 16, "1,5", 16, "not a number"},
                    Damage{"trailer", 19, "slot one", 19, "not a number"}),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.name); });

TEST(SetupFileReader, AcceptsTheNumberFormsOfOtherWriters)
{
    QStringList lines = setupFileText(sample()).split(QStringLiteral("\r\n"));
    lines[6] = QStringLiteral("\t+.5e+3\t");
    lines[7] = QStringLiteral("-5.");
    lines[8] = QStringLiteral("2.5e-3");
    const SetupFileRead r = parseSetupFile(lines.join(QStringLiteral("\n")));
    ASSERT_TRUE(r.data) << r.problem.reason.toStdString();
    EXPECT_EQ(r.data->transform.c[1], 500.0);
    EXPECT_EQ(r.data->transform.c[2], -5.0);
    EXPECT_EQ(r.data->transform.c[3], 0.0025);
}

TEST(SetupFileReader, SurvivesArbitraryBytes)
{
    // Mutations of a valid file and plain noise: every outcome is data or a line and reason.
    QRandomGenerator random(20261208);
    const QByteArray valid = setupFileText(sample()).toUtf8();
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = valid;
        const int edits = 1 + int(random.bounded(8));
        for (int e = 0; e < edits; ++e) {
            const int at = int(random.bounded(bytes.size() + 1));
            switch (random.bounded(3)) {
            case 0:
                bytes.insert(at, char(random.bounded(256)));
                break;
            case 1:
                bytes.remove(at, int(random.bounded(20)));
                break;
            default:
                if (at < bytes.size())
                    bytes[at] = char(random.bounded(256));
            }
        }
        if (i % 10 == 0) {
            bytes.resize(int(random.bounded(2000)));
            for (char& c : bytes)
                c = char(random.bounded(256));
        }
        const SetupFileRead r = parseSetupFile(decodeText(bytes));
        if (!r.data) {
            EXPECT_GE(r.problem.line, 1);
            EXPECT_LE(r.problem.line, kSetupFileLines);
            EXPECT_FALSE(r.problem.reason.isEmpty());
        }
    }
}

TEST(SetupFileReader, LongLinesAreReadInOnePass)
{
    QStringList lines = setupFileText(sample()).split(QStringLiteral("\r\n"));
    lines[6] = QString(200000, '7') + 'x';
    lines[2] = QString(200000, ',');
    const SetupFileRead r = parseSetupFile(lines.join(QStringLiteral("\r\n")));
    ASSERT_FALSE(r.data);
    EXPECT_EQ(r.problem.line, 3);
}

TEST(SetupFileReader, MissingAndOversizedFilesAreReportedNotRead)
{
    QTemporaryDir dir;
    EXPECT_EQ(readSetupFile(dir.filePath("none.ipt")).problem.reason,
              QStringLiteral("the file does not exist"));
    EXPECT_FALSE(readSetupFile(dir.path()).data);
    QFile big(dir.filePath("big.ipt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray(1024 * 1024, '1'));
    big.close();
    const SetupFileRead r = readSetupFile(big.fileName());
    EXPECT_FALSE(r.data);
    EXPECT_EQ(r.problem.line, 0);
    const QString message = setupFileProblemMessage(big.fileName(), r.problem);
    EXPECT_TRUE(message.contains(QStringLiteral("big.ipt")));
    EXPECT_TRUE(message.contains(QStringLiteral("too large")));
}

TEST(SetupFileWriter, FailedSaveNamesTheFile)
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const WriteResult r = writeSetupFile(dir.filePath("not-a-folder/x.ipt"), sample());
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.message.contains(QStringLiteral("x.ipt")));
}

TEST(SetupFileWriter, ReplacesAnExistingFileWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ipt");
    ASSERT_TRUE(writeSetupFile(path, sample()));
    SetupFileData other = sample();
    other.description = QStringLiteral("second");
    ASSERT_TRUE(writeSetupFile(path, other));
    const SetupFileRead r = readSetupFile(path);
    ASSERT_TRUE(r.data);
    EXPECT_EQ(r.data->description, QStringLiteral("second"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

} // namespace
