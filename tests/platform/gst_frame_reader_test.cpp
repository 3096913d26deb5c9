// The frames the tracking engine decodes carry the times the screens' player gives the same
// pictures: on the sample pass (its truth names every frame's time), and against the real Qt
// player on a WebM whose frames start 80 ms into its stream and on an H.264 MP4 with B-frames
// (whose first frame starts after a delay). The test videos show a bar whose left edge sits
// at x = 3 n in frame n, so each picture tells which frame it is.

#include "platform/gst/gst_frame_reader.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "support/paths.h"
#include "support/wait_until.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

struct Picture
{
    qint64 durationUs;
    int bar;
};

int barOf(const GreyFrame& f)
{
    const int y = f.height / 2;
    auto lit = [&](int x) { return f.at((x + f.width) % f.width, y) > 128; };
    for (int x = 0; x < f.width; ++x)
        if (lit(x) && !lit(x - 1))
            return (x + 1) / 3;
    return -1;
}

int barOf(const QImage& image)
{
    const int w = image.width(), y = image.height() / 2;
    auto lit = [&](int x) { return qGray(image.pixel((x + w) % w, y)) > 128; };
    for (int x = 0; x < w; ++x)
        if (lit(x) && !lit(x - 1))
            return (x + 1) / 3;
    return -1;
}

std::map<qint64, Picture> decodeAll(const QString& path, qint64 fromUs = 0)
{
    std::map<qint64, Picture> frames;
    QString error;
    const auto reader = openGstFrameReader(path, &error, fromUs);
    EXPECT_TRUE(reader) << error.toStdString();
    if (!reader)
        return frames;
    while (const auto f = reader->next())
        frames[f->startUs] = {f->durationUs, barOf(*f)};
    EXPECT_TRUE(reader->error().isEmpty()) << reader->error().toStdString();
    return frames;
}

// Every frame Qt's player shows while playing the file through at twice the speed.
std::map<qint64, Picture> playWithQt(const QString& path)
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    SystemClock clock;
    QtVideoSources sources(clock);
    std::map<qint64, Picture> shown;
    bool ended = false;
    auto file = sources.openFile(path);
    file->setFrameHandler([&](const VideoFrame& f) {
        shown[f.startUs] = {f.durationUs, barOf(f.image)};
    });
    file->setChangeHandler([&](PlaybackChange c) { ended |= c == PlaybackChange::EndOfMedia; });
    EXPECT_TRUE(waitUntil([&] { return file->state() != VideoState::Opening; }, 8000));
    EXPECT_EQ(file->state(), VideoState::Ready) << file->message().toStdString();
    shown[file->frame().startUs] = {file->frame().durationUs, barOf(file->frame().image)};
    file->play();
    file->setRate(2.0);
    EXPECT_TRUE(waitUntil([&] { return ended; }, 8000));
    return shown;
}

class FramesAgreeWithThePlayer : public ::testing::TestWithParam<const char*>
{
};

TEST_P(FramesAgreeWithThePlayer, SameTimesForTheSamePictures)
{
    const QString path = fixturePath(QStringLiteral("video/") + QString::fromLatin1(GetParam()));
    const std::map<qint64, Picture> decoded = decodeAll(path);
    const std::map<qint64, Picture> played = playWithQt(path);
    ASSERT_FALSE(decoded.empty());
    ASSERT_GE(played.size(), decoded.size() / 2) << "the player showed too few frames to compare";
    EXPECT_EQ(decoded.begin()->first, 0);
    EXPECT_EQ(played.begin()->first, 0);
    for (const auto& [startUs, picture] : played) {
        const auto d = decoded.find(startUs);
        ASSERT_NE(d, decoded.end()) << "the player showed a frame at " << startUs << " us";
        EXPECT_EQ(d->second.bar, picture.bar) << "at " << startUs << " us";
        EXPECT_EQ(d->second.durationUs, picture.durationUs) << "at " << startUs << " us";
    }
    // Every decoded frame is the next picture, 40 ms after the one before.
    int n = 0;
    for (const auto& [startUs, picture] : decoded) {
        EXPECT_EQ(startUs, n * 40000);
        EXPECT_EQ(picture.bar, n) << "at " << startUs << " us";
        ++n;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, FramesAgreeWithThePlayer,
                         ::testing::Values("moving_bar_25fps.webm", "moving_bar_25fps_h264.mp4"),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param)
                                 .replace(QLatin1Char('.'), QLatin1Char('_'))
                                 .toStdString();
                         });

