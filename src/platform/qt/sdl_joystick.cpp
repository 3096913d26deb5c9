#include "platform/qt/sdl_joystick.h"

#ifdef WAKELINE_HAVE_SDL2
#include <SDL.h>
#endif

namespace {
#ifdef WAKELINE_HAVE_SDL2
// SDL axes run -32768..32767; the readings the screen works with run 0..65535.
std::int32_t toReading(Sint16 axis)
{
    return std::int32_t(axis) + 32768;
}
#endif
} // namespace

SdlJoystick::~SdlJoystick()
{
    close();
#ifdef WAKELINE_HAVE_SDL2
    if (sdlStarted)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
#endif
}

void SdlJoystick::close()
{
#ifdef WAKELINE_HAVE_SDL2
    if (handle)
        SDL_JoystickClose(static_cast<SDL_Joystick*>(handle));
#endif
    handle = nullptr;
}

int SdlJoystick::detect()
{
    detectStatus = openJoystick();
    return detectStatus;
}

int SdlJoystick::openJoystick()
{
#ifdef WAKELINE_HAVE_SDL2
    close();
    if (!sdlStarted) {
        // The program has no SDL window, so it never has SDL's focus: read the stick anyway.
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
            return kJoyErrNoDriver;
        sdlStarted = true;
    }
    // A stick plugged in after start-up is seen only after a fresh device scan.
    SDL_JoystickUpdate();
    if (SDL_NumJoysticks() < 1)
        return kJoyErrParms;
    handle = SDL_JoystickOpen(0);
    return handle ? kJoyNoError : kJoyErrNoCanDo;
#else
    return kJoyErrNoDriver;
#endif
}

JoystickReading SdlJoystick::poll()
{
    JoystickReading r;
    // Until a joystick is open, each poll says why the last detection found none.
    r.status = detectStatus == kJoyNoError ? kJoyErrParms : detectStatus;
#ifdef WAKELINE_HAVE_SDL2
    if (!handle)
        return r;
    auto* js = static_cast<SDL_Joystick*>(handle);
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(js)) {
        r.status = kJoyErrUnplugged;
        return r;
    }
    r.status = kJoyNoError;
    r.x = toReading(SDL_JoystickGetAxis(js, 0));
    r.y = SDL_JoystickNumAxes(js) > 1 ? toReading(SDL_JoystickGetAxis(js, 1)) : 32768;
#endif
    return r;
}
