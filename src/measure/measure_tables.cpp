#include "measure/measure_tables.h"

#include <array>

namespace {
// In the order of kSlalomSpeeds and kJumpSpeeds.
constexpr std::array<int, 5> kSlalomTenths{161, 170, 179, 190, 203};
constexpr std::array<int, 9> kJumpTenths{210, 198, 187, 177, 168, 160, 153, 146, 140};
static_assert(kSlalomTenths.size() == kSlalomSpeeds.size());
static_assert(kJumpTenths.size() == kJumpSpeeds.size());
} // namespace

std::optional<int> passTenthsFor(Event event, int speedIndex)
{
    if (event == Event::Slalom) {
        if (speedIndex >= 0 && speedIndex < int(kSlalomTenths.size()))
            return kSlalomTenths[size_t(speedIndex)];
        return std::nullopt;
    }
    if (speedIndex >= 0 && speedIndex < int(kJumpTenths.size()))
        return kJumpTenths[size_t(speedIndex)];
    return std::nullopt;
}

std::optional<int> passTenthsFor(const RunInfo& run)
{
    return passTenthsFor(run.event, run.event == Event::Slalom ? run.slalomSpeed : run.jumpSpeed);
}

std::optional<QString> speedLabelFor(const RunInfo& run)
{
    const SpeedChoice* speed = run.speed();
    if (!speed)
        return std::nullopt;
    return QString::number(speed->kmh);
}

std::optional<QString> lineLabelFor(int lineIndex)
{
    if (lineIndex < 0 || lineIndex >= int(kLineLengths.size()))
        return std::nullopt;
    return QString::fromLatin1(kLineLengths[size_t(lineIndex)]).rightJustified(5, ' ');
}

double jumpPathCentre(JumpPath path)
{
    switch (path) {
    case JumpPath::Narrow:
        return 1.0;
    case JumpPath::NarrowSplit:
        return 1.5;
    case JumpPath::Split:
        return 2.0;
    case JumpPath::WideSplit:
        return 2.5;
    case JumpPath::Wide:
        return 3.0;
    }
    return 2.0;
}
