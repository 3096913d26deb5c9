#pragma once
// Joystick 0 through SDL2. SDL is started only when the operator asks for the joystick;
// until a joystick has been opened, a poll costs nothing.

#include "platform/joystick.h"

class SdlJoystick : public Joystick
{
public:
    SdlJoystick() = default;
    ~SdlJoystick() override;
    SdlJoystick(const SdlJoystick&) = delete;
    SdlJoystick& operator=(const SdlJoystick&) = delete;

    int detect() override;
    JoystickReading poll() override;

private:
    void close();
    // SDL's failures as the status codes: support that does not start kJoyErrNoDriver, no
    // stick kJoyErrParms, a stick that does not open kJoyErrNoCanDo.
    int openJoystick();

    void* handle = nullptr; // SDL_Joystick*
    bool sdlStarted = false;
    int detectStatus = kJoyErrParms; // of the last detect()
};
