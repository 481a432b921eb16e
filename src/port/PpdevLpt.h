#pragma once

#include "platform/LptPort.h"
#include "port/LptSettings.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace port {

// The system calls a ppdev device is reached by (open(2), ioctl(2), close(2), failures in
// errno); tests put a device of their own behind them.
class PpdevCalls {
public:
    virtual ~PpdevCalls() = default;
    virtual int open(const char* path, int flags) = 0;
    virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
    virtual int close(int fd) = 0;
    // flock(2): another copy of the program that holds the device is told at once, where the
    // kernel's claim would wait for it.
    virtual int flock(int /*fd*/, int /*operation*/) { return 0; }
};
// The kernel's.
PpdevCalls& SystemPpdevCalls();

// The real parallel ports through Linux ppdev: each standard address is served by its device
// (888 /dev/parport0, 956 /dev/parport1, 632 /dev/parport2 unless Ventrolo.ini maps them
// otherwise), opened in compatibility mode and claimed for as long as this object lives.
// Addresses whose device did not open read 0 and ignore writes, as an absent port would.
class PpdevLpt final : public platform::LptPort {
public:
    struct OpenFailure {
        QString device;
        int errorNumber = 0;
        QString text; // "cannot open /dev/parport0: Permission denied — add your user to group lp"
    };
    struct OpenResult {
        std::unique_ptr<PpdevLpt> port; // null when no device opened
        std::vector<OpenFailure> failures;
    };
    static OpenResult open(const LptDevicePaths& devices, PpdevCalls& calls = SystemPpdevCalls());

    ~PpdevLpt() override;

    void Out32(std::uint16_t address, std::uint8_t value) override;
    std::uint8_t Inp32(std::uint16_t address) override;
    // The devices in use, for example "/dev/parport0".
    QString backendName() const override;

    // Told once, with a text for the user, when a device that opened stops working (a USB
    // adapter pulled out); the device is then no longer used.
    std::function<void(const QString&)> onDeviceFailure;
    bool driven() const override { return !failed_.load(); }

    class Device;

private:
    std::atomic<bool> failed_{false};
    PpdevLpt();
    // The device serving address as data (status = false) or status register, or null.
    Device* deviceFor(std::uint16_t address, bool* status);
    void failed(Device& device, const char* what, int errorNumber);

    std::array<std::unique_ptr<Device>, 3> devices_; // by StandardLptAddresses
};

// The text for the user when a device cannot be used: what failed, the system's reason and
// what to do about it.
QString PpdevFailureText(const QString& action, const QString& device, int errorNumber);

} // namespace port
