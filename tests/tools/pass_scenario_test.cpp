// The test passes' ground truth against what their frames show, against the sample pass, and
// the description that decides whether a rendered pass can be kept.

#include "camera_model/pass_scenario.h"
#include "camera_model/slalom_pass.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

namespace {

PinholeCamera standardTower()
{
    PinholeCamera tower; // resources/camera/standard_camera.json, "slalom"
    tower.position = {4.25, -559.0, 8.0};
    tower.headingDeg = -0.4;
    tower.tiltDeg = 1.17;
    tower.focalLengthPx = 43000;
    tower.principalPoint = {512, 384};
    return tower;
}

const std::vector<PassScenario>& scenarios()
{
    static const std::vector<PassScenario> table = builtInScenarios(standardTower(), 1024, 768);
    return table;
}

const PassScenario& scenarioNamed(const QString& name)
{
    const auto& table = scenarios();
    const auto it = std::find_if(table.begin(), table.end(),
                                 [&](const PassScenario& s) { return s.name == name; });
    EXPECT_NE(it, table.end()) << name.toStdString();
    return *it;
}

TEST(PassScenarios, CoverTheBenchmarksRange)
{
    std::vector<QString> cameras;
    bool wideWeave = false, away = false, hidden = false, strong = false, h264 = false;
    std::vector<int> widths;
    std::vector<double> rates;
    for (const PassScenario& s : scenarios()) {
        cameras.push_back(s.cameraName);
        widths.push_back(s.width);
        rates.push_back(s.rate.perSecond());
        wideWeave |= s.path == PassPath::WideWeave;
        away |= s.direction == PassDirection::AwayFromCamera;
        hidden |= s.hiding.frames == 4;
        strong |= s.codec == VideoCodec::Vp8Strong || s.codec == VideoCodec::H264Strong;
        h264 |= containerSuffix(s.codec) == QLatin1String("mp4");
        // A second either side of the course, whole.
        const int last = scenarioFrameCount(s) - 1;
        const double speed = s.speedKmh / 3.6;
        EXPECT_NEAR(std::fabs(scenarioCourseY(s, 0.0) -
                              (s.direction == PassDirection::TowardCamera ? 0.0 : -259.0)),
                    speed, 1e-9);
        const double beyondExit = s.direction == PassDirection::TowardCamera
                                      ? -259.0 - scenarioCourseY(s, s.rate.frameSeconds(last))
                                      : scenarioCourseY(s, s.rate.frameSeconds(last));
        EXPECT_GE(beyondExit, speed * (1.0 - 1.0 / s.rate.perSecond()));
        EXPECT_LT(beyondExit, speed);
    }
    for (const char* camera : {"tower", "low", "side"})
        EXPECT_NE(std::find(cameras.begin(), cameras.end(), QLatin1String(camera)), cameras.end());
    for (int width : {1280, 1920})
        EXPECT_NE(std::find(widths.begin(), widths.end(), width), widths.end());
    for (double rate : {25.0, 30.0, 30000.0 / 1001})
        EXPECT_NE(std::find(rates.begin(), rates.end(), rate), rates.end());
    EXPECT_TRUE(wideWeave && away && hidden && strong && h264);
}

// The clean tower pass is the sample pass when seen in the standard camera's own picture: the
// same path, speed and timing, so the same truth.
TEST(PassScenarios, TowerPassInTheStandardPictureIsTheSamplePass)
{
    PassScenario s = scenarioNamed(QStringLiteral("tower-1080p25-clean"));
    s.camera = standardTower();
    s.width = 1024;
    s.height = 768;
    const QList<QByteArray> sample = passTruthCsv(passTruth(s.camera, kPassFrameCount)).split('\n');
    const QList<QByteArray> ours = scenarioTruthCsv(scenarioTruth(s, kPassFrameCount)).split('\n');
    ASSERT_EQ(sample.size(), ours.size());
    for (qsizetype k = 1; k < sample.size() - 1; ++k) {
        // frame,time_ms,x_m,y_m,u_px,v_px against frame,time_us,pts_us,x_m,y_m,water_u,water_v
        const QList<QByteArray> a = sample[k].split(','), b = ours[k].split(',');
        ASSERT_EQ(a.size(), 6);
        ASSERT_EQ(b.size(), 15) << ours[k].toStdString();
        EXPECT_EQ(a[0], b[0]);
        EXPECT_EQ(a[1].toLongLong() * 1000, b[1].toLongLong());
        EXPECT_EQ(b[1], b[2]); // WebM: the decoder's times are the media clock's
        for (int n = 2; n < 6; ++n)
            EXPECT_EQ(a[n], b[n + 1]) << "frame " << k - 1 << ", column " << n;
    }
}

// Where the pylon stands in a rendered frame, measured on the green channel (the water's
// darkest green is well above the pylon's): the centre of its darkness on rows just below its
// top, and its top edge on the column through its axis, against the truth.
struct PylonInFrame
{
    double worstAxisError = 0.0; // pixels, over the rows measured
    double topEdgeError = 0.0;   // pixels
};

PylonInFrame measurePylon(const PassScenario& s, int frame)
{
    const ScenarioTruthLine truth = scenarioTruth(s, frame + 1).back();
    const QRect crop(int(std::lround(truth.top.u)) - 32, int(std::lround(truth.top.v)) - 16, 64,
                     64);
    const QImage image = ScenarioFrames(s, crop).frame(frame);
    const double u = truth.top.u - crop.left(), v = truth.top.v - crop.top();
    const auto beside = s.camera.project({truth.x + kPylonRadiusM, truth.y, kPylonTopM});
    const double halfWidth = std::fabs(beside->u - truth.top.u);
    const int pylonGreen = kPylonColour.green();
    const auto axisAt = [&](double row) {
        const double du =
            (truth.pylonAtShield.u - truth.top.u) / (truth.pylonAtShield.v - truth.top.v);
        return u + (row - v) * du;
    };
    const auto background = [&](int j) {
        std::vector<int> water;
        for (int i = 0; i < image.width(); ++i)
            if (std::fabs(i - axisAt(j)) > halfWidth + 3)
                water.push_back(qGreen(image.pixel(i, j)));
        std::nth_element(water.begin(), water.begin() + long(water.size() / 2), water.end());
        return double(water[water.size() / 2]);
    };
    const auto darkness = [&](int i, int j, double water) {
        const double d = (water - qGreen(image.pixel(i, j))) / (water - pylonGreen);
        return d < 0.1 ? 0.0 : std::min(d, 1.0);
    };

    PylonInFrame measured;
    for (int j = int(std::ceil(v)) + 2; j <= int(std::ceil(v)) + 8; ++j) {
        const double water = background(j);
        double mass = 0, moment = 0;
        for (int i = int(std::floor(axisAt(j) - halfWidth - 3));
             i <= int(std::ceil(axisAt(j) + halfWidth + 3)); ++i) {
            mass += darkness(i, j, water);
            moment += darkness(i, j, water) * i;
        }
        measured.worstAxisError =
            std::max(measured.worstAxisError, std::fabs(moment / mass - axisAt(j)));
    }
    // Rows above the top show water, rows below it the pylon: the dark rows' count says where
    // the edge is (each row against the water beside it: the water darkens toward the camera).
    const int column = int(std::lround(u));
    const int first = int(std::floor(v)) - 6, last = int(std::floor(v)) + 6;
    double dark = 0;
    for (int j = first; j <= last; ++j)
        dark += darkness(column, j, background(j));
    measured.topEdgeError = std::fabs((last + 0.5 - dark) - v);
    return measured;
}

struct FrameOfPass
{
    const char* pass;
    int frame;
};

class PylonTop : public testing::TestWithParam<FrameOfPass>
{
};

TEST_P(PylonTop, LiesOnThePylonsPixels)
{
    const PassScenario& s = scenarioNamed(QString::fromLatin1(GetParam().pass));
    const int frame = GetParam().frame;
    const ScenarioTruthLine truth = scenarioTruth(s, frame + 1).back();
    ASSERT_LT(truth.sprayCover, 0.05) << "choose a frame without spray over the pylon";
    ASSERT_TRUE(truth.top.v > 20 && truth.top.v < s.height - 50) << "the top is out of view";
    const PylonInFrame measured = measurePylon(s, frame);
    EXPECT_LT(measured.worstAxisError, 0.5);
    EXPECT_LT(measured.topEdgeError, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    EachCamera, PylonTop,
    testing::Values(FrameOfPass{"tower-1080p25-clean", 100},
                    FrameOfPass{"tower-1080p25-clean", 440},
                    FrameOfPass{"tower-720p30-waves-weave", 350},
                    FrameOfPass{"low-1080p2997-h264-wake", 60},
                    FrameOfPass{"low-1080p2997-h264-wake", 520},
                    FrameOfPass{"low-720p25-h264-strong-away", 470},
                    FrameOfPass{"side-1080p30-away", 30}, FrameOfPass{"side-1080p30-away", 500}),
    [](const testing::TestParamInfo<FrameOfPass>& info) {
        return QStringLiteral("%1_frame%2")
            .arg(QString::fromLatin1(info.param.pass).replace(QLatin1Char('-'), QLatin1Char('_')))
            .arg(info.param.frame)
            .toStdString();
    });

TEST(HidingSpray, HidesThePylonOnItsFramesAndOnThoseOnly)
{
    const PassScenario& s = scenarioNamed(QStringLiteral("tower-1080p25-hidden"));
    ASSERT_EQ(s.hiding.frames, 4);
    const std::vector<ScenarioTruthLine> truth = scenarioTruth(s, scenarioFrameCount(s));
    for (const ScenarioTruthLine& line : truth) {
        const bool inWindow =
            line.frame >= s.hiding.firstFrame && line.frame < s.hiding.firstFrame + s.hiding.frames;
        EXPECT_EQ(line.hidden, inWindow) << "frame " << line.frame;
    }
    // The frames on either side are partly covered.
    EXPECT_GT(truth[size_t(s.hiding.firstFrame - 1)].sprayCover, 0.1);
    EXPECT_GT(truth[size_t(s.hiding.firstFrame + s.hiding.frames)].sprayCover, 0.1);

    // In the pictures: no pixel of the pylon, from the windshield's top to its top, is nearer
    // the pylon's green than the spray's on a hidden frame; on the frame before, some are.
    const auto darkestOnPylon = [&](int frame) {
        const ScenarioTruthLine& line = truth[size_t(frame)];
        const QRect crop(int(line.top.u) - 20, int(line.top.v) - 4, 40,
                         int(line.pylonAtShield.v - line.top.v) + 8);
        const QImage image = ScenarioFrames(s, crop).frame(frame);
        int darkest = 255;
        for (int j = 4; j < crop.height() - 4; ++j)
            for (int i = 17; i <= 23; ++i)
                darkest = std::min(darkest, qGreen(image.pixel(i, j)));
        return darkest;
    };
    const int halfway = (kPylonColour.green() + 243) / 2;
    EXPECT_GT(darkestOnPylon(s.hiding.firstFrame + 1), halfway);
    EXPECT_LT(darkestOnPylon(s.hiding.firstFrame - 1), halfway);
}

// A rendered pass is kept while its description is unchanged: anything that changes its files
// must change the description.
using Change = std::function<void(PassScenario&, int&)>;

class Description : public testing::TestWithParam<std::pair<const char*, Change>>
{
};

TEST_P(Description, ChangesWithWhatTheFilesShow)
{
    PassScenario s = scenarios()[3];
    int frames = 50;
    const QByteArray before = scenarioDescription(s, frames);
    GetParam().second(s, frames);
    EXPECT_NE(scenarioDescription(s, frames), before);
}

const std::pair<const char*, Change> kChanges[] = {
    {"name", [](PassScenario& s, int&) { s.name += QLatin1Char('x'); }},
    {"camera_x", [](PassScenario& s, int&) { s.camera.position.x += 1e-9; }},
    {"camera_y", [](PassScenario& s, int&) { s.camera.position.y += 1e-9; }},
    {"camera_height", [](PassScenario& s, int&) { s.camera.position.z += 1e-9; }},
    {"heading", [](PassScenario& s, int&) { s.camera.headingDeg += 1e-9; }},
    {"tilt", [](PassScenario& s, int&) { s.camera.tiltDeg += 1e-9; }},
    {"focal_length", [](PassScenario& s, int&) { s.camera.focalLengthPx += 1e-6; }},
    {"principal_u", [](PassScenario& s, int&) { s.camera.principalPoint.u += 1e-9; }},
    {"principal_v", [](PassScenario& s, int&) { s.camera.principalPoint.v += 1e-9; }},
    {"width", [](PassScenario& s, int&) { s.width += 2; }},
    {"height", [](PassScenario& s, int&) { s.height += 2; }},
    {"rate",
     [](PassScenario& s, int&) {
         s.rate = {30000, 1001};
     }},
    {"codec", [](PassScenario& s, int&) { s.codec = VideoCodec::Vp8Strong; }},
    {"speed", [](PassScenario& s, int&) { s.speedKmh += 0.1; }},
    {"direction", [](PassScenario& s, int&) { s.direction = PassDirection::TowardCamera; }},
    {"path", [](PassScenario& s, int&) { s.path = PassPath::WideWeave; }},
    {"waves", [](PassScenario& s, int&) { s.water.waves = !s.water.waves; }},
    {"glitter", [](PassScenario& s, int&) { s.water.glitter = !s.water.glitter; }},
    {"wake", [](PassScenario& s, int&) { s.water.wake = !s.water.wake; }},
    {"seed", [](PassScenario& s, int&) { ++s.water.seed; }},
    {"spray", [](PassScenario& s, int&) { s.spray = !s.spray; }},
    {"hiding_start",
     [](PassScenario& s, int&) {
         s.hiding = {100, 4};
     }},
    {"hiding_length", [](PassScenario& s, int&) { s.hiding.frames = 4; }},
    {"hard", [](PassScenario& s, int&) { s.hard = !s.hard; }},
    {"frames", [](PassScenario&, int& frames) { ++frames; }},
};

INSTANTIATE_TEST_SUITE_P(EveryField, Description, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.first); });

} // namespace
