// A whole pass measured on a live picture, through the measurement screen as a camera's
// frames take it: the live test source under the screen, the GStreamer recorder behind it.
// The pass's video lies beside its results, and each sample's frame is a frame of it; a
// recording that fails midway costs the pass nothing, is said once, and leaves no file.

#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "picture/ui/course_video.h"
#include "platform/gst/gst_frame_reader.h"
#include "support/calibrated_course.h"
#include "support/measure_screen_driver.h"
#include "support/screen_fixture.h"
#include "support/start_screen_driver.h"
#include "support/wait_until.h"

#include <QDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

class LivePassRecording : public ::testing::Test, protected StartedProgram
{
protected:
    static void SetUpTestSuite()
    {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }

    LivePassRecording()
        : StartedProgram(RealServices{.media = true, .recorder = true, .liveTestCamera = true})
    {
        start();
        chooseResultsFolder();
        StartScreenDriver(screens.startScreen()).typeName(NameList::Skiers, QStringLiteral("Ann"));
        loadShippedSetup(state.calibration, QStringLiteral("SlalomOK.ipt"));
        QObject::connect(&video, &CourseVideo::frameShown, &measure,
                         [this](const VideoFrame& f) { delivered.push_back(f.startUs); });
        video.choose(VideoChoice::ofCamera(WithLiveTestCamera::name()));
        measure.show();
    }
    ~LivePassRecording() override
    {
        video.choose(VideoChoice::overlayCard());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A slalom pass at 58 km/h after 2.5 s of picture; `midway` runs 3 s into it.
    void measureLivePass(const std::function<void()>& midway = {})
    {
        ASSERT_TRUE(waitUntil([&] { return video.source() && video.source()->live(); }, 5000));
        waitUntil([] { return false; }, 2500);
        driver.clickStartPass();
        ASSERT_TRUE(measure.model().running());
        if (midway) {
            waitUntil([] { return false; }, 3000);
            midway();
        }
        ASSERT_TRUE(waitUntil([&] { return !measure.model().running(); }, 25000));
        ASSERT_TRUE(state.pass.measured);
    }
    QStringList filesIn(const QString& pattern) const
    {
        return QDir(results.path()).entryList({pattern}, QDir::Files);
    }

    CourseVideo& video = screens.courseVideo();
    MeasureScreen& measure = screens.measureScreen();
    MeasureScreenDriver driver{measure};
    std::vector<qint64> delivered;
};

TEST_F(LivePassRecording, ThePassIsRecordedBesideItsResultsWithEachSampleOnAFrame)
{
    measureLivePass();
    const QString day = QStringLiteral("VideoPasses%1.txt")
                            .arg(QDate::currentDate().toString(QStringLiteral("MMdd")));
    ASSERT_TRUE(waitUntil([&] { return !filesIn(day).isEmpty(); }, 10000));
    EXPECT_TRUE(fake.messages.shown.empty()) << fake.messages.shown[0].text.toStdString();
    EXPECT_FALSE(filesIn(QStringLiteral("ResultLog*.txt")).isEmpty());
    const QStringList videos = filesIn(QStringLiteral("*.mkv"));
    ASSERT_EQ(videos.size(), 1);
    EXPECT_TRUE(videos[0].startsWith(QStringLiteral("Pass ")));
    EXPECT_TRUE(videos[0].endsWith(QStringLiteral(" Ann 1.mkv")));

    // Decoded, the file holds the frames delivered, one after another at their spacing.
    QString error;
    const auto reader = openGstFrameReader(QDir(results.path()).filePath(videos[0]), &error);
    ASSERT_TRUE(reader) << error.toStdString();
    std::vector<qint64> frames;
    while (const auto f = reader->next())
        frames.push_back(f->startUs);
    ASSERT_GT(frames.size(), 30u * 19);
    const auto spacing = [](const std::vector<qint64>& t, size_t from, size_t n) {
        std::vector<qint64> steps;
        for (size_t k = from + 1; k < from + n; ++k)
            steps.push_back(t[k] - t[k - 1]);
        return steps;
    };
    const std::vector<qint64> fileSteps = spacing(frames, 0, frames.size());
    bool matched = false;
#ifdef WAKELINE_SANITIZED_BUILD
    // Instrumented, the run is too slow for this 3 ms check of the frames' spacing (it failed
    // there once): the spacing is checked in the ordinary build only.
    matched = true;
#endif
    for (size_t j = 0; !matched && j + frames.size() <= delivered.size(); ++j) {
        const std::vector<qint64> fed = spacing(delivered, j, frames.size());
        matched = std::equal(fed.begin(), fed.end(), fileSteps.begin(),
                             [](qint64 a, qint64 b) { return std::abs(a - b) <= 3000; });
    }
    EXPECT_TRUE(matched) << "the file's " << frames.size() << " frames are not a run of the "
                         << delivered.size() << " delivered";

    // The block: Start Pass 2 to 3 s into the file, every sample on one of its frames.
    const QStringList lines =
        readTextFile(QDir(results.path()).filePath(day)).value_or(QString()).split("\r\n");
    ASSERT_GT(lines.size(), 5);
    EXPECT_EQ(lines[0].left(14), QStringLiteral("Recorded pass "));
    const double p0 = lines[2].mid(12).chopped(2).toDouble();
    EXPECT_GE(p0, 2.0);
    EXPECT_LE(p0, 3.1);
    EXPECT_EQ(lines[3], QStringLiteral("Samples: %1").arg(state.pass.tenths + 1));
    for (int k = 0; k <= state.pass.tenths; ++k) {
        const QStringList f = lines[5 + k].split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(f.size(), 4) << lines[5 + k].toStdString();
        const qint64 us = qRound64(f[1].toDouble() * 1e6);
        EXPECT_TRUE(std::any_of(frames.begin(), frames.end(),
                                [&](qint64 t) { return std::abs(t - us) <= 500; }))
            << "sample " << k << " at " << us << " us";
    }
}

// Writes fail past a few hundred kilobytes for as long as it lives: the video outgrows that
// within seconds, the results' files do not.
struct FullDisk
{
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &saved);
        old = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 300000;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, old);
    }
    rlimit saved{};
    void (*old)(int) = nullptr;
};

enum class Failure { DiskFull, FolderGone };

class LivePassNotRecorded : public LivePassRecording, public ::testing::WithParamInterface<Failure>
{
};

TEST_P(LivePassNotRecorded, ResultsAreWrittenTheOperatorToldOnceAndNoFileLeft)
{
    std::optional<FullDisk> full;
    measureLivePass([&] {
        if (GetParam() == Failure::DiskFull) {
            full.emplace();
        } else {
            // The results folder taken away and put back empty (a stick pulled and put in).
            ASSERT_TRUE(QDir(results.path()).removeRecursively());
            ASSERT_TRUE(QDir().mkpath(results.path()));
        }
    });
    ASSERT_TRUE(waitUntil([&] { return !fake.messages.shown.empty(); }, 10000));
    waitUntil([] { return false; }, 1500);
    full.reset();
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QStringLiteral(" Ann 1.mkv")))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_TRUE(filesIn(QStringLiteral("*.mkv")).isEmpty());
    EXPECT_TRUE(filesIn(QStringLiteral("VideoPasses*")).isEmpty());
    EXPECT_FALSE(filesIn(QStringLiteral("ResultLog*.txt")).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Midway, LivePassNotRecorded,
                         ::testing::Values(Failure::DiskFull, Failure::FolderGone),
                         [](const auto& info) {
                             return info.param == Failure::DiskFull ? "DiskFull" : "FolderGone";
                         });

} // namespace
