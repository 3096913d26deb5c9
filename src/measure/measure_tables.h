#pragma once
// The run-dependent constants of the measurement screen: pass length by speed, the speed
// and line labels, the jump path choices and the per-event course setup.

#include "common/run_info.h"

#include <QString>
#include <optional>

// Nominal pass length in tenths of a second for the selected speed of the event
// (course length / speed x 10, rounded); no value when no speed of the event is selected.
std::optional<int> passTenthsFor(const RunInfo& run);
// The same for a speed given by its index into kSlalomSpeeds / kJumpSpeeds.
std::optional<int> passTenthsFor(Event event, int speedIndex);

// The speed as shown: the km/h figure of the selected speed; no value when none is selected.
std::optional<QString> speedLabelFor(const RunInfo& run);

// The line length as shown: the selected one, right-aligned to five characters (" 9.75").
std::optional<QString> lineLabelFor(int lineIndex);

// The jump path options of view-only monitoring, in the order the screen shows them.
enum class JumpPath { Narrow, NarrowSplit, Split, WideSplit, Wide };
double jumpPathCentre(JumpPath path);

inline constexpr double kSlalomCourseLength = 259.0;
inline constexpr double kJumpCourseLength = 280.0;
inline constexpr double kSlalomCentreLineX = 1.25;
inline constexpr double kJumpCentreLineX = 2.0;
inline constexpr double kSlalomPathLimit = 0.2;
