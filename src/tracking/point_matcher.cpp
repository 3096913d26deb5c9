#include "tracking/point_matcher.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>
#include <vector>

namespace {

cv::Mat view(const GreyFrame& f)
{
    // OpenCV only reads it.
    return cv::Mat(f.height, f.width, CV_8UC1, const_cast<std::uint8_t*>(f.pixels.data()));
}

// The square r pixels around (u, v) lies inside the picture.
bool fits(const GreyFrame& f, double u, double v, double r)
{
    return u - r >= 0.0 && v - r >= 0.0 && u + r <= f.width - 1.0 && v + r <= f.height - 1.0;
}

struct Spot
{
    double x = 0.0;
    double y = 0.0;
};

// Offset of a peak from its middle sample, by the parabola through three samples; 0 when
// they make no peak.
double parabolaPeak(float left, float middle, float right)
{
    const double d = double(left) - 2.0 * middle + right;
    if (d >= 0.0)
        return 0.0;
    return std::clamp(0.5 * (double(left) - right) / d, -0.5, 0.5);
}

// The peak of a score map refined to a fraction of a sample, each way by the parabola
// through the peak and its two neighbours (the peak not on the map's rim).
Spot subpixel(const cv::Mat& score, cv::Point at)
{
    return {parabolaPeak(score.at<float>(at.y, at.x - 1), score.at<float>(at.y, at.x),
                         score.at<float>(at.y, at.x + 1)),
            parabolaPeak(score.at<float>(at.y - 1, at.x), score.at<float>(at.y, at.x),
                         score.at<float>(at.y + 1, at.x))};
}

// The picture pixels one sample of the template spans on a frame where the boat is `size`
// times as large as on the pass's first frame: a template always holds the same part of a
// boat larger than that (so a point given late in the pass is taken as the first one was);
// a boat going away is followed in the picture's own pixels, as a boat that does not grow
// (its template then holds a little more of the water round it).
double sampleStep(double size)
{
    return std::max(1.0, size);
}

// Metres of the boat one sample spans, in metres of a picture pixel on the first frame.
double sampleSpread(double size)
{
    return size > 0.0 ? std::max(1.0, 1.0 / size) : 1.0;
}

// A square of the picture around (u, v), sampled every `scale` pixels (sampleStep): the boat
// as large as in the template. Sample (i, j) shows the picture point (x0 + i step,
// y0 + j step); samples that would lie outside the picture are left out, and the side they
// were cut from is marked.
struct Region
{
    cv::Mat samples; // CV_32F
    double x0 = 0.0, y0 = 0.0, step = 1.0;
    bool cutLeft = false, cutRight = false, cutTop = false, cutBottom = false;

