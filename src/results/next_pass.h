#pragma once
// The results screen's copy lists and the set-up of the next pass when the screen is left.

#include "common/run_info.h"
#include "measure/measure_tables.h"

#include <QStringList>
#include <optional>

// The next pass's speed list for the event; jump in its own order "57/35", "54/34", ... "60/37".
QStringList speedCopyItems(Event event);
// The position in that list of the start screen's speed index (kSlalomSpeeds /
// kJumpSpeeds), -1 for none.
int speedCopyPosition(Event event, int speedIndex);
// The start screen's speed index for a position in that list, -1 for none.
int speedIndexForCopyPosition(Event event, int position);
// The line lists of the measured and the next pass: "18.25" ... "9.25".
QStringList lineCopyItems();

// What the return sequence does to the start screen and the measurement screen.
struct NextPass
{
    std::optional<Direction> direction; // slalom: reversed; jump: unchanged
    int slalomSpeed = -1;               // index to select, -1 leaves the speed
    int jumpSpeed = -1;
    int lineLength = -1; // index to select, -1 leaves the line
    QString lineLabel;   // the measurement screen's line caption when lineLength is set
};
NextPass nextPass(Event event, Direction measured, int speedCopyPos, int newLineCopyPos);

// The speed index whose pass has exactly `passTenths` tenths, if exactly one has.
std::optional<int> speedIndexForPassTenths(Event event, int passTenths);
