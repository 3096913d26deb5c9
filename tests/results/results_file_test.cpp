#include "common/text_file.h"
#include "results/analyse_file.h"
#include "results/pass_report.h"
#include "results/results_file.h"

#include <QRandomGenerator>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow(QDate(2026, 12, 7), QTime(9, 4, 3));

// Course position of sample i of a 160-tenth slalom pass, as the report writes it.
double roundHalfUpPosition(size_t i)
{
    return std::floor(double(i) * 259.0 / 160.0 * 10.0 + 0.5) / 10.0;
}

QString savedPass(Event event, Direction direction, int passTenths, PassSamples& samples)
{
    RunInfo run;
    run.event = event;
    run.direction = direction;
    summariseSamples(samples, passTenths + 1);
    return savedResultsText(analysePass(run, samples, passTenths, kNow).report);
}

TEST(ResultsFile, SavedFileEndsWithTheClosingLines)
{
    EXPECT_EQ(savedResultsText(QStringLiteral("A\r\n")),
              QStringLiteral("A\r\n\r\n\r\nEnd of Pass Analysis\r\n\r\n"));
}

TEST(ResultsFile, SaveThenReadBackGivesTheSamePass)
{
    PassSamples samples;
    for (int i = 0; i <= 160; ++i)
        samples.deviations[size_t(i)] = (i % 7 - 3) * 0.05;
    samples.deviations[12] = -0.05;
    const QString text = savedPass(Event::Slalom, Direction::Toward, 160, samples);
    EXPECT_TRUE(
        text.contains(QStringLiteral("Frame  12   Course Position: 019.4   Deviation: -.05\r\n")));

    const ResultsFileRead r = readResultsFile(text, Event::Slalom);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    ASSERT_EQ(r.deviations.size(), 161u);
    EXPECT_TRUE(r.comingToward);
    for (size_t i = 0; i <= 160; ++i) {
        EXPECT_DOUBLE_EQ(r.deviations[i], samples.deviations[i]) << i;
        EXPECT_NEAR(r.positions[i], roundHalfUpPosition(i), 1e-9) << i;
    }
    EXPECT_DOUBLE_EQ(r.deviations[12], -0.05);
    // The report and the first empty line after the last sample are shown, no more.
    EXPECT_EQ(r.shownLines.last(), QString());
    EXPECT_EQ(r.shownLines[r.shownLines.size() - 2].left(10), QStringLiteral("Frame  160"));
    EXPECT_FALSE(r.shownLines.contains(QStringLiteral("End of Pass Analysis")));
}

TEST(ResultsFile, GoingAwayIsTheDefaultDirection)
{
    PassSamples samples;
    const ResultsFileRead r =
        readResultsFile(savedPass(Event::Slalom, Direction::Away, 161, samples), Event::Slalom);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    EXPECT_FALSE(r.comingToward);
}

struct RefusalCase
{
    const char* firstLine;
    Event selected;
};

class FirstLineCheck : public testing::TestWithParam<RefusalCase>
{
};

