#include "panel/Housekeeping.h"

#include "panel/ManualTurnSupport.h"

#include <QMetaMethod>

namespace panel {

Housekeeping::Housekeeping(core::ProgramState& state, platform::Platform& platform,
                           engine::Engine& engine, WindowModes& modes, PortCommands& portCommands,
                           port::SwitchInputs& switches, port::JoystickStatus& joystick,
                           QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), modes_(modes),
      portCommands_(portCommands), switches_(switches), joystick_(joystick),
      timer_(platform.createDisplayTimer([this] { Tick(); })) {}

Housekeeping::~Housekeeping() = default;

void Housekeeping::Start() {
    started_ = true;
    Resume();
}

void Housekeeping::Stop() {
    stopped_ = true;
    timer_->stop();
}

bool Housekeeping::running() const {
    return timer_->isActive();
}

void Housekeeping::Pause() {
    timer_->stop();
}

void Housekeeping::Resume() {
    if (started_ && !stopped_ && !timer_->isActive())
        timer_->start(IntervalMs);
}

void Housekeeping::Tick() {
    if (stopped_)
        return;
    portCommands_.PowerTick();
    // Without a window showing the time (headless) the clock is not read and formatted.
    if (isSignalConnected(QMetaMethod::fromSignal(&Housekeeping::timeChanged)))
        emit timeChanged(TimeLabelText(platform_));
    if (state_.RemoteTurning) {
        if (const int direction = switches_.ReadRemote())
            engine_.TurnTo({OffsetPosition(state_.StepCounter, direction),
                            engine::TurnOrigin::Repeated, state_.FastestDelayMs});
    }
    if (state_.EndSwitches && engine_.CheckSwitches())
        engine_.StopSlowTimers();
    switches_.UpdateLabelVisibility();
    // A lock that no turn releases any more (a turn ended by a switch, say) is released here.
    if (modes_.busyLock().isLocked() && !engine_.slowTurnRunning())
        modes_.busyLock().requestUnlock();
    if (state_.JoystickOn) {
        joystick_.JoystickPoll();
        emit joystickChanged(joystick_.frameText());
    }
}

} // namespace panel
