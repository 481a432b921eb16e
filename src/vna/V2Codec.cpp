#include "vna/V2Codec.h"

#include <QtEndian>
#include <cmath>

namespace vna::v2 {

namespace {

constexpr quint8 WriteByte = 0x20;
constexpr quint8 Write2 = 0x21;
constexpr quint8 Write8 = 0x23;
constexpr quint8 ReadByte = 0x10;
constexpr quint8 ReadFifo = 0x18;
constexpr quint8 Indicate = 0x0d;
constexpr quint8 SweepStartRegister = 0x00;
constexpr quint8 SweepStepRegister = 0x10;
constexpr quint8 SweepPointsRegister = 0x20;
constexpr quint8 ValuesPerFrequencyRegister = 0x22;
constexpr quint8 DataModeRegister = 0x26;
constexpr quint8 ValuesFifo = 0x30;
constexpr quint8 LeaveUsbDataMode = 2;
constexpr quint8 ChecksumSeed = 0x46;

template <typename T> QByteArray Write(quint8 opcode, quint8 address, T value) {
    QByteArray bytes(2 + sizeof(T), '\0');
    bytes[0] = char(opcode);
    bytes[1] = char(address);
    qToLittleEndian(value, bytes.data() + 2);
    return bytes;
}

} // namespace

QByteArray ResetBytes() {
    return QByteArray(8, '\0');
}

QByteArray IndicateCommand() {
    return QByteArray(1, char(Indicate));
}

QByteArray ReadRegisterCommand(quint8 address) {
    return QByteArray{} + char(ReadByte) + char(address);
}

double StepHz(const SweepRequest& request) {
    return request.points > 1 ? std::floor((request.stopHz - request.startHz) / (request.points - 1))
                              : 0.0;
}

QByteArray SweepCommands(const SweepRequest& request) {
    return Write<quint64>(Write8, SweepStartRegister, quint64(std::llround(request.startHz))) +
           Write<quint64>(Write8, SweepStepRegister, quint64(StepHz(request))) +
           Write<quint16>(Write2, SweepPointsRegister, quint16(request.points)) +
           Write<quint16>(Write2, ValuesPerFrequencyRegister, quint16(1));
}

QByteArray ClearFifoCommand() {
    return Write<quint8>(WriteByte, ValuesFifo, 0);
}

QByteArray ReadFifoCommand(int values) {
    return QByteArray{} + char(ReadFifo) + char(ValuesFifo) + char(quint8(values));
}

QByteArray LeaveUsbModeCommand() {
    return Write<quint8>(WriteByte, DataModeRegister, LeaveUsbDataMode);
}

quint8 RecordChecksum(const char* bytes) {
    quint8 sum = ChecksumSeed;
    for (int i = 0; i < RecordSize - 1; ++i)
        sum = quint8((sum ^ quint8((sum << 1) | 1)) ^ quint8(bytes[i]));
    return sum;
}

std::optional<Record> ReadRecord(const char* bytes, int points) {
    const quint8 checksum = quint8(bytes[RecordSize - 1]);
    if (checksum != 0 && checksum != RecordChecksum(bytes))
        return std::nullopt;
    const auto int32At = [bytes](int offset) {
        return double(qFromLittleEndian<qint32>(bytes + offset));
    };
    const std::complex<double> forward(int32At(0), int32At(4));
    const std::complex<double> reflected(int32At(8), int32At(12));
    const int index = qFromLittleEndian<quint16>(bytes + 24);
    if (index >= points || std::abs(forward) == 0)
        return std::nullopt;
    return Record{index, reflected / forward};
}

} // namespace vna::v2
