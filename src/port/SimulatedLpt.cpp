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

} // namespace port
