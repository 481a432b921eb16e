#pragma once

#include "platform/LptPort.h"

#include <QIODevice>
#include <functional>
#include <memory>

namespace port {

// Logs every data-register write of the port it wraps, one line each:
// "<ms since start, 3 decimals> <address> <value>", for example "12.345 888 7". Start is when
// the log was made. Reads pass through unlogged.
class PortLogLpt final : public platform::LptPort {
public:
    // Logs to log (open for writing); clockMs gives the time in ms.
    PortLogLpt(std::unique_ptr<platform::LptPort> inner, std::unique_ptr<QIODevice> log,
               std::function<double()> clockMs);

    void Out32(std::uint16_t address, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t address) override { return inner_->Inp32(address); }
    QString backendName() const override { return inner_->backendName(); }
    bool driven() const override { return inner_->driven(); }
    bool drivesDataBit(int bit) const override { return inner_->drivesDataBit(bit); }
    // The port that is logged.
    platform::LptPort& inner() { return *inner_; }

    // Told once when a line cannot be written; logging stops then, the port goes on.
    std::function<void(const QString&)> onLogFailure;

private:
    std::unique_ptr<platform::LptPort> inner_;
    std::unique_ptr<QIODevice> log_;
    std::function<double()> clockMs_;
    double startMs_;
};

} // namespace port
