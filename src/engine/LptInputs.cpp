#include "engine/LptInputs.h"

namespace engine {

LptInputs::LptInputs(core::ProgramState& state, platform::Platform& platform,
                     platform::LptPort& lpt, Engine& engine)
    : engine_(engine), switches_(state, platform, lpt, *this) {
    engine_.hooks().checkSwitches = [this] { return switches_.CheckSwitches(); };
}

LptInputs::~LptInputs() {
    engine_.hooks().checkSwitches = nullptr;
}

} // namespace engine
