#include "measure/video_pass_log.h"

#include "support/comma_locale.h"

#include <gtest/gtest.h>

namespace {

class VideoPassLog : public CommaLocaleTest
{
};

// The block as a person reads it, with a point whatever the system's number format.
TEST_F(VideoPassLog, OneBlockNamesTheVideoTheStartAndEverySamplesFrame)
{
    const ScopedLocale comma(kCommaLocale);
    MediaPass pass;
    pass.videoFile = QStringLiteral("/home/judge/videos/Zürich 2.webm");
    pass.startUs = 1000000;
    pass.sampleFramesUs = {1000000, 1080000, 1200000, 12345678901};
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    EXPECT_EQ(videoPassesFileName(when), QStringLiteral("VideoPasses1207.txt"));
    EXPECT_EQ(videoPassBlock(when, pass),
              QStringLiteral("Video pass 12-07-2026 14:05:09\r\n"
                             "Video file: /home/judge/videos/Zürich 2.webm\r\n"
                             "Start (P0): 1.000 s\r\n"
                             "Samples: 4\r\n"
                             "Sample  Frame (s)\r\n"
                             "0  1.000\r\n"
                             "1  1.080\r\n"
                             "2  1.200\r\n"
                             "3  12345.679\r\n"
                             "\r\n"));
}

// With the line at every sample the block carries its columns; a line short of a sample
// leaves the older form, never a line beside the wrong frame.
TEST_F(VideoPassLog, TheLinesColumnsOnlyWhenEverySampleHasItsLine)
{
    const ScopedLocale comma(kCommaLocale);
    MediaPass pass;
    pass.videoFile = QStringLiteral("v.webm");
    pass.startUs = 1000000;
    pass.sampleFramesUs = {1000000, 1080000};
    pass.sampleLines = {{4512.0, 3600.25}, {4527.5, 3581.125}};
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    EXPECT_TRUE(videoPassBlock(when, pass)
                    .endsWith(QStringLiteral("Sample  Frame (s)  Line x  Line y (twips)\r\n"
                                             "0  1.000  4512.00  3600.25\r\n"
                                             "1  1.080  4527.50  3581.13\r\n\r\n")));
    pass.sampleLines.pop_back();
    EXPECT_TRUE(videoPassBlock(when, pass)
                    .endsWith(QStringLiteral("Sample  Frame (s)\r\n0  1.000\r\n1  1.080\r\n\r\n")));
}

// A pass measured from a track names its track file right after the video, and nothing else
// in the block moves.
TEST_F(VideoPassLog, APassFromATrackNamesTheTrackFileAfterTheVideo)
{
    MediaPass pass;
    pass.videoFile = QStringLiteral("/v/pass.webm");
    pass.startUs = 500000;
    pass.sampleFramesUs = {500000};
    pass.trackFile = QStringLiteral("/r/Track 12-07-2026 14-05-09 pass.track.txt");
    EXPECT_EQ(videoPassBlock(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)), pass),
              QStringLiteral("Video pass 12-07-2026 14:05:09\r\n"
                             "Video file: /v/pass.webm\r\n"
                             "Track file: /r/Track 12-07-2026 14-05-09 pass.track.txt\r\n"
                             "Start (P0): 0.500 s\r\n"
                             "Samples: 1\r\n"
                             "Sample  Frame (s)\r\n"
                             "0  0.500\r\n"
                             "\r\n"));
}

} // namespace
