// A pass on a video file's clock, through the pass engine, with a simulated player: frames of
// 40 ms arrive on the fake wall clock at the playback rate, and an operator puts the line on
// each frame as it is shown. The oracle is the frame that holds each sample's instant and the
// line the operator held over that frame, read at the boat's row for that sample.

#include "common/text_file.h"
#include "fakes/fake_services.h"
#include "measure/measure_model.h"
#include "measure/pass_rules.h"
#include "measure/video_pass_log.h"
#include "support/calibrated_course.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <set>

namespace {

constexpr qint64 kFrameUs = 40000;
constexpr qint64 kPassStartUs = 1000000; // frame 25
constexpr int kTenths = 161;             // slalom, 58 km/h

// The line the operator holds over frame n (whole twips, as the pointer gives them): on a
// path weaving about the centre line, at the row of a boat coming toward the camera.
double operatorLineX(const Calibration& c, qint64 frameStartUs)
{
    const double t = double(frameStartUs - kPassStartUs) / 1e6;
    const double y = -16.1 * t;
    const double x = 1.25 + 0.3 * std::sin(t * 2.1) + 0.05 * std::sin(t * 13.0);
    return std::round(screenOf(c, x, y).x);
}

// A player of a 40 ms-a-frame video: frames arrive when the media clock reaches them, the
// engine's wake-up fires when it asked for it, and the operator moves the pointer onto each
// frame as it arrives.
class Player
{
public:
    Player(MeasureModel& model, FakeClock& clock, FakeHiResTimerFactory& timers,
           std::function<void(qint64)> operatorSees)
        : model(model), media(model.mediaClock()), clock(clock), timers(timers),
          operatorSees(std::move(operatorSees))
    {
    }

    void show(qint64 startUs)
    {
        shownUs = startUs;
        nextUs = startUs + kFrameUs;
        mediaAtAnchor = startUs;
        wallAtAnchor = clock.ms;
        media.frameShown(startUs, kFrameUs);
        operatorSees(startUs);
        followWake();
    }
    void play(double r)
    {
        rate = r;
        playing = true;
        wallAtAnchor = clock.ms;
        media.playing(r);
        followWake();
    }
    void pause()
    {
        mediaAtAnchor = mediaNow();
        wallAtAnchor = clock.ms;
        playing = false;
        media.paused();
        followWake();
    }
    void step() { show(shownUs + kFrameUs); }
    // The wall clock runs on; a stall holds the wake-up back by that long once.
    void run(qint64 ms, qint64 stallAtMs = -1, qint64 stallMs = 0)
    {
        for (qint64 i = 0; i < ms && !stop(); ++i) {
            ++clock.ms;
            if (clock.ms == stallAtMs && wakeDue >= 0)
                wakeDue += stallMs;
            if (requests)
                requests();
            // A player that falls behind leaves frames out; the clock runs on.
            while (playing && mediaNow() >= nextUs && skip.erase(nextUs))
                nextUs += kFrameUs;
            if (playing && mediaNow() >= nextUs)
                show(nextUs);
            if (wakeDue >= 0 && clock.ms >= wakeDue) {
                wakeDue = -1;
                wake().fire();
                followWake();
            }
        }
    }
    qint64 shown() const { return shownUs; }
    double playbackRate() const { return rate; }
    std::function<bool()> stop = [] { return false; };
    std::function<void()> requests;
    std::set<qint64> skip; // frames the player leaves out, once each

private:
    qint64 mediaNow() const
    {
        if (!playing)
            return mediaAtAnchor;
        return mediaAtAnchor + qint64(std::llround(double(clock.ms - wallAtAnchor) * 1000 * rate));
    }
    FakeHiResTimer& wake() const { return timers.timer("media wake"); }
    void followWake()
    {
        if (wake().enables != enables) {
            enables = wake().enables;
            wakeDue = clock.ms + wake().period();
        }
        if (!wake().enabled())
            wakeDue = -1;
    }

