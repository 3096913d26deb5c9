#include "results/buoy_figures.h"

#include "measure/measure_tables.h"
#include "measure/pass_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// A sample whose distance lies on a window's end belongs to the window. i / T x 259 and the
// window ends are not exact in binary, so the ends are widened by a micrometre; samples lie
// more than a metre apart, so no sample that is really outside is taken in.
constexpr double kEdgeSlackMetres = 1e-6;
// Readings of whole centimetres (0.20 m is 20.000000000000004 cm in binary) sit exactly on
// their limit; the comparison allows for that.
constexpr double kLimitSlackCm = 1e-6;

bool withinLimit(double metres, const std::optional<double>& limitCm)
{
    return std::abs(metres) * 100.0 <= *limitCm + kLimitSlackCm;
}

// +1 when a positive deviation (course x above the centre line) points to buoy k's skier.
// The course's x axis grows to the camera's left, so the boat's right is +x coming toward
// the camera and -x going away.
double towardSkierSign(int k, Direction direction, SkierSide firstSide)
{
    const double alternate = k % 2 == 1 ? 1.0 : -1.0;
    const double travel = direction == Direction::Toward ? 1.0 : -1.0;
    const double side = firstSide == SkierSide::Right ? 1.0 : -1.0;
    return alternate * travel * side;
}

struct Window
{
    WindowKind kind;
    int buoy;
    WindowSpan span; // metres from the entrance gate
};

WindowFigures figuresOf(const Window& w, std::span<const double> d, int passTenths,
                        Direction direction, const RuleSet& rules)
{
    WindowFigures f;
    f.kind = w.kind;
    f.buoy = w.buoy;
    f.start = w.span.start;
    f.end = w.span.end;
    const double sign = w.kind == WindowKind::Gate
                            ? (direction == Direction::Toward ? 1.0 : -1.0)
                            : towardSkierSign(w.buoy, direction, rules.firstSkierSide);
    // Toward the skier (the boat's right for the gate), with the sample it comes from.
    std::vector<std::pair<double, int>> values;
    for (size_t i = 0; i < d.size(); ++i) {
        const double at = sampleDistance(int(i), passTenths, kSlalomCourseLength);
        if (at >= f.start - kEdgeSlackMetres && at <= f.end + kEdgeSlackMetres)
            values.emplace_back(sign * d[i], int(i));
    }
    f.samples = int(values.size());

    const bool wholePass = int(d.size()) > passTenths;
    const double reachedTo =
        d.empty() ? -std::numeric_limits<double>::infinity()
                  : sampleDistance(int(d.size()) - 1, passTenths, kSlalomCourseLength);
    if (!wholePass && reachedTo < f.end - kEdgeSlackMetres)
        f.state = WindowState::NotReached;
    else if (f.samples < samplesNeeded(w.kind, rules))
        f.state = WindowState::TooFew;
    else
        f.state = WindowState::Read;
    if (f.state != WindowState::Read)
        return f;

    if (w.kind == WindowKind::Gate) {
        // The first of equal largest deviations stands, as in the pass summary.
        auto largest = values.front();
        for (const auto& v : values)
            if (std::abs(v.first) > std::abs(largest.first))
                largest = v;
        f.reading = largest.first;
        f.readingSamples = {largest.second};
        return f;
    }
    // Highest first; among equal values the earlier sample first.
    std::stable_sort(values.begin(), values.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    if (rules.reading == ReadingMethod::Largest) {
        f.reading = values[0].first;
        f.readingSamples = {values[0].second};
    } else {
        f.reading = (values[0].first + values[1].first) / 2.0;
        f.readingSamples = {values[0].second, values[1].second};
    }
    return f;
}

} // namespace

double guideBuoyDistance(int k)
{
    return kEntranceGateToFirstBuoy + kGuideBuoySpacing * (k - 1);
}

int samplesNeeded(WindowKind kind, const RuleSet& rules)
{
    const bool pair = kind != WindowKind::Gate && rules.reading == ReadingMethod::TwoHighest;
    return std::max(rules.minimumSamples, pair ? 2 : 1);
}

std::optional<bool> WindowFigures::readingWithin() const
{
    if (state != WindowState::Read || !limitCm)
        return std::nullopt;
    return withinLimit(reading, limitCm);
}

std::optional<bool> WindowFigures::cumulativeWithin() const
{
    if (!cumulative || !cumulativeLimitCm)
        return std::nullopt;
    return withinLimit(*cumulative, cumulativeLimitCm);
}

std::optional<bool> WindowFigures::within() const
{
    const std::optional<bool> r = readingWithin();
    const std::optional<bool> c = cumulativeWithin();
    if (!r && !c)
        return std::nullopt;
    return r.value_or(true) && c.value_or(true);
}

std::array<const WindowFigures*, 1 + kGuideBuoys> BuoyFigures::csvRows() const
{
    std::array<const WindowFigures*, 1 + kGuideBuoys> out{};
    out[0] = &gate;
    for (int k = 0; k < kGuideBuoys; ++k)
        out[size_t(1 + k)] = &buoy[size_t(k)];
    return out;
}

std::array<const WindowFigures*, 1 + 2 * kGuideBuoys> BuoyFigures::rows() const
{
    std::array<const WindowFigures*, 1 + 2 * kGuideBuoys> out{};
    out[0] = &gate;
    for (int k = 0; k < kGuideBuoys; ++k) {
        out[size_t(1 + k)] = &buoy[size_t(k)];
        out[size_t(1 + kGuideBuoys + k)] = &zone[size_t(k)];
    }
    return out;
}

BuoyFigures computeBuoyFigures(std::span<const double> deviations, int passTenths,
                               Direction direction, const RuleSet& rules)
{
    BuoyFigures f;
    f.rules = rules;
    f.direction = direction;
    f.passTenths = passTenths;
    f.sampleCount = int(deviations.size());
    if (passTenths < 1) {
        f.message =
            QStringLiteral("The pass has no length (%1 tenths of a second).").arg(passTenths);
        return f;
    }
    for (size_t i = 0; i < deviations.size(); ++i)
        if (!std::isfinite(deviations[i])) {
            f.message = QStringLiteral("Sample %1 of the pass is not a number.").arg(i);
            return f;
        }

    f.gate = figuresOf({WindowKind::Gate, 0, rules.gateWindow}, deviations, passTenths, direction,
                       rules);
    f.gate.limitCm = rules.gateTolerance;
    std::optional<double> sum = 0.0;
    for (int k = 1; k <= kGuideBuoys; ++k) {
        const double g = guideBuoyDistance(k);
        const WindowSpan buoySpan{g + rules.buoyWindow.start, g + rules.buoyWindow.end};
        const WindowSpan zoneSpan{g + rules.zoneWindow.start, g + rules.zoneWindow.end};
        WindowFigures& b = f.buoy[size_t(k - 1)];
        b = figuresOf({WindowKind::Buoy, k, buoySpan}, deviations, passTenths, direction, rules);
        b.limitCm = rules.buoyTolerance;
        b.cumulativeLimitCm = rules.cumulativeTolerance[size_t(k - 1)];
        // A buoy without a reading leaves every later sum unknown, not smaller.
        if (sum && b.state == WindowState::Read)
            sum = *sum + b.reading;
        else
            sum.reset();
        b.cumulative = sum;
        WindowFigures& z = f.zone[size_t(k - 1)];
        z = figuresOf({WindowKind::Zone, k, zoneSpan}, deviations, passTenths, direction, rules);
        z.limitCm = rules.buoyTolerance;
    }
    f.ok = true;
    return f;
}
