// "Review on Video" from the results screen of a pass measured on the sample video, played by
// the real player on the offscreen platform: the measurement screen opens on the video at the
// pass's first frame with the line drawn where the operator held it, stepped and sought; the
// buoy windows are marked on the slider; a pass measured again leaves the first one's files as
// they were; and a results file read back offers the review only when its pass has a video.

#include "common/day_files.h"
#include "common/text_file.h"
#include "measure/pass_review.h"
#include "measure/ui/measure_screen.h"
#include "measure/ui/review_overlay.h"
#include "measure/video_pass_log.h"
#include "picture/ui/course_video.h"
#include "picture/ui/drawing_surface.h"
#include "picture/ui/video_transport.h"
#include "support/calibrated_course.h"
#include "support/paths.h"
#include "support/screen_fixture.h"
#include "support/wait_until.h"

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

constexpr qint64 kFrameUs = 40000;
constexpr qint64 kPassStartUs = 1000000;
constexpr int kSamples = 162; // slalom at 58 km/h

// Where the pylon's water line is on each frame, in picture pixels (u, v).
std::vector<QPointF> pylonPixels()
{
    std::vector<QPointF> at;
    const auto text = readTextFile(
        sourcePath(QStringLiteral("resources/program/videos/slalom_pass_58kmh_truth.csv")));
    if (!text)
        return at;
    const QStringList lines = splitLines(*text);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList f = lines[i].split(QLatin1Char(','));
        if (f.size() == 6)
            at.emplace_back(f[4].toDouble(), f[5].toDouble());
    }
    return at;
}

class ReviewOnVideoTest : public ::testing::Test, protected StartedProgram
{
protected:
    static void SetUpTestSuite()
    {
        if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
            qputenv("QT_MEDIA_BACKEND", "gstreamer");
    }

