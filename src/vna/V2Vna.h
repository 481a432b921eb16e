#pragma once

#include "vna/SerialVna.h"

namespace vna {

// A NanoVNA V2 or LiteVNA through its binary register protocol. Writing the sweep registers
// puts the device into its USB data mode; closing gives it its screen back.
class V2Vna final : public SerialVna {
public:
    using SerialVna::SerialVna;

    Result<VnaIdentity> open() override;
    Result<Sweep> sweep(const SweepRequest& request) override;
    void close() override;

private:
    // The value of a 1-byte register, or the error text.
    Result<int> readRegister(quint8 address);
};

} // namespace vna
