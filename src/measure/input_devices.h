#pragma once
// The operator's devices that hold the measurement line: the arrow keys (steps of the line),
// the joystick (once connected, an absolute place around the boat marker) and, in mouse mode,
// the pointer. An input tick steps the keys first and, once the line is read, lets the
// joystick and then the pointer put it where they hold it: the pointer has the last word.

#include "measure/line_record.h"
#include "measure/measure_view.h"

#include <cstdint>

class Joystick;
class KeyState;

class InputDevices
{
public:
    // `texts`: where the joystick's status and readings are shown.
    InputDevices(KeyState& keys, Joystick& joystick, JoystickTexts& texts);

    // Steps the line for each arrow key pressed since the last poll; how many were.
    int stepKeys(MeasureLines& lines, const LineSpan& span);
    // The joystick, then the pointer in mouse mode, put the line where they hold it.
    void pointLine(MeasureLines& lines);

    void pointerMoved(double xTwips);
    // "Connect JoyStick": the detection code (kJoyNoError when found). A joystick found
    // takes its reading now as its centre.
    int connectJoystick();

    void setUseMouse(bool on) { useMouse_ = on; }
    bool useMouse() const { return useMouse_; }

private:
    KeyState& keys;
    Joystick& joystick;
    JoystickTexts& texts;
    std::int32_t pointerX = 0;
    std::int32_t joystickCentreX = 0;
    int lastJoystickStatus = -1;
    bool useMouse_ = false;
};
