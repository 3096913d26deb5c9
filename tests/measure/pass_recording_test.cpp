// Each pass measured on a live picture recorded beside its results: the recorder told when
// the pass starts and ends, each sample's frame on the recording, the day file's block once
// the file is finished, and what was not recorded said once, after the pass.

#include "common/text_file.h"
#include "fakes/fake_recorder.h"
#include "fakes/fake_services.h"
#include "measure/measure_model.h"
#include "measure/pass_recording.h"
#include "support/calibrated_course.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

class PassRecordingTest : public ::testing::Test
{
protected:
    PassRecordingTest()
        : model(
              {calibration, display, pass, fake.clock, fake.keys, fake.joystick, fake.timers, run}),
          recording({model, &recorder, fake.clock, run, programFolder.path()})
    {
        run.skier = QStringLiteral("Ann Smith");
        run.resultsFolder = results.path();
        calibrateSlalom(calibration);
        model.createTimers();
        recording.setLive(true);
        QObject::connect(&recording, &PassRecording::notRecorded,
                         [this](const QString& m) { told << m; });
        fake.clock.ms = 1000;
        model.arm();
    }

    // Frames every 40 ms on the source's own clock (5 ms before they arrive), and the model's
    // timers on their schedules, as the pass engine's tests run them.
    void runFor(qint64 ms)
    {
        for (qint64 t = 0; t < ms; t += 20) {
            fake.clock.ms += 20;
            if (fake.clock.ms % 40 == 0)
                recording.frameReceived(RecorderFrame{}, fake.clock.ms * 1000 - 5000 - 700000,
                                        fake.clock.ms);
            const qint64 sinceStart = fake.clock.ms - model.passStartMs();
            if (!model.running())
                continue;
            if (fake.clock.ms % 60 == 0)
                fake.timers.timer("pass input").fire();
            if (sinceStart % 100 == 0)
                fake.timers.timer("sample").fire();
        }
    }
    void measurePass()
    {
        runFor(2500);
        model.startPass();
        runFor(qint64(pass.tenths) * 100 + 200);
    }
    QString videoPasses() const
    {
        QFile f(QDir(results.path()).filePath(QStringLiteral("VideoPasses1207.txt")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QTemporaryDir programFolder;
    QTemporaryDir results;
    Calibration calibration;
    DisplaySettings display;
    PassRecord pass;
    FakeServices fake;
    RunInfo run;
    FakeRecorder recorder;
    MeasureModel model;
    PassRecording recording;
    QStringList told;
};

TEST_F(PassRecordingTest, APassIsRecordedWithEachSampleOnAFrameAndItsBlockWrittenOnceFinished)
{
    measurePass();
    ASSERT_GT(pass.tenths, 100);
    const QString path =
        QDir(results.path()).filePath(QStringLiteral("Pass 12-07-2026 14-05-09 Ann Smith 1.mkv"));
    ASSERT_EQ(recorder.calls.size(), 2);
    // Start Pass at 3500 ms on the monotonic clock, the end when the last sample was taken.
    EXPECT_EQ(recorder.calls[0], QStringLiteral("start %1 3500000").arg(path));
    EXPECT_EQ(recorder.calls[1], QStringLiteral("end %1").arg((3500 + pass.tenths * 100) * 1000));
    // Frames are handed over on the monotonic clock, at the least delay seen.
    ASSERT_FALSE(recorder.fedCaptures.empty());
    EXPECT_EQ(recorder.fedCaptures.front() % 40000, 0);
    EXPECT_EQ(recording.passFile(), path);
    // The block waits for the file.
    EXPECT_TRUE(videoPasses().isEmpty());

    std::optional<MediaPass> forReview;
    QObject::connect(&recording, &PassRecording::measuredPassRecorded,
                     [&](const MediaPass& m) { forReview = m; });
    recorder.finish();
    ASSERT_TRUE(forReview.has_value());
    EXPECT_EQ(forReview->videoFile, path);
    EXPECT_EQ(forReview->startUs, 2000000);
    EXPECT_EQ(forReview->sampleFramesUs.size(), size_t(pass.tenths) + 1);
    EXPECT_EQ(forReview->sampleLines.size(), size_t(pass.tenths) + 1);
    const QStringList lines = videoPasses().split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("Recorded pass 12-07-2026 14:05:09"));
    EXPECT_EQ(lines[1], QStringLiteral("Video file: ") + path);
    // The file starts 2 s before Start Pass.
    EXPECT_EQ(lines[2], QStringLiteral("Start (P0): 2.000 s"));
    EXPECT_EQ(lines[3], QStringLiteral("Samples: %1").arg(pass.tenths + 1));
    // Each sample on the frame last received before it: frames come every 40 ms, samples
    // every 100 ms from Start Pass (sample 0 at 2.000 s, on the frame of 3480 ms).
    const auto frameOf = [](const QString& line) { return line.split(QLatin1Char(' '))[2]; };
    EXPECT_EQ(frameOf(lines[5]), QStringLiteral("1.980"));
    EXPECT_EQ(frameOf(lines[6]), QStringLiteral("2.100"));
    EXPECT_EQ(frameOf(lines[7]), QStringLiteral("2.180"));
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(PassRecordingTest, TheSkiersNextPassTakesTheNextNumber)
{
    QFile(QDir(results.path()).filePath(QStringLiteral("Pass 12-07-2026 09-00-00 Ann Smith 4.mkv")))
        .open(QIODevice::WriteOnly);
    measurePass();
    EXPECT_TRUE(recording.passFile().endsWith(QStringLiteral("Ann Smith 5.mkv")));
}

// What is not recorded: the recorder is never asked, and nothing is said.
struct Unrecorded
{
    const char* name;
    bool live;
    bool enabled;
    bool viewOnly;
};

class NotRecorded : public PassRecordingTest, public ::testing::WithParamInterface<Unrecorded>
{
};

TEST_P(NotRecorded, NoFileIsStarted)
{
    recording.setLive(GetParam().live);
    recording.setEnabled(GetParam().enabled);
    model.setViewOnly(GetParam().viewOnly);
    measurePass();
    EXPECT_TRUE(recorder.calls.isEmpty());
    EXPECT_TRUE(told.isEmpty());
    EXPECT_TRUE(videoPasses().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Passes, NotRecorded,
                         ::testing::Values(Unrecorded{"VideoFileOrStillPicture", false, true,
                                                      false},
                                           Unrecorded{"TurnedOff", true, false, false},
                                           Unrecorded{"ViewOnly", true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PassRecordingTest, AFailureDuringThePassIsSaidOnceAfterItAndLeavesNoBlock)
{
    runFor(2500);
    model.startPass();
    runFor(1000);
    recorder.finish(QStringLiteral("The video of this pass could not be written (disk full)."));
    EXPECT_TRUE(told.isEmpty()) << "said during the pass";
    runFor(qint64(pass.tenths) * 100);
    ASSERT_FALSE(model.running());
    EXPECT_EQ(told, QStringList{QStringLiteral(
                        "The video of this pass could not be written (disk full).")});
    EXPECT_EQ(pass.measured, true);
    EXPECT_TRUE(videoPasses().isEmpty());
}

TEST_F(PassRecordingTest, AnUnavailableRecorderIsSaidOnceForAllPasses)
{
    recorder.makeUnavailable(QStringLiteral("Passes are not recorded: x264 is missing."));
    measurePass();
    measurePass();
    EXPECT_EQ(told, QStringList{QStringLiteral("Passes are not recorded: x264 is missing.")});
}

TEST_F(PassRecordingTest, AnAbortedPassKeepsItsVideoWithoutABlock)
{
    runFor(2500);
    model.startPass();
    runFor(1000);
    model.stopPass();
    ASSERT_EQ(recorder.calls.size(), 2);
    EXPECT_TRUE(recorder.calls[1].startsWith(QStringLiteral("end ")));
    recorder.finish();
    EXPECT_TRUE(videoPasses().isEmpty());
}

TEST_F(PassRecordingTest, ABlockThatCannotBeWrittenIsSaidAndWrittenWithTheNextPass)
{
    const QString dayFile = QDir(results.path()).filePath(QStringLiteral("VideoPasses1207.txt"));
    ASSERT_TRUE(QDir().mkpath(dayFile)); // a folder where the file should be
    measurePass();
    recorder.finish();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].contains(QStringLiteral("VideoPasses1207.txt")));
    ASSERT_TRUE(QDir(dayFile).removeRecursively());
    fake.clock.nowValue = fake.clock.nowValue.addSecs(60);
    measurePass();
    recorder.finish();
    EXPECT_EQ(videoPasses().count(QStringLiteral("Recorded pass")), 2);
}

struct CaptureCase
{
    const char* name;
    std::vector<std::pair<qint64, qint64>> frames; // source us, arrival ms
    std::vector<qint64> captures;
};

class CaptureClockTest : public ::testing::TestWithParam<CaptureCase>
{
};

TEST_P(CaptureClockTest, MovesFrameTimesOntoTheMonotonicClock)
{
    CaptureClock clock;
    std::vector<qint64> captures;
    for (const auto& [sourceUs, arrivalMs] : GetParam().frames)
        captures.push_back(clock.captureUs(sourceUs, arrivalMs));
    EXPECT_EQ(captures, GetParam().captures);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, CaptureClockTest,
    ::testing::Values(
        // The quickest arrival sets the delay; a late one keeps its steady time.
        CaptureCase{"LeastDelay",
                    {{0, 1010}, {33000, 1038}, {66000, 1090}, {100000, 1105}},
                    {1010000, 1038000, 1071000, 1105000}},
        // The camera started over: its times went back.
        CaptureCase{"SourceStartedOver", {{500000, 2000}, {0, 2100}}, {2000000, 2100000}},
        // The frames came more than a second late: the source stalled and goes on.
        CaptureCase{"LongStall", {{0, 1000}, {33000, 2500}}, {1000000, 2500000}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
