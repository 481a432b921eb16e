#pragma once

#include "platform/LptPort.h"

#include <memory>

namespace port {

// The parallel ports through the x86 I/O instructions, for machines without ppdev. Needs root
// (ioperm). Only the three standard ports are ever touched (data, status, control); any other
// address reads 0 and ignores writes. On other processors open() says it is unavailable.
class DirectIoLpt final : public platform::LptPort {
public:
    // The ports opened, or null with the reason (and what to do) in error.
    static std::unique_ptr<DirectIoLpt> open(QString* error);
    ~DirectIoLpt() override;

    void Out32(std::uint16_t address, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t address) override;
    QString backendName() const override { return QStringLiteral("direct I/O"); }

private:
    DirectIoLpt() = default;
};

} // namespace port
