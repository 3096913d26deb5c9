#include "recording/recorded_pass_log.h"

#include "support/comma_locale.h"

#include <gtest/gtest.h>

namespace {

class RecordedPassLog : public CommaLocaleTest
{
};

// The block as a person reads it, with a point whatever the system's number format.
TEST_F(RecordedPassLog, NamesTheRecordingTheStartAndEachSamplesFrameAndLine)
{
    const ScopedLocale comma(kCommaLocale);
    RecordedPass pass;
    pass.videoFile = QStringLiteral("/home/judge/results/Pass 12-07-2026 14-05-09 Zoë 3.mkv");
    pass.startUs = 2345000;
    pass.samples = {{2333000, 4512.0, 3600.25}, {2433000, 4527.5, 3581.125}, {12345678901, 0, 0}};
    const QDateTime when(QDate(2026, 12, 7), QTime(14, 5, 9));
    EXPECT_EQ(
        recordedPassBlock(when, pass),
        QStringLiteral("Recorded pass 12-07-2026 14:05:09\r\n"
                       "Video file: /home/judge/results/Pass 12-07-2026 14-05-09 Zoë 3.mkv\r\n"
                       "Start (P0): 2.345 s\r\n"
                       "Samples: 3\r\n"
                       "Sample  Frame (s)  Line x  Line y (twips)\r\n"
                       "0  2.333  4512.00  3600.25\r\n"
                       "1  2.433  4527.50  3581.13\r\n"
                       "2  12345.679  0.00  0.00\r\n"
                       "\r\n"));
}

} // namespace
