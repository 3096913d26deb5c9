#pragma once
// The sample slalom pass: a tow boat coming toward the camera through the slalom course at
// exactly 58 km/h, weaving gently on a known path left of the centre line. Its pylon's course
// position on every frame is the ground truth a measurement of the pass video is judged by.

#include "camera_model/camera_model.h"
#include "camera_model/tow_boat.h"

#include <QString>
#include <vector>

inline constexpr double kPassSpeedKmh = 58.0;
inline constexpr int kPassFramesPerSecond = 25;
// 18 s: from 16 m before the entrance gate to 14 m past the exit gate.
inline constexpr int kPassFrameCount = 450;
// The pylon crosses the entrance gate line (course y 0) exactly at this frame's time.
inline constexpr int kPassEntranceFrame = 25;
// Media time a player gives the first frame of the encoded file (QVideoFrame::startTime and
// QMediaPlayer::position agree on it for a WebM file from webmmux).
inline constexpr qint64 kPassFirstFrameMs = 0;

inline const QString kPassVideoName = QStringLiteral("slalom_pass_58kmh.webm");
inline const QString kPassTruthName = QStringLiteral("slalom_pass_58kmh_truth.csv");

// The pylon's course x when the pylon is at course y: 7 cm off the centre line (course x 1.25)
// toward higher x on average, with two superposed weaves, 22 cm over 90 m and 6 cm over 37 m.
double passPathX(double y);
// The pylon's course y at a frame's time: it moves along the course (toward -y) at the pass
// speed; the weave adds at most 0.03 % to the speed along the path.
double passCourseY(int frame);
qint64 passFrameTimeMs(int frame);
// The boat on a frame: the pylon on the path, the bow along the path's tangent.
BoatPose passBoatPose(int frame);

struct PassTruthLine
{
    int frame = 0;
    qint64 timeMs = 0;
    double x = 0.0; // the pylon, course metres
    double y = 0.0;
    PicturePoint seen; // where the pylon's axis meets the water, in the picture
};

std::vector<PassTruthLine> passTruth(const PinholeCamera& camera, int frames);
// One header line, then one line per frame: frame,time_ms,x_m,y_m,u_px,v_px (LF line ends).
QByteArray passTruthCsv(const std::vector<PassTruthLine>& lines);
