#pragma once
// Finding a point of one frame again on the next: the image work of the tracking engine.
// Two methods behind one face, compared by bench/track_methods:
// - TemplateNcc: the picture around the point as a template, matched by normalised
//   cross-correlation in a window around the predicted place, the peak refined to a fraction
//   of a pixel by a parabola through it and its neighbours; the template takes in a twentieth
//   of each new match, so it grows with the boat.
// - LucasKanade: pyramidal optical flow of the point from the frame before, its confidence
//   the correlation of the same adapting template at the place the flow found.
// Either way the confidence is the normalised cross-correlation of the template with the
// picture at the point found (1: the same picture; 0: no likeness).

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
    // inside the picture.
    virtual bool start(const GreyFrame& frame, double u, double v) = 0;
    // The point on `frame`, searched within `radius` pixels of the predicted place.
    virtual PointMatch find(const GreyFrame& frame, double predictedU, double predictedV,
                            double radius) = 0;
    // The point found on `frame` is taken: the template adapts to it.
    virtual void accept(const GreyFrame& frame, const PointMatch& match) = 0;
};

// Half the template's side, pixels: the pylon with the water beside it and the windshield's
// edge below, at the distances a course camera sees the boat.
inline constexpr int kTemplateRadius = 12;
// The share of each new match the template takes in: slow enough that the small errors of
// single matches do not walk the template off the point, fast enough to follow a boat whose
// picture doubles in size over a pass (measured on the sample pass: 0.25 walked 0.5 px off,
// 0.05 stayed within 0.3 px; a fixed template lost the boat half way).
inline constexpr double kTemplateAdaptRate = 0.05;

std::unique_ptr<PointMatcher> makePointMatcher(TrackingMethod method,
                                               int templateRadius = kTemplateRadius);
