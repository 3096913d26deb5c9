#pragma once
// The measurement screen's appearance options: colours of the line and the boundary
// markers, and the two range-checked entries (boundary mark width, jump boundary).

#include "common/overlay.h"
#include "measure/marker_geometry.h"

#include <QString>
#include <optional>

enum class LineColour { White, Black, Yellow };
Rgb lineColourRgb(LineColour colour);
// The single colour of a boundary option; none for the two schemes.
std::optional<Rgb> boundaryColourRgb(BoundaryColour colour);
bool isBoundaryScheme(BoundaryColour colour);

// A number entry with a range. The range is enforced when the operator finishes editing
// (Enter or leaving the box), so that "0.5" can be typed through "0" and "0."; until then
// the last value in range stays in force.
struct RangeRule
{
    double low;
    double high;
    const char* lowText;
    const char* highText;
};
inline constexpr RangeRule kBoundaryWidthRule{1.0, 24.0, "1", "24"};
inline constexpr RangeRule kJumpBoundaryRule{0.2, 1.0, "0.2", "1.0"};

// While typing: the value when the whole text is a plain decimal number in range (sign,
// digits, one point), otherwise none; "nan", "inf" and the like never count.
std::optional<double> valueWhileTyping(const QString& text, const RangeRule& rule);

struct FinishedEntry
{
    std::optional<QString> replacement; // the text the box gets when it was out of range
    double value = 0.0;                 // in force from now on
};
// On finishing: out-of-range values (a text that is no number counts as 0) are replaced by
// the nearest limit.
FinishedEntry finishEntry(const QString& text, const RangeRule& rule);
