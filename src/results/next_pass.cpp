#include "results/next_pass.h"

#include <array>

namespace {

// The next pass's jump speeds, in the order the screen has always offered them.
constexpr std::array<const char*, 9> kJumpCopyOrder{"57/35", "54/34", "51/32", "48/30", "72/45",
                                                    "69/43", "66/41", "63/39", "60/37"};

int jumpIndexOfCaption(const char* caption)
{
    for (size_t i = 0; i < kJumpSpeeds.size(); ++i)
        if (QLatin1String(kJumpSpeeds[i].caption) == QLatin1String(caption))
            return int(i);
    return -1;
}

} // namespace

QStringList speedCopyItems(Event event)
{
    QStringList items;
    if (event == Event::Slalom)
        for (const SpeedChoice& s : kSlalomSpeeds)
            items << QString::fromLatin1(s.caption);
    else
        for (const char* c : kJumpCopyOrder)
            items << QString::fromLatin1(c);
    return items;
}

int speedCopyPosition(Event event, int speedIndex)
{
    if (event == Event::Slalom)
        return speedIndex >= 0 && speedIndex < int(kSlalomSpeeds.size()) ? speedIndex : -1;
    for (size_t pos = 0; pos < kJumpCopyOrder.size(); ++pos)
        if (jumpIndexOfCaption(kJumpCopyOrder[pos]) == speedIndex && speedIndex >= 0)
            return int(pos);
    return -1;
}

int speedIndexForCopyPosition(Event event, int position)
{
    if (event == Event::Slalom)
        return position >= 0 && position < int(kSlalomSpeeds.size()) ? position : -1;
    if (position < 0 || position >= int(kJumpCopyOrder.size()))
        return -1;
    return jumpIndexOfCaption(kJumpCopyOrder[size_t(position)]);
}

QStringList lineCopyItems()
{
    QStringList items;
    for (const char* l : kLineLengths)
        items << QString::fromLatin1(l);
    return items;
}

NextPass nextPass(Event event, Direction measured, int speedCopyPos, int newLineCopyPos)
{
    NextPass next;
    if (event == Event::Slalom)
        next.direction = measured == Direction::Away ? Direction::Toward : Direction::Away;
    const int speed = speedIndexForCopyPosition(event, speedCopyPos);
    (event == Event::Slalom ? next.slalomSpeed : next.jumpSpeed) = speed;
    if (newLineCopyPos >= 0 && newLineCopyPos < int(kLineLengths.size())) {
        next.lineLength = newLineCopyPos;
        next.lineLabel = QString::fromLatin1(kLineLengths[size_t(newLineCopyPos)]);
    }
    return next;
}

std::optional<int> speedIndexForPassTenths(Event event, int passTenths)
{
    const int count = event == Event::Slalom ? int(kSlalomSpeeds.size()) : int(kJumpSpeeds.size());
    std::optional<int> found;
    int matches = 0;
    for (int i = 0; i < count; ++i)
        if (passTenthsFor(event, i) == passTenths) {
            found = i;
            ++matches;
        }
    return matches == 1 ? found : std::nullopt;
}
