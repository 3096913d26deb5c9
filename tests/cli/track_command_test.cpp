// wakeline-cli track on the sample pass, whose truth says where the pylon was on every frame
// and on which course line it ran: the samples must agree with it as the tracking goal asks.

#include "common/text_file.h"
#include "support/cli_run.h"
#include "support/paths.h"
#include "support/qt_printers.h"
#include "tracking/track_file.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

namespace {

const QString kVideo = QStringLiteral("resources/program/videos/slalom_pass_58kmh.webm");
const QString kTruth = QStringLiteral("resources/program/videos/slalom_pass_58kmh_truth.csv");
const QString kSetup = QStringLiteral("resources/program/SlalomOK.ipt");
// The pylon just above the windshield on the pass's first frame (1.000 s): its column is the
// truth's, its row the operator's choice.
const QString kPylon = QStringLiteral("433.309,30");

QStringList trackArgs(const QStringList& more)
{
    return QStringList{QStringLiteral("track"), sourcePath(kVideo), QStringLiteral("--setup"),
                       sourcePath(kSetup)} +
           more;
}

// The pylon's column on each frame, by the frame's start in microseconds.
std::map<qint64, double> truthColumns()
{
    std::map<qint64, double> columns;
    QFile f(sourcePath(kTruth));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    f.readLine();
    while (!f.atEnd()) {
        const QList<QByteArray> v = f.readLine().trimmed().split(',');
        if (v.size() == 6)
            columns[v[1].toLongLong() * 1000] = v[4].toDouble();
    }
    return columns;
}

// The course line the pylon ran (resources/camera/README.md), at sample k's instant.
double truthDeviation(int k)
{
    const double pi = 3.14159265358979323846;
    const double y = -58.0 * k / 36.0;
    return 1.32 + 0.22 * std::sin(2 * pi * y / 90) + 0.06 * std::sin(2 * pi * y / 37 + 1) - 1.25;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

class TrackCommand : public ::testing::Test
{
protected:
    QTemporaryDir dir;
};

TEST_F(TrackCommand, MeasuresTheSamplePassWithinTheGoal)
{
    const QString results = dir.filePath(QStringLiteral("pass.txt"));
    // Without --track the track goes beside the results.
    const QString track = dir.filePath(QStringLiteral("pass.track.txt"));
    const CliRun r =
        runCli(trackArgs({QStringLiteral("--start"), QStringLiteral("1.0"), QStringLiteral("--at"),
                          kPylon, QStringLiteral("--csv"), QStringLiteral("--results"), results,
                          QStringLiteral("--now"), QStringLiteral("2026-12-07T08:00:01")}));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 163);
    EXPECT_EQ(lines[0], QStringLiteral("sample,media_time_s,u,v,course_x_m,course_y_m,"
                                       "deviation_m,confidence,set_by"));
    const auto columns = truthColumns();
    std::vector<double> pixels, metres;
    for (int k = 0; k <= 161; ++k) {
        const QStringList f = lines[k + 1].split(QLatin1Char(','));
        ASSERT_EQ(f.size(), 9) << lines[k + 1].toStdString();
        EXPECT_EQ(f[0].toInt(), k);
        // Read on the frame holding 1.000 + 0.1 k s: frames are 40 ms long.
        const qint64 frameUs = (1000000 + qint64(k) * 100000) / 40000 * 40000;
        EXPECT_EQ(std::llround(f[1].toDouble() * 1e6), frameUs) << "sample " << k;
        pixels.push_back(std::fabs(f[2].toDouble() - columns.at(frameUs)));
        metres.push_back(std::fabs(f[6].toDouble() - truthDeviation(k)));
        EXPECT_GE(f[7].toDouble(), 0.85) << "sample " << k;
        EXPECT_EQ(f[8], k == 0 ? QStringLiteral("operator") : QStringLiteral("track"));
    }
    EXPECT_LE(median(pixels), 0.3);
    EXPECT_LE(*std::max_element(pixels.begin(), pixels.end()), 1.0);
    // A pixel at the far end is 1.3 cm across the course; samples are read to the centimetre on
    // the frame that holds their instant (up to 20 ms before it).
    EXPECT_LE(median(metres), 0.01);
    EXPECT_LE(*std::max_element(metres.begin(), metres.end()), 0.03);
    std::printf("[ measured ] sample pass: column error median %.3f px, max %.3f px; deviation "
                "error median %.4f m, max %.4f m\n",
                median(pixels), *std::max_element(pixels.begin(), pixels.end()), median(metres),
                *std::max_element(metres.begin(), metres.end()));

    // The results file is one the results screen writes and the analyse command reads back.
    const CliRun analysed = runCli({QStringLiteral("analyse"), results, QStringLiteral("--now"),
                                    QStringLiteral("2026-12-07T08:00:01")});
    ASSERT_EQ(analysed.code, 0) << analysed.err.toStdString();
    EXPECT_EQ(*readTextFile(results), analysed.out + QStringLiteral("\r\n\r\nEnd of Pass Analysis"
                                                                    "\r\n\r\n"));
    // The track file holds the pass from its first frame to the one holding its last sample.
    const TrackFileRead saved = readTrackFile(track);
    ASSERT_TRUE(saved.track) << saved.problem().toStdString();
    EXPECT_TRUE(saved.track->complete());
    EXPECT_EQ(saved.track->frames.size(), 403u);
    EXPECT_EQ(saved.track->videoFile, QStringLiteral("slalom_pass_58kmh.webm"));

    // Loaded again with its video, it gives the same report without tracking.
    const CliRun fresh =
        runCli(trackArgs({QStringLiteral("--now"), QStringLiteral("2026-12-07T08:00:01")}));
    const CliRun loaded =
        runCli(trackArgs({QStringLiteral("--load"), track, QStringLiteral("--now"),
                          QStringLiteral("2026-12-07T08:00:01")}));
    ASSERT_EQ(loaded.code, 0) << loaded.err.toStdString();
    EXPECT_EQ(loaded.out, analysed.out);

    // A correction late in the pass (the video is read from a second before it): the frames
    // before it kept as they were, the ones after it tracked again where they were.
    const TrackPoint& at15 = saved.track->frames[350];
    ASSERT_EQ(at15.startUs, 15000000);
    const QString again = dir.filePath(QStringLiteral("again.track.txt"));
    const CliRun corrected = runCli(
        trackArgs({QStringLiteral("--load"), track, QStringLiteral("--fix"),
                   QStringLiteral("15.0=%1,%2").arg(at15.u, 0, 'f', 3).arg(at15.v, 0, 'f', 3),
                   QStringLiteral("--track"), again}));
    ASSERT_EQ(corrected.code, 0) << corrected.err.toStdString();
    const TrackFileRead redone = readTrackFile(again);
    ASSERT_TRUE(redone.track) << redone.problem().toStdString();
    ASSERT_EQ(redone.track->frames.size(), 403u);
    for (size_t k = 0; k < 403; ++k) {
        const TrackPoint& a = saved.track->frames[k];
        const TrackPoint& b = redone.track->frames[k];
        EXPECT_EQ(b.startUs, a.startUs) << "frame " << k;
        if (k < 350)
            EXPECT_EQ(b, a) << "frame " << k;
        else
            EXPECT_NEAR(b.u, a.u, 0.3) << "frame " << k;
    }
    EXPECT_TRUE(redone.track->frames[350].operatorSet);
}

TEST_F(TrackCommand, StopsWhereItCannotVouchAndTakesTheOperatorsPointThere)
{
    // A point on the water: it matches, but stands still while the boat runs on.
    const QString track = dir.filePath(QStringLiteral("water.track.txt"));
    const CliRun stopped =
        runCli(trackArgs({QStringLiteral("--start"), QStringLiteral("1.0"), QStringLiteral("--at"),
                          QStringLiteral("200,400"), QStringLiteral("--track"), track}));
    ASSERT_EQ(stopped.code, 3) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.out.isEmpty());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^track: stopped on frame (\\d+) at media time "
                                          "([0-9.]+) s: .*; give the point there with --fix "
                                          "([0-9.]+)=U,V\\n$"))
            .match(stopped.err);
    ASSERT_TRUE(m.hasMatch()) << stopped.err.toStdString();
    const int frame = m.captured(1).toInt();
    EXPECT_EQ(std::llround(m.captured(2).toDouble() * 1e6), qint64(frame) * 40000);
    EXPECT_EQ(m.captured(2), m.captured(3));
    EXPECT_EQ(frame, 35); // 0.4 s of standing still is judged

    // The operator gives the pylon on that frame; the frames before it are kept as tracked.
    const auto columns = truthColumns();
    const qint64 atUs = qint64(frame) * 40000;
    const QString fix =
        m.captured(2) + QStringLiteral("=%1,%2").arg(columns.at(atUs), 0, 'f', 3).arg(36.0);
    const CliRun fixed = runCli(trackArgs(
        {QStringLiteral("--load"), track, QStringLiteral("--fix"), fix, QStringLiteral("--csv")}));
    ASSERT_EQ(fixed.code, 0) << fixed.err.toStdString();
    const QStringList lines = fixed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 163);
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("0,1.000000,200.000,400.000,")));
    EXPECT_TRUE(lines[5].endsWith(QStringLiteral(",operator"))) << lines[5].toStdString();
    const QStringList last = lines.back().split(QLatin1Char(','));
    EXPECT_NEAR(last[2].toDouble(), columns.at(17080000), 1.0);
}

