#include "measure/video_pass_blocks.h"

#include "measure/video_pass_log.h"
#include "support/comma_locale.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kWhen(QDate(2026, 12, 7), QTime(14, 5, 9));

MediaPass filePass(bool withLine)
{
    MediaPass pass;
    pass.videoFile = QStringLiteral("/home/judge/videos/Zürich 2.webm");
    pass.startUs = 1000000;
    pass.sampleFramesUs = {1000000, 1080000, 1200000};
    if (withLine)
        pass.sampleLines = {{4512.0, 3600.25}, {4527.5, 3581.0}, {4530.0, 3560.5}};
    return pass;
}

// A recorded pass's block as the recorder writes it.
const QString kRecordedBlock = QStringLiteral("Recorded pass 12-07-2026 14:07:30\r\n"
                                              "Video file: /home/judge/results/Pass 3.mkv\r\n"
                                              "Start (P0): 2.345 s\r\n"
                                              "Samples: 2\r\n"
                                              "Sample  Frame (s)  Line x  Line y (twips)\r\n"
                                              "0  2.333  4512.00  3600.25\r\n"
                                              "1  2.433  4527.50  3581.13\r\n"
                                              "\r\n");

class VideoPassBlocks : public CommaLocaleTest
{
};

// The forms one day file can hold read back to what was written, with a comma locale.
TEST_F(VideoPassBlocks, ReadsFilePassesOldAndNewAndRecordedPasses)
{
    const ScopedLocale comma(kCommaLocale);
    MediaPass tracked = filePass(true);
    tracked.trackFile = QStringLiteral("/home/judge/results/Track 12-07-2026 14-09-00 v.track.txt");
    const QString text = videoPassBlock(kWhen, filePass(false)) +
                         videoPassBlock(kWhen.addSecs(60), filePass(true)) + kRecordedBlock +
                         videoPassBlock(kWhen.addSecs(240), tracked);
    const VideoPassesRead read = readVideoPasses(text, QStringLiteral("VideoPasses1207.txt"));
    EXPECT_TRUE(read.refusals.isEmpty()) << read.refusals.join('\n').toStdString();
    ASSERT_EQ(read.blocks.size(), 4u);

    const VideoPassBlock& old = read.blocks[0];
    EXPECT_FALSE(old.recorded);
    EXPECT_EQ(old.when, kWhen);
    EXPECT_EQ(old.line, 1);
    EXPECT_EQ(old.videoFile, filePass(false).videoFile);
    EXPECT_EQ(old.startUs, 1000000);
    EXPECT_EQ(old.sampleFramesUs, filePass(false).sampleFramesUs);
    EXPECT_TRUE(old.sampleLines.empty());

    const VideoPassBlock& withLine = read.blocks[1];
    EXPECT_EQ(withLine.line, 10);
    EXPECT_EQ(withLine.sampleLines, filePass(true).sampleLines);

    const VideoPassBlock& recorded = read.blocks[2];
    EXPECT_TRUE(recorded.recorded);
    EXPECT_EQ(recorded.when, QDateTime(QDate(2026, 12, 7), QTime(14, 7, 30)));
    EXPECT_EQ(recorded.startUs, 2345000);
    EXPECT_EQ(recorded.sampleFramesUs, (std::vector<qint64>{2333000, 2433000}));
    EXPECT_EQ(recorded.sampleLines, (std::vector<HeldLine>{{4512.0, 3600.25}, {4527.5, 3581.13}}));

    const VideoPassBlock& fromTrack = read.blocks[3];
    EXPECT_EQ(fromTrack.trackFile, tracked.trackFile);
    EXPECT_EQ(fromTrack.startUs, 1000000);
    EXPECT_EQ(fromTrack.sampleLines, tracked.sampleLines);
}

struct Broken
{
    const char* what;
    QString from, to; // the good block's text with `from` replaced by `to`
    int line;         // the line the refusal names
};

class BrokenBlock : public ::testing::TestWithParam<Broken>
{
};

// A broken block is refused naming its line; the good block after it still reads, even when
// the broken one runs into it.
TEST_P(BrokenBlock, IsRefusedNamingTheLineAndTheNextStillReads)
{
    const Broken& b = GetParam();
    QString broken = videoPassBlock(kWhen, filePass(true));
    ASSERT_TRUE(broken.contains(b.from)) << b.what;
    broken.replace(b.from, b.to);
    const VideoPassesRead read =
        readVideoPasses(broken + kRecordedBlock, QStringLiteral("VideoPasses1207.txt"));
    ASSERT_EQ(read.refusals.size(), 1) << b.what;
    EXPECT_TRUE(
        read.refusals[0].startsWith(QStringLiteral("VideoPasses1207.txt, line %1: ").arg(b.line)))
        << b.what << ": " << read.refusals[0].toStdString();
    ASSERT_EQ(read.blocks.size(), 1u) << b.what;
    EXPECT_TRUE(read.blocks[0].recorded);
}

INSTANTIATE_TEST_SUITE_P(
    VideoPassBlocks, BrokenBlock,
    ::testing::Values(
        Broken{"date", QStringLiteral("12-07-2026"), QStringLiteral("13-07-2026"), 1},
        Broken{"no video file", QStringLiteral("Video file: "), QStringLiteral("Video: "), 2},
        Broken{"start", QStringLiteral("1.000 s"), QStringLiteral("1,000 s"), 3},
        Broken{"count", QStringLiteral("Samples: 3"), QStringLiteral("Samples: x"), 4},
        Broken{"heading", QStringLiteral("Line y (twips)"), QStringLiteral("Line y"), 5},
        Broken{"index", QStringLiteral("1  1.080"), QStringLiteral("2  1.080"), 7},
        Broken{"line x", QStringLiteral("4527.50"), QStringLiteral("4527,50"), 7},
        Broken{"a column short", QStringLiteral("  3581.00"), QString(), 7},
        Broken{"cut short", QStringLiteral("Samples: 3"), QStringLiteral("Samples: 4"), 9}));

struct Match
{
    const char* what;
    int secondsAfterBlock; // the report's time
    int samples;
    bool found;
};

class FindingAPass : public ::testing::TestWithParam<Match>
{
};

// The block is stamped as the pass ends, the report a moment later as the results open.
TEST_P(FindingAPass, ByTheTimeOfMeasurementAndTheNumberOfSamples)
{
    const Match& m = GetParam();
    VideoPassBlock block;
    block.when = kWhen;
    block.sampleFramesUs = {1, 2, 3};
    const auto found = findVideoPass({block}, kWhen.addSecs(m.secondsAfterBlock), m.samples);
    EXPECT_EQ(found.has_value(), m.found) << m.what;
}

INSTANTIATE_TEST_SUITE_P(VideoPassBlocks, FindingAPass,
                         ::testing::Values(Match{"same second", 0, 3, true},
                                           Match{"a second later", 1, 3, true},
                                           Match{"five seconds later", 5, 3, true},
                                           Match{"another pass's report", 6, 3, false},
                                           Match{"a report before the block", -1, 3, false},
                                           Match{"another number of samples", 0, 4, false}));

TEST(VideoPassBlocksFind, TheLatestOfTwoCandidates)
{
    VideoPassBlock first, second;
    first.when = kWhen;
    second.when = kWhen.addSecs(2);
    first.sampleFramesUs = second.sampleFramesUs = {1, 2};
    first.videoFile = QStringLiteral("first");
    second.videoFile = QStringLiteral("second");
    const auto found = findVideoPass({second, first}, kWhen.addSecs(3), 2);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->videoFile, QStringLiteral("second"));
}

} // namespace
