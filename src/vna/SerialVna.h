#pragma once

#include "vna/PortExchange.h"
#include "vna/Vna.h"

namespace vna {

// A VNA spoken to over its serial port: what the dialects share.
class SerialVna : public Vna {
public:
    SerialVna(VnaPort& port, platform::Platform& platform, QString device)
        : exchange_(port, platform), device_(std::move(device)) {}

    QString description() const override { return device_; }
    void abort() override { exchange_.abort(); }

protected:
    PortExchange exchange_;
    QString device_;
};

} // namespace vna
