#pragma once
// Per-buoy, cumulative and gate figures of a slalom pass under a rule set: for each boat
// guide buoy the reading toward (+) or away from (-) that buoy's skier side in its windows,
// the running sum along the pass, and the largest deviation at the entrance gate. The
// figures are stated with the tolerances of the rule set; the judges decide what follows. How they
// read is in buoy_figures_text.h.

#include "common/run_info.h"
#include "results/rule_set.h"

#include <QString>
#include <array>
#include <optional>
#include <span>
#include <vector>

inline constexpr double kEntranceGateToFirstBuoy = 27.0; // metres
inline constexpr double kGuideBuoySpacing = 41.0;

// Distance of boat guide buoy k (1..6) from the entrance gate along the boat's travel.
double guideBuoyDistance(int k);

enum class WindowKind { Gate, Buoy, Zone };
enum class WindowState {
    Read,       // the window has a reading
    TooFew,     // fewer samples than the rule set (or the reading) needs
    NotReached, // the pass ended before the window's end
};

struct WindowFigures
{
    WindowKind kind = WindowKind::Buoy;
    int buoy = 0;       // 1..6; 0 for the gate
    double start = 0.0; // metres from the entrance gate
    double end = 0.0;
    int samples = 0; // samples of the pass inside the window
    WindowState state = WindowState::NotReached;
    // Metres. Buoy and zone windows: toward the buoy's skier side (+) or away (-). Gate: the
    // largest absolute deviation, + on the boat's right, - on its left.
    double reading = 0.0;
    std::optional<double> limitCm; // the rule set's tolerance for this reading
    // The samples the reading comes from: one, or two for the mean of the two highest.
    std::vector<int> readingSamples;
    // Buoy windows only: sum of the buoy readings of buoys 1..k; no value once a buoy on
    // the way has no reading.
    std::optional<double> cumulative;
    std::optional<double> cumulativeLimitCm;

    // Within tolerance: magnitude at most the limit. No value without a reading or a limit.
    std::optional<bool> readingWithin() const;
    std::optional<bool> cumulativeWithin() const;
    // Both figures of the row that can be judged are within; no value when none can.
    std::optional<bool> within() const;
};

struct BuoyFigures
{
    bool ok = false;
    QString message; // why there are no figures, for the operator; empty when ok
    RuleSet rules;
    Direction direction = Direction::Toward;
    int passTenths = 0;
    int sampleCount = 0;
    WindowFigures gate;
    std::array<WindowFigures, kGuideBuoys> buoy; // buoy windows, with the cumulative
    std::array<WindowFigures, kGuideBuoys> zone;

    // Gate, buoys 1..6, zones 1..6: the order of the table.
    std::array<const WindowFigures*, 1 + 2 * kGuideBuoys> rows() const;
    // Gate, buoys 1..6: the rows of the CSV.
    std::array<const WindowFigures*, 1 + kGuideBuoys> csvRows() const;
};

// Samples a window needs for a reading under the rule set.
int samplesNeeded(WindowKind kind, const RuleSet& rules);

// The figures of the samples D[0..n-1] (metres, as recorded) of a slalom pass of
// `passTenths` tenths; n may be less than passTenths + 1 for a pass read back short.
BuoyFigures computeBuoyFigures(std::span<const double> deviations, int passTenths,
                               Direction direction, const RuleSet& rules);
