// The pass recorder on real GStreamer, fed in real time by the live test source through the
// frame handler a camera's frames take: the file holds every frame fed from its first to its
// last, at the times the recorder handed out, from at least 2 s before the pass to at least
// 1 s after it; the tracking frame reader reads those times, and the program's player shows
// them with the pictures fed (luma PSNR against the pictures drawn again). A recording that
// cannot be written is reported once and leaves no file, and the next pass records again.

#include "platform/gst/gst_frame_reader.h"
#include "platform/gst/gst_pass_recorder.h"
#include "platform/qt/live_test_source.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/qt_video_source.h"
#include "platform/ui/recorder_frame.h"
#include "support/wait_until.h"
#include "support/write_block.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <gst/gst.h>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

// A live source feeding a recorder as the measurement screen will: each frame as it comes,
// with its capture time. Every call on the recorder is timed: none may wait on the encoder
// or the disk.
class LiveRecording : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        source = std::make_unique<LiveTestSource>(LiveTestSource::Options{}, clock);
        recorder = makeGstPassRecorder();
        ASSERT_NE(recorder->state(), RecorderState::Unavailable)
            << recorder->message().toStdString();
        recorder->setOutcomeHandler([this](const RecordingOutcome& o) { outcomes.push_back(o); });
        source->setFrameHandler([this](const VideoFrame& f) {
            if (recorder)
                timed([&] { recorder->feed(recorderFrame(f.image), f.startUs); });
            fed.push_back(f.startUs);
        });
    }

    template <class F> void timed(F call)
    {
        QElapsedTimer t;
        t.start();
        call();
        longestCallMs = std::max(longestCallMs, t.elapsed());
    }
    // Lets the picture run for ms milliseconds; the latest capture time after it.
    qint64 runFor(int ms)
    {
        waitUntil([] { return false; }, ms);
        return fed.empty() ? 0 : fed.back();
    }
    // One pass: a second and a half of picture between Start Pass and its end.
    qint64 recordPass(const QString& path, qint64* endUs = nullptr)
    {
        const qint64 start = runFor(0);
        timed([&] { recorder->startPassRecording(path, start); });
        const qint64 end = runFor(1500);
        timed([&] { recorder->passEnded(end); });
        if (endUs)
            *endUs = end;
        return start;
    }
    bool outcomeCame(size_t count = 1)
    {
        return waitUntil([&] { return outcomes.size() >= count; }, 8000);
    }

    QTemporaryDir folder;
    SystemClock clock;
    std::unique_ptr<LiveTestSource> source;
    std::unique_ptr<PassRecorder> recorder;
    std::vector<qint64> fed; // capture times, in order
    std::vector<RecordingOutcome> outcomes;
    qint64 longestCallMs = 0;
};

// Every decoded frame by its time.
std::map<qint64, GreyFrame> decodeAll(const QString& path)
{
    std::map<qint64, GreyFrame> frames;
    QString error;
    const auto reader = openGstFrameReader(path, &error);
    EXPECT_TRUE(reader) << error.toStdString();
    if (!reader)
        return frames;
    while (auto f = reader->next())
        frames[f->startUs] = std::move(*f);
    EXPECT_TRUE(reader->error().isEmpty()) << reader->error().toStdString();
    return frames;
}

// The frames the program's player shows, by time, playing the file through at twice the
// speed.
std::map<qint64, QImage> playedFrames(const QString& path)
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    SystemClock clock;
    QtVideoSources sources(clock);
    std::map<qint64, QImage> shown;
    bool ended = false;
    auto file = sources.openFile(path);
    file->setFrameHandler([&](const VideoFrame& f) { shown[f.startUs] = f.image; });
    file->setChangeHandler([&](PlaybackChange c) { ended |= c == PlaybackChange::EndOfMedia; });
    EXPECT_TRUE(waitUntil([&] { return file->state() != VideoState::Opening; }, 8000));
    EXPECT_EQ(file->state(), VideoState::Ready) << file->message().toStdString();
    shown[file->frame().startUs] = file->frame().image;
    file->play();
    file->setRate(2.0);
    EXPECT_TRUE(waitUntil([&] { return ended; }, 10000));
    return shown;
}