    ReviewOnVideoTest() : StartedProgram(RealServices{.media = true})
    {
        loadShippedSetup(state.calibration, QStringLiteral("SlalomOK.ipt"));
        measure.show();
        driver.check(MeasureScreenDriver::Check::UseMouse)->click();
        // The operator keeps the pointer on the pylon of every frame shown.
        QObject::connect(&video, &CourseVideo::frameShown, &measure, [this](const VideoFrame& f) {
            const size_t n = size_t(f.startUs / kFrameUs);
            if (!operatorOn || !video.file() || n >= pylon.size())
                return;
            const PlanePoint at =
                driver.surface().mapping().toSurface(pylon[n].x() * 15, pylon[n].y() * 15);
            driver.movePointer(QPointF(at.x, at.y));
        });
    }
    ~ReviewOnVideoTest() override
    {
        video.choose(VideoChoice::overlayCard());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A pass from the frame on screen (P0) at twice the speed, to its results.
    void measureFromFrameShown()
    {
        video.setRate(2.0);
        driver.clickStartPass();
        ASSERT_TRUE(measure.model().mediaPassRunning());
        driver.playOrPause();
        ASSERT_TRUE(waitUntil([&] { return !measure.model().running(); }, 120000));
        ASSERT_TRUE(waitUntil([&] { return screens.hasResults(); }, 5000));
        for (const auto& m : fake.messages.shown)
            ADD_FAILURE() << m.text.toStdString();
    }
    bool showFrame(qint64 startUs)
    {
        video.file()->seek(startUs + kFrameUs / 2);
        return waitUntil([&] { return video.file()->frame().startUs == startUs; }, 3000);
    }
    // The overlay has caught up with the frame on screen.
    bool reviewShows(int sample, bool taken)
    {
        return waitUntil(
            [&] {
                const auto& h = overlay()->heldLine();
                return h && h->sample == sample && h->takenOnThisFrame == taken;
            },
            3000);
    }
    ReviewOverlay* overlay() { return measure.findChild<ReviewOverlay*>(); }
    QPushButton* reviewButton()
    {
        return child<QPushButton>(screens.resultsScreen(), "reviewOnVideoButton");
    }
    QString reviewNote()
    {
        return child<QLabel>(screens.resultsScreen(), "reviewNoteLabel")->text();
    }

    CourseVideo& video = screens.courseVideo();
    MeasureScreen& measure = screens.measureScreen();
    MeasureScreenDriver driver{measure};
    const std::vector<QPointF> pylon = pylonPixels();
    bool operatorOn = true;
    const QString samplePath =
        sourcePath(QStringLiteral("resources/program/videos/slalom_pass_58kmh.webm"));
};

TEST_F(ReviewOnVideoTest, APassIsReviewedWithItsHeldLineAndMeasuredAgain)
{
    ASSERT_EQ(pylon.size(), 450u);
    video.choose(VideoChoice::ofFile(samplePath));
    ASSERT_TRUE(waitUntil([&] { return video.file() != nullptr; }, 8000));
    ASSERT_TRUE(showFrame(kPassStartUs));
    ASSERT_NO_FATAL_FAILURE(measureFromFrameShown());
    ASSERT_TRUE(state.pass.media);
    const MediaPass first = *state.pass.media;
    ASSERT_EQ(first.sampleLines.size(), size_t(kSamples));
    // Where the line was held is where the pointer was: on the pylon, within the pointer's
    // whole pixel on the surface.
    for (int k : {0, 40, 120, 161}) {
        const size_t n = size_t(first.sampleFramesUs[size_t(k)] / kFrameUs);
        EXPECT_NEAR(first.sampleLines[size_t(k)].x, pylon[n].x() * 15, 20.0) << "sample " << k;
    }

    // Saved, and the files as the first pass left them.
    fake.fileDialog.answers.push_back(path(QStringLiteral("first.txt")));
    child<QPushButton>(screens.resultsScreen(), "saveResultsButton")->click();
    const QString dayFile = path(videoPassesFileName(realClock->now()));
    const auto passesBefore = readTextFile(dayFile);
    const auto resultsBefore = readTextFile(path(resultLogName(realClock->now())));
    ASSERT_TRUE(passesBefore && resultsBefore);

    ASSERT_TRUE(reviewButton()->isEnabled());
    operatorOn = false; // the review shows the line as held, whatever the pointer does now
    reviewButton()->click();
    ASSERT_TRUE(waitUntil([&] { return measure.isVisible() && !screens.hasResults(); }, 3000));
    ASSERT_TRUE(overlay()->reviewing());
    ASSERT_TRUE(waitUntil([&] { return video.file()->frame().startUs == kPassStartUs; }, 5000));
    EXPECT_FALSE(video.file()->playing());
    ASSERT_TRUE(reviewShows(0, true));
    EXPECT_EQ(overlay()->heldLine()->line, first.sampleLines[0]);

    // Stepped frame by frame: each sample's line on its frame, the last one's between.
    ReviewedPass reviewed;
    reviewed.sampleFramesUs = first.sampleFramesUs;
    reviewed.sampleLines = first.sampleLines;
    for (int step = 1; step <= 6; ++step) {
        driver.stepVideoForward();
        const qint64 f = kPassStartUs + step * kFrameUs;
        ASSERT_TRUE(waitUntil([&] { return video.file()->frame().startUs == f; }, 3000));
        const auto expected = heldLineOn(reviewed, f);
        ASSERT_TRUE(expected);
        ASSERT_TRUE(reviewShows(expected->sample, expected->takenOnThisFrame)) << "frame " << f;
        EXPECT_EQ(overlay()->heldLine()->line, first.sampleLines[size_t(expected->sample)]);
    }
    // Sought far on, and past the pass.
    for (int k : {100, 161}) {
        ASSERT_TRUE(showFrame(first.sampleFramesUs[size_t(k)]));
        ASSERT_TRUE(reviewShows(k, true));
        EXPECT_EQ(overlay()->heldLine()->line, first.sampleLines[size_t(k)]);
    }
    ASSERT_TRUE(showFrame(first.sampleFramesUs.back() + 5 * kFrameUs));
    EXPECT_TRUE(waitUntil([&] { return !overlay()->heldLine(); }, 3000));
    EXPECT_TRUE(overlay()->caption().endsWith(QStringLiteral("after the pass")));

    // The gate and the six buoys on the slider, inside the pass.
    const auto* transport = measure.findChild<VideoTransport*>();
    ASSERT_EQ(transport->marks().size(), 7u);
    for (const SliderMark& m : transport->marks()) {
        EXPECT_GE(m.fromUs, first.sampleFramesUs.front()) << m.label.toStdString();
        EXPECT_LE(m.toUs, first.sampleFramesUs.back()) << m.label.toStdString();
        EXPECT_LE(m.fromUs, m.toUs);
    }
    EXPECT_EQ(transport->marks()[1].label, QStringLiteral("Buoy 1"));

    // Measured again from the review: a new pass, the first one's files as they were.
    ASSERT_TRUE(showFrame(kPassStartUs));
    operatorOn = true;
    ASSERT_NO_FATAL_FAILURE(measureFromFrameShown());
    EXPECT_FALSE(overlay()->reviewing());
    EXPECT_TRUE(transport->marks().empty());
    const auto passesAfter = readTextFile(dayFile);
    const auto resultsAfter = readTextFile(path(resultLogName(realClock->now())));
    ASSERT_TRUE(passesAfter && resultsAfter);
    EXPECT_TRUE(passesAfter->startsWith(*passesBefore));
    EXPECT_GT(passesAfter->size(), passesBefore->size());
    EXPECT_TRUE(resultsAfter->startsWith(*resultsBefore));
    EXPECT_GT(resultsAfter->size(), resultsBefore->size());
    const auto saved = readTextFile(path(QStringLiteral("first.txt")));
    ASSERT_TRUE(saved);

    // The first pass read back: its video is found beside it. A file whose pass has none is
    // not offered, and the screen says why.
    fake.fileDialog.answers.push_back(path(QStringLiteral("first.txt")));
    fake.messages.inputs.push_back(QStringLiteral("1"));
    child<QPushButton>(screens.resultsScreen(), "readResultsFileButton")->click();
    EXPECT_TRUE(reviewButton()->isEnabled()) << reviewNote().toStdString();

    QString other = *saved;
    other.replace(QRegularExpression(QStringLiteral("Time of Measurement: [0-9:]+")),
                  QStringLiteral("Time of Measurement: 03:00:00"));
    ASSERT_TRUE(replaceFile(path(QStringLiteral("other.txt")), other));
    fake.fileDialog.answers.push_back(path(QStringLiteral("other.txt")));
    fake.messages.inputs.push_back(QStringLiteral("2"));
    child<QPushButton>(screens.resultsScreen(), "readResultsFileButton")->click();
    EXPECT_FALSE(reviewButton()->isEnabled());
    EXPECT_TRUE(reviewNote().startsWith(QStringLiteral("No video of this pass was found")))
        << reviewNote().toStdString();
}

} // namespace