TEST_F(TrackCommand, ASavedTrackWithAGapIsNotMeasured)
{
    // The truth's own columns as a saved track, with the frame at 8.000 s left out.
    Track t;
    t.videoFile = QStringLiteral("slalom_pass_58kmh.webm");
    t.pass = {Event::Slalom, Direction::Toward, 58, 161, 1000000};
    for (const auto& [startUs, u] : truthColumns())
        if (startUs >= 1000000 && startUs <= 17080000 && startUs != 8000000)
            t.frames.push_back({startUs, 40000, u, 100.0, 1.0, false, TrackStop::None});
    const QString path = dir.filePath(QStringLiteral("gap.track.txt"));
    ASSERT_TRUE(writeTrackFile(path, t));
    const CliRun r = runCli(trackArgs({QStringLiteral("--load"), path, QStringLiteral("--csv")}));
    EXPECT_EQ(r.code, 3);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, QStringLiteral("track: no tracked frame holds sample 70 at 8.000 s; give the "
                                    "point there with --fix\n"));
}

struct BadCall
{
    const char* name;
    QStringList args; // after "track VIDEO --setup SETUP" unless it names its own
    const char* message;
};

void PrintTo(const BadCall& c, std::ostream* os)
{
    *os << c.name;
}

class TrackCommandRefuses : public ::testing::TestWithParam<BadCall>
{
};

