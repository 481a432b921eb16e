#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/PortCommands.h"
#include "panel/WindowModes.h"
#include "platform/Platform.h"
#include "port/JoystickStatus.h"
#include "port/SwitchInputs.h"

#include <QObject>
#include <memory>

namespace panel {

// The one-second housekeeping of the main window (Timer1): the autopower countdown, the clock,
// the remote buttons (one step a second while held), the switches while no turn runs, the
// release of a busy lock no turn releases any more, and the joystick display. It pauses while a
// turn runs (Pause()/Resume() on the engine's turnStarted()/turnEnded()) and runs once after
// every slow-turn step.
class Housekeeping : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervalMs = 1000;

    Housekeeping(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                 WindowModes& modes, PortCommands& portCommands, port::SwitchInputs& switches,
                 port::JoystickStatus& joystick, QObject* parent = nullptr);
    ~Housekeeping() override;

    // Once a second from now on (InitMain).
    void Start();
    // For good: the program is ending and nothing may move any more.
    void Stop();
    bool running() const;

    void Pause();
    void Resume();
    // One round now.
    void Tick();

signals:
    // lblTime: "Time 12:34:56".
    void timeChanged(const QString& text);
    // The status frame while the joystick is on.
    void joystickChanged(const QString& frameText);

private:
    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    WindowModes& modes_;
    PortCommands& portCommands_;
    port::SwitchInputs& switches_;
    port::JoystickStatus& joystick_;
    std::unique_ptr<platform::Timer> timer_;
    bool started_ = false;
    bool stopped_ = false;
};

} // namespace panel