TEST_F(LiveRecording, APassIsRecordedWholeWithTheFramesAndTimesFed)
{
    runFor(3000); // the pre-roll fills
    const QString path = folder.filePath(QStringLiteral("Pass 12-07-2026 14-05-09 Ann 3.mkv"));
    qint64 end = 0;
    const qint64 start = recordPass(path, &end);
    // A sample's frame: its time in the file is known while the pass runs.
    const std::optional<qint64> startInFile = recorder->mediaTimeUs(start);
    ASSERT_TRUE(startInFile);
    ASSERT_TRUE(outcomeCame());
    source->stop();
    const RecordingOutcome outcome = outcomes.front();
    ASSERT_TRUE(outcome.recorded) << outcome.message.toStdString();
    EXPECT_EQ(outcome.path, path);
    EXPECT_EQ(outcome.droppedFrames, 0);
    EXPECT_EQ(recorder->state(), RecorderState::Waiting);

    const std::map<qint64, GreyFrame> decoded = decodeAll(path);
    ASSERT_EQ(int(decoded.size()), outcome.frames);
    // The file's frames are the frames fed from a capture time on, one after another, each at
    // the media time the recorder gives its capture time.
    const auto first = std::find_if(fed.begin(), fed.end(),
                                    [&](qint64 c) { return recorder->mediaTimeUs(c) == 0; });
    ASSERT_NE(first, fed.end());
    auto capture = first;
    for (const auto& [startUs, frame] : decoded) {
        ASSERT_NE(capture, fed.end());
        ASSERT_EQ(startUs, recorder->mediaTimeUs(*capture)) << "capture " << *capture << " us";
        ++capture;
    }
    EXPECT_EQ(decoded.rbegin()->first, outcome.lastFrameUs);
    // Pre-roll and post-roll: from at least 2 s before Start Pass (a key frame every second:
    // at most 3 s and a frame) to the first frame at least 1 s after the end.
    EXPECT_GE(*startInFile, 2000000);
    EXPECT_LE(*startInFile, 3000000 + 34000);
    EXPECT_GE(outcome.lastFrameUs, *recorder->mediaTimeUs(end) + 1000000);
    EXPECT_LT(outcome.lastFrameUs, *recorder->mediaTimeUs(end) + 1000000 + 34000);
    EXPECT_LT(longestCallMs, 100);

    // The program's player shows the pictures fed, at the times the recorder gave them.
    const std::map<qint64, QImage> played = playedFrames(path);
    ASSERT_GE(played.size(), decoded.size() / 2) << "the player showed too few frames";
    EXPECT_EQ(played.begin()->first, 0);
    double worstPsnr = 1e9;
    for (const auto& [startUs, image] : played) {
        const auto fedAt = std::find_if(fed.begin(), fed.end(), [&, t = startUs](qint64 c) {
            return recorder->mediaTimeUs(c) == t;
        });
        ASSERT_NE(fedAt, fed.end()) << "the player showed a frame at " << startUs << " us";
        const int n = int(std::lround(double(*fedAt) * 30 / 1e6));
        worstPsnr = std::min(worstPsnr, LiveTestSource::lumaPsnr(image, source->picture(n)));
    }
    EXPECT_GE(worstPsnr, 35.0);

    // Sought to the middle of a frame of the pass, then stepped on and back, the player
    // shows exactly the recorded frames.
    SystemClock clock;
    QtVideoSources sources(clock);
    auto file = sources.openFile(path);
    ASSERT_TRUE(waitUntil([&] { return file->state() == VideoState::Ready; }, 8000));
    const auto frame = decoded.upper_bound(*startInFile + 500000);
    ASSERT_NE(std::next(frame), decoded.end());
    const auto shows = [&](qint64 us) {
        return waitUntil([&] { return file->positionUs() == us; }, 3000);
    };
    file->seek(frame->first + 15000);
    EXPECT_TRUE(shows(frame->first)) << file->positionUs() << " us";
    file->stepForward();
    EXPECT_TRUE(shows(std::next(frame)->first)) << file->positionUs() << " us";
    file->stepBack();
    EXPECT_TRUE(shows(frame->first)) << file->positionUs() << " us";
}

TEST_F(LiveRecording, AFileCutShortPlaysUpToWhereItStops)
{
    runFor(500);
    const QString path = folder.filePath(QStringLiteral("cut.mkv"));
    recordPass(path);
    ASSERT_TRUE(outcomeCame());
    ASSERT_TRUE(outcomes.front().recorded);
    // As a killed program or a pulled card leaves it: the first half of the bytes.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() / 2));
    file.close();
    const std::map<qint64, GreyFrame> decoded = decodeAll(path);
    EXPECT_GE(int(decoded.size()), outcomes.front().frames / 4);
    EXPECT_LT(int(decoded.size()), outcomes.front().frames);
}

