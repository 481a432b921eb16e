#pragma once

#include "vna/PortExchange.h"
#include "vna/Vna.h"

namespace vna {

// A NanoVNA V2 or LiteVNA through its binary register protocol. Writing the sweep registers
// puts the device into its USB data mode; closing gives it its screen back.
class V2Vna final : public Vna {
public:
    V2Vna(VnaPort& port, platform::Platform& platform, QString device);

    Result<VnaIdentity> open() override;
    Result<Sweep> sweep(const SweepRequest& request) override;
    void close() override;
    void abort() override { exchange_.abort(); }
    QString description() const override { return device_; }

private:
    // The value of a 1-byte register, or the error text.
    Result<int> readRegister(quint8 address);

    PortExchange exchange_;
    QString device_;
};

} // namespace vna