struct PartWay
{
    const char* file;
    qint64 fromUs;
};

void PrintTo(const PartWay& p, std::ostream* os)
{
    *os << p.file << " from " << p.fromUs << " us";
}

class ReaderOpenedPartWay : public ::testing::TestWithParam<PartWay>
{
};

TEST_P(ReaderOpenedPartWay, StartsAtMostASecondEarlyWithTheSameFrames)
{
    const QString path =
        fixturePath(QStringLiteral("video/") + QString::fromLatin1(GetParam().file));
    const qint64 from = GetParam().fromUs;
    const std::map<qint64, Picture> whole = decodeAll(path);
    const std::map<qint64, Picture> part = decodeAll(path, from);
    ASSERT_FALSE(part.empty());
    // The frame holding `from` is there, and not much before it: the reader sought.
    EXPECT_LE(part.begin()->first, from);
    EXPECT_GE(part.begin()->first, from - 1040000);
    EXPECT_EQ(part.rbegin()->first, whole.rbegin()->first);
    for (const auto& [startUs, picture] : part) {
        const auto w = whole.find(startUs);
        ASSERT_NE(w, whole.end()) << "a frame at " << startUs << " us";
        EXPECT_EQ(w->second.bar, picture.bar) << "at " << startUs << " us";
        EXPECT_EQ(w->second.durationUs, picture.durationUs) << "at " << startUs << " us";
    }
    EXPECT_EQ(part.size(), size_t(std::distance(whole.find(part.begin()->first), whole.end())));
}

INSTANTIATE_TEST_SUITE_P(Files, ReaderOpenedPartWay,
                         ::testing::Values(PartWay{"moving_bar_25fps.webm", 3000000},
                                           PartWay{"moving_bar_25fps_h264.mp4", 3020000},
                                           PartWay{"moving_bar_25fps_h264.mp4", 2500001}),
                         [](const auto& info) {
                             return QString::fromLatin1(info.param.file)
                                        .replace(QLatin1Char('.'), QLatin1Char('_'))
                                        .toStdString() +
                                    "_" + std::to_string(info.param.fromUs);
                         });

TEST(GstFrameReader, TheSamplePassHasTheTimesOfItsTruth)
{
    const QString videos = sourcePath(QStringLiteral("resources/program/videos/"));
    QFile truth(videos + QStringLiteral("slalom_pass_58kmh_truth.csv"));
    ASSERT_TRUE(truth.open(QIODevice::ReadOnly));
    truth.readLine();
    QString error;
    const auto reader =
        openGstFrameReader(videos + QStringLiteral("slalom_pass_58kmh.webm"), &error);
    ASSERT_TRUE(reader) << error.toStdString();
    EXPECT_EQ(reader->durationUs(), 18000000); // as the player gives it
    int frames = 0;
    while (const auto f = reader->next()) {
        const QList<QByteArray> line = truth.readLine().trimmed().split(',');
        ASSERT_GE(line.size(), 2) << "more frames than the truth at " << f->startUs;
        EXPECT_EQ(f->startUs, line[1].toLongLong() * 1000) << "frame " << frames;
        EXPECT_EQ(f->durationUs, 40000) << "frame " << frames;
        EXPECT_EQ(f->width, 1024);
        EXPECT_EQ(f->height, 768);
        ++frames;
    }
    EXPECT_EQ(frames, 450);
    EXPECT_TRUE(reader->error().isEmpty());
}

TEST(GstFrameReader, AFileThatIsNoVideoIsRefusedNamingIt)
{
    QTemporaryDir dir;
    const QString notVideo = dir.filePath(QStringLiteral("slalom.mp4"));
    QFile f(notVideo);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Lap times of the morning, not a video.\n");
    f.close();
    for (const QString& path : {notVideo, dir.filePath(QStringLiteral("missing.webm"))}) {
        QString error;
        EXPECT_FALSE(openGstFrameReader(path, &error));
        EXPECT_TRUE(error.startsWith(path + QStringLiteral(": "))) << error.toStdString();
    }
}

} // namespace
