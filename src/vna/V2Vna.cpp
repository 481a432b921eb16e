#include "vna/V2Vna.h"

#include "vna/V2Codec.h"
#include "vna/VnaLogging.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace vna {

namespace {

constexpr double RegisterTimeoutMs = 1000;
// The V2 sweeps about 100 points a second below 140 MHz; allow for three times as long.
double FifoTimeoutMs(int values) {
    return 2000 + 30.0 * values;
}
// The most points the USB data mode of the V2 firmwares takes.
constexpr int V2MaxPoints = 1024;

} // namespace

Result<int> V2Vna::readRegister(quint8 address) {
    const PortExchange::Reply reply = exchange_.exchange(
        v2::ReadRegisterCommand(address), [](const QByteArray& bytes) { return !bytes.isEmpty(); },
        RegisterTimeoutMs);
    if (reply.outcome != PortExchange::Outcome::Complete)
        return Result<int>::failure(PortExchange::FailureText(device_, reply.outcome));
    return {quint8(reply.bytes.back()), {}};
}

Result<VnaIdentity> V2Vna::open() {
    if (const QString why = exchange_.open(device_); !why.isEmpty())
        return Result<VnaIdentity>::failure(why);
    const PortExchange::Reply indicated = exchange_.exchange(
        v2::ResetBytes() + v2::IndicateCommand(),
        [](const QByteArray& bytes) { return !bytes.isEmpty(); }, RegisterTimeoutMs);
    if (indicated.outcome != PortExchange::Outcome::Complete)
        return Result<VnaIdentity>::failure(PortExchange::FailureText(device_, indicated.outcome));
    if (indicated.bytes != QByteArray(1, v2::IndicateReply))
        return Result<VnaIdentity>::failure(
            QStringLiteral("The device on %1 is no NanoVNA V2: it answers \"%2\".")
                .arg(device_, QString::fromLatin1(indicated.bytes.toHex(' ').left(30))));
    const Result<int> variant = readRegister(v2::DeviceVariantRegister);
    const Result<int> protocol = readRegister(v2::ProtocolVersionRegister);
    const Result<int> hardware = readRegister(v2::HardwareRevisionRegister);
    const Result<int> major = readRegister(v2::FirmwareMajorRegister);
    const Result<int> minor = readRegister(v2::FirmwareMinorRegister);
    for (const Result<int>* read : {&variant, &protocol, &hardware, &major, &minor}) {
        if (!read->ok())
            return Result<VnaIdentity>::failure(read->error);
    }
    if (*variant.value != v2::NanoVnaV2Variant)
        return Result<VnaIdentity>::failure(
            QStringLiteral("The device on %1 is a VNA of variant %2, which Ventrolo does not know.")
                .arg(device_)
                .arg(*variant.value));
    VnaIdentity identity;
    identity.name = QStringLiteral("NanoVNA V2 (hardware %1, firmware %2.%3, protocol %4)")
                        .arg(*hardware.value)
                        .arg(*major.value)
                        .arg(*minor.value)
                        .arg(*protocol.value);
    identity.maxPoints = V2MaxPoints;
    qCInfo(lcVna) << identity.name << "on" << device_;
    return {identity, {}};
}

Result<Sweep> V2Vna::sweep(const SweepRequest& request) {
    if (request.points < 2 || request.points > V2MaxPoints)
        return Result<Sweep>::failure(
            QStringLiteral("The VNA sweeps 2 to %1 points, not %2.").arg(V2MaxPoints).arg(request.points));
    if (!exchange_.port().write(v2::ResetBytes() + v2::SweepCommands(request) +
                                v2::ClearFifoCommand()))
        return Result<Sweep>::failure(PortExchange::FailureText(device_, PortExchange::Outcome::Gone));
    // The FIFO gives the points as they are measured, the sweep starting over after its last
    // point: gather them by their index until each has come once.
    std::map<int, std::complex<double>> measured;
    int valuesRead = 0;
    while (int(measured.size()) < request.points) {
        if (valuesRead >= 3 * request.points)
            return Result<Sweep>::failure(
                QStringLiteral("The VNA on %1 repeats points and never sends others.").arg(device_));
        const int values = std::min(v2::MostValuesPerRead, request.points - int(measured.size()));
        const qsizetype wanted = qsizetype(values) * v2::RecordSize;
        const PortExchange::Reply reply = exchange_.exchange(
            v2::ReadFifoCommand(values),
            [wanted](const QByteArray& bytes) { return bytes.size() >= wanted; },
            FifoTimeoutMs(values));
        if (reply.outcome != PortExchange::Outcome::Complete)
            return Result<Sweep>::failure(PortExchange::FailureText(device_, reply.outcome));
        if (reply.bytes.size() != wanted)
            return Result<Sweep>::failure(
                QStringLiteral("The VNA's data is garbled (%1 bytes for %2 points).")
                    .arg(reply.bytes.size())
                    .arg(values));
        for (int i = 0; i < values; ++i) {
            const std::optional<v2::Record> record =
                v2::ReadRecord(reply.bytes.constData() + i * v2::RecordSize, request.points);
            if (!record)
                return Result<Sweep>::failure(QStringLiteral("The VNA's data is garbled."));
            measured[record->index] = record->s11;
        }
        valuesRead += values;
    }
    Sweep sweep;
    const double step = v2::StepHz(request);
    for (const auto& [index, s11] : measured)
        sweep.push_back({request.startHz + step * index, s11, std::abs(s11) <= MostPlausibleS11});
    return {std::move(sweep), {}};
}

void V2Vna::close() {
    if (exchange_.port().present() && !exchange_.port().write(v2::LeaveUsbModeCommand()))
        qCInfo(lcVna) << "the VNA on" << device_ << "could not leave its USB data mode";
    exchange_.port().close();
}

} // namespace vna
