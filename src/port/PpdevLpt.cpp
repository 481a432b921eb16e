#include "port/PpdevLpt.h"

#include <QLoggingCategory>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

// Pins of the DB25 connector and the register bits ppdev hands over:
//
//   data register (PPWDATA / PPRDATA), the port address
//     bit 0..7   pins 2..9   D0..D7 (see CoilOutput.h for what the program puts there)
//   status register (PPRSTATUS), read at address + 1, bits as the port delivers them
//     bit 3 (8)    pin 15   nError    input value 1 "Remote CCW."
//     bit 4 (16)   pin 13   Select    input value 2 "Remote CW."
//     bit 5 (32)   pin 12   PaperOut  input value 4 "Begin switch." / "Center switch."
//     bit 6 (64)   pin 10   nAck      input value 8 "End switch."
//     bit 7 (128)  pin 11   Busy      inverted by the port hardware; not used
//     bits 0..2    -        reserved
//   control register (address + 2): not used

namespace port {

Q_LOGGING_CATEGORY(lcPpdev, "ventrolo.port.ppdev")

namespace {

class KernelCalls final : public PpdevCalls {
public:
    int open(const char* path, int flags) override { return ::open(path, flags); }
    int ioctl(int fd, unsigned long request, void* argument) override {
        return ::ioctl(fd, request, argument);
    }
    int close(int fd) override { return ::close(fd); }
    int flock(int fd, int operation) override { return ::flock(fd, operation); }
};

} // namespace

PpdevCalls& SystemPpdevCalls() {
    static KernelCalls calls;
    return calls;
}

// One ppdev device, open and claimed for the object's lifetime (PPCLAIM in the constructor,
// PPRELEASE in the destructor). On failure isClaimed() is false and the file is closed.
class PpdevLpt::Device {
public:
    Device(const QString& path, PpdevCalls& calls) : path_(path), calls_(calls) {
        fd_ = calls_.open(path.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
        if (fd_ < 0) {
            fail("open");
            return;
        }
        // The kernel's claim waits, without end, for a port another process holds.
        if (calls_.flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            fail("lock");
            return;
        }
        if (calls_.ioctl(fd_, PPCLAIM, nullptr) != 0) {
            fail("claim");
            return;
        }
        claimed_ = true;
        int mode = IEEE1284_MODE_COMPAT;
        int forward = 0;
        if (calls_.ioctl(fd_, PPSETMODE, &mode) != 0 || calls_.ioctl(fd_, PPDATADIR, &forward) != 0)
            fail("set up");
    }
    ~Device() { close(); }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    bool isClaimed() const { return claimed_; }
    const QString& path() const { return path_; }
    const char* failedAction() const { return failedAction_; }
    int errorNumber() const { return errorNumber_; }

    // Register access; false (errno set) when the device failed.
    bool writeData(std::uint8_t value) { return calls_.ioctl(fd_, PPWDATA, &value) == 0; }
    bool readData(std::uint8_t* value) { return calls_.ioctl(fd_, PPRDATA, value) == 0; }
    bool readStatus(std::uint8_t* value) { return calls_.ioctl(fd_, PPRSTATUS, value) == 0; }

private:
    void fail(const char* action) {
        failedAction_ = action;
        errorNumber_ = errno;
        close();
    }
    void close() {
        if (claimed_)
            calls_.ioctl(fd_, PPRELEASE, nullptr);
        claimed_ = false;
        if (fd_ >= 0)
            calls_.close(fd_);
        fd_ = -1;
    }

    QString path_;
    PpdevCalls& calls_;
    int fd_ = -1;
    bool claimed_ = false;
    const char* failedAction_ = "";
    int errorNumber_ = 0;
};

QString PpdevFailureText(const QString& action, const QString& device, int errorNumber) {
    QString fix;
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        fix = QStringLiteral("add your user to group lp (sudo usermod -aG lp $USER, then log in "
                             "again)");
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        fix = QStringLiteral("load the parallel-port driver (sudo modprobe ppdev), check that "
                             "the port exists and add your user to group lp");
        break;
    case EBUSY:
        fix = QStringLiteral("another program holds the port; close it");
        break;
    case EWOULDBLOCK:
        fix = QStringLiteral("another copy of Ventrolo drives this port (the desktop program or "
                             "the station's service); close it");
        break;
    case ENOTTY:
    case EINVAL:
        fix = QStringLiteral("this is no parallel-port device; check [lpt] in Ventrolo.ini");
        break;
    default:
        fix = QStringLiteral("check the port, [lpt] in Ventrolo.ini and that your user is in "
                             "group lp");
        break;
    }
    return QStringLiteral("cannot %1 %2: %3 — %4")
        .arg(action, device, QString::fromLocal8Bit(std::strerror(errorNumber)), fix);
}

PpdevLpt::PpdevLpt() = default;
PpdevLpt::~PpdevLpt() = default;

PpdevLpt::OpenResult PpdevLpt::open(const LptDevicePaths& devices, PpdevCalls& calls) {
    OpenResult result;
    std::unique_ptr<PpdevLpt> port(new PpdevLpt);
    bool any = false;
    // The usual first port first, so its failure leads the list.
    for (const std::size_t i : {2u, 1u, 0u}) {
        const QString path = devices.forAddress(platform::StandardLptAddresses[i]);
        if (path.isEmpty())
            continue;
        auto device = std::make_unique<Device>(path, calls);
        if (device->isClaimed()) {
            qCInfo(lcPpdev) << "using" << path << "for port" << platform::StandardLptAddresses[i];
            port->devices_[i] = std::move(device);
            any = true;
            continue;
        }
        const QString text = PpdevFailureText(QString::fromLatin1(device->failedAction()), path,
                                              device->errorNumber());
        qCInfo(lcPpdev).noquote() << text;
        result.failures.push_back({path, device->errorNumber(), text});
    }
    if (any)
        result.port = std::move(port);
    return result;
}

PpdevLpt::Device* PpdevLpt::deviceFor(std::uint16_t address, bool* status) {
    for (std::size_t i = 0; i < platform::StandardLptAddresses.size(); ++i) {
        const std::uint16_t base = platform::StandardLptAddresses[i];
        if (address == base || address == base + 1) {
            *status = address != base;
            return devices_[i].get();
        }
    }
    return nullptr;
}

void PpdevLpt::failed(Device& device, const char* what, int errorNumber) {
    const QString text = PpdevFailureText(QString::fromLatin1(what), device.path(), errorNumber) +
                         QStringLiteral(". The port is no longer driven.");
    qCWarning(lcPpdev).noquote() << text;
    failed_ = true;
    for (auto& d : devices_) {
        if (d.get() == &device)
            d.reset();
    }
    if (onDeviceFailure)
        onDeviceFailure(text);
}

void PpdevLpt::Out32(std::uint16_t address, std::uint8_t value) {
    bool status = false;
    Device* device = deviceFor(address, &status);
    if (!device || status)
        return;
    if (!device->writeData(value))
        failed(*device, "write", errno);
}

std::uint8_t PpdevLpt::Inp32(std::uint16_t address) {
    bool status = false;
    Device* device = deviceFor(address, &status);
    if (!device)
        return 0;
    std::uint8_t value = 0;
    const bool ok = status ? device->readStatus(&value) : device->readData(&value);
    if (!ok) {
        failed(*device, "read", errno);
        return 0;
    }
    return value;
}

QString PpdevLpt::backendName() const {
    QStringList names;
    for (const auto& d : devices_) {
        if (d)
            names << d->path();
    }
    return names.join(QStringLiteral(", "));
}

} // namespace port
