#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"

namespace panel {

// The counter set to where the user turned the shaft by hand: every turn stops, all outputs go
// off while the question is open, and the drivers get the code they had afterwards, so the
// motor does not move.
class CounterByHand {
public:
    // engine and coil (the port's, put off during the question) must outlive this.
    CounterByHand(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                  port::CoilOutput& coil);

    // Asks for the counter's new value; a value outside the limits is refused with "Out off
    // range value", an answer without digits changes nothing.
    void Ask();
    // True while Ask() waits for the answer: the shaft may be in the user's hand.
    bool asking() const { return asking_; }

private:
    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    port::CoilOutput& coil_;
    bool asking_ = false;
};

} // namespace panel
