#pragma once

#include "platform/LptPort.h"
#include "platform/PriorityInheritingMutex.h"

#include <memory>
#include <mutex>

namespace port {

// The port as the program's threads share it: the stepping thread during a turn, the GUI thread
// for everything else (the power boxes, the LPT test windows, the switches). One access at a
// time, so no two threads ever write the register at once and a port log keeps its lines whole;
// the GUI thread holding the port meanwhile runs at the stepping thread's priority.
class SerializedLpt final : public platform::LptPort {
public:
    explicit SerializedLpt(std::unique_ptr<platform::LptPort> inner) : inner_(std::move(inner)) {}

    void Out32(std::uint16_t address, std::uint8_t value) override {
        const std::lock_guard lock(mutex_);
        inner_->Out32(address, value);
    }
    std::uint8_t Inp32(std::uint16_t address) override {
        const std::lock_guard lock(mutex_);
        return inner_->Inp32(address);
    }
    QString backendName() const override { return inner_->backendName(); }
    bool driven() const override { return inner_->driven(); }
    bool drivesDataBit(int bit) const override { return inner_->drivesDataBit(bit); }
    platform::LptPort& inner() { return *inner_; }
    // Runs fn on the port with the others kept out (a test setting the simulated inputs).
    template <class Fn> void exclusive(Fn&& fn) {
        const std::lock_guard lock(mutex_);
        fn(*inner_);
    }

private:
    std::unique_ptr<platform::LptPort> inner_;
    platform::PriorityInheritingMutex mutex_;
};

} // namespace port
