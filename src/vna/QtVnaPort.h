#pragma once

#include "vna/VnaPort.h"

#include <QSerialPort>

namespace vna {

// The VNA's port through Qt Serial Port. The NanoVNA family is a USB CDC device: the line
// settings are ignored by it and set to 115200 8N1 for adapters that are not. A device that
// vanishes (unplugged) reports a resource error, after which the port counts as not present.
class QtVnaPort final : public VnaPort {
public:
    QString open(const QString& device) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    QString device() const override { return device_; }
    bool write(const QByteArray& bytes) override;
    QByteArray read() override;
    bool present() const override { return isOpen() && !gone_; }

private:
    // Notes a device error; true when it means the device is gone.
    bool noteError();

    QSerialPort port_;
    QString device_;
    bool gone_ = false;
};

} // namespace vna
