#pragma once
// Rendered test passes for the tracking benchmark: a slalom pass seen by one of several
// cameras, at a given picture size, frame rate and encoding, with the boat's speed, direction
// and path and the water's effects chosen per pass, and its ground truth frame by frame. A
// pass runs from one second before the pylon crosses the entrance gate line to one second
// after it crosses the exit gate line.

#include "camera_model/camera_model.h"
#include "camera_model/course_scene.h"
#include "camera_model/moving_water.h"
#include "camera_model/spray.h"
#include "camera_model/tow_boat.h"
#include "camera_model/video_encoding.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// Raised whenever a change to the renderer changes what a pass's frames show, so that passes
// rendered before are rendered again rather than taken from a cache.
inline constexpr int kPassRendererRevision = 1;

enum class PassDirection {
    TowardCamera,  // the operator sees the bow and follows a windshield mark or the pylon
    AwayFromCamera // the operator follows the pylon from behind
};

enum class PassPath {
    GentleWeave, // the sample pass's path: 7 cm off the centre line, weaving about +-0.28 m
    WideWeave    // weaving +-0.5 m about the centre line over 85 m
};

// Frames on which a burst of spray hides the pylon whole; on the frames just before and after,
// a thinner burst covers it partly.
struct HidingWindow
{
    int firstFrame = -1;
    int frames = 0;
    bool operator==(const HidingWindow&) const = default;
};

struct PassScenario
{
    QString name;
    QString cameraName;   // "tower" (the standard camera), "low", "side"
    PinholeCamera camera; // for this picture size
    int width = 1920;
    int height = 1080;
    FrameRate rate;
    VideoCodec codec = VideoCodec::Vp8Light;
    double speedKmh = 58.0;
    PassDirection direction = PassDirection::TowardCamera;
    PassPath path = PassPath::GentleWeave;
    WaterEffects water;
    bool spray = false;
    HidingWindow hiding;
    // What the benchmark expects: on a clean pass an accurate track without a stop; on a hard
    // one (spray, hiding, strong compression) every frame with a large error flagged.
    bool hard = false;
};

inline constexpr double kPassMarginSeconds = 1.0;
inline constexpr double kSlalomCourseLengthM = 259.0;

// The second and third cameras, for a 1920 x 1080 picture (scaledCamera gives other sizes):
// "low" 4 m up, 200 m behind the near gates; "side" 5 m up, 300 m behind the near gates and
// 10 m to the right of the course's centre line, so that the course runs across the picture.
PinholeCamera lowCamera();
PinholeCamera sideCamera();

// The table of passes. `tower` is the standard slalom camera for a towerWidth x towerHeight
// picture.
std::vector<PassScenario> builtInScenarios(const PinholeCamera& tower, int towerWidth,
                                           int towerHeight);

// Everything that decides a pass's files, one key=value line each (numbers with a point, to
// the last bit): a pass whose description is unchanged need not be rendered again.
QByteArray scenarioDescription(const PassScenario& s, int frames);

// Frames from one second before the entrance gate to one second after the exit gate.
int scenarioFrameCount(const PassScenario& s);
// The pylon's course x when the pylon is at course y.
double scenarioPathX(PassPath path, double y);
// The pylon's course y at a media time, moving along the course at the pass speed; it crosses
// the entrance gate line at kPassMarginSeconds.
double scenarioCourseY(const PassScenario& s, double seconds);
// The boat at a media time: the pylon on the path, the bow along the path's tangent.
BoatPose scenarioBoatPose(const PassScenario& s, double seconds);

// The spray in the air on a frame (none when the pass has no spray or hiding burst).
std::vector<SprayPuff> scenarioSpray(const PassScenario& s, int frame);

// One frame's ground truth. Picture points are sub-pixel (u, v) of the scenario's picture;
// they may lie outside it when the boat is partly out of view.
struct ScenarioTruthLine
{
    int frame = 0;
    qint64 timeUs = 0; // the frame's start on the program's media clock (first frame at 0)
    qint64 ptsUs = 0;  // the decoder's timestamp, QVideoFrame::startTime
    double x = 0.0;    // the pylon, course metres
    double y = 0.0;
    PicturePoint water;         // the water straight under the pylon: what the setup maps
    PicturePoint top;           // the pylon's top
    PicturePoint pylonAtShield; // the pylon's axis at the windshield's top height
    PicturePoint shield;        // the centre of the windshield's face toward the bow
    double sprayCover = 0.0;    // the most opaque spray in front of the pylon's axis (0 to 1)
    bool hidden = false;        // spray at least half opaque over the whole pylon
};

std::vector<ScenarioTruthLine> scenarioTruth(const PassScenario& s, int frames);
// One header line, then one line per frame (LF line ends); the columns are in the header.
QByteArray scenarioTruthCsv(const std::vector<ScenarioTruthLine>& lines);

// The frames of a pass: the still picture is traced once, then each frame is the still
// picture with the moving water, the spray behind the pylon, the boat and the spray in front
// of it drawn over. `crop` renders only that part of the picture, pixel for pixel as the
// whole picture would show it (for checks that need a few pixels around the boat).
class ScenarioFrames
{
public:
    explicit ScenarioFrames(const PassScenario& s, const QRect& crop = {});
    QImage frame(int k) const;

private:
    PassScenario scenario_;
    PinholeCamera camera_; // the scenario's camera, shifted to the crop
    CourseScene scene_;
    StillLayer still_;
    std::unique_ptr<MovingWater> water_;
};
