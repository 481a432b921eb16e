#pragma once

#include "platform/LptPort.h"

#include <array>
#include <cstdint>

namespace port {

// A parallel port without hardware: the data registers of the three standard ports latch what
// is written and read it back; each port's status register holds what code or tests set.
class SimulatedLpt final : public platform::LptPort {
public:
    void Out32(std::uint16_t address, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t address) override;
    QString backendName() const override { return QStringLiteral("simulated"); }

    // The status register of the port whose data register is at dataAddress.
    void setStatus(std::uint16_t dataAddress, std::uint8_t value);
    std::uint8_t data(std::uint16_t dataAddress) const;

private:
    // Index of the standard port at dataAddress, -1 for any other address.
    static int portIndex(std::uint16_t dataAddress);

    std::array<std::uint8_t, 3> data_{};
    std::array<std::uint8_t, 3> status_{};
};

} // namespace port
