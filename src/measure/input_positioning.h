#pragma once
// How the operator's devices move the measurement line: arrow-key steps, the joystick's
// absolute position around the boat marker, and the pointer. Twips are kept in 32-bit
// integers or doubles: a display wider than 2184 pixels passes 32767 twips.

#include "measure/line_record.h"
#include "platform/key_state.h"

#include <QString>
#include <cstdint>

inline constexpr double kKeyStepX = 15.0;
inline constexpr double kKeyStepY = 45.0;
// The shortest the line gets: its upper end stops this far above its lower end.
inline constexpr double kLineShortest = 360.0;

// One arrow key's step: left/right move both columns 15 twips; up/down move their upper
// ends 45 twips while the upper end is below the span's top (up) or more than
// kLineShortest above its bottom (down).
void keyboardStep(MeasureLines& lines, ArrowKey key, const LineSpan& span);

// x of the line for a joystick reading: the centre reading puts it on the boat marker's
// centre; 65356 above it, 1250 twips to the right. Halves round to even.
std::int32_t joystickLineX(std::int32_t readingX, std::int32_t centreX, double markerLeftX);

// The status line for a joystick call's code: what failed in plain words, the code in
// brackets.
QString joystickStatusText(int code);

// The pointer's x in whole twips (halves to even).
std::int32_t mouseTwips(double xTwips);
