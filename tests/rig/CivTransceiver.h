#pragma once

#include <QByteArray>
#include <cstdint>
#include <utility>

namespace rig_test {

// An Icom transceiver at address 94 (the IC-7300's) as its CI-V reference describes it,
// answering the controller at E0: frequency read 03 and set 05 (five BCD bytes, 1 Hz and 10 Hz
// first), mode read 04 (mode, filter) and set 06, VFO A/B select 07 00/01, split read 0F, the
// selected VFO's frequency 25 00 (and the other's 25 01) and mode 26 00 (mode, data mode,
// filter) read and set, transmit 1C 00 (read; 00/01 set), S-meter
// 15 02 and SWR meter 15 12 (two BCD bytes 0000..0255), RF power 14 0A read and set (the same).
// Set commands get FB, anything it
// cannot do FA.
struct CivTransceiver {
    std::int64_t dialHz = 7100000; // the selected VFO
    std::int64_t otherVfoHz = 7000000;
    bool onVfoB = false;
    std::uint8_t mode = 0x01; // USB
    bool transmitting = false;
    bool refusesTransmit = false;
    int sLevel = 120;  // S9
    int swrLevel = 48;    // SWR 1.5
    int powerLevel = 128; // RF power, 0000..0255 of the most

    static char Bcd(int twoDigits) { return char((twoDigits / 10) << 4 | twoDigits % 10); }
    static QByteArray Level(int level) {
        return QByteArray{} + Bcd(level / 100) + Bcd(level % 100);
    }
    static QByteArray Frequency(std::int64_t hz) {
        QByteArray bytes;
        for (int i = 0; i < 5; ++i, hz /= 100)
            bytes += Bcd(int(hz % 100));
        return bytes;
    }
    static std::int64_t FrequencyOf(const QByteArray& bytes) {
        std::int64_t hz = 0;
        for (int i = 4; i >= 0; --i) {
            const auto byte = std::uint8_t(bytes.at(i));
            hz = hz * 100 + (byte >> 4) * 10 + (byte & 0x0F);
        }
        return hz;
    }

    QByteArray answer(const QByteArray& frame) {
        const QByteArray ours = QByteArray::fromHex("fefe94e0");
        if (!frame.startsWith(ours) || !frame.endsWith(char(0xFD)))
            return {};
        const QByteArray body = frame.mid(4, frame.size() - 5);
        const auto reply = [](const QByteArray& data) {
            return QByteArray::fromHex("fefee094") + data + char(0xFD);
        };
        const QByteArray ok = reply(QByteArray::fromHex("fb"));
        const QByteArray ng = reply(QByteArray::fromHex("fa"));
        if (body == QByteArray::fromHex("03"))
            return reply(body + Frequency(dialHz));
        if (body == QByteArray::fromHex("04"))
            return reply(body + char(mode) + char(1));
        if (body.startsWith(char(0x05)) && body.size() == 6) {
            dialHz = FrequencyOf(body.mid(1));
            return ok;
        }
        if (body.startsWith(char(0x06)) && body.size() >= 2) {
            mode = std::uint8_t(body.at(1));
            return ok;
        }
        if (body == QByteArray::fromHex("0700") || body == QByteArray::fromHex("0701")) {
            if (onVfoB != (body.at(1) == 1))
                std::swap(dialHz, otherVfoHz);
            onVfoB = body.at(1) == 1;
            return ok;
        }
        if (body == QByteArray::fromHex("0f"))
            return reply(body + char(0)); // split off
        if (body == QByteArray::fromHex("2501"))
            return reply(body + Frequency(otherVfoHz));
        const QByteArray selected = QByteArray::fromHex("2500");
        if (body == selected)
            return reply(body + Frequency(dialHz));
        if (body.startsWith(selected) && body.size() == 7) {
            dialHz = FrequencyOf(body.mid(2));
            return ok;
        }
        const QByteArray selectedMode = QByteArray::fromHex("2600");
        if (body == selectedMode)
            return reply(body + char(mode) + char(0) + char(1));
        if (body.startsWith(selectedMode) && body.size() >= 3) {
            mode = std::uint8_t(body.at(2));
            return ok;
        }
        if (body == QByteArray::fromHex("1c00"))
            return reply(body + char(transmitting ? 1 : 0));
        if (body == QByteArray::fromHex("1c0001")) {
            if (refusesTransmit)
                return ng;
            transmitting = true;
            return ok;
        }
        if (body == QByteArray::fromHex("1c0000")) {
            transmitting = false;
            return ok;
        }
        if (body == QByteArray::fromHex("1502"))
            return reply(body + Level(sLevel));
        if (body == QByteArray::fromHex("1512"))
            return reply(body + Level(swrLevel));
        const QByteArray power = QByteArray::fromHex("140a");
        if (body == power)
            return reply(body + Level(powerLevel));
        if (body.startsWith(power) && body.size() == 4) {
            const auto digit = [&body](int at) { return std::uint8_t(body.at(at)); };
            powerLevel = (digit(2) >> 4) * 1000 + (digit(2) & 15) * 100 + (digit(3) >> 4) * 10 +
                         (digit(3) & 15);
            return ok;
        }
        return ng;
    }
};

} // namespace rig_test
