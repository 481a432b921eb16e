#include "rig/CivFrame.h"

namespace rig::civ {

namespace {

// No command of ours gets a longer reply: longer, the end code was lost.
constexpr qsizetype LongestFrame = 64;

std::optional<int> BcdByte(char byte) {
    const int high = std::uint8_t(byte) >> 4;
    const int low = std::uint8_t(byte) & 0x0F;
    if (high > 9 || low > 9)
        return std::nullopt;
    return high * 10 + low;
}

} // namespace

QByteArray Encode(std::uint8_t to, std::uint8_t from, const QByteArray& body) {
    QByteArray frame;
    frame.reserve(body.size() + 5);
    frame += Preamble;
    frame += Preamble;
    frame += char(to);
    frame += char(from);
    frame += body;
    frame += End;
    return frame;
}

std::optional<Frame> Decode(const QByteArray& bytes) {
    if (bytes.size() < 6 || !bytes.startsWith(QByteArray(2, Preamble)) || !bytes.endsWith(End))
        return std::nullopt;
    return Frame{std::uint8_t(bytes.at(2)), std::uint8_t(bytes.at(3)),
                 bytes.mid(4, bytes.size() - 5)};
}

std::optional<QByteArray> TakeFrame(QByteArray& received) {
    for (;;) {
        // Before a frame: line noise is dropped, a jam reported once however long.
        qsizetype start = 0;
        bool jammed = false;
        while (start < received.size() &&
               !(received.at(start) == Preamble &&
                 (start + 1 == received.size() || received.at(start + 1) == Preamble))) {
            jammed = jammed || received.at(start) == Jam;
            ++start;
        }
        received.remove(0, start);
        if (jammed)
            return QByteArray(1, Jam);
        // Some rigs lead with more than two preamble bytes.
        while (received.size() > 2 && received.at(2) == Preamble)
            received.remove(0, 1);
        if (received.size() < 2)
            return std::nullopt;
        for (qsizetype i = 2; i < received.size(); ++i) {
            const char byte = received.at(i);
            if (byte == End) {
                QByteArray frame = received.left(i + 1);
                received.remove(0, i + 1);
                if (frame.size() < 6) // no addresses or no command: not a frame
                    break;
                return frame;
            }
            if (byte == Preamble) { // cut short: what follows may be the next frame
                received.remove(0, i);
                break;
            }
            if (byte == Jam) { // told once, however long
                qsizetype end = i;
                while (end < received.size() && received.at(end) == Jam)
                    ++end;
                received.remove(0, end);
                return QByteArray(1, Jam);
            }
            if (i >= LongestFrame) {
                received.remove(0, 2);
                break;
            }
        }
        if (received.startsWith(QByteArray(2, Preamble)) && !received.contains(End))
            return std::nullopt;
    }
}

QByteArray FrequencyBytes(std::int64_t hz) {
    QByteArray bytes(5, 0);
    for (int i = 0; i < 5; ++i) {
        const int pair = int(hz % 100);
        hz /= 100;
        bytes[i] = char((pair / 10) << 4 | pair % 10);
    }
    return bytes;
}

std::optional<std::int64_t> FrequencyHz(const QByteArray& bytes) {
    if (bytes.size() != 5)
        return std::nullopt;
    std::int64_t hz = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        const std::optional<int> pair = BcdByte(bytes.at(i));
        if (!pair)
            return std::nullopt;
        hz = hz * 100 + *pair;
    }
    return hz;
}

std::optional<int> Level(const QByteArray& bytes) {
    if (bytes.size() != 2)
        return std::nullopt;
    const std::optional<int> high = BcdByte(bytes.at(0));
    const std::optional<int> low = BcdByte(bytes.at(1));
    if (!high || !low || *high * 100 + *low > 255)
        return std::nullopt;
    return *high * 100 + *low;
}

QByteArray LevelBytes(int level) {
    const auto bcd = [](int twoDigits) { return char((twoDigits / 10) << 4 | twoDigits % 10); };
    return QByteArray{} + bcd(level / 100) + bcd(level % 100);
}

} // namespace rig::civ