TEST_F(LiveRecording, ARestartedPassKeepsItsFileAndTheNextPassFinishesIt)
{
    runFor(2500);
    const QString first = folder.filePath(QStringLiteral("first.mkv"));
    const QString second = folder.filePath(QStringLiteral("second.mkv"));
    const qint64 start = runFor(0);
    recorder->startPassRecording(first, start);
    const std::optional<qint64> startInFile = recorder->mediaTimeUs(start);
    // Start Pass again while the pass runs: the same pass, from a later moment.
    const qint64 restart = runFor(700);
    recorder->startPassRecording(first, restart);
    EXPECT_EQ(recorder->mediaTimeUs(restart), *startInFile + (restart - start + 500) / 1000 * 1000);
    recorder->passEnded(runFor(700));
    // The next pass comes before the first one's second after it has passed.
    recorder->startPassRecording(second, runFor(300));
    EXPECT_EQ(recorder->state(), RecorderState::Recording);
    recorder->passEnded(runFor(700));
    ASSERT_TRUE(outcomeCame(2));
    ASSERT_EQ(outcomes.size(), 2u);
    for (const RecordingOutcome& o : outcomes) {
        EXPECT_TRUE(o.recorded) << o.message.toStdString();
        const std::map<qint64, GreyFrame> decoded = decodeAll(o.path);
        EXPECT_EQ(int(decoded.size()), o.frames) << o.path.toStdString();
        ASSERT_FALSE(decoded.empty());
        EXPECT_EQ(decoded.begin()->first, 0);
    }
    EXPECT_EQ(outcomes[0].path, first);
    // The first file runs from 2 s before its first start to where the next pass's took over.
    EXPECT_GE(outcomes[0].lastFrameUs, *startInFile + 1700000);
}

// Threads of this process that run as batch work (SCHED_BATCH, policy 3 in /proc).
int batchThreads()
{
    int n = 0;
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(task));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // The fields after the thread's name, which may hold blanks, in parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        n += fields.size() > 38 && fields[38] == "3";
    }
    return n;
}

TEST_F(LiveRecording, EncodesAsBatchWorkAndGivesGStreamersThreadsBack)
{
    runFor(500);
    // The encoder's streaming thread and the worker never take the core from the thread that
    // hands them a frame.
    EXPECT_GE(batchThreads(), 2);
    recorder.reset();
    // GStreamer's pooled threads may serve the player next: they are ordinary again.
    EXPECT_EQ(batchThreads(), 0);
}

TEST(PassRecorder, FramesTheEncoderCannotTakeAreDroppedAndCounted)
{
    // A second of frames at once, every fifth of a second: far faster than a camera's, the
    // encoder's queue fills and frames are dropped.
    QTemporaryDir folder;
    const std::unique_ptr<PassRecorder> recorder = makeGstPassRecorder();
    std::optional<RecordingOutcome> outcome;
    recorder->setOutcomeHandler([&](const RecordingOutcome& o) { outcome = o; });
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    const RecorderFrame frame = recorderFrame(picture);
    constexpr qint64 kFrameUs = 33333;
    recorder->startPassRecording(folder.filePath(QStringLiteral("burst.mkv")), 0);
    int fed = 0;
    for (; fed * kFrameUs < 4000000; ++fed) {
        recorder->feed(frame, fed * kFrameUs);
        if (fed == 30)
            recorder->passEnded(fed * kFrameUs);
        if (fed % 30 == 29)
            waitUntil([] { return false; }, 200);
    }
    ASSERT_TRUE(waitUntil([&] { return outcome.has_value(); }, 10000));
    ASSERT_TRUE(outcome->recorded) << outcome->message.toStdString();
    EXPECT_GT(outcome->droppedFrames, 0);
    // Every frame up to the file's last is in it or counted as dropped.
    const int upToLast = int(outcome->lastFrameUs / kFrameUs) + 1;
    EXPECT_EQ(outcome->frames + outcome->droppedFrames, upToLast);
    EXPECT_EQ(int(decodeAll(outcome->path).size()), outcome->frames);
}

