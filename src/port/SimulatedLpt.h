#pragma once

#include "platform/LptPort.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

namespace port {

// A parallel port without hardware: the data registers of the three standard ports latch what
// is written and read it back; each port's status register holds what code or tests set.
//
// Controls for tests and diagnosis:
//   setStatus()   - what the status register of a port reads
//   traceWrites() - record every write from now on, with the time it was made
//   writes()      - the recorded writes, oldest first
class SimulatedLpt final : public platform::LptPort {
public:
    struct Write {
        double atMs; // on the clock given to traceWrites(); 0 without one
        std::uint16_t address;
        std::uint8_t value;
        bool operator==(const Write&) const = default;
    };

    void Out32(std::uint16_t address, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t address) override;
    QString backendName() const override { return QStringLiteral("simulated"); }

    // The status register of the port whose data register is at dataAddress.
    void setStatus(std::uint16_t dataAddress, std::uint8_t value);
    std::uint8_t data(std::uint16_t dataAddress) const;

    // Starts (or restarts, dropping what was recorded) the trace of every Out32 call, also to
    // addresses no port serves. clockMs stamps each write.
    void traceWrites(std::function<double()> clockMs = {});
    const std::vector<Write>& writes() const { return trace_; }
    // The values written, in order, to one address.
    std::vector<std::uint8_t> valuesWritten(std::uint16_t address) const;

private:
    // Index of the standard port at dataAddress, -1 for any other address.
    static int portIndex(std::uint16_t dataAddress);

    std::array<std::uint8_t, 3> data_{};
    // Set by the input simulation on the GUI thread while the stepping thread reads the switches.
    std::array<std::atomic<std::uint8_t>, 3> status_{};
    bool tracing_ = false;
    std::function<double()> traceClock_;
    std::vector<Write> trace_;
};

} // namespace port
