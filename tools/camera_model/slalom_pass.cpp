#include "camera_model/slalom_pass.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double passPathSlope(double y)
{
    return 0.22 * kTwoPi / 90 * std::cos(kTwoPi * y / 90) +
           0.06 * kTwoPi / 37 * std::cos(kTwoPi * y / 37 + 1.0);
}

} // namespace

double passPathX(double y)
{
    return 1.32 + 0.22 * std::sin(kTwoPi * y / 90) + 0.06 * std::sin(kTwoPi * y / 37 + 1.0);
}

double passCourseY(int frame)
{
    // Written so that the entrance frame gives +0, never -0.
    return (kPassEntranceFrame - frame) * (kPassSpeedKmh / 3.6) / kPassFramesPerSecond;
}

qint64 passFrameTimeMs(int frame)
{
    return kPassFirstFrameMs + qint64(frame) * 1000 / kPassFramesPerSecond;
}

BoatPose passBoatPose(int frame)
{
    const double y = passCourseY(frame);
    // Moving toward -y, x changes by -slope per metre travelled along the course.
    const double dx = -passPathSlope(y), dy = -1.0;
    const double length = std::hypot(dx, dy);
    return {passPathX(y), y, dx / length, dy / length};
}

std::vector<PassTruthLine> passTruth(const PinholeCamera& camera, int frames)
{
    std::vector<PassTruthLine> lines;
    for (int k = 0; k < frames; ++k) {
        const BoatPose pose = passBoatPose(k);
        const auto seen = camera.project({pose.x, pose.y, 0.0});
        lines.push_back(
            {k, passFrameTimeMs(k), pose.x, pose.y, seen.value_or(PicturePoint{qQNaN(), qQNaN()})});
    }
    return lines;
}

QByteArray passTruthCsv(const std::vector<PassTruthLine>& lines)
{
    QByteArray text = "frame,time_ms,x_m,y_m,u_px,v_px\n";
    for (const PassTruthLine& l : lines)
        text += QStringLiteral("%1,%2,%3,%4,%5,%6\n")
                    .arg(l.frame)
                    .arg(l.timeMs)
                    .arg(l.x, 0, 'f', 4)
                    .arg(l.y, 0, 'f', 4)
                    .arg(l.seen.u, 0, 'f', 3)
                    .arg(l.seen.v, 0, 'f', 3)
                    .toLatin1();
    return text;
}
