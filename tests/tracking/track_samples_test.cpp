// Samples from a track against the pass engine itself: the measurement model, on the video's
// clock, stepped frame by frame with the pointer put on each frame at the tracked column, and
// on the pass clock that hands it every sample of the track at once. Each must record the same
// deviations, sample for sample.

#include "fakes/fake_services.h"
#include "measure/measure_model.h"
#include "measure/track_pass_clock.h"
#include "support/calibrated_course.h"
#include "tracking/track_samples.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {

struct Case
{
    const char* name;
    Event event;
    Direction direction;
    int speedIndex;
    qint64 frameUs;
    qint64 firstUs; // the pass's first frame
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.name;
}

class SamplesFromTrack : public ::testing::TestWithParam<Case>
{
protected:
    SamplesFromTrack()
        : model(
              {calibration, display, pass, fake.clock, fake.keys, fake.joystick, fake.timers, run})
    {
        calibrateSlalom(calibration);
        QObject::connect(&model, &MeasureModel::passRecorded, [this] { ++recorded; });
        const Case& c = GetParam();
        run.event = c.event;
        run.direction = c.direction;
        (c.event == Event::Slalom ? run.slalomSpeed : run.jumpSpeed) = c.speedIndex;
        model.createTimers();
    }

    // A track on the ideal path's columns with a weave and sub-pixel scatter; some columns
    // land on half twips, where the pointer's rounding decides.
    Track makeTrack(const Case& c)
    {
        Track t;
        t.videoFile = QStringLiteral("pass.webm");
        t.pass.event = c.event;
        t.pass.direction = c.direction;
        t.pass.passTenths = *passTenthsFor(c.event, c.speedIndex);
        t.pass.startUs = c.firstUs;
        std::mt19937 random(7);
        std::uniform_real_distribution<double> scatter(-0.5, 0.5);
        const double centre = c.event == Event::Slalom ? 1.25 : 2.0;
        const double length = c.event == Event::Slalom ? 259.0 : 280.0;
        for (qint64 s = c.firstUs; s <= t.pass.lastInstantUs() + c.frameUs; s += c.frameUs) {
            const double share = double(s - c.firstUs) / (t.pass.passTenths * 1e5);
            const double y =
                c.direction == Direction::Toward ? -share * length : share * length - 259.0;
            const double x = centre + 0.4 * std::sin(share * 9.0);
            TrackPoint p;
            p.startUs = s;
            p.durationUs = c.frameUs;
            p.u = screenOf(calibration, x, y).x / 15.0 + scatter(random);
            if (t.frames.size() % 7 == 3)
                p.u = (std::floor(p.u * 15.0) + 0.5) / 15.0;
            p.v = screenOf(calibration, x, y).y / 15.0 - 20.0;
            p.confidence = 0.95;
            p.operatorSet = t.frames.empty();
            t.frames.push_back(p);
        }
        return t;
    }

    // What the model recorded is what the track gives, sample for sample.
    void expectTheTracksSamples(const Track& track)
    {
        const TrackSamples samples = samplesFromTrack(track, calibration.transform);
        ASSERT_TRUE(samples.complete());
        ASSERT_EQ(int(samples.samples.size()), track.pass.passTenths + 1);
        ASSERT_EQ(pass.samples.sampleCount, track.pass.passTenths + 1);
        ASSERT_TRUE(pass.media);
        for (const TrackSample& s : samples.samples) {
            EXPECT_EQ(s.deviation, pass.samples.deviations[size_t(s.index)])
                << "sample " << s.index;
            EXPECT_EQ(s.frame->startUs, pass.media->sampleFramesUs[size_t(s.index)])
                << "sample " << s.index;
        }
        const PassSamples fromTrack = samples.passSamples();
        EXPECT_EQ(fromTrack.meanAbsDeviation, pass.samples.meanAbsDeviation);
        EXPECT_EQ(fromTrack.maxDeviationIndex, pass.samples.maxDeviationIndex);
        EXPECT_EQ(samples.mediaPass().startUs, pass.media->startUs);
        EXPECT_EQ(samples.mediaPass().sampleFramesUs, pass.media->sampleFramesUs);
    }

