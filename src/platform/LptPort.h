#pragma once

#include <QString>
#include <array>
#include <cstdint>

namespace platform {

// The three standard parallel-port data registers, in the order they are cleared.
inline constexpr std::array<std::uint16_t, 3> StandardLptAddresses{632, 956, 888};

// Byte access to the parallel port's registers: the data register at the port address and the
// status register at address + 1. Writes to an address no backend serves are ignored and such
// reads give 0, as an unconnected port would.
class LptPort {
public:
    virtual ~LptPort() = default;
    virtual void Out32(std::uint16_t address, std::uint8_t value) = 0;
    virtual std::uint8_t Inp32(std::uint16_t address) = 0;
    // A short text for the window: "simulated", "/dev/parport0", "direct I/O".
    virtual QString backendName() const = 0;
    // False once the device failed (a USB adapter pulled out): nothing written reaches the
    // motor any more, so no step may be counted.
    virtual bool driven() const { return true; }
    // Whether data bit 0..7 reaches a pin: false where the backend has no line for it.
    virtual bool drivesDataBit(int bit) const { return bit >= 0 && bit < 8; }
};

} // namespace platform