    Spot picturePoint(double i, double j) const { return {x0 + i * step, y0 + j * step}; }
    Spot samplePoint(double u, double v) const { return {(u - x0) / step, (v - y0) / step}; }
};

Region region(const GreyFrame& f, double u, double v, int half, double scale)
{
    Region out;
    const cv::Rect picture(0, 0, f.width, f.height);
    if (scale <= 1.0) {
        // The picture's own pixels, the window on whole pixels round the place.
        const int cu = int(std::lround(u)), cv0 = int(std::lround(v));
        const cv::Rect wanted(cu - half, cv0 - half, 2 * half + 1, 2 * half + 1);
        const cv::Rect crop = wanted & picture;
        out.cutLeft = crop.x > wanted.x;
        out.cutTop = crop.y > wanted.y;
        out.cutRight = crop.br().x < wanted.br().x;
        out.cutBottom = crop.br().y < wanted.br().y;
        if (crop.width > 0 && crop.height > 0)
            view(f)(crop).convertTo(out.samples, CV_32F);
        out.x0 = crop.x;
        out.y0 = crop.y;
        return out;
    }
    // Samples -half .. half each way, those inside the picture.
    const auto inside = [&](double c, int size, bool& cutLow, bool& cutHigh) {
        const int first = std::max(-half, int(std::ceil(-c / scale)));
        const int last = std::min(half, int(std::floor((size - 1.0 - c) / scale)));
        cutLow = first > -half;
        cutHigh = last < half;
        return std::pair{first, last};
    };
    const auto [i0, i1] = inside(u, f.width, out.cutLeft, out.cutRight);
    const auto [j0, j1] = inside(v, f.height, out.cutTop, out.cutBottom);
    if (i1 < i0 || j1 < j0)
        return out;
    out.step = scale;
    out.x0 = u + i0 * scale;
    out.y0 = v + j0 * scale;
    // A sample stands for `scale` pixels each way: the picture is first blurred by what a
    // box that wide adds to one of a pixel (variance (scale^2 - 1) / 12).
    const double sigma = std::sqrt((scale * scale - 1.0) / 12.0);
    const int margin = 2 + int(std::ceil(3.0 * sigma));
    const int left = int(std::floor(out.x0)) - margin, top = int(std::floor(out.y0)) - margin;
    const cv::Rect crop = cv::Rect(left, top, int(std::ceil((i1 - i0) * scale)) + 2 * margin + 2,
                                   int(std::ceil((j1 - j0) * scale)) + 2 * margin + 2) &
                          picture;
    cv::Mat pixels;
    view(f)(crop).convertTo(pixels, CV_32F);
    cv::GaussianBlur(pixels, pixels, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    const cv::Matx23d toCrop(scale, 0.0, out.x0 - crop.x, 0.0, scale, out.y0 - crop.y);
    cv::warpAffine(pixels, out.samples, toCrop, cv::Size(i1 - i0 + 1, j1 - j0 + 1),
                   cv::INTER_LINEAR | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
    return out;
}

// The template-sized square of samples centred on (u, v).
cv::Mat patch(const GreyFrame& f, double u, double v, int r, double scale)
{
    cv::Mat out;
    if (scale <= 1.0) {
        cv::getRectSubPix(view(f), cv::Size(2 * r + 1, 2 * r + 1), cv::Point2f(float(u), float(v)),
                          out, CV_32F);
        return out;
    }
    const Region around = region(f, u, v, r + 2, scale);
    const Spot at = around.samplePoint(u, v);
    cv::getRectSubPix(around.samples, cv::Size(2 * r + 1, 2 * r + 1),
                      cv::Point2f(float(at.x), float(at.y)), out, CV_32F);
    return out;
}

// What the point looks like, and how large the boat was on the frame it was taken from.
struct Template
{
    cv::Mat samples;
    double size = 1.0;
    bool empty() const { return samples.empty(); }
};

// Shared by both methods: the adapting template and its correlation.
class TemplateKeeper
{
public:
    explicit TemplateKeeper(int r) : r(r) {}
    void take(const GreyFrame& f, double u, double v, double size)
    {
        tmpl = {patch(f, u, v, r, sampleStep(size)), size};
    }
    void set(const Template& t) { tmpl = {t.samples.clone(), t.size}; }
    // Takes in a share of what was seen where the point was found.
    void adapt(const cv::Mat& seen)
    {
        cv::addWeighted(tmpl.samples, 1.0 - kTemplateAdaptRate, seen, kTemplateAdaptRate, 0.0,
                        tmpl.samples);
    }
    void adapt(const GreyFrame& f, double u, double v, double size)
    {
        adapt(patch(f, u, v, r, sampleStep(size)));
    }
    // Correlation of the template with the picture at (u, v).
    double likeness(const GreyFrame& f, double u, double v, double size) const
    {
        cv::Mat result;
        cv::matchTemplate(patch(f, u, v, r, sampleStep(size)), tmpl.samples, result,
                          cv::TM_CCOEFF_NORMED);
        return std::clamp(double(result.at<float>(0, 0)), 0.0, 1.0);
    }
    const Template& get() const { return tmpl; }
    int radius() const { return r; }

private:
    int r;
    Template tmpl;
};

class NccMatcher : public PointMatcher
{
public:
    explicit NccMatcher(int r) : keeper(r) {}

    // An operator's point may lie on a frame where spray hides the point: the template from
    // before it is kept beside the new one, and the next frame goes on with the better.
    bool start(const GreyFrame& f, double u, double v, double size) override
    {
        if (!fits(f, u, v, keeper.radius() * sampleStep(size)))
            return false;
        if (!keeper.get().empty() && fallback.empty()) {
            fallback = keeper.get();
            fallbackAnchor = anchor;
        }
        keeper.take(f, u, v, size);
        anchor = {keeper.get().samples.clone(), size};
        return true;
    }

    PointMatch find(const GreyFrame& f, double pu, double pv, double radius, double size) override
    {
        Found m = match(keeper.get(), f, pu, pv, radius, size);
        if (!fallback.empty()) {
            Found before = match(fallback, f, pu, pv, radius, size);
            if (before.point.confidence > m.point.confidence) {
                keeper.set(fallback);
                anchor = fallbackAnchor;
                m = std::move(before);
            }
            fallback = {};
            fallbackAnchor = {};
        }
        last = std::move(m);
        if (last.point.confidence > 0.0) {
            anchored(last, size);
            last.point.inPicture =
                fits(f, last.point.u, last.point.v, keeper.radius() * sampleStep(size));
        }
        return last.point;
    }

    void accept(const GreyFrame&, const PointMatch& m) override
    {
        const Spot at = last.around.samplePoint(m.u, m.v);
        cv::Mat seen;
        const int r = keeper.radius();
        cv::getRectSubPix(last.around.samples, cv::Size(2 * r + 1, 2 * r + 1),
                          cv::Point2f(float(at.x), float(at.y)), seen, CV_32F);
        keeper.adapt(seen);
    }

private:
    struct Found
    {
        PointMatch point;
        Region around; // the samples searched, kept for the template to take in
    };

    // The drift an adapting template gathers (each match's small error taken in with the
    // picture) is taken back out: the operator's own picture of the point is matched close
    // to the point found and, where it finds the point within kAnchorReach samples, its place
    // is taken. Farther off, the boat's look has changed too much for it to be trusted there.
    void anchored(Found& found, double size) const
    {
        // The samples are never finer than the picture: a boat smaller than when the point
        // was taken is met by the operator's picture sampled down to its size.
        cv::Mat a = anchor.samples;
        const double shrink = sampleSpread(anchor.size) / sampleSpread(size);
        if (shrink < 1.0) {
            const int side = 2 * int(std::lround(keeper.radius() * shrink)) + 1;
            cv::resize(anchor.samples, a, cv::Size(side, side), 0.0, 0.0, cv::INTER_AREA);
        }
        const int r = (a.cols - 1) / 2;
        const Spot at = found.around.samplePoint(found.point.u, found.point.v);
        const int reach = r + int(std::ceil(kAnchorReach)) + 1;
        const cv::Rect near(int(std::lround(at.x)) - reach, int(std::lround(at.y)) - reach,
                            2 * reach + 1, 2 * reach + 1);
        const cv::Mat& samples = found.around.samples;
        if (near != (near & cv::Rect(0, 0, samples.cols, samples.rows)))
            return;
        cv::Mat score;
        cv::matchTemplate(samples(near), a, score, cv::TM_CCOEFF_NORMED);
        cv::Point peak;
        cv::minMaxLoc(score, nullptr, nullptr, nullptr, &peak);
        if (peak.x == 0 || peak.y == 0 || peak.x == score.cols - 1 || peak.y == score.rows - 1)
            return;
        const Spot offset = subpixel(score, peak);
        const double i = near.x + peak.x + r + offset.x, j = near.y + peak.y + r + offset.y;
        if (std::hypot(i - at.x, j - at.y) > kAnchorReach)
            return;
        const Spot p = found.around.picturePoint(i, j);
        found.point.u = p.x;
        found.point.v = p.y;
    }

    Found match(const Template& tmpl, const GreyFrame& f, double pu, double pv, double radius,
                double size) const
    {
        const int r = keeper.radius();
        const double scale = sampleStep(size);
        Found out{{pu, pv, 0.0, false},
                  region(f, pu, pv, int(std::ceil(radius / scale)) + r + 1, scale)};
        PointMatch& m = out.point;
        const Region& around = out.around;
        if (around.samples.cols < 2 * r + 3 || around.samples.rows < 2 * r + 3)
            return out;
        cv::Mat score;
        cv::matchTemplate(around.samples, tmpl.samples, score, cv::TM_CCOEFF_NORMED);
        double best = 0.0;
        cv::Point at;
        cv::minMaxLoc(score, nullptr, &best, nullptr, &at);
        const bool left = at.x == 0, right = at.x == score.cols - 1;
        const bool top = at.y == 0, bottom = at.y == score.rows - 1;
        // A peak on the window's rim may be the slope of one beyond it: where the picture
        // cut the window, the point is leaving it; elsewhere it moved farther than any boat
        // can, or it is not there at all.
        if ((left && around.cutLeft) || (right && around.cutRight) || (top && around.cutTop) ||
            (bottom && around.cutBottom))
            return out;
        double i = at.x + r, j = at.y + r;
        if (!(left || right || top || bottom)) {
            const Spot offset = subpixel(score, at);
            i += offset.x;
            j += offset.y;
            m.confidence = std::clamp(best, 0.0, 1.0);
        }
        const Spot p = around.picturePoint(i, j);
        m.u = p.x;
        m.v = p.y;
        m.inPicture = fits(f, m.u, m.v, r * scale);
        return out;
    }

    TemplateKeeper keeper;
    Template anchor; // the operator's picture of the point, as it was taken
    Template fallback;
    Template fallbackAnchor;
    Found last;
};

class FlowMatcher : public PointMatcher
{
public:
    explicit FlowMatcher(int r) : keeper(r) {}

    bool start(const GreyFrame& f, double u, double v, double size) override
    {
        if (!fits(f, u, v, keeper.radius() * sampleStep(size)))
            return false;
        keeper.take(f, u, v, size);
        keep(f, u, v, size);
        return true;
    }

    PointMatch find(const GreyFrame& f, double pu, double pv, double radius, double size) override
    {
        const int r = int(std::lround(keeper.radius() * sampleStep(size)));
        PointMatch m{pu, pv, 0.0, false};
        // Both pictures cut to the neighbourhood of the two places: the pyramids of whole
        // 1080p frames would cost more than the flow.
        const int reach = int(std::ceil(radius)) + 4 * r;
        const int left = int(std::floor(std::min(pu, lastU))) - reach;
        const int top = int(std::floor(std::min(pv, lastV))) - reach;
        const int right = int(std::ceil(std::max(pu, lastU))) + reach;
        const int bottom = int(std::ceil(std::max(pv, lastV))) + reach;
        const cv::Rect window = cv::Rect(left, top, right - left + 1, bottom - top + 1) &
                                cv::Rect(0, 0, f.width, f.height);
        if (window.width < 2 * r + 3 || window.height < 2 * r + 3 ||
            window != (window & cv::Rect(0, 0, previous.cols, previous.rows)))
            return m;
        const std::vector<cv::Point2f> from{
            cv::Point2f(float(lastU - window.x), float(lastV - window.y))};
        std::vector<cv::Point2f> to{cv::Point2f(float(pu - window.x), float(pv - window.y))};
        std::vector<uchar> status;
        std::vector<float> error;
        cv::calcOpticalFlowPyrLK(
            previous(window), view(f)(window), from, to, status, error,
            cv::Size(2 * r + 1, 2 * r + 1), 2,
            cv::TermCriteria(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 30, 0.01),
            cv::OPTFLOW_USE_INITIAL_FLOW);
        m.u = to[0].x + window.x;
        m.v = to[0].y + window.y;
        m.inPicture = fits(f, m.u, m.v, r);
        if (!status[0] || !m.inPicture || std::hypot(m.u - pu, m.v - pv) > radius + r)
            return m;
        m.confidence = keeper.likeness(f, m.u, m.v, size);
        lastSize = size;
        return m;
    }

    void accept(const GreyFrame& f, const PointMatch& m) override
    {
        keeper.adapt(f, m.u, m.v, lastSize);
        keep(f, m.u, m.v, lastSize);
    }

private:
    void keep(const GreyFrame& f, double u, double v, double size)
    {
        view(f).copyTo(previous);
        lastU = u;
        lastV = v;
        lastSize = size;
    }

    TemplateKeeper keeper;
    cv::Mat previous;
    double lastU = 0.0;
    double lastV = 0.0;
    double lastSize = 1.0;
};

} // namespace

std::unique_ptr<PointMatcher> makePointMatcher(TrackingMethod method, int templateRadius)
{
    if (method == TrackingMethod::LucasKanade)
        return std::make_unique<FlowMatcher>(templateRadius);
    return std::make_unique<NccMatcher>(templateRadius);
}
