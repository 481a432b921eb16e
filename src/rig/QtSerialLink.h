#pragma once

#include "rig/SerialLink.h"

#include <QSerialPort>

namespace rig {

// The serial link on a real device through Qt Serial Port. COM1..COM4 are the devices that
// Ventrolo.ini maps them to (SerialDeviceMap). Where a device has no modem control lines (a
// pseudo-terminal, as rig emulators and virtual serial ports use) RTS and DTR report failure and
// the link goes on without them. Waits are real time and run no event handlers.
class QtSerialLink final : public SerialLink {
public:
    explicit QtSerialLink(QString programDirectory);

    LinkOpenResult open(int port, const QString& settings) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    QString description() const override { return device_; }
    bool setRts(bool on) override;
    bool setDtr(bool on) override;
    qint64 bytesWaiting() override;
    void discardInput() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;
    void onArrival(std::function<void()> arrived) override;

    // Opens a device by its path (what open() does after looking up the port).
    LinkOpenResult openDevice(const QString& device, const QString& settings);

private:
    // Moves what the system has received into the port's buffer, without waiting.
    void takeReceived();
    // Why the device failed just now.
    QString failure() const;

    QString directory_;
    QString device_;
    QString lastOpenFailure_; // logged; cleared when the device opens
    QSerialPort port_;
    QMetaObject::Connection arrival_;
};

// The message text for a device that would not open: the device and the system's reason, and
// for a permission error how to get the permission.
QString OpenErrorText(const QString& device, const QString& systemError, bool permissionError);

} // namespace rig
