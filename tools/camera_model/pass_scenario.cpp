#include "camera_model/pass_scenario.h"

#include "camera_model/slalom_pass.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double wideWeaveX(double y)
{
    return 1.25 + 0.5 * std::sin(kTwoPi * (y + 20) / 85);
}

double pathSlope(PassPath path, double y)
{
    // Central difference: exact enough for a heading, and the same for both paths.
    const double h = 0.01;
    return (scenarioPathX(path, y + h) - scenarioPathX(path, y - h)) / (2 * h);
}

// +1 when the pylon moves toward +y (away from the camera), -1 toward -y.
double travel(const PassScenario& s)
{
    return s.direction == PassDirection::AwayFromCamera ? 1.0 : -1.0;
}

double speedMs(const PassScenario& s)
{
    return s.speedKmh / 3.6;
}

QString number(double v)
{
    return QString::number(v, 'g', 17);
}

PassScenario base(const QString& name, const QString& cameraName, const PinholeCamera& camera,
                  int width, int height)
{
    PassScenario s;
    s.name = name;
    s.cameraName = cameraName;
    s.camera = camera;
    s.width = width;
    s.height = height;
    return s;
}

constexpr FrameRate kPal{25, 1};
constexpr FrameRate kNtsc{30000, 1001};
constexpr FrameRate kThirty{30, 1};

} // namespace

PinholeCamera lowCamera()
{
    // The far gates 280 pixels below the top: the pylon's top stays in the picture from a
    // second before the entrance gate; the back gate is 17.9 % of the picture wide.
    PinholeCamera c;
    c.position = {4.25, -459.0, 4.0};
    c.headingDeg = -0.7179;
    c.tiltDeg = 0.7361;
    c.focalLengthPx = 63000;
    c.principalPoint = {960, 540};
    return c;
}

PinholeCamera sideCamera()
{
    // Aimed so that the four gate buoys' box is in the middle of the picture, 80 pixels low.
    PinholeCamera c;
    c.position = {-8.75, -559.0, 5.0};
    c.headingDeg = 1.5222;
    c.tiltDeg = 0.6739;
    c.focalLengthPx = 77000;
    c.principalPoint = {960, 540};
    return c;
}

std::vector<PassScenario> builtInScenarios(const PinholeCamera& tower, int towerWidth,
                                           int towerHeight)
{
    const auto towerAt = [&](int w, int h) {
        return scaledCamera(tower, towerWidth, towerHeight, w, h);
    };
    const auto lowAt = [](int w, int h) { return scaledCamera(lowCamera(), 1920, 1080, w, h); };
    std::vector<PassScenario> table;

    PassScenario s = base(QStringLiteral("tower-1080p25-clean"), QStringLiteral("tower"),
                          towerAt(1920, 1080), 1920, 1080);
    s.rate = kPal;
    table.push_back(s);

    s = base(QStringLiteral("tower-720p30-waves-weave"), QStringLiteral("tower"),
             towerAt(1280, 720), 1280, 720);
    s.rate = kThirty;
    s.path = PassPath::WideWeave;
    s.water = {true, true, false, 2};
    table.push_back(s);

    s = base(QStringLiteral("low-1080p2997-h264-wake"), QStringLiteral("low"), lowAt(1920, 1080),
             1920, 1080);
    s.rate = kNtsc;
    s.codec = VideoCodec::H264Light;
    s.speedKmh = 55.0;
    s.path = PassPath::WideWeave;
    s.water = {true, false, true, 3};
    table.push_back(s);

    s = base(QStringLiteral("side-1080p30-away"), QStringLiteral("side"), sideCamera(), 1920, 1080);
    s.rate = kThirty;
    s.direction = PassDirection::AwayFromCamera;
    s.water = {true, true, true, 4};
    table.push_back(s);

    s = base(QStringLiteral("tower-1080p2997-strong-spray"), QStringLiteral("tower"),
             towerAt(1920, 1080), 1920, 1080);
    s.rate = kNtsc;
    s.codec = VideoCodec::Vp8Strong;
    s.path = PassPath::WideWeave;
    s.water = {true, false, true, 5};
    s.spray = true;
    s.hard = true;
    table.push_back(s);

    s = base(QStringLiteral("tower-1080p25-hidden"), QStringLiteral("tower"), towerAt(1920, 1080),
             1920, 1080);
    s.rate = kPal;
    s.water = {true, true, true, 6};
    s.spray = true;
    // Mid-course, near the third guide buoys: the pylon is in view whole.
    s.hiding = {230, 4};
    s.hard = true;
    table.push_back(s);

    s = base(QStringLiteral("low-720p25-h264-strong-away"), QStringLiteral("low"), lowAt(1280, 720),
             1280, 720);
    s.rate = kPal;
    s.codec = VideoCodec::H264Strong;
    s.speedKmh = 52.0;
    s.direction = PassDirection::AwayFromCamera;
    s.path = PassPath::WideWeave;
    s.water = {true, false, true, 7};
    s.spray = true;
    s.hard = true;
    table.push_back(s);
    return table;
}

