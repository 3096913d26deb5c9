// The track under review on the measurement screen, without the screen: the engine's end comes
// back on this thread with the operator's one line, a stop names the frame to show, a track
// file that cannot be used is refused and the track in use kept, and a track is measured only
// for the pass it was made for, naming the file it was written to.

#include "support/calibrated_course.h"
#include "support/wait_until.h"
#include "tracking/synthetic_pass.h"
#include "tracking/track_file.h"
#include "tracking/track_review.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TrackReviewTest : public ::testing::Test
{
protected:
    TrackReviewTest()
    {
        calibrateSlalom(calibration);
        plan.frames = 24;
        QObject::connect(&review, &TrackReview::stoppedAt, [this](qint64 us) { stopUs = us; });
    }

    FrameReaderOpener opener()
    {
        return [this](qint64, QString*) -> std::unique_ptr<FrameReader> {
            return std::make_unique<SyntheticPass>(calibration, plan);
        };
    }

    // A track covering every sample of a 58 km/h slalom pass toward the camera, on a clip at
    // 25 frames a second, written where the review can load it.
    QString completeTrackFile()
    {
        Track t;
        t.videoFile = QStringLiteral("pass.webm");
        t.pass = {Event::Slalom, Direction::Toward, 58, 161, 1000000};
        for (qint64 s = 1000000; s <= t.pass.lastInstantUs(); s += 40000)
            t.frames.push_back(
                {s, 40000, 400.0 + double(s % 7), 60.0, 0.97, t.frames.empty(), TrackStop::None});
        const QString path = dir.filePath(QStringLiteral("made.track.txt"));
        EXPECT_TRUE(writeTrackFile(path, t));
        return path;
    }

    bool finished()
    {
        return waitUntil([this] { return !review.running(); }, 20000);
    }

    Calibration calibration;
    PassPlan plan;
    TrackReview review;
    QTemporaryDir dir;
    RunInfo run; // slalom, 58 km/h, toward
    std::optional<qint64> stopUs;
};

TEST_F(TrackReviewTest, AStopNamesItsFrameAndWaitsForThePointThere)
{
    plan.sprayed = {9, 10, 11, 12, 13, 14, 15, 16};
    review.begin(QStringLiteral("/v/pass.webm"), opener(), calibration.transform, run);
    EXPECT_TRUE(review.awaitingFirstPoint());
    const SyntheticPass clip(calibration, plan);
    ASSERT_FALSE(review.pointAt(0, clip.post(0).u, clip.post(0).v));
    EXPECT_TRUE(review.running());
    // While the engine runs a second point is refused, at once, with the reason.
    const auto refused = review.pointAt(clip.startUs(3), 1.0, 1.0);
    ASSERT_TRUE(refused);
    EXPECT_EQ(review.status(), *refused);
    ASSERT_TRUE(finished());
    ASSERT_TRUE(waitUntil([this] { return stopUs.has_value(); }, 2000));
    const TrackPoint* stop = review.track().stopFrame();
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(*stopUs, stop->startUs);
    EXPECT_TRUE(review.status().startsWith(QStringLiteral("Stopped on frame ")))
        << review.status().toStdString();
    EXPECT_TRUE(review.status().contains(trackStopReason(stop->stop)));
    EXPECT_FALSE(review.canMeasure());
    EXPECT_TRUE(review.canUndo());
}

TEST_F(TrackReviewTest, ACancelledRunSaysSoAndKeepsTheTrack)
{
    plan.frames = 400;
    review.begin(QStringLiteral("/v/pass.webm"), opener(), calibration.transform, run);
    const SyntheticPass clip(calibration, plan);
    ASSERT_FALSE(review.pointAt(0, clip.post(0).u, clip.post(0).v));
    review.cancel();
    ASSERT_TRUE(finished());
    ASSERT_TRUE(waitUntil([this] { return review.status().contains("cancelled"); }, 2000));
    EXPECT_TRUE(review.track().frames.empty());
    EXPECT_TRUE(review.awaitingFirstPoint());
    EXPECT_FALSE(stopUs);
}

