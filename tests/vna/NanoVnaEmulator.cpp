#include "NanoVnaEmulator.h"

#include <QStringList>
#include <QtEndian>
#include <cmath>
#include <algorithm>
#include <cstring>

namespace vna_test {

ShellFirmware ShellFirmware::H4() {
    ShellFirmware f;
    f.board = QStringLiteral("NanoVNA-H 4");
    f.version = QStringLiteral("1.2.27");
    f.maxPoints = 401;
    return f;
}

ShellFirmware ShellFirmware::Original() {
    ShellFirmware f;
    f.board = QStringLiteral("NanoVNA");
    f.version = QStringLiteral("0.4.5-23-g587ad32");
    f.maxPoints = 101;
    f.infoNamesPoints = false;
    f.scanBin = false;
    f.msPerPoint = 9;
    return f;
}

ShellFirmware ShellFirmware::Oldest() {
    ShellFirmware f = Original();
    f.version = QStringLiteral("0.2.3");
    f.outputMask = false;
    f.versionCommand = false;
    return f;
}

ShellEmulator::ShellEmulator(ShellFirmware firmware, Antenna antenna)
    : firmware_(std::move(firmware)), antenna_(std::move(antenna)) {}

QString ShellEmulator::number(double value) const {
    QString text = QString::asprintf("%f", value);
    if (firmware_.decimalComma)
        text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

std::vector<Burst> ShellEmulator::receive(const QByteArray& bytes) {
    std::vector<Burst> out;
    if (silent)
        return out;
    QByteArray echo;
    for (const char c : bytes) {
        if (c == 0x08 || c == 0x7f) {
            if (!line_.isEmpty()) {
                line_.chop(1);
                echo += "\b \b";
            }
        } else if (c == '\r') {
            out.push_back({0, echo + "\r\n"});
            echo.clear();
            const QString line = QString::fromLatin1(line_);
            line_.clear();
            for (Burst& burst : execute(line))
                out.push_back(std::move(burst));
            out.push_back({0, "ch> "});
        } else if (uchar(c) >= 0x20 && line_.size() < 47) {
            echo += c;
            line_ += c;
        }
    }
    if (!echo.isEmpty())
        out.push_back({0, echo});
    return out;
}

std::vector<Burst> ShellEmulator::execute(const QString& line) {
    const QStringList args = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (args.isEmpty())
        return {};
    commandsHeard << line;
    const QString& name = args.first();
    const auto text = [](const QString& lines) { return std::vector<Burst>{{0, lines.toLatin1()}}; };
    if (name == QLatin1String("version") && firmware_.versionCommand)
        return text(firmware_.version + QStringLiteral("\r\n"));
    if (name == QLatin1String("info")) {
        QString version = QStringLiteral("Version: ") + firmware_.version;
        if (firmware_.infoNamesPoints)
            version += QStringLiteral(" [p:%1, IF:12k, ADC:384k, Lcd:480x320]").arg(firmware_.maxPoints);
        return text(QStringLiteral("Board: ") + firmware_.board + QStringLiteral("\r\n") + version +
                    QStringLiteral("\r\nBuild Time: Dec  1 2026 - 12:00:00\r\n"));
    }
    if (name == QLatin1String("help"))
        return text(QStringLiteral("Commands: scan%1 data frequencies freq sweep power bandwidth "
                                   "pause resume info version help\r\n")
                        .arg(firmware_.scanBin ? QStringLiteral(" scan_bin") : QString()));
    if (name == QLatin1String("sweep")) {
        if (args.size() == 1)
            return text(ownSweep + QStringLiteral("\r\n"));
        ownSweep = args.mid(1).join(QLatin1Char(' '));
        return {};
    }
    if (name == QLatin1String("pause") || name == QLatin1String("resume")) {
        paused = name == QLatin1String("pause");
        return {};
    }
    if (name == QLatin1String("frequencies")) {
        QString lines;
        for (const double hz : lastFrequencies_)
            lines += QString::number(qulonglong(hz)) + QStringLiteral("\r\n");
        return text(lines);
    }
    if (name == QLatin1String("data")) {
        QString lines;
        for (const std::complex<double>& s11 : lastData_)
            lines += number(s11.real()) + QLatin1Char(' ') + number(s11.imag()) + QStringLiteral("\r\n");
        return text(lines);
    }
    const bool binary = name == QLatin1String("scan_bin") && firmware_.scanBin;
    if (name != QLatin1String("scan") && !binary)
        return text(name + QStringLiteral("?\r\n"));

    const int most = firmware_.outputMask ? 5 : 4;
    if (args.size() < 3 || args.size() > most)
        return text(firmware_.outputMask
                        ? QStringLiteral("usage: scan {start(Hz)} {stop(Hz)} [points] [outmask]\r\n")
                        : QStringLiteral("usage: scan {start(Hz)} {stop(Hz)} [points]\r\n"));
    const qulonglong start = args[1].toULongLong();
    const qulonglong stop = args[2].toULongLong();
    if (start == 0 || stop == 0 || start > stop)
        return text(QStringLiteral("frequency range is invalid\r\n"));
    const int points = args.size() >= 4 ? args[3].toInt() : 101;
    if (points <= 0 || points > firmware_.maxPoints)
        return text(QStringLiteral("sweep points exceeds range %1\r\n").arg(firmware_.maxPoints));
    // A scan leaves its points as the device's own (the firmwares set them).
    QStringList range = ownSweep.split(QLatin1Char(' '));
    range.last() = QString::number(points);
    ownSweep = range.join(QLatin1Char(' '));
    int mask = args.size() == 5 ? args[4].toInt() : 0;
    if (binary)
        mask |= 0x80;

    lastFrequencies_.clear();
    lastData_.clear();
    for (int i = 0; i < points; ++i) {
        const qulonglong hz = points > 1 ? start + (stop - start) * qulonglong(i) / qulonglong(points - 1) : start;
        lastFrequencies_.push_back(double(hz));
        lastData_.push_back(antenna_(double(hz)));
    }
    const double sweepMs = points * firmware_.msPerPoint;
    if (mask == 0)
        return {{sweepMs, {}}};
    QByteArray output;
    if (mask & 0x80) {
        char header[4];
        qToLittleEndian<quint16>(quint16(mask), header);
        qToLittleEndian<quint16>(quint16(points), header + 2);
        output.append(header, 4);
        for (int i = 0; i < points; ++i) {
            char point[12];
            const bool failed = failedPoints.count(i) != 0;
            qToLittleEndian<quint32>(quint32(lastFrequencies_[i]), point);
            qToLittleEndian<float>(failed ? NAN : float(lastData_[i].real()), point + 4);
            qToLittleEndian<float>(failed ? NAN : float(lastData_[i].imag()), point + 8);
            output.append(point, 12);
        }
        if (garbledScans > 0)
            output.remove(output.size() / 2, 7);
    } else {
        QStringList lines;
        for (int i = 0; i < points; ++i) {
            const bool failed = failedPoints.count(i) != 0;
            QString pointLine;
            if (mask & 1)
                pointLine += QString::number(qulonglong(lastFrequencies_[i])) + QLatin1Char(' ');
            if (mask & 2)
                pointLine += failed ? QStringLiteral("2147483647.147483647 2147483647.147483647 ")
                                    : number(lastData_[i].real()) + QLatin1Char(' ') +
                                          number(lastData_[i].imag()) + QLatin1Char(' ');
            lines << pointLine;
        }
        if (garbledScans > 0)
            lines[points / 2].replace(QLatin1Char(' '), QStringLiteral(".0."));
        output = (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    }
    garbledScans = std::max(0, garbledScans - 1);
    return {{sweepMs, output}};
}

V2Emulator::V2Emulator(Antenna antenna, bool checksums)
    : antenna_(std::move(antenna)), checksums_(checksums) {
    registers_[0xf0] = 2;
    registers_[0xf1] = 1;
    registers_[0xf2] = 2;
    registers_[0xf3] = 1;
    registers_[0xf4] = 3;
}

quint64 V2Emulator::registerValue(int address, int size) const {
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | registers_[(address + i) & 0xff];
    return value;
}

QByteArray V2Emulator::record(int index) const {
    const double start = double(registerValue(0x00, 8));
    const double step = double(registerValue(0x10, 8));
    const std::complex<double> s11 = antenna_(start + step * index);
    constexpr double Full = 1 << 30;
    char bytes[32] = {};
    qToLittleEndian<qint32>(qint32(Full), bytes);
    qToLittleEndian<qint32>(qint32(std::lround(s11.real() * Full)), bytes + 8);
    qToLittleEndian<qint32>(qint32(std::lround(s11.imag() * Full)), bytes + 12);
    qToLittleEndian<quint16>(quint16(index), bytes + 24);
    if (checksums_) {
        quint8 sum = 0x46;
        for (int i = 0; i < 31; ++i)
            sum = quint8((sum ^ quint8((sum << 1) | 1)) ^ quint8(bytes[i]));
        bytes[31] = char(sum);
    }
    return QByteArray(bytes, 32);
}

std::vector<Burst> V2Emulator::command(quint8 opcode, const QByteArray& arguments) {
    const auto arg = [&](int i) { return quint8(arguments[i]); };
    switch (opcode) {
    case 0x0d:
        return {{0, "2"}};
    case 0x10:
    case 0x11:
    case 0x12:
    case 0x13: {
        const int size = 1 << (opcode - 0x10);
        QByteArray value;
        for (int i = 0; i < size; ++i)
            value += char(registers_[(arg(0) + i) & 0xff]);
        return {{0, value}};
    }
    case 0x18: {
        if (arg(0) != 0x30)
            return {};
        usbDataMode = true;
        int points = int(registerValue(0x20, 2));
        if (points == 0)
            points = 101;
        QByteArray values;
        for (int i = 0; i < arg(1); ++i) {
            values += record(nextIndex_);
            nextIndex_ = (nextIndex_ + 1) % points;
        }
        if (garbleNextRead && !values.isEmpty()) {
            values[values.size() / 2] = char(values[values.size() / 2] ^ 0x5a);
            garbleNextRead = false;
        }
        return {{arg(1) * msPerPoint, values}};
    }
    case 0x20:
    case 0x21:
    case 0x22:
    case 0x23: {
        const int size = 1 << (opcode - 0x20);
        for (int i = 0; i < size; ++i)
            registers_[(arg(0) + i) & 0xff] = arg(1 + i);
        const int address = arg(0);
        if (address == 0x00 || address == 0x10 || address == 0x20 || address == 0x22) {
            usbDataMode = true;
            nextIndex_ = 0;
        }
        if (address == 0x30)
            nextIndex_ = firstIndexAfterClear;
        if (address == 0x26 && registers_[0x26] == 2)
            usbDataMode = false;
        return {};
    }
    default:
        return {};
    }
}

std::vector<Burst> V2Emulator::receive(const QByteArray& bytes) {
    std::vector<Burst> out;
    if (silent)
        return out;
    pending_ += bytes;
    const auto argumentCount = [](quint8 opcode) {
        switch (opcode) {
        case 0x10:
        case 0x11:
        case 0x12:
        case 0x13:
            return 1;
        case 0x18:
        case 0x20:
            return 2;
        case 0x21:
            return 3;
        case 0x22:
            return 5;
        case 0x23:
            return 9;
        default:
            return 0;
        }
    };
    while (!pending_.isEmpty()) {
        const quint8 opcode = quint8(pending_[0]);
        const int count = argumentCount(opcode);
        if (pending_.size() < 1 + count)
            break;
        const QByteArray arguments = pending_.mid(1, count);
        pending_.remove(0, 1 + count);
        for (Burst& burst : command(opcode, arguments))
            out.push_back(std::move(burst));
    }
    return out;
}

} // namespace vna_test
