#pragma once
// Finding a point of one frame again on the next: the image work of the tracking engine.
// Two methods behind one face, compared by bench/tracking on the rendered test passes:
// - TemplateNcc: the picture around the point as a template, matched by normalised
//   cross-correlation in a window around the predicted place, the peak refined to a fraction
//   of a pixel by a parabola through it and its neighbours; the template takes in a twentieth
//   of each new match, so it follows the boat's changing look, and the operator's own picture
//   of the point, matched close to the place found, takes back the drift that gathers.
// - LucasKanade: pyramidal optical flow of the point from the frame before, its confidence
//   the correlation of the same adapting template at the place the flow found.
// Either way the confidence is the normalised cross-correlation of the adapting template
// with the picture at the point found (1: the same picture; 0: no likeness).
// A boat coming toward the camera grows on the picture (to 2.3 times its size over a pass
// seen from a camera 4 m up, 200 m behind the near gates): a template holds the boat at the
// size it had on the pass's first frame, and a frame where the boat is larger is searched
// sampled down to that size, so that the template always holds the same part of the boat (a
// template of fixed pixels ends up inside the pylon, and slides along it unseen: 4.4 px off
// at the end of that pass).

#include "platform/video_frames.h"

#include <memory>

enum class TrackingMethod { TemplateNcc, LucasKanade };

struct PointMatch
{
    double u = 0.0;
    double v = 0.0;
    double confidence = 0.0;
    // The template around the point found lies inside the picture.
    bool inPicture = true;
};

class PointMatcher
{
public:
    virtual ~PointMatcher() = default;
    // Takes the picture around (u, v) as what to follow; false when it does not lie wholly
    // inside the picture. size: how large the boat is on this frame, times its size on the
    // pass's first frame (1 when not known).
    virtual bool start(const GreyFrame& frame, double u, double v, double size) = 0;
    // The point on `frame`, searched within `radius` pixels of the predicted place.
    virtual PointMatch find(const GreyFrame& frame, double predictedU, double predictedV,
                            double radius, double size) = 0;
    // The point found by the last find() is taken: the template adapts to it.
    virtual void accept(const GreyFrame& frame, const PointMatch& match) = 0;
};

// Half the template's side, in pixels of the pass's first frame: the pylon with the water
// beside it and the windshield's edge below, at the distances a course camera sees the boat.
inline constexpr int kTemplateRadius = 12;
// The share of each new match the template takes in, so that it follows the boat's look as
// it turns and the water round it changes. Where the operator's picture holds the place,
// 0.03 and 0.05 gave the same figures on the rendered passes; 0.1 let a frame 2 px off go
// unflagged where spray hid the pylon. Without that hold, 0.05 walked 1.1 px off near the end
// of the low camera's pass.
inline constexpr double kTemplateAdaptRate = 0.05;
// How far (samples of the template) from the adapting template's match the operator's picture
// may move the point: at 1 the point slid up the pylon where something light passed beside
// it (the engine stopped on a clean pass, the point no longer keeping pace); 2 and 3 gave the
// same figures.
inline constexpr double kAnchorReach = 2.0;

std::unique_ptr<PointMatcher> makePointMatcher(TrackingMethod method,
                                               int templateRadius = kTemplateRadius);
