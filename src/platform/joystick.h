#pragma once
// Joystick 0 as the measurement screen reads it: a detection call and a position poll, each
// with the status codes the operator's texts are made of.

#include <cstdint>

// Status codes of the joystick calls, as the operator's status line reports them.
inline constexpr int kJoyNoError = 0;
inline constexpr int kJoyErrParms = 165; // no joystick 0, or not connected yet
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
    // Reads joystick 0. Before a successful detect() this fails at no cost.
    virtual JoystickReading poll() = 0;
};
