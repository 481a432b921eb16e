#include "port/InputPinTable.h"

#include <limits>

namespace port {

core::Long ReadStatusRegister(const core::ProgramState& state, platform::LptPort& lpt) {
    const core::Long address = state.LptStatusAddress;
    if (address < 0 || address > std::numeric_limits<std::uint16_t>::max())
        return 0;
    return lpt.Inp32(static_cast<std::uint16_t>(address));
}

core::Long ReadStatusInputs(const core::ProgramState& state, platform::LptPort& lpt) {
    return ReadStatusRegister(state, lpt) / 8;
}

} // namespace port
