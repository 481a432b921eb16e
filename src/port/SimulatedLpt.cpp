#include "port/SimulatedLpt.h"

namespace port {

int SimulatedLpt::portIndex(std::uint16_t dataAddress) {
    for (std::size_t i = 0; i < platform::StandardLptAddresses.size(); ++i) {
        if (platform::StandardLptAddresses[i] == dataAddress)
            return static_cast<int>(i);
    }
    return -1;
}

void SimulatedLpt::Out32(std::uint16_t address, std::uint8_t value) {
    if (tracing_)
        trace_.push_back({traceClock_ ? traceClock_() : 0.0, address, value});
    if (const int i = portIndex(address); i >= 0)
        data_[i] = value;
}

std::uint8_t SimulatedLpt::Inp32(std::uint16_t address) {
    if (const int i = portIndex(address); i >= 0)
        return data_[i];
    if (const int i = portIndex(address - 1); i >= 0)
        return status_[i];
    return 0;
}

void SimulatedLpt::setStatus(std::uint16_t dataAddress, std::uint8_t value) {
    if (const int i = portIndex(dataAddress); i >= 0)
        status_[i] = value;
}

std::uint8_t SimulatedLpt::data(std::uint16_t dataAddress) const {
    const int i = portIndex(dataAddress);
    return i >= 0 ? data_[i] : 0;
}

void SimulatedLpt::traceWrites(std::function<double()> clockMs) {
    tracing_ = true;
    traceClock_ = std::move(clockMs);
    trace_.clear();
}

std::vector<std::uint8_t> SimulatedLpt::valuesWritten(std::uint16_t address) const {
    std::vector<std::uint8_t> values;
    for (const Write& w : trace_) {
        if (w.address == address)
            values.push_back(w.value);
    }
    return values;
}

} // namespace port