    MeasureModel& model;
    MediaPassClock& media;
    FakeClock& clock;
    FakeHiResTimerFactory& timers;
    std::function<void(qint64)> operatorSees;
    qint64 shownUs = 0;
    qint64 nextUs = 0;
    qint64 mediaAtAnchor = 0;
    qint64 wallAtAnchor = 0;
    double rate = 1.0;
    bool playing = false;
    int enables = 0;
    qint64 wakeDue = -1;
};

class MediaClockPassTest : public ::testing::Test
{
protected:
    MediaClockPassTest()
        : model(
              {calibration, display, pass, fake.clock, fake.keys, fake.joystick, fake.timers, run})
    {
        calibrateSlalom(calibration);
        model.createTimers();
        QObject::connect(&model, &MeasureModel::passRecorded, [this] { ++recorded; });
        QObject::connect(&model, &MeasureModel::passNotRecorded,
                         [this](const QString& message) { messages.push_back(message); });
        // The player does what it is asked later, from its own event loop.
        QObject::connect(&model, &MeasureModel::videoFrameWanted,
                         [this](qint64 mediaUs) { showAt = mediaUs; });
        QObject::connect(&model, &MeasureModel::videoPlayWanted, [this] { playAgain = true; });
        // What the engine asks of the player: pause and show a skipped frame (a seek), play on.
        player.requests = [this] {
            if (const auto at = showAt) {
                showAt.reset();
                player.pause();
                media.seeked();
                player.show(*at / kFrameUs * kFrameUs);
            }
            if (playAgain) {
                playAgain = false;
                player.play(player.playbackRate());
            }
        };
        model.setUseMouse(true);
        fake.clock.ms = 5000;
        model.arm();
        media.setFile(MediaClockFile{QStringLiteral("/videos/pass.webm"), 18000000});
    }

    FakeHiResTimer& wakeTimer() { return fake.timers.timer("media wake"); }

    // Shows frame 25 paused, as after a seek there, and starts the pass on it.
    void startOnTheEntranceFrame()
    {
        player.show(kPassStartUs);
        model.startPass();
    }

    // What the pass should have recorded for sample k: the line held over the frame that holds
    // its instant, read at the row of the boat marker for that sample.
    double expectedDeviation(int k) const
    {
        const qint64 instant = kPassStartUs + qint64(k) * 100000;
        const qint64 frame = instant / kFrameUs * kFrameUs;
        const double distance = sampleDistance(k, kTenths, 259.0);
        const double row = screenOf(calibration, 1.25, -distance).y;
        return liveDeviation(courseOf(calibration, operatorLineX(calibration, frame), row).x, 1.25);
    }

