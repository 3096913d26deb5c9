#pragma once
// Joystick 0 as the measurement screen reads it: a detection call and a position poll, each
// with the status codes the operator's texts are made of.

#include <cstdint>

// Status codes of the joystick calls, as the operator's status line reports them (the
// numbers the program has always shown, so an operator's notes still match).
inline constexpr int kJoyNoError = 0;
inline constexpr int kJoyErrNoDriver =
    6; // no joystick support: it did not start, or is not built in
inline constexpr int kJoyErrParms = 165;   // no joystick 0, or not connected yet
inline constexpr int kJoyErrNoCanDo = 166; // a joystick is there but could not be opened
inline constexpr int kJoyErrUnplugged = 167;

struct JoystickReading
{
    int status = kJoyErrParms;
    std::int32_t x = 0; // 0..65535, 32768 near the centre
    std::int32_t y = 0;
};

class Joystick
{
public:
    virtual ~Joystick() = default;
    // Looks for joystick 0 and opens it: kJoyNoError when present, another code otherwise.
    virtual int detect() = 0;
    // Reads joystick 0. Before a successful detect() this fails at no cost, with the code of
    // the last detection (kJoyErrParms before any).
    virtual JoystickReading poll() = 0;
};
