#pragma once

#include "vna/Vna.h"
#include "vna/VnaPort.h"
#include "vna/VnaSettings.h"

#include <memory>

namespace platform {
class Platform;
}

namespace vna {

// The VNA on a serial device, in the dialect it answers in. With Dialect::Auto, opening sends
// eight no-operations and a carriage return: the V2's parser skips the no-operations and
// answers the carriage return (its "indicate" command) with '2'; the shell skips the control
// bytes and answers the carriage return, an empty line, with its prompt. The dialect found
// (or named) then speaks for itself.
class DetectedVna final : public Vna {
public:
    DetectedVna(std::unique_ptr<VnaPort> port, platform::Platform& platform, QString device,
                Dialect dialect);
    ~DetectedVna() override;

    Result<VnaIdentity> open() override;
    Result<Sweep> sweep(const SweepRequest& request) override;
    void close() override;
    void abort() override;
    QString description() const override { return device_; }

private:
    // The dialect the device answers in, or the error text.
    Result<Dialect> detect();

    std::unique_ptr<VnaPort> port_;
    platform::Platform& platform_;
    QString device_;
    Dialect dialect_;
    std::unique_ptr<Vna> speaker_;
};

} // namespace vna
