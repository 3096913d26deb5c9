// The sample pass video under the measurement screen, played by the real player (GStreamer)
// on the offscreen platform, with the standard slalom calibration. A scripted operator keeps
// the line on the pylon of every frame as it is shown: the truth file says where the water
// under the pylon appears in the picture, and the mouse goes there through the surface's
// mapping. What the pass records is then checked against where the boat really was.

#include "common/text_file.h"
#include "measure/input_positioning.h"
#include "measure/pass_rules.h"
#include "measure/ui/measure_screen.h"
#include "measure/video_pass_log.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "support/calibrated_course.h"
#include "support/measure_screen_driver.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/wait_until.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr qint64 kFrameUs = 40000;
constexpr qint64 kPassStartUs = 1000000; // frame 25: the pylon crosses the entrance gate
constexpr int kSamples = 162;            // slalom at 58 km/h

struct TruthFrame
{
    double x = 0, y = 0, u = 0, v = 0;
};

std::vector<TruthFrame> readTruth()
{
    std::vector<TruthFrame> frames;
    const auto text = readTextFile(
        sourcePath(QStringLiteral("resources/program/videos/slalom_pass_58kmh_truth.csv")));
    if (!text)
        return frames;
    const QStringList lines = splitLines(*text);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(QLatin1Char(','));
        if (f.size() == 6)
            frames.push_back({f[2].toDouble(), f[3].toDouble(), f[4].toDouble(), f[5].toDouble()});
    }
    return frames;
}

class MeasureVideoTest : public ::testing::Test, protected StartedProgram
{
protected:
    static void SetUpTestSuite()
    {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }

    MeasureVideoTest() : StartedProgram(RealServices{.media = true})
    {
        loadShippedSetup(state.calibration, QStringLiteral("SlalomOK.ipt"));
        measure.show();
        driver.check(MeasureScreenDriver::Check::UseMouse)->click();
        // The operator: on every frame shown, the pointer onto the pylon's place.
        QObject::connect(&video, &CourseVideo::frameShown, &measure,
                         [this](const VideoFrame& frame) {
                             // A frame before the last: one the player skipped, shown again.
                             shownAgain += frame.startUs < lastShownUs;
                             lastShownUs = frame.startUs;
                             pointAtPylon(frame.startUs);
                         });
    }
    ~MeasureVideoTest() override
    {
        video.choose(VideoChoice::overlayCard());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void pointAtPylon(qint64 frameStartUs)
    {
        const size_t n = size_t(frameStartUs / kFrameUs);
        if (!video.file() || n >= truth.size())
            return;
        // A picture pixel's centre is at (15 i, 15 j) twips; the mouse goes there through the
        // mapping, at its fractional surface position.
        const PlanePoint at = surface->mapping().toSurface(truth[n].u * 15, truth[n].v * 15);
        driver.movePointer(QPointF(at.x, at.y));
    }

    void openSampleVideo()
    {
        video.choose(VideoChoice::ofFile(samplePath));
        ASSERT_TRUE(waitUntil([&] { return video.file() != nullptr; }, 8000))
            << (fake.messages.shown.empty() ? "" : fake.messages.shown[0].text.toStdString());
        ASSERT_FALSE(surface->mapping().isIdentity());
    }
    bool showFrame(qint64 startUs)
    {
        video.file()->seek(startUs);
        return waitUntil([&] { return video.file()->frame().startUs == startUs; }, 3000);
    }

    // The pass from frame 25 at `rate`; `middle` runs once 60 samples are taken.
    void measurePass(double rate, const std::function<void()>& middle = {})
    {
        openSampleVideo();
        ASSERT_TRUE(showFrame(kPassStartUs));
        video.setRate(rate);
        QElapsedTimer took;
        took.start();
        driver.clickStartPass();
        ASSERT_TRUE(measure.model().mediaPassRunning());
        driver.playOrPause();
        if (middle) {
            ASSERT_TRUE(waitUntil([&] { return measure.model().sampleIndex() >= 60; }, 20000));
            middle();
            // A failed step inside leaves the pass in a state nothing after it may read.
            if (HasFatalFailure())
                return;
        }
        // A busy machine makes the player skip frames; each skipped frame that holds an
        // instant is shown again, which takes longer.
        ASSERT_TRUE(waitUntil([&] { return !measure.model().running(); }, 120000));
        std::printf("[ measured ] pass at rate %.2f: %.1f s, %d skipped frames shown again\n", rate,
                    double(took.elapsed()) / 1e3, shownAgain);
        for (const auto& m : fake.messages.shown)
            ADD_FAILURE() << m.text.toStdString();
        ASSERT_TRUE(state.pass.media);
        ASSERT_EQ(state.pass.media->sampleFramesUs.size(), size_t(kSamples));
    }

    // Every sample on the frame holding its instant; its value the pointer's place on that
    // frame read at the boat's row for the sample (the same at any rate, paused or stepped);
    // and that value where the boat was at the instant within a picture pixel at that place
    // (plus the report's rounding to 1 cm). Between two frames the boat moves on: a frame
    // shows it up to 39 ms before the instant.
    void checkAgainstTruth()
    {
        ASSERT_TRUE(state.pass.media);
        ASSERT_EQ(state.pass.media->sampleFramesUs.size(), size_t(kSamples));
        const auto& frames = state.pass.media->sampleFramesUs;
        EXPECT_EQ(state.pass.media->startUs, kPassStartUs);
        int wrongFrame = 0, otherValue = 0;
        double largest = 0.0, largestPixels = 0.0, largestOnFrame = 0.0;
        for (int k = 0; k < kSamples; ++k) {
            const qint64 instant = kPassStartUs + qint64(k) * 100000;
            const qint64 f = frames[size_t(k)];
            wrongFrame += !(f <= instant && instant < f + kFrameUs);
            const double recorded = state.pass.samples.deviations[size_t(k)];

            const size_t n = size_t(instant / kFrameUs);
            const PictureMapping& m = surface->mapping();
            const PlanePoint pointer = m.toPicture(m.toSurface(truth[n].u * 15, truth[n].v * 15));
            const double row =
                screenOf(state.calibration, 1.25, -sampleDistance(k, kSamples - 1, 259.0)).y;
            otherValue +=
                recorded !=
                liveDeviation(courseOf(state.calibration, mouseTwips(pointer.x), row).x, 1.25);

            // The pylon at the sample's instant, between the frames on either side of it.
            const double share = double(instant % kFrameUs) / kFrameUs;
            const double x = truth[n].x + share * (truth[n + 1].x - truth[n].x);
            const double y = truth[n].y + share * (truth[n + 1].y - truth[n].y);
            // Course metres across one picture pixel there.
            const Point2 s = screenOf(state.calibration, x, y);
            const double metresPerPixel =
                std::abs(courseOf(state.calibration, s.x + 15, s.y).x - x);
            const double error = std::abs(recorded - (x - 1.25));
            EXPECT_LE(error, metresPerPixel + 0.005) << "sample " << k;
            largest = std::max(largest, error);
            largestPixels = std::max(largestPixels, (error - 0.005) / metresPerPixel);
            largestOnFrame = std::max(largestOnFrame, std::abs(recorded - (truth[n].x - 1.25)));
        }
        EXPECT_EQ(wrongFrame, 0);
        EXPECT_EQ(otherValue, 0);
        std::printf("[ measured ] largest error against the truth at the instant: %.4f m (%.2f "
                    "pixel beyond the 1 cm rounding); against the frame shown: %.4f m\n",
                    largest, largestPixels, largestOnFrame);
    }

    CourseVideo& video = screens.courseVideo();
    MeasureScreen& measure = screens.measureScreen();
    MeasureScreenDriver driver{measure};
    DrawingSurface* surface = &driver.surface();
    const std::vector<TruthFrame> truth = readTruth();
    qint64 lastShownUs = 0;
    int shownAgain = 0;
    const QString samplePath =
        sourcePath(QStringLiteral("resources/program/videos/slalom_pass_58kmh.webm"));
};

TEST_F(MeasureVideoTest, APassTrackedFrameByFrameRecordsWhereTheBoatWas)
{
    ASSERT_EQ(truth.size(), 450u);
    ASSERT_NO_FATAL_FAILURE(measurePass(1.0));
    checkAgainstTruth();
    EXPECT_TRUE(state.pass.measured);
    EXPECT_TRUE(screens.hasResults());

    // Where the pass lies on its video, in the day file beside the results.
    const auto file = readTextFile(path(videoPassesFileName(realClock->now())));
    ASSERT_TRUE(file);
    const QStringList lines = splitLines(*file);
    ASSERT_EQ(lines.size(), 6 + kSamples);
    EXPECT_EQ(lines[1], QStringLiteral("Video file: ") + samplePath);
    EXPECT_EQ(lines[2], QStringLiteral("Start (P0): 1.000 s"));
    EXPECT_EQ(lines[3], QStringLiteral("Samples: 162"));
    ASSERT_EQ(state.pass.media->sampleLines.size(), size_t(kSamples));
    EXPECT_EQ(lines[4], QStringLiteral("Sample  Frame (s)  Line x  Line y (twips)"));
    EXPECT_EQ(
        lines[5 + 161],
        QStringLiteral("161  ") +
            QString::number(double(state.pass.media->sampleFramesUs[161]) / 1e6, 'f', 3) +
            QStringLiteral("  ") + QString::number(state.pass.media->sampleLines[161].x, 'f', 2) +
            QStringLiteral("  ") + QString::number(state.pass.media->sampleLines[161].y, 'f', 2));
}

TEST_F(MeasureVideoTest, AtTwiceTheSpeedThePassRecordsTheSame)
{
    ASSERT_NO_FATAL_FAILURE(measurePass(2.0));
    checkAgainstTruth();
}

TEST_F(MeasureVideoTest, APauseAndFrameStepsInTheMiddleChangeNothing)
{
    const auto pauseAndStep = [&] {
        driver.playOrPause(); // pause
        ASSERT_TRUE(waitUntil([&] { return !video.file()->playing(); }, 1000));
        waitUntil([] { return false; }, 300);
        const int paused = measure.model().sampleIndex();
        EXPECT_LT(paused, 70);
        for (int i = 0; i < 12; ++i) {
            const qint64 next = video.file()->frame().startUs + kFrameUs;
            driver.stepVideoForward();
            // Generous: a step on a loaded two-core machine has taken over two seconds.
            ASSERT_TRUE(waitUntil([&] { return video.file()->frame().startUs == next; }, 8000));
        }
        // The steps went over 12 frames: 480 ms of the video, 4 or 5 samples.
        waitUntil([] { return false; }, 50);
        EXPECT_GE(measure.model().sampleIndex(), paused + 4);
        driver.playOrPause();
    };
    ASSERT_NO_FATAL_FAILURE(measurePass(2.0, pauseAndStep));
    checkAgainstTruth();
}

TEST_F(MeasureVideoTest, WhatCannotBeMeasuredSaysSoAndKeepsWhatIsThere)
{
    openSampleVideo();
    // Started too late for the video to hold the whole pass: refused, the screen stays armed.
    ASSERT_TRUE(showFrame(2000000));
    driver.clickStartPass();
    EXPECT_FALSE(measure.model().running());
    EXPECT_TRUE(measure.model().awaitingStart());
    ASSERT_EQ(fake.messages.shown.size(), 1u);
    EXPECT_EQ(fake.messages.shown[0].text,
              QStringLiteral("The video ends 16.0 s after this frame, and this pass needs "
                             "16.1 s: start it on an earlier frame."));
    EXPECT_FALSE(state.pass.measured);

    // A file that is no video, chosen from the menu: one message, the sample video stays.
    QTemporaryDir dir;
    QFile bad(dir.filePath(QStringLiteral("pass.mp4")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("Lap times of the morning, not a video.\n");
    bad.close();
    fake.fileDialog.answers.push_back(bad.fileName());
    driver.chooseVideoFile();
    ASSERT_TRUE(waitUntil([&] { return fake.messages.shown.size() > 1; }, 8000));
    waitUntil([] { return false; }, 300);
    ASSERT_EQ(fake.messages.shown.size(), 2u);
    EXPECT_TRUE(fake.messages.shown[1].text.startsWith(QStringLiteral("pass.mp4 cannot be played")))
        << fake.messages.shown[1].text.toStdString();
    ASSERT_NE(video.file(), nullptr);
    EXPECT_EQ(video.choice().file, samplePath);
    EXPECT_TRUE(surface->hasBackgroundPicture());

    // No camera: its message, and the overlay card's magenta again.
    if (!video.cameras().isEmpty())
        GTEST_SKIP() << "this machine has a camera";
    video.choose(VideoChoice::ofCamera(QString()));
    ASSERT_TRUE(waitUntil([&] { return fake.messages.shown.size() > 2; }, 3000));
    EXPECT_EQ(fake.messages.shown[2].text, QStringLiteral("No camera was found."));
    EXPECT_EQ(video.choice().kind, VideoChoice::Kind::OverlayCard);
    EXPECT_TRUE(surface->mapping().isIdentity());
    EXPECT_EQ(surface->composed().pixelColor(500, 300), QColor(255, 0, 255));
    driver.clickStartPass();
    EXPECT_TRUE(measure.model().running()); // on the wall clock, as with the card
    EXPECT_FALSE(measure.model().mediaPassRunning());
    driver.abort();
}

} // namespace