TEST_P(FirstLineCheck, FileOfTheOtherEventIsRefusedAndNothingShown)
{
    const RefusalCase c = GetParam();
    const QString text =
        QString::fromLatin1(c.firstLine) +
        QStringLiteral("\r\nFrame  0   Course Position: 000.0   Deviation:  0\r\n\r\n");
    const ResultsFileRead r = readResultsFile(text, c.selected);
    EXPECT_EQ(r.status, ReadStatus::NotValid);
    EXPECT_TRUE(r.shownLines.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Cases, FirstLineCheck,
                         testing::Values(RefusalCase{"Jump Pass Results", Event::Slalom},
                                         RefusalCase{"Slalom Pass Results", Event::Jump},
                                         RefusalCase{"slalom pass results", Event::Slalom},
                                         RefusalCase{"", Event::Slalom}));

TEST(ResultsFile, RefusalMessages)
{
    EXPECT_EQ(notValidResultsFileMessage(Event::Slalom),
              QStringLiteral("Not a valid slalom path results file"));
    EXPECT_EQ(notValidResultsFileMessage(Event::Jump),
              QStringLiteral("Not a valid jump path results file"));
}

// The older layout: deviation in characters 28..33, position after the first ":".
QString buoyLine(int n, double position, const QString& deviation)
{
    QString line = QStringLiteral("Buoy  %1 Sample: %2").arg(n).arg(position, 0, 'f', 1);
    line = line.leftJustified(27, ' ');
    return line + deviation;
}

TEST(ResultsFile, OlderBuoyLayoutIsRead)
{
    const QString text =
        QStringLiteral("Slalom Pass Results\r\nBoat is coming toward the camera\r\n") +
        buoyLine(1, 27.0, QStringLiteral("-.05")) + "\r\n" +
        buoyLine(2, 68.0, QStringLiteral(" .12")) + "\r\n" +
        buoyLine(3, 109.5, QStringLiteral(" 0")) + "\r\n\r\nEnd\r\n";
    const ResultsFileRead r = readResultsFile(text, Event::Slalom);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    ASSERT_EQ(r.deviations.size(), 3u);
    EXPECT_DOUBLE_EQ(r.deviations[0], -0.05);
    EXPECT_DOUBLE_EQ(r.deviations[1], 0.12);
    EXPECT_DOUBLE_EQ(r.positions[0], 27.0);
    EXPECT_DOUBLE_EQ(r.positions[2], 109.5);
    EXPECT_TRUE(r.comingToward);
}

TEST(ResultsFile, FileWithoutSampleLinesEndsQuietly)
{
    const ResultsFileRead r =
        readResultsFile(QStringLiteral("Jump Pass Results\r\nSkier Name: X\r\n"), Event::Jump);
    EXPECT_EQ(r.status, ReadStatus::NoSamples);
    EXPECT_EQ(r.shownLines.size(), 2);
    EXPECT_TRUE(r.deviations.empty());
}

QString framesFile(int frames)
{
    QString text = QStringLiteral("Slalom Pass Results\r\n");
    for (int i = 0; i < frames; ++i)
        text += QStringLiteral("Frame  %1   Course Position: 000.0   Deviation:  .01\r\n").arg(i);
    return text + QStringLiteral("\r\nEnd of Pass Analysis\r\n\r\n");
}

TEST(ResultsFile, AtMost501SamplesAreRead)
{
    const ResultsFileRead full = readResultsFile(framesFile(501), Event::Slalom);
    EXPECT_EQ(full.status, ReadStatus::Ok);
    EXPECT_EQ(full.deviations.size(), 501u);
    const ResultsFileRead over = readResultsFile(framesFile(502), Event::Slalom);
    EXPECT_EQ(over.status, ReadStatus::TooMany);
}

TEST(ResultsFile, FileCutOffAfterItsLastSampleLosesNoSample)
{
    PassSamples samples;
    for (int i = 0; i <= 161; ++i)
        samples.deviations[size_t(i)] = (i % 5 - 2) * 0.04;
    samples.deviations[161] = -0.31;
    const QString saved = savedPass(Event::Slalom, Direction::Away, 161, samples);
    const QString report = saved.left(saved.indexOf(QStringLiteral("\r\n\r\nEnd of Pass")));
    // With its last line end, and without it: the screen shows what the file holds.
    for (const QString& text : {report, report.chopped(2)}) {
        const ResultsFileRead r = readResultsFile(text, Event::Slalom);
        ASSERT_EQ(r.status, ReadStatus::Ok);
        ASSERT_EQ(r.deviations.size(), 162u);
        EXPECT_DOUBLE_EQ(r.deviations[161], -0.31);
        EXPECT_DOUBLE_EQ(r.positions[161], 259.0);
        EXPECT_TRUE(r.shownLines.last().startsWith(QStringLiteral("Frame  161 ")));
    }
}

TEST(ResultsFile, AnyBytesGiveAResultWithinBounds)
{
    QRandomGenerator rng(20261207);
    static const char raw[] = "Frame Buoy  1 Sample ation: :-.0123456789\r\n\t\0\xff\xe9|";
    const QByteArray alphabet(raw, sizeof raw - 1);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = round % 2 ? "Slalom Pass Results\r\n" : QByteArray();
        const int length = int(rng.bounded(600));
        for (int i = 0; i < length; ++i)
            bytes.append(round % 3 ? alphabet[int(rng.bounded(int(alphabet.size())))]
                                   : char(rng.bounded(256)));
        const ResultsFileRead r = readResultsFile(decodeText(bytes), Event::Slalom);
        ASSERT_LE(r.deviations.size(), size_t(kMaxReadSamples));
        ASSERT_EQ(r.deviations.size(), r.positions.size());
        // The command line's checks walk the same lines.
        analyseResultsFile(decodeText(bytes), kNow);
    }
    // One over-long line of digits, and a sample line full of binary.
    const QString longLine = QStringLiteral("Slalom Pass Results\r\nFrame ") +
                             QString(2'000'000, '9') + QStringLiteral("ation:") +
                             QString(100, '9') + QStringLiteral("\r\n\r\n\r\n");
    const ResultsFileRead r = readResultsFile(longLine, Event::Slalom);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    EXPECT_DOUBLE_EQ(r.deviations[0], 99999999.0);
    EXPECT_EQ(r.shownLines[1].size(), kMaxShownLineLength);
    // A million empty header lines: the file is read to its end, a screenful is shown.
    const ResultsFileRead empty = readResultsFile(
        QStringLiteral("Slalom Pass Results") + QString(1'000'000, '\r'), Event::Slalom);
    EXPECT_EQ(empty.status, ReadStatus::NoSamples);
    EXPECT_EQ(empty.shownLines.size(), kMaxShownLines);
}

} // namespace