    Calibration calibration;
    DisplaySettings display;
    PassRecord pass;
    FakeServices fake;
    RunInfo run;
    MeasureModel model;
    MediaPassClock& media = model.mediaClock();
    // What the model announced.
    int recorded = 0;
    std::vector<QString> messages;
    std::optional<qint64> showAt;
    bool playAgain = false;
    Player player{model, fake.clock, fake.timers, [this](qint64 frameUs) {
                      model.mouseMoved(operatorLineX(calibration, frameUs));
                  }};
};

struct Playback
{
    const char* name;
    double rate;
    int pauseAfterSamples;       // -1: plays through
    int steps;                   // frame steps while paused
    qint64 stallMs;              // one late wake-up in the middle of the pass
    std::set<qint64> skipFrames; // left out by a player falling behind
};

void PrintTo(const Playback& p, std::ostream* os)
{
    *os << p.name;
}

class MediaClockPlayback : public MediaClockPassTest, public ::testing::WithParamInterface<Playback>
{
};

TEST_P(MediaClockPlayback, EachSampleIsTheLineOverTheFrameHoldingItsInstant)
{
    const Playback p = GetParam();
    player.skip = p.skipFrames;
    startOnTheEntranceFrame();
    ASSERT_TRUE(model.mediaPassRunning());
    EXPECT_EQ(model.sampleIndex(), 1); // sample 0 on the frame the pass started on
    player.play(p.rate);
    if (p.pauseAfterSamples >= 0) {
        player.stop = [&] { return model.sampleIndex() >= p.pauseAfterSamples; };
        player.run(60000);
        player.pause();
        const int before = model.sampleIndex();
        player.stop = [] { return false; };
        player.run(3000); // paused, the wall clock runs on and nothing is due
        EXPECT_EQ(model.sampleIndex(), before);
        for (int i = 0; i < p.steps; ++i) {
            player.step();
            player.run(5);
        }
        // Every instant up to the frame on screen is taken, none beyond its start.
        EXPECT_EQ(model.sampleIndex(), int((player.shown() - kPassStartUs) / 100000) + 1);
        player.play(p.rate);
    }
    player.run(30000, fake.clock.ms + 4000, p.stallMs);
    player.run(qint64(kTenths * 100 / p.rate) + 1000);

    ASSERT_FALSE(model.running());
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_EQ(recorded, 1);
    EXPECT_EQ(pass.samples.sampleCount, kTenths + 1);
    ASSERT_TRUE(pass.media);
    EXPECT_EQ(pass.media->startUs, kPassStartUs);
    EXPECT_EQ(pass.media->videoFile, QStringLiteral("/videos/pass.webm"));
    ASSERT_EQ(pass.media->sampleFramesUs.size(), size_t(kTenths + 1));
    int wrongFrame = 0;
    int wrongValue = 0;
    for (int k = 0; k <= kTenths; ++k) {
        const qint64 instant = kPassStartUs + qint64(k) * 100000;
        const qint64 frame = pass.media->sampleFramesUs[size_t(k)];
        wrongFrame += !(frame <= instant && instant < frame + kFrameUs);
        wrongValue += std::abs(pass.samples.deviations[size_t(k)] - expectedDeviation(k)) > 1e-9;
    }
    EXPECT_EQ(wrongFrame, 0);
    EXPECT_EQ(wrongValue, 0);
    // The pass's time ran out on the video's clock with its last sample.
    EXPECT_TRUE(model.view().timeLabelVisible);
    EXPECT_EQ(model.view().timeLabel, QString::number(kTenths + 1));
    EXPECT_TRUE(model.view().doneVisible);
    EXPECT_EQ(model.view().distance, QStringLiteral("259.0"));
}

INSTANTIATE_TEST_SUITE_P(
    Rates, MediaClockPlayback,
    ::testing::Values(Playback{"Rate1", 1.0, -1, 0, 0, {}}, Playback{"Rate2", 2.0, -1, 0, 0, {}},
                      Playback{"Quarter", 0.25, -1, 0, 0, {}},
                      Playback{"PausedAndStepped", 1.0, 60, 7, 0, {}},
                      Playback{"LateWakeUpAtRate2", 2.0, -1, 0, 35, {}},
                      // Single frames holding instants, and five in a row around 8.1 s.
                      Playback{"SkippedFramesAtRate2",
                               2.0,
                               -1,
                               0,
                               0,
                               {1080000, 2000000, 5480000, 8000000, 8040000, 8080000, 8120000,
                                8160000, 17080000}}),
    [](const auto& info) { return std::string(info.param.name); });

// At a quarter of the speed a frame stays 160 ms: the sample halfway through it is the line
// as it stands 80 ms after the frame came, not where it was when the frame came or where it
// is when the next comes.
TEST_F(MediaClockPassTest, ASampleWithinALongFrameIsTakenAtItsOwnInstant)
{
    startOnTheEntranceFrame();
    player.play(0.25);
    player.run(160 + 1); // frame 26 (1.04 s) is on screen; sample 1 is due at 1.10 s, in frame 27
    player.run(160);     // frame 27 (1.08 s) arrived: the instant is 20 ms of media ahead
    ASSERT_EQ(player.shown(), 1080000);
    ASSERT_EQ(model.sampleIndex(), 1);
    const Point2 before = screenOf(calibration, 1.0, -1.6);
    const Point2 at = screenOf(calibration, 1.5, -1.6);
    model.mouseMoved(std::round(before.x));
    player.run(70); // 10 ms short of the instant
    EXPECT_EQ(model.sampleIndex(), 1);
    model.mouseMoved(std::round(at.x));
    player.run(20);
    model.mouseMoved(std::round(before.x));
    EXPECT_EQ(model.sampleIndex(), 2);
    const double distance = sampleDistance(1, kTenths, 259.0);
    const double markerRow = screenOf(calibration, 1.25, -distance).y;
    EXPECT_EQ(pass.samples.deviations[1],
              liveDeviation(courseOf(calibration, std::round(at.x), markerRow).x, 1.25));
}

// Whatever takes the video away from its frames during a pass: the pass is not recorded, the
// operator is told how far it got, and the screen is armed at the entrance again.
TEST_F(MediaClockPassTest, APassTheVideoCannotFinishIsNeverRecorded)
{
    const struct
    {
        const char* what;
        std::function<void()> act;
        QString message;
    } cases[] = {
        {"seek", [&] { media.seeked(); },
         "The video was moved during the pass, after 41 of 162 samples: the pass was not "
         "recorded."},
        {"end", [&] { media.ended(); },
         "The video ended after 41 of 162 samples: the pass was not recorded."},
        {"back", [&] { player.show(player.shown() - 5 * kFrameUs); },
         "The video went back during the pass, after 41 of 162 samples: the pass was not "
         "recorded."},
        {"replaced", [&] { media.setFile(MediaClockFile{QStringLiteral("/v/other.webm")}); },
         "The video was replaced during the pass, after 41 of 162 samples: the pass was not "
         "recorded."},
    };
    for (const auto& c : cases) {
        messages.clear();
        media.setFile(MediaClockFile{QStringLiteral("/videos/pass.webm"), 18000000});
        startOnTheEntranceFrame();
        player.play(1.0);
        player.stop = [&] { return model.sampleIndex() >= 41; };
        player.run(10000);
        player.stop = [] { return false; };
        player.pause();
        c.act();
        EXPECT_FALSE(model.running()) << c.what;
        EXPECT_EQ(messages, std::vector<QString>{c.message}) << c.what;
        EXPECT_TRUE(model.awaitingStart()) << c.what;
        EXPECT_NEAR(
            courseOf(calibration, model.lines().boatMarker.x1 + 400, model.lines().boatMarker.y1).y,
            0.0, 1e-6)
            << c.what;
        EXPECT_FALSE(wakeTimer().enabled()) << c.what;
        player.play(1.0);
        player.run(2000);
        EXPECT_EQ(model.sampleIndex(), 41) << c.what << ": samples went on after the end";
    }
    EXPECT_EQ(recorded, 0);
    EXPECT_FALSE(pass.measured);
    EXPECT_FALSE(pass.media);
}

TEST_F(MediaClockPassTest, AStartTooCloseToTheEndIsRefusedAndARunningPassGoesOn)
{
    player.show(2000000); // 16.0 s of video left, the pass needs 16.1 s
    model.startPass();
    EXPECT_FALSE(model.running());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], QStringLiteral("The video ends 16.0 s after this frame, and "
                                          "this pass needs 16.1 s: start it on an "
                                          "earlier frame."));
    EXPECT_TRUE(model.awaitingStart());

    media.setFile(MediaClockFile{QStringLiteral("/videos/pass.webm"), 18000000});
    startOnTheEntranceFrame();
    player.play(1.0);
    player.run(2000);
    const int taken = model.sampleIndex();
    player.pause();
    for (int i = 0; i < 30; ++i)
        player.step();
    model.startPass(); // Enter again, now too late: the pass runs on
    EXPECT_TRUE(model.mediaPassRunning());
    EXPECT_GT(model.sampleIndex(), taken);
}