TEST(PassRecorder, WithoutItsEncoderSaysWhichPackageIsMissingAndRecordsNothing)
{
    gst_init(nullptr, nullptr); // the registry is read at start-up; run alone, nothing has yet
    GstPluginFeature* x264 = gst_registry_lookup_feature(gst_registry_get(), "x264enc");
    ASSERT_TRUE(x264) << "x264enc is not installed here (gstreamer1.0-plugins-ugly)";
    gst_registry_remove_feature(gst_registry_get(), x264);
    const std::unique_ptr<PassRecorder> recorder = makeGstPassRecorder();
    gst_registry_add_feature(gst_registry_get(), x264); // takes the reference back
    EXPECT_EQ(recorder->state(), RecorderState::Unavailable);
    EXPECT_TRUE(recorder->message().contains("x264enc")) << recorder->message().toStdString();
    EXPECT_TRUE(recorder->message().contains("gstreamer1.0-plugins-ugly"));
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("pass.mkv"));
    std::vector<RecordingOutcome> outcomes;
    recorder->setOutcomeHandler([&](const RecordingOutcome& o) { outcomes.push_back(o); });
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::black);
    recorder->feed(recorderFrame(picture), 0);
    recorder->startPassRecording(path, 0);
    EXPECT_FALSE(recorder->mediaTimeUs(0));
    EXPECT_TRUE(outcomes.empty()); // told from the event loop, never inside the call
    ASSERT_TRUE(waitUntil([&] { return !outcomes.empty(); }, 2000));
    EXPECT_FALSE(outcomes.front().recorded);
    EXPECT_EQ(outcomes.front().message, recorder->message());
    EXPECT_FALSE(QFile::exists(path));
}

enum class WriteFailure { FolderMissing, FolderRemovedMidway, DiskFullMidway };

class RecordingThatCannotBeWritten : public LiveRecording,
                                     public ::testing::WithParamInterface<WriteFailure>
{
};

TEST_P(RecordingThatCannotBeWritten, IsReportedOnceLeavesNoFileAndTheNextPassRecords)
{
    const QString passes = folder.filePath(QStringLiteral("passes"));
    ASSERT_TRUE(QDir().mkpath(passes));
    const QString path = QDir(passes).filePath(QStringLiteral("Pass 1.mkv"));
    runFor(1000);
    std::optional<WriteBlock> full;
    if (GetParam() == WriteFailure::FolderMissing) {
        ASSERT_TRUE(QDir(passes).removeRecursively());
    }
    const qint64 start = runFor(0);
    timed([&] { recorder->startPassRecording(path, start); });
    switch (GetParam()) {
    case WriteFailure::FolderMissing:
        break;
    case WriteFailure::FolderRemovedMidway:
        ASSERT_TRUE(waitUntil([&] { return QFile::exists(path); }, 3000));
        runFor(500);
        ASSERT_TRUE(QDir(passes).removeRecursively());
        break;
    case WriteFailure::DiskFullMidway:
        ASSERT_TRUE(waitUntil([&] { return QFile(path).size() > 0; }, 3000));
        full.emplace(passes); // nothing more fits on the disk
        break;
    }
    const qint64 end = runFor(1500);
    timed([&] { recorder->passEnded(end); });
    ASSERT_TRUE(outcomeCame());
    full.reset();
    runFor(500); // a second outcome would have come by now
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_FALSE(outcomes.front().recorded);
    const QString& message = outcomes.front().message;
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(path))) << message.toStdString();
    // The reason: the system's, in English or in the locale's words, or (a file gone with its
    // folder) the recorder's own.
    const auto system = [](int error) { return QString::fromLocal8Bit(std::strerror(error)); };
    const QStringList reasons =
        GetParam() == WriteFailure::FolderMissing
            ? QStringList{"No such file or directory", system(ENOENT)}
        : GetParam() == WriteFailure::FolderRemovedMidway
            ? QStringList{"folder was removed"}
            : QStringList{"No space left", "File too large", system(ENOSPC), system(EFBIG)};
    EXPECT_TRUE(std::any_of(reasons.begin(), reasons.end(), [&](const QString& r) {
        return message.contains(r);
    })) << message.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(recorder->mediaTimeUs(end));
    EXPECT_LT(longestCallMs, 100);

    ASSERT_TRUE(QDir().mkpath(passes));
    recordPass(path);
    ASSERT_TRUE(outcomeCame(2));
    EXPECT_TRUE(outcomes.back().recorded) << outcomes.back().message.toStdString();
    EXPECT_EQ(int(decodeAll(path).size()), outcomes.back().frames);
}

INSTANTIATE_TEST_SUITE_P(Failures, RecordingThatCannotBeWritten,
                         ::testing::Values(WriteFailure::FolderMissing,
                                           WriteFailure::FolderRemovedMidway,
                                           WriteFailure::DiskFullMidway),
                         [](const auto& info) {
                             switch (info.param) {
                             case WriteFailure::FolderMissing:
                                 return "FolderMissing";
                             case WriteFailure::FolderRemovedMidway:
                                 return "FolderRemovedMidway";
                             case WriteFailure::DiskFullMidway:
                                 return "DiskFullMidway";
                             }
                             return "Unknown";
                         });

} // namespace
