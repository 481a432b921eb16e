#pragma once

#include <QByteArray>
#include <QString>

namespace vna {

// The VNA's USB serial port: a real device or, in tests, an emulator. Every call on a closed
// port does nothing and reports failure.
class VnaPort {
public:
    virtual ~VnaPort() = default;

    // Opens the device; an empty text on success, else why it cannot be opened (the port then
    // stays closed).
    virtual QString open(const QString& device) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The device path, for messages.
    virtual QString device() const = 0;

    // Hands the bytes to the device; false when they could not all be written (device gone).
    [[nodiscard]] virtual bool write(const QByteArray& bytes) = 0;
    // Takes what has arrived so far, without waiting.
    virtual QByteArray read() = 0;
    // False once the device is gone (unplugged): nothing more is read or written.
    virtual bool present() const = 0;
};

} // namespace vna