QByteArray scenarioDescription(const PassScenario& s, int frames)
{
    const PinholeCamera& c = s.camera;
    QStringList lines{
        QStringLiteral("renderer_revision=%1").arg(kPassRendererRevision),
        QStringLiteral("name=") + s.name,
        QStringLiteral("camera=") + s.cameraName,
        QStringLiteral("position_m=%1,%2").arg(number(c.position.x), number(c.position.y)),
        QStringLiteral("height_m=") + number(c.position.z),
        QStringLiteral("heading_deg=") + number(c.headingDeg),
        QStringLiteral("tilt_deg=") + number(c.tiltDeg),
        QStringLiteral("focal_length_px=") + number(c.focalLengthPx),
        QStringLiteral("principal_point_px=%1,%2")
            .arg(number(c.principalPoint.u), number(c.principalPoint.v)),
        QStringLiteral("size=%1x%2").arg(s.width).arg(s.height),
        QStringLiteral("frame_rate=%1/%2").arg(s.rate.numerator).arg(s.rate.denominator),
        QStringLiteral("codec=") + codecName(s.codec),
        QStringLiteral("speed_kmh=") + number(s.speedKmh),
        QStringLiteral("direction=") + (s.direction == PassDirection::TowardCamera
                                            ? QStringLiteral("toward")
                                            : QStringLiteral("away")),
        QStringLiteral("path=") +
            (s.path == PassPath::GentleWeave ? QStringLiteral("gentle") : QStringLiteral("wide")),
        QStringLiteral("waves=%1").arg(int(s.water.waves)),
        QStringLiteral("glitter=%1").arg(int(s.water.glitter)),
        QStringLiteral("wake=%1").arg(int(s.water.wake)),
        QStringLiteral("spray=%1").arg(int(s.spray)),
        QStringLiteral("seed=%1").arg(s.water.seed),
        QStringLiteral("hidden_frames=%1+%2").arg(s.hiding.firstFrame).arg(s.hiding.frames),
        QStringLiteral("hard=%1").arg(int(s.hard)),
        QStringLiteral("frames=%1").arg(frames),
    };
    return (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

int scenarioFrameCount(const PassScenario& s)
{
    const double seconds = kSlalomCourseLengthM / speedMs(s) + 2 * kPassMarginSeconds;
    return int(std::floor(seconds * s.rate.perSecond())) + 1;
}

double scenarioPathX(PassPath path, double y)
{
    return path == PassPath::GentleWeave ? passPathX(y) : wideWeaveX(y);
}

double scenarioCourseY(const PassScenario& s, double seconds)
{
    const double entrance =
        s.direction == PassDirection::TowardCamera ? 0.0 : -kSlalomCourseLengthM;
    return entrance + travel(s) * speedMs(s) * (seconds - kPassMarginSeconds);
}

BoatPose scenarioBoatPose(const PassScenario& s, double seconds)
{
    const double y = scenarioCourseY(s, seconds);
    // Moving along the course by `travel`, x changes by slope times that.
    const double dx = travel(s) * pathSlope(s.path, y), dy = travel(s);
    const double length = std::hypot(dx, dy);
    return {scenarioPathX(s.path, y), y, dx / length, dy / length};
}

std::vector<SprayPuff> scenarioSpray(const PassScenario& s, int frame)
{
    const double seconds = s.rate.frameSeconds(frame);
    std::vector<SprayPuff> puffs;
    if (s.spray)
        puffs = bowSpray([&s](double t) { return scenarioBoatPose(s, t); }, seconds, s.water.seed);
    if (s.hiding.frames > 0) {
        const int first = s.hiding.firstFrame, last = first + s.hiding.frames - 1;
        const double density = frame >= first && frame <= last           ? 1.0
                               : frame == first - 1 || frame == last + 1 ? 0.2
                                                                         : 0.0;
        if (density > 0) {
            const auto burst = hidingBurst(s.camera, scenarioBoatPose(s, seconds), density);
            puffs.insert(puffs.end(), burst.begin(), burst.end());
        }
    }
    return puffs;
}

std::vector<ScenarioTruthLine> scenarioTruth(const PassScenario& s, int frames)
{
    std::vector<ScenarioTruthLine> lines;
    const PicturePoint nowhere{qQNaN(), qQNaN()};
    const qint64 firstPts = containerFrameStartUs(s.codec, s.rate, 0);
    for (int k = 0; k < frames; ++k) {
        const BoatPose boat = scenarioBoatPose(s, s.rate.frameSeconds(k));
        const auto seen = [&](double ahead, double z) {
            return s.camera.project({boat.x + ahead * boat.bowX, boat.y + ahead * boat.bowY, z})
                .value_or(nowhere);
        };
        ScenarioTruthLine line;
        line.frame = k;
        line.ptsUs = containerFrameStartUs(s.codec, s.rate, k);
        line.timeUs = line.ptsUs - firstPts;
        line.x = boat.x;
        line.y = boat.y;
        line.water = seen(0.0, 0.0);
        line.top = seen(0.0, kPylonTopM);
        line.pylonAtShield = seen(0.0, kWindshieldTopM);
        line.shield = seen(kWindshieldCentreAheadM, kWindshieldCentreHeightM);
        const std::vector<SprayPuff> front =
            puffsByDepth(s.camera, boat, scenarioSpray(s, k), true);
        if (!front.empty()) {
            // The pylon's axis from the deck to its top, in eleven points.
            double least = 1.0;
            for (int n = 0; n <= 10; ++n) {
                const double cover =
                    sprayOpacity(s.camera, front,
                                 seen(0.0, kDeckHeightM + (kPylonTopM - kDeckHeightM) * n / 10));
                least = std::min(least, cover);
                line.sprayCover = std::max(line.sprayCover, cover);
            }
            line.hidden = least >= 0.5;
        }
        lines.push_back(line);
    }
    return lines;
}

QByteArray scenarioTruthCsv(const std::vector<ScenarioTruthLine>& lines)
{
    QByteArray text = "frame,time_us,pts_us,x_m,y_m,water_u_px,water_v_px,top_u_px,top_v_px,"
                      "pylon_at_shield_u_px,pylon_at_shield_v_px,shield_u_px,shield_v_px,"
                      "spray_cover,hidden\n";
    const auto point = [](const PicturePoint& p) {
        return QStringLiteral("%1,%2").arg(p.u, 0, 'f', 3).arg(p.v, 0, 'f', 3);
    };
    for (const ScenarioTruthLine& l : lines)
        text += QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11\n")
                    .arg(l.frame)
                    .arg(l.timeUs)
                    .arg(l.ptsUs)
                    .arg(l.x, 0, 'f', 4)
                    .arg(l.y, 0, 'f', 4)
                    .arg(point(l.water), point(l.top), point(l.pylonAtShield), point(l.shield))
                    .arg(l.sprayCover, 0, 'f', 2)
                    .arg(int(l.hidden))
                    .toLatin1();
    return text;
}

ScenarioFrames::ScenarioFrames(const PassScenario& s, const QRect& crop)
    : scenario_(s), camera_(s.camera), scene_(slalomScene())
{
    int width = s.width, height = s.height;
    if (!crop.isNull()) {
        camera_.principalPoint.u -= crop.left();
        camera_.principalPoint.v -= crop.top();
        width = crop.width();
        height = crop.height();
    }
    still_ = renderStillLayer(camera_, scene_, width, height);
    if (s.water.any())
        water_ = std::make_unique<MovingWater>(camera_, still_, s.water);
}

QImage ScenarioFrames::frame(int k) const
{
    const double seconds = scenario_.rate.frameSeconds(k);
    const BoatPose boat = scenarioBoatPose(scenario_, seconds);
    QImage image = still_.image.copy();
    if (water_) {
        const PassPath path = scenario_.path;
        water_->paint(
            image, seconds,
            {[path](double y) { return scenarioPathX(path, y); }, boat.y, travel(scenario_)});
    }
    const std::vector<SprayPuff> spray = scenarioSpray(scenario_, k);
    paintSpray(image, camera_, puffsByDepth(camera_, boat, spray, false));
    CourseScene scene = scene_;
    scene.boat = boat;
    renderBoatOverWater(camera_, scene, image);
    paintSpray(image, camera_, puffsByDepth(camera_, boat, spray, true));
    return image;
}