    Calibration calibration;
    DisplaySettings display;
    PassRecord pass;
    FakeServices fake;
    RunInfo run;
    MeasureModel model;
    int recorded = 0; // passes the model handed to the results
};

TEST_P(SamplesFromTrack, EqualAHandHeldPassWithTheSameLine)
{
    const Track track = makeTrack(GetParam());
    model.setUseMouse(true);
    model.arm();
    MediaPassClock& media = model.mediaClock();
    media.setFile(MediaClockFile{QStringLiteral("pass.webm"), 0});
    // Paused on the pass's first frame with the pointer on its column, then Start Pass; each
    // step shows the next frame, the pointer goes to its column, and the engine wakes.
    const auto show = [&](const TrackPoint& f) {
        media.frameShown(f.startUs, f.durationUs);
        model.mouseMoved(f.u * 15.0);
        fake.clock.ms += 5;
        media.wake();
    };
    media.paused();
    show(track.frames.front());
    model.startPass();
    for (size_t k = 1; k < track.frames.size() && recorded == 0; ++k)
        show(track.frames[k]);
    ASSERT_EQ(recorded, 1);
    expectTheTracksSamples(track);
}

TEST_P(SamplesFromTrack, EqualAPassTheTrackTimesItself)
{
    const Track track = makeTrack(GetParam());
    model.arm();
    const TrackSamples samples = samplesFromTrack(track, calibration.transform);
    TrackPassClock clock(samples.lineColumns(), samples.mediaPass());
    ASSERT_TRUE(model.startPassOn(clock));
    ASSERT_EQ(recorded, 1);
    EXPECT_FALSE(model.running());
    EXPECT_EQ(model.view().timeLabel, QString::number(track.pass.passTenths + 1));
    expectTheTracksSamples(track);
}

// A track made for another speed (the start screen changed since) is refused, and the pass
// running on the video's clock is not disturbed by the refusal.
TEST_P(SamplesFromTrack, AreRefusedForAPassOfAnotherLength)
{
    Track track = makeTrack(GetParam());
    track.pass.passTenths -= 10;
    track.frames.resize(track.frames.size() - 12);
    model.arm();
    const TrackSamples samples = samplesFromTrack(track, calibration.transform);
    TrackPassClock clock(samples.lineColumns(), samples.mediaPass());
    QString told;
    QObject::connect(&model, &MeasureModel::passNotRecorded,
                     [&](const QString& message) { told = message; });
    EXPECT_FALSE(model.startPassOn(clock));
    EXPECT_EQ(recorded, 0);
    EXPECT_FALSE(model.running());
    EXPECT_TRUE(told.contains(QStringLiteral("the pass chosen has"))) << told.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Passes, SamplesFromTrack,
                         ::testing::Values(Case{"slalom_toward_25fps", Event::Slalom,
                                                Direction::Toward, 0, 40000, 1000000},
                                           Case{"slalom_away_29_97fps", Event::Slalom,
                                                Direction::Away, 2, 33367, 467138},
                                           Case{"jump_toward_30fps", Event::Jump, Direction::Toward,
                                                3, 33333, 2000000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrackSamples, ASampleOnNoTrackedFrameLeavesThePassIncomplete)
{
    Calibration calibration;
    calibrateSlalom(calibration);
    Track t;
    t.pass.passTenths = 161;
    t.pass.startUs = 0;
    for (qint64 s = 0; s <= 16100000; s += 40000)
        t.frames.push_back({s, 40000, 300.0, 60.0, 0.9, false, TrackStop::None});
    EXPECT_TRUE(samplesFromTrack(t, calibration.transform).complete());
    // The engine stopped on the frame holding 8.0 s: sample 80 has no tracked frame.
    t.frames.resize(201);
    t.frames.back().stop = TrackStop::LowConfidence;
    const TrackSamples s = samplesFromTrack(t, calibration.transform);
    EXPECT_FALSE(s.complete());
    EXPECT_EQ(s.firstMissing, 80);
    EXPECT_FALSE(t.complete());
}

} // namespace
