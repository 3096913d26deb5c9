#pragma once
// A pass drawn in memory on the test course (support/calibrated_course.h): grey frames of
// rippled water with a little noise of their own, and a boat whose post stands on the course
// point of a known path, drawn by area coverage so its column is exact to a fraction of a
// pixel, as large as the picture's scale where it is makes it. Frames are drawn as the engine asks
// for them, so a whole pass costs no memory.

#include "calibration/calibration.h"
#include "platform/video_frames.h"
#include "tracking/track.h"

#include <functional>
#include <set>
#include <vector>

struct PassPlan
{
    int width = 640;
    int height = 480;
    int frames = 30;
    qint64 frameUs = 40000;
    Direction direction = Direction::Toward;
    // The boat reaches the entrance (away: the near gate) on frame 0 and runs at 58 km/h.
    double speedMps = 58.0 / 3.6;
    // Course x of the boat (metres) at t seconds after frame 0.
    std::function<double(double)> courseX = [](double t) { return 1.25 + 0.3 * std::sin(t * 2.0); };
    std::set<int> sprayed; // frames on which spray hides the post
    // The boat's size on frame 0 (1: a post 4 px wide); on later frames it grows or shrinks
    // as the course's picture scale does where it is.
    double boatSize = 1.0;
};

// The picture point of the post's middle on frame k: the tracked point.
struct PostPoint
{
    double u = 0.0;
    double v = 0.0;
};

class SyntheticPass : public FrameReader
{
public:
    SyntheticPass(const Calibration& calibration, PassPlan plan);
    std::optional<GreyFrame> next() override;
    QString error() const override { return {}; }

    PostPoint post(int k) const;
    // How many times its size on frame 0 the boat is drawn on frame k.
    double growth(int k) const;
    GreyFrame frame(int k) const;
    qint64 startUs(int k) const { return qint64(k) * plan.frameUs; }
    // The pass this clip is (58 km/h slalom from frame 0).
    TrackedPass pass() const;

private:
    double courseY(int k) const; // the boat's place along the course on frame k

    const Calibration& calibration;
    PassPlan plan;
    std::vector<double> water; // the still water, drawn once
    int at = 0;
};
