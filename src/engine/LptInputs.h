#pragma once

#include "engine/Engine.h"
#include "port/SwitchInputs.h"

namespace engine {

// The LPT inputs bound to the engine both ways, for the life of this object: the switches and
// remote buttons stop, turn and show through the engine, and every turning loop of the engine
// tests the switches while EndSwitches is set (EngineHooks::checkSwitches). Built after the
// engine and destroyed before it.
class LptInputs final : private port::SwitchTurning {
public:
    LptInputs(core::ProgramState& state, platform::Platform& platform, platform::LptPort& lpt,
              Engine& engine);
    ~LptInputs() override;
    LptInputs(const LptInputs&) = delete;
    LptInputs& operator=(const LptInputs&) = delete;

    port::SwitchInputs& switches() { return switches_; }

private:
    void StopTurning() override { engine_.StopTurning(); }
    void TurnTo() override { engine_.TurnTo(); }
    void ShowPosition() override { engine_.ShowPosition(); }
    void StopSlowTimers() override { engine_.StopSlowTimers(); }

    Engine& engine_;
    port::SwitchInputs switches_;
};

} // namespace engine