TEST_P(TrackCommandRefuses, WithOneLineAndExitCode2)
{
    const BadCall& c = GetParam();
    const CliRun r = runCli(c.args.first() == QLatin1String("track") ? c.args : trackArgs(c.args));
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
}

const QString kNoVideo = sourcePath(QStringLiteral("tests/data/README.md"));

INSTANTIATE_TEST_SUITE_P(
    Calls, TrackCommandRefuses,
    ::testing::Values(
        BadCall{"no_point", {QStringLiteral("--start"), QStringLiteral("1")}, "--at U,V is needed"},
        BadCall{"point_with_a_comma_decimal",
                {QStringLiteral("--start"), QStringLiteral("1"), QStringLiteral("--at"),
                 QStringLiteral("433,3,30")},
                "is not a picture point U,V"},
        BadCall{"no_such_speed",
                {QStringLiteral("--start"), QStringLiteral("1"), QStringLiteral("--at"), kPylon,
                 QStringLiteral("--speed"), QStringLiteral("60")},
                "60 is not a slalom speed (58, 55, 52, 49, 46)"},
        BadCall{"fix_without_time",
                {QStringLiteral("--start"), QStringLiteral("1"), QStringLiteral("--at"), kPylon,
                 QStringLiteral("--fix"), QStringLiteral("433,30")},
                "is not TIME=U,V"},
        BadCall{"starts_too_late",
                {QStringLiteral("--start"), QStringLiteral("2"), QStringLiteral("--at"),
                 QStringLiteral("464.114,45.748")},
                "the video ends at 18.000 s, before the pass's last sample at 18.100 s"},
        BadCall{"not_a_video",
                {QStringLiteral("track"), kNoVideo, QStringLiteral("--setup"), sourcePath(kSetup),
                 QStringLiteral("--start"), QStringLiteral("1"), QStringLiteral("--at"), kPylon},
                "README.md: "},
        BadCall{"setup_missing",
                {QStringLiteral("track"), sourcePath(kVideo), QStringLiteral("--setup"),
                 QStringLiteral("/nonexistent/x.ipt"), QStringLiteral("--start"),
                 QStringLiteral("1"), QStringLiteral("--at"), kPylon},
                "x.ipt"},
        BadCall{"broken_track_file",
                {QStringLiteral("--load"), sourcePath(kSetup)},
                "line 1: not a Wakeline track file"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