TEST_F(MediaClockPassTest, WithoutAFileThePassRunsOnTheWallClockAgain)
{
    media.setFile(std::nullopt);
    model.startPass();
    EXPECT_TRUE(model.running());
    EXPECT_FALSE(model.mediaPassRunning());
    EXPECT_TRUE(fake.timers.timer("sample").enabled());
    EXPECT_TRUE(fake.timers.timer("clock check").enabled());
    model.stopPass();
    fake.clock.ms += 20000;
    fake.timers.timer("sample").fire();
    EXPECT_FALSE(pass.media);
}

// Where a pass lies on its video goes to a day file beside the results. A folder that cannot
// be written costs one message and nothing else: the pass goes on to the results, and its
// block waits for the next pass on a video.
TEST_F(MediaClockPassTest, WhereAPassLiesOnItsVideoIsKeptWhateverTheFolderDoes)
{
    QTemporaryDir program;
    model.keepPassFilesIn(program.path());
    run.resultsFolder = QStringLiteral("Results"); // inside the program folder, not there yet
    int aboutVideoPasses = 0;
    QObject::connect(&model, &MeasureModel::fileNotWritten, [&](const QString& message) {
        aboutVideoPasses += message.contains(QStringLiteral("VideoPasses"));
    });
    const auto measurePass = [&] {
        startOnTheEntranceFrame();
        player.play(1.0);
        player.stop = [&] { return !model.running(); };
        player.run(20000);
        player.pause();
    };
    measurePass();
    EXPECT_EQ(recorded, 1);
    EXPECT_EQ(aboutVideoPasses, 1);

    ASSERT_TRUE(QDir(program.path()).mkdir(run.resultsFolder));
    measurePass();
    EXPECT_EQ(recorded, 2);
    EXPECT_EQ(aboutVideoPasses, 1);
    const auto text = readTextFile(
        QDir(program.path())
            .filePath(QStringLiteral("Results/") + videoPassesFileName(fake.clock.nowValue)));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->count(QStringLiteral("Video pass 12-07-2026 14:05:09\r\n"
                                         "Video file: /videos/pass.webm\r\n"
                                         "Start (P0): 1.000 s\r\n"
                                         "Samples: 162\r\n")),
              2);
    // The last sample's frame, and where the line stood.
    EXPECT_TRUE(text->contains(QRegularExpression(
        QStringLiteral("\r\n161  17\\.080  -?\\d+\\.\\d\\d  -?\\d+\\.\\d\\d\r\n\r\n"))));
}

} // namespace
