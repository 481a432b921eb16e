#pragma once

#include <cstdint>
#include <optional>

namespace rig {

// What one read of the rig gave.
struct RigReading {
    // Whole kHz (what CatFrequency becomes); nullopt when no valid reply came. Never 0.
    std::optional<float> kHz;
    // The rig's mode byte, where the frequency reply carries one (FT-817, FT-847).
    std::optional<std::uint8_t> modeCode;
    std::optional<float> sMeter;
    // Whether the rig is transmitting, by whatever keyed it, where it reports that (FT-817,
    // FT-847 transmit status, FT-840 status; not the FT-757GXII).
    std::optional<bool> transmitting;
    // Nothing was asked: an exchange with the rig was already under way.
    bool busy = false;
    // Only the transmit state was asked (RigConnection::requestTransmitState): kHz, mode and
    // S-meter say nothing.
    bool transmitOnly = false;
};

// How a command went.
enum class CatResult {
    Sent,        // the frame (or, on the FT-757GXII, the line change) went out
    NotSent,     // link closed, a model without the command, an FT-817 switched off
    OutOfRange,  // a frequency outside the model's bands; the beep sounded
    Busy,        // refused: an exchange with the rig is under way (see busy())
    WriteFailed, // the device did not take the bytes: the line is lost
};

} // namespace rig
