// The track file: what is written reads back as the same track, under a comma locale too;
// a damaged file is refused naming its line and field.

#include "support/comma_locale.h"
#include "tracking/track_file.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

Track sampleTrack()
{
    Track t;
    t.videoFile = QStringLiteral("Pass, 12 Juli – Bahn 2.webm");
    t.setupFile = QStringLiteral("SlalomOK.ipt");
    t.pass = {Event::Jump, Direction::Away, 57, 177, 1001000};
    t.frames = {
        {1001000, 33367, 433.309, 30.0, 1.0, true, TrackStop::None},
        // Values no short decimal holds exactly, and ones that need an exponent.
        {1034367, 33366, 0.1 + 0.2, 1.0 / 3.0, 0.987654321, false, TrackStop::None},
        {1067733, 33367, -2.5e-7, 1919.999999999, 1e-9, false, TrackStop::None},
        {1101100, 33367, 1234.5, 987.25, 0.612, false, TrackStop::Sideways},
    };
    return t;
}

class TrackFileTest : public CommaLocaleTest
{
};

TEST_F(TrackFileTest, ReadsBackExactlyWhatWasWrittenWhateverTheLocale)
{
    const ScopedLocale comma(kCommaLocale);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pass.track.txt"));
    const Track t = sampleTrack();
    ASSERT_TRUE(writeTrackFile(path, t));
    const TrackFileRead r = readTrackFile(path);
    ASSERT_TRUE(r.track) << r.problem().toStdString();
    EXPECT_EQ(*r.track, t);

    const QString text = trackFileText(t);
    EXPECT_TRUE(text.startsWith(QStringLiteral("Wakeline track 1\r\nVideo: Pass, 12 Juli")));
    EXPECT_TRUE(text.contains(QStringLiteral("\r\n1001000,33367,433.309,30,1,operator,\r\n")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n1101100,33367,1234.5,987.25,0.612,track,"
                                             "sideways\r\n")));
    EXPECT_FALSE(text.contains(QStringLiteral("433,3")));
    EXPECT_EQ(text.count(QStringLiteral("\r\n")), text.count(QLatin1Char('\n')));
}

TEST(TrackFile, EveryStopReadsBackAsItself)
{
    for (TrackStop stop : {TrackStop::None, TrackStop::LowConfidence, TrackStop::Sideways,
                           TrackStop::LeftPicture, TrackStop::AlongCourse}) {
        Track t = sampleTrack();
        t.frames.back().stop = stop;
        const TrackFileRead r = parseTrackFile(trackFileText(t));
        ASSERT_TRUE(r.track) << r.problem().toStdString();
        EXPECT_EQ(*r.track, t) << trackStopCode(stop).toStdString();
        EXPECT_FALSE(trackStopReason(stop).isEmpty() && stop != TrackStop::None);
    }
}

TEST_F(TrackFileTest, AFailedWriteKeepsTheFileThatWasThere)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pass.track.txt"));
    ASSERT_TRUE(writeTrackFile(path, sampleTrack()));
    const WriteResult w =
        writeTrackFile(dir.filePath(QStringLiteral("no/such/folder/x.txt")), sampleTrack());
    EXPECT_FALSE(w);
    EXPECT_TRUE(w.message.contains(QStringLiteral("x.txt")));
    EXPECT_EQ(*readTrackFile(path).track, sampleTrack());
}

struct Damage
{
    const char* name;
    const char* from; // text replaced (first occurrence) ...
    const char* to;   // ... by this
    int line;
    const char* field;
};

void PrintTo(const Damage& d, std::ostream* os)
{
    *os << d.name;
}

class DamagedTrackFile : public ::testing::TestWithParam<Damage>
{
};

TEST_P(DamagedTrackFile, IsRefusedNamingLineAndField)
{
    const Damage& d = GetParam();
    QString text = trackFileText(sampleTrack());
    const qsizetype at = text.indexOf(QString::fromUtf8(d.from));
    ASSERT_GE(at, 0) << d.from;
    text.replace(at, qsizetype(strlen(d.from)), QString::fromUtf8(d.to));
    const TrackFileRead r = parseTrackFile(text);
    EXPECT_FALSE(r.track);
    EXPECT_EQ(r.line, d.line) << r.problem().toStdString();
    EXPECT_EQ(r.field, QString::fromLatin1(d.field)) << r.problem().toStdString();
    EXPECT_FALSE(r.reason.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedTrackFile,
    ::testing::Values(
        Damage{"not_a_track", "Wakeline track 1", "Slalom Pass Results", 1, ""},
        Damage{"later_version", "Wakeline track 1", "Wakeline track 2", 1, "version"},
        Damage{"no_setup_line", "Setup: SlalomOK.ipt\r\n", "", 3, "Setup"},
        Damage{"unknown_event", "Event: jump", "Event: trick", 4, "Event"},
        Damage{"speed_not_a_number", "Speed: 57", "Speed: 5x7", 6, "Speed"},
        Damage{"cut_before_columns", "frame_us,duration_us", "frame_ms,duration_us", 9, ""},
        Damage{"comma_decimal", "433.309,30", "433,309,30", 10, ""},
        Damage{"time_not_whole", "1034367,", "1034367.5,", 11, "frame_us"},
        Damage{"frames_overlap", "1067733,", "1034368,", 12, "frame_us"},
        Damage{"first_not_the_start", "\r\n1001000,", "\r\n1001001,", 10, "frame_us"},
        Damage{"zero_length", "1001000,33367", "1001000,0", 10, "duration_us"},
        Damage{"u_not_a_number", "1234.5,", "12 34.5,", 13, "u_px"},
        Damage{"v_infinite", "987.25,", "inf,", 13, "v_px"},
        Damage{"confidence_above_one", "0.612,", "1.5,", 13, "confidence"},
        Damage{"unknown_setter", "operator,", "judge,", 10, "set_by"},
        Damage{"unknown_stop", "sideways", "spray", 13, "stop"},
        Damage{"stop_not_last", "0.987654321,track,", "0.987654321,track,confidence", 11, "stop"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TrackFile, AnEmptyOrMissingFileIsRefused)
{
    EXPECT_EQ(parseTrackFile(QString()).line, 1);
    QTemporaryDir dir;
    const TrackFileRead r = readTrackFile(dir.filePath(QStringLiteral("none.track.txt")));
    EXPECT_FALSE(r.track);
    EXPECT_EQ(r.line, 0);
    EXPECT_EQ(r.problem(), QStringLiteral("the file: cannot be read"));
}

} // namespace
