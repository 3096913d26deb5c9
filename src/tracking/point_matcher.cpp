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

// The template's square around (u, v) lies inside the picture.
bool fits(const GreyFrame& f, double u, double v, int r)
{
    return u - r >= 0.0 && v - r >= 0.0 && u + r <= f.width - 1.0 && v + r <= f.height - 1.0;
}

// The picture around (u, v), interpolated at the fraction of a pixel.
cv::Mat patch(const GreyFrame& f, double u, double v, int r)
{
    cv::Mat out;
    cv::getRectSubPix(view(f), cv::Size(2 * r + 1, 2 * r + 1), cv::Point2f(float(u), float(v)), out,
                      CV_32F);
    return out;
}

// Offset of a peak from its middle sample, by the parabola through three samples; 0 when
// they make no peak.
double parabolaPeak(float left, float middle, float right)
{
    const double d = double(left) - 2.0 * middle + right;
    if (d >= 0.0)
        return 0.0;
    return std::clamp(0.5 * (double(left) - right) / d, -0.5, 0.5);
}

// Shared by both methods: the adapting template and its correlation.
class TemplateKeeper
{
public:
    explicit TemplateKeeper(int r) : r(r) {}
    void take(const GreyFrame& f, double u, double v) { tmpl = patch(f, u, v, r); }
    void set(const cv::Mat& t) { tmpl = t.clone(); }
    void adapt(const GreyFrame& f, double u, double v)
    {
        cv::addWeighted(tmpl, 1.0 - kTemplateAdaptRate, patch(f, u, v, r), kTemplateAdaptRate, 0.0,
                        tmpl);
    }
    // Correlation of the template with the picture at (u, v).
    double likeness(const GreyFrame& f, double u, double v) const
    {
        cv::Mat result;
        cv::matchTemplate(patch(f, u, v, r), tmpl, result, cv::TM_CCOEFF_NORMED);
        return std::clamp(double(result.at<float>(0, 0)), 0.0, 1.0);
    }
    const cv::Mat& get() const { return tmpl; }
    int radius() const { return r; }

private:
    int r;
    cv::Mat tmpl;
};

class NccMatcher : public PointMatcher
{
public:
    explicit NccMatcher(int r) : keeper(r) {}

    // An operator's point may lie on a frame where spray hides the point: the template from
    // before it is kept beside the new one, and the next frame goes on with the better.
    bool start(const GreyFrame& f, double u, double v) override
    {
        if (!fits(f, u, v, keeper.radius()))
            return false;
        if (!keeper.get().empty() && fallback.empty())
            fallback = keeper.get().clone();
        keeper.take(f, u, v);
        return true;
    }

    PointMatch find(const GreyFrame& f, double pu, double pv, double radius) override
    {
        PointMatch m = match(keeper.get(), f, pu, pv, radius);
        if (!fallback.empty()) {
            const PointMatch before = match(fallback, f, pu, pv, radius);
            if (before.confidence > m.confidence) {
                keeper.set(fallback);
                m = before;
            }
            fallback.release();
        }
        return m;
    }

    void accept(const GreyFrame& f, const PointMatch& m) override { keeper.adapt(f, m.u, m.v); }

private:
    PointMatch match(const cv::Mat& tmpl, const GreyFrame& f, double pu, double pv,
                     double radius) const
    {
        const int r = keeper.radius();
        const int reach = int(std::ceil(radius)) + r + 1;
        const int cu = int(std::lround(pu)), cv0 = int(std::lround(pv));
        const cv::Rect wanted(cu - reach, cv0 - reach, 2 * reach + 1, 2 * reach + 1);
        const cv::Rect window = wanted & cv::Rect(0, 0, f.width, f.height);
        PointMatch m{pu, pv, 0.0, false};
        if (window.width < 2 * r + 3 || window.height < 2 * r + 3)
            return m;
        cv::Mat region;
        view(f)(window).convertTo(region, CV_32F);
        cv::Mat score;
        cv::matchTemplate(region, tmpl, score, cv::TM_CCOEFF_NORMED);
        double best = 0.0;
        cv::Point at;
        cv::minMaxLoc(score, nullptr, &best, nullptr, &at);
        m.u = window.x + at.x + r;
        m.v = window.y + at.y + r;
        const bool left = at.x == 0, right = at.x == score.cols - 1;
        const bool top = at.y == 0, bottom = at.y == score.rows - 1;
        // A peak on the window's rim may be the slope of one beyond it: where the picture
        // cut the window, the point is leaving it; elsewhere it moved farther than any boat
        // can, or it is not there at all.
        if ((left && window.x > wanted.x) || (right && window.br().x < wanted.br().x) ||
            (top && window.y > wanted.y) || (bottom && window.br().y < wanted.br().y))
            return m;
        m.inPicture = fits(f, m.u, m.v, r);
        if (left || right || top || bottom)
            return m;
        m.u += parabolaPeak(score.at<float>(at.y, at.x - 1), score.at<float>(at.y, at.x),
                            score.at<float>(at.y, at.x + 1));
        m.v += parabolaPeak(score.at<float>(at.y - 1, at.x), score.at<float>(at.y, at.x),
                            score.at<float>(at.y + 1, at.x));
        m.confidence = std::clamp(best, 0.0, 1.0);
        m.inPicture = fits(f, m.u, m.v, r);
        return m;
    }

    TemplateKeeper keeper;
    cv::Mat fallback;
};

class FlowMatcher : public PointMatcher
{
public:
    explicit FlowMatcher(int r) : keeper(r) {}

    bool start(const GreyFrame& f, double u, double v) override
    {
        if (!fits(f, u, v, keeper.radius()))
            return false;
        keeper.take(f, u, v);
        keep(f, u, v);
        return true;
    }

    PointMatch find(const GreyFrame& f, double pu, double pv, double radius) override
    {
        const int r = keeper.radius();
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
        m.confidence = keeper.likeness(f, m.u, m.v);
        return m;
    }

    void accept(const GreyFrame& f, const PointMatch& m) override
    {
        keeper.adapt(f, m.u, m.v);
        keep(f, m.u, m.v);
    }

private:
    void keep(const GreyFrame& f, double u, double v)
    {
        view(f).copyTo(previous);
        lastU = u;
        lastV = v;
    }

    TemplateKeeper keeper;
    cv::Mat previous;
    double lastU = 0.0;
    double lastV = 0.0;
};

} // namespace

std::unique_ptr<PointMatcher> makePointMatcher(TrackingMethod method, int templateRadius)
{
    if (method == TrackingMethod::LucasKanade)
        return std::make_unique<FlowMatcher>(templateRadius);
    return std::make_unique<NccMatcher>(templateRadius);
}
