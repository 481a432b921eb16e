#include "port/GpioLpt.h"

#include <QLoggingCategory>
#include <cerrno>
#include <cstring>

// Register bits and GPIO lines (which line carries which bit is set in [gpio], see
// GpioPinMap.h for the pin table and the defaults):
//
//   data register, at the port address
//     bit n        line Dn     1 = high
//   status register, at address + 1, as a PC port delivers it
//     bit 3 (8)    line S3     pin 15 nError     high = 1
//     bit 4 (16)   line S4     pin 13 Select     high = 1
//     bit 5 (32)   line S5     pin 12 PaperOut   high = 1
//     bit 6 (64)   line S6     pin 10 nAck       high = 1
//     bit 7 (128)  line S7     pin 11 Busy       high = 0, inverted as by a PC port's hardware
//     bits 0..2    -           reserved, 0
//   control register (address + 2): not there, reads 0

namespace port {

Q_LOGGING_CATEGORY(lcGpio, "ventrolo.port.gpio")

namespace {

constexpr int FirstStatusBit = 3;
constexpr std::uint8_t InvertedStatusBits = 0x80;

enum class Register { None, Data, Status };

Register RegisterAt(std::uint16_t address) {
    for (const auto base : platform::StandardLptAddresses) {
        if (address == base)
            return Register::Data;
        if (address == base + 1)
            return Register::Status;
    }
    return Register::None;
}

template <std::size_t N> std::vector<unsigned> ConnectedLines(const std::array<int, N>& lines) {
    std::vector<unsigned> connected;
    for (const int line : lines) {
        if (line != GpioNotConnected)
            connected.push_back(static_cast<unsigned>(line));
    }
    return connected;
}

} // namespace

QString GpioFailureText(const GpioFailure& failure, const QString& chip) {
    QString fix;
    switch (failure.errorNumber) {
    case EACCES:
    case EPERM:
        fix = QStringLiteral("add your user to group gpio (sudo usermod -aG gpio $USER, then "
                             "log in again; where the chip does not belong to that group, a "
                             "udev rule gives it, see the README)");
        break;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        fix = QStringLiteral("there is no such GPIO chip; set chip= in [gpio] of Ventrolo.ini "
                             "(gpiodetect lists the chips)");
        break;
    case EBUSY:
        fix = QStringLiteral("another program or a driver holds one of the lines (gpioinfo "
                             "shows which); free it or choose other lines in [gpio] of "
                             "Ventrolo.ini");
        break;
    case EINVAL:
        fix = QStringLiteral("a line in [gpio] of Ventrolo.ini does not exist on this chip "
                             "(gpioinfo lists them), or the kernel cannot set the bias (try "
                             "bias=none)");
        break;
    default:
        fix = QStringLiteral("check [gpio] in Ventrolo.ini and that your user is in group gpio");
        break;
    }
    return QStringLiteral("cannot %1 %2: %3 — %4")
        .arg(failure.action, chip, QString::fromLocal8Bit(std::strerror(failure.errorNumber)), fix);
}

GpioLpt::OpenResult GpioLpt::open(const GpioPinMap& map, GpioCalls& calls) {
    if (!map.problem.isEmpty())
        return {nullptr, map.problem};
    const GpioRequest request{map.chip, ConnectedLines(map.data), ConnectedLines(map.status),
                              map.bias};
    GpioFailure failure;
    std::unique_ptr<GpioLines> lines = calls.request(request, failure);
    if (!lines) {
        const QString text = GpioFailureText(failure, map.chip);
        qCInfo(lcGpio).noquote() << text;
        return {nullptr, text};
    }
    qCInfo(lcGpio) << "using" << map.chip << "outputs" << request.outputs << "inputs"
                   << request.inputs;
    return {std::unique_ptr<GpioLpt>(new GpioLpt(map, std::move(lines))), {}};
}

GpioLpt::GpioLpt(const GpioPinMap& map, std::unique_ptr<GpioLines> lines)
    : map_(map), lines_(std::move(lines)) {}

GpioLpt::~GpioLpt() = default;

void GpioLpt::failed(const char* what) {
    const QString text = GpioFailureText({QString::fromLatin1(what), errno}, map_.chip) +
                         QStringLiteral(". The port is no longer driven.");
    qCWarning(lcGpio).noquote() << text;
    failed_ = true;
    lines_.reset();
    if (onDeviceFailure)
        onDeviceFailure(text);
}

void GpioLpt::Out32(std::uint16_t address, std::uint8_t value) {
    if (RegisterAt(address) != Register::Data || !lines_)
        return;
    data_ = value;
    std::vector<int> levels;
    for (std::size_t bit = 0; bit < map_.data.size(); ++bit) {
        if (map_.data[bit] != GpioNotConnected)
            levels.push_back((value >> bit) & 1);
    }
    if (!lines_->setOutputs(levels))
        failed("write");
}

std::uint8_t GpioLpt::Inp32(std::uint16_t address) {
    const Register reg = RegisterAt(address);
    if (reg == Register::None || !lines_)
        return 0;
    if (reg == Register::Data)
        return data_;
    std::vector<int> levels;
    if (!lines_->readInputs(levels)) {
        failed("read");
        return 0;
    }
    std::uint8_t pins = 0; // bit set: the pin is high
    std::size_t next = 0;
    for (std::size_t i = 0; i < map_.status.size(); ++i) {
        const bool connected = map_.status[i] != GpioNotConnected;
        const int level = connected && next < levels.size() ? levels[next++] : 1;
        if (level != 0)
            pins |= static_cast<std::uint8_t>(1u << (FirstStatusBit + i));
    }
    return pins ^ InvertedStatusBits;
}

QString GpioLpt::backendName() const {
    return lines_ ? QStringLiteral("GPIO ") + map_.chip : QString();
}

} // namespace port