TEST_F(TrackReviewTest, ABrokenOrForeignTrackFileIsRefusedAndTheTrackInUseKept)
{
    ASSERT_FALSE(review.load(completeTrackFile(), QStringLiteral("/v/pass.webm"), opener(),
                             calibration.transform));
    const Track inUse = review.track();

    QFile broken(dir.filePath(QStringLiteral("broken.track.txt")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(trackFileText(inUse).toUtf8().replace("1040000,40000,", "1040000,4x,"));
    broken.close();
    const auto refusal = review.load(broken.fileName(), QStringLiteral("/v/pass.webm"), opener(),
                                     calibration.transform);
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->contains(QStringLiteral("line 11, field duration_us")))
        << refusal->toStdString();

    const auto foreign = review.load(completeTrackFile(), QStringLiteral("/v/other.webm"), opener(),
                                     calibration.transform);
    ASSERT_TRUE(foreign);
    EXPECT_TRUE(foreign->contains(QStringLiteral("\"pass.webm\""))) << foreign->toStdString();
    EXPECT_EQ(review.track(), inUse);
    EXPECT_EQ(review.videoPath(), QStringLiteral("/v/pass.webm"));
}

struct RunChange
{
    const char* name;
    void (*change)(RunInfo&);
};

class MeasuringATrack : public TrackReviewTest, public ::testing::WithParamInterface<RunChange>
{
};

// A track is measured only for the pass it was made for: no other length, course or direction.
TEST_P(MeasuringATrack, IsRefusedForAnotherPass)
{
    ASSERT_FALSE(review.load(completeTrackFile(), QStringLiteral("/v/pass.webm"), opener(),
                             calibration.transform));
    ASSERT_TRUE(review.canMeasure());
    GetParam().change(run);
    const QString path = dir.filePath(QStringLiteral("pass.track.txt"));
    const TrackReview::Measurement m = review.measure(run, path);
    EXPECT_TRUE(m.refusal);
    EXPECT_FALSE(m.clock);
    EXPECT_FALSE(QFile::exists(path));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, MeasuringATrack,
    ::testing::Values(RunChange{"speed", [](RunInfo& r) { r.slalomSpeed = 1; }},
                      RunChange{"event", [](RunInfo& r) { r.event = Event::Jump; }},
                      RunChange{"direction", [](RunInfo& r) { r.direction = Direction::Away; }},
                      RunChange{"no_speed", [](RunInfo& r) { r.slalomSpeed = -1; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TrackReviewTest, AMeasuredTrackIsWrittenAndNamedEvenWhenTheWriteFails)
{
    ASSERT_FALSE(review.load(completeTrackFile(), QStringLiteral("/v/pass.webm"), opener(),
                             calibration.transform));
    const QString path = dir.filePath(QStringLiteral("pass.track.txt"));
    const TrackReview::Measurement m = review.measure(run, path);
    ASSERT_TRUE(m.clock);
    EXPECT_FALSE(m.writeProblem);
    EXPECT_EQ(readTrackFile(path).track, review.track());
    EXPECT_EQ(m.clock->mediaPass()->trackFile, path);
    EXPECT_EQ(m.clock->mediaPass()->videoFile, QStringLiteral("/v/pass.webm"));
    EXPECT_EQ(m.clock->mediaPass()->sampleFramesUs.size(), 162u);

    const QString nowhere = dir.filePath(QStringLiteral("missing/pass.track.txt"));
    const TrackReview::Measurement lost = review.measure(run, nowhere);
    ASSERT_TRUE(lost.clock); // the pass is measured all the same
    ASSERT_TRUE(lost.writeProblem);
    EXPECT_EQ(lost.clock->mediaPass()->trackFile, nowhere + QStringLiteral(" (not written)"));
}

TEST(TrackFileName, NamesTheDayTheTimeAndTheVideo)
{
    EXPECT_EQ(TrackReview::trackFileName(QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9)),
                                         QStringLiteral("/v/slalom_pass_58kmh.webm")),
              QStringLiteral("Track 12-07-2026 14-05-09 slalom_pass_58kmh.track.txt"));
}

} // namespace
