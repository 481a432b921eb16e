#include "port/SdlJoystick.h"

#include <QLoggingCategory>
#include <SDL2/SDL.h>

namespace port {

Q_LOGGING_CATEGORY(lcJoystick, "ventrolo.joystick")

SdlJoystick::~SdlJoystick() {
    close();
    if (subsystemStarted_)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SdlJoystick::close() {
    if (joystick_)
        SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
}

bool SdlJoystick::open(int id) {
    close();
    if (!subsystemStarted_) {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
            qCInfo(lcJoystick) << "no joystick access:" << SDL_GetError();
            return false;
        }
        subsystemStarted_ = true;
    }
    SDL_JoystickUpdate();
    if (id < 0 || id >= SDL_NumJoysticks())
        return false;
    joystick_ = SDL_JoystickOpen(id);
    if (!joystick_) {
        qCInfo(lcJoystick) << "cannot open joystick" << id << SDL_GetError();
        return false;
    }
    return true;
}

std::optional<JoystickReading> SdlJoystick::poll() {
    if (!joystick_)
        return std::nullopt;
    SDL_JoystickUpdate();
    if (!SDL_JoystickGetAttached(joystick_))
        return std::nullopt;
    JoystickReading reading;
    // SDL's axes run -32768..32767; the display shows them as 0..65535 with the centre at 32767.
    reading.x = SDL_JoystickGetAxis(joystick_, 0) + 32768;
    reading.y = SDL_JoystickGetAxis(joystick_, 1) + 32768;
    const int buttons = std::min(SDL_JoystickNumButtons(joystick_), 32);
    for (int b = 0; b < buttons; ++b) {
        if (SDL_JoystickGetButton(joystick_, b))
            reading.buttons |= 1u << b;
    }
    return reading;
}

} // namespace port
