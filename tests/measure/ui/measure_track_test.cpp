// Measuring the sample pass from a track on the measurement screen, with the real player and
// the real frame reader (GStreamer) on the offscreen platform: "Track Boat", a click on the
// pylon on the pass's first frame, a correction that is cancelled (nothing changes), one that
// is made and undone, then "Measure from Track": the results, the track file beside them and
// the VideoPasses block that names it.

#include "common/text_file.h"
#include "measure/ui/measure_screen.h"
#include "measure/ui/track_overlay.h"
#include "measure/ui/track_panel.h"
#include "measure/video_pass_log.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/video_transport.h"
#include "support/calibrated_course.h"
#include "support/measure_screen_driver.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/wait_until.h"
#include "tracking/track_file.h"
#include "tracking/track_review.h"
#include "tracking/track_samples.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr qint64 kPassStartUs = 1000000;

class MeasureTrackTest : public ::testing::Test, protected StartedProgram
{
protected:
    static void SetUpTestSuite()
    {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }
    MeasureTrackTest() : StartedProgram(RealServices{.media = true})
    {
        loadShippedSetup(state.calibration, QStringLiteral("SlalomOK.ipt"));
        measure.show();
    }
    ~MeasureTrackTest() override
    {
        video.choose(VideoChoice::overlayCard());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    bool showFrame(qint64 startUs)
    {
        video.file()->seek(startUs);
        return waitUntil([&] { return video.file()->frame().startUs == startUs; }, 5000);
    }
    // A click on the picture at a picture pixel.
    void clickAt(double u, double v)
    {
        const PlanePoint at = surface->mapping().toSurface(u * 15, v * 15);
        driver.clickPicture(QPoint(int(std::lround(at.x)), int(std::lround(at.y))));
    }
    void press(QAction* a)
    {
        ASSERT_TRUE(a->isEnabled()) << a->text().toStdString();
        a->trigger();
    }
    bool trackingEnds()
    {
        return waitUntil([&] { return !panel().review().running(); }, 120000);
    }

    TrackPanel& panel() { return *measure.findChild<TrackPanel*>(QStringLiteral("trackPanel")); }
    VideoTransport& transport() { return *measure.findChild<VideoTransport*>(); }

    CourseVideo& video = screens.courseVideo();
    MeasureScreen& measure = screens.measureScreen();
    MeasureScreenDriver driver{measure};
    DrawingSurface* surface = &driver.surface();
    const QString samplePath =
        sourcePath(QStringLiteral("resources/program/videos/slalom_pass_58kmh.webm"));
};

TEST_F(MeasureTrackTest, TrackBoatThenMeasureFromTrackRecordsTheTracksSamples)
{
    EXPECT_FALSE(panel().shown()); // the overlay card: nothing to track
    video.choose(VideoChoice::ofFile(samplePath));
    ASSERT_TRUE(waitUntil([&] { return video.file() != nullptr; }, 8000));
    ASSERT_TRUE(panel().shown());
    ASSERT_TRUE(showFrame(kPassStartUs));

    press(panel().trackBoatAction());
    EXPECT_TRUE(panel().review().awaitingFirstPoint());
    QElapsedTimer took;
    took.start();
    clickAt(433.309, 30);
    EXPECT_TRUE(panel().review().running());
    EXPECT_FALSE(measure.model().running()); // the click went to the track, not a pass
    // A click while the engine runs is answered at once, from the screen's own thread.
    QElapsedTimer answer;
    answer.start();
    clickAt(433.309, 60);
    const qint64 answerMs = answer.elapsed();
    EXPECT_TRUE(panel().overlay().status().contains(QStringLiteral("still tracking")));
    // How long the screen's event loop is ever kept from a click while the engine runs.
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longestGapMs = 0;
    QTimer ticks;
    QObject::connect(&ticks, &QTimer::timeout,
                     [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
    ticks.start(5);
    ASSERT_TRUE(trackingEnds());
    ticks.stop();
    std::printf("[ measured ] the sample pass tracked on the screen in %.2f s; a click while "
                "tracking answered in %lld ms; the event loop held up at most %lld ms\n",
                double(took.elapsed()) / 1e3, answerMs, longestGapMs);
    ASSERT_TRUE(panel().review().canMeasure()) << panel().overlay().status().toStdString();
    EXPECT_TRUE(panel().measureAction()->isEnabled());
    EXPECT_EQ(panel().overlay().pointOnScreen()->startUs, kPassStartUs);
    ASSERT_EQ(transport().marks().size(), 1u); // the operator's first point
    const Track tracked = panel().review().track();

    // A correction cancelled at once: the track, its marks and the buttons as they were.
    const bool couldUndo = panel().undoAction()->isEnabled();
    ASSERT_TRUE(showFrame(6000000));
    const TrackPoint& at6 = *tracked.frameHolding(6000000);
    clickAt(at6.u + 4, at6.v);
    EXPECT_TRUE(panel().cancelAction()->isEnabled());
    press(panel().cancelAction());
    ASSERT_TRUE(trackingEnds());
    ASSERT_TRUE(waitUntil([&] { return panel().overlay().status().contains("cancelled"); }, 2000));
    EXPECT_EQ(panel().review().track(), tracked);
    EXPECT_EQ(transport().marks().size(), 1u);
    EXPECT_EQ(panel().undoAction()->isEnabled(), couldUndo);
    EXPECT_FALSE(panel().cancelAction()->isEnabled());

    // A correction made, marked on the slider, and undone.
    clickAt(at6.u, at6.v);
    ASSERT_TRUE(trackingEnds());
    ASSERT_TRUE(waitUntil([&] { return transport().marks().size() == 2u; }, 2000));
    EXPECT_TRUE(panel().undoAction()->isEnabled());
    EXPECT_TRUE(panel().review().track().frameHolding(6000000)->operatorSet);
    press(panel().undoAction());
    EXPECT_EQ(panel().review().track(), tracked);
    EXPECT_EQ(transport().marks().size(), 1u);

    press(panel().measureAction());
    for (const auto& m : fake.messages.shown)
        ADD_FAILURE() << m.text.toStdString();
    ASSERT_TRUE(state.pass.measured);
    EXPECT_TRUE(screens.hasResults());
    const TrackSamples samples = samplesFromTrack(tracked, state.calibration.transform);
    ASSERT_EQ(state.pass.samples.sampleCount, 162);
    for (const TrackSample& s : samples.samples)
        EXPECT_EQ(state.pass.samples.deviations[size_t(s.index)], s.deviation) << s.index;

    // The track file beside the results, named in the day's VideoPasses block.
    const auto log = readTextFile(path(videoPassesFileName(realClock->now())));
    ASSERT_TRUE(log);
    const QStringList lines = splitLines(*log);
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(lines[1], QStringLiteral("Video file: ") + samplePath);
    ASSERT_TRUE(lines[2].startsWith(QStringLiteral("Track file: "))) << lines[2].toStdString();
    const QString trackPath = lines[2].mid(12);
    EXPECT_TRUE(trackPath.endsWith(QStringLiteral(" slalom_pass_58kmh.track.txt")));
    EXPECT_EQ(readTrackFile(trackPath).track, tracked);
    EXPECT_EQ(lines[3], QStringLiteral("Start (P0): 1.000 s"));

    // Loaded back with its video; a damaged copy is refused naming the line and field, and
    // the track in use stays.
    fake.fileDialog.answers.push_back(trackPath);
    press(panel().loadTrackAction());
    EXPECT_EQ(panel().review().track(), tracked);
    EXPECT_TRUE(panel().review().canMeasure());
    QFile damaged(path(QStringLiteral("damaged.track.txt")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(trackFileText(tracked).toUtf8().replace(",track,", ",trak,"));
    damaged.close();
    fake.fileDialog.answers.push_back(damaged.fileName());
    press(panel().loadTrackAction());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_TRUE(fake.messages.shown[0].text.contains(QStringLiteral("line 11, field set_by")))
        << fake.messages.shown[0].text.toStdString();
    EXPECT_EQ(panel().review().track(), tracked);

    // A still picture over the video: no click may set a point on a frame nobody sees.
    video.stillPicture().setImage(QImage(64, 48, QImage::Format_RGB32));
    EXPECT_FALSE(panel().shown());
    EXPECT_FALSE(panel().review().active());
    video.stillPicture().setImage(QImage());
    EXPECT_TRUE(panel().shown());
}

} // namespace
