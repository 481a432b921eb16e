#include "rig/CatCodec.h"

#include "core/TextRules.h"

namespace rig {

namespace {

bool IsDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

std::uint8_t PackPair(const QString& digits, int pair) {
    const int high = digits[pair * 2].unicode() - '0';
    const int low = digits[pair * 2 + 1].unicode() - '0';
    return static_cast<std::uint8_t>(high << 4 | low);
}

} // namespace

QString FreqToBcdDigits(const QString& kHzText) {
    static const QString overflow = QStringLiteral("Overflow");
    const QString text = kHzText.trimmed();
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    QString fraction = point < 0 ? QString() : text.mid(point + 1);
    // Seven digits or more before the point do not fit the eight digits; without this a text
    // such as "1000000" would be cut to a wrong frequency.
    if (text.isEmpty() || whole.size() > 6)
        return overflow;
    for (const QChar c : whole + fraction) {
        if (!IsDigit(c))
            return overflow;
    }
    fraction = (fraction + QStringLiteral("00")).left(2);
    return whole.rightJustified(6, QLatin1Char('0')) + fraction;
}

std::optional<Frame> SetFrequencyFrame(const RigCaps& caps, float kHz) {
    const QString digits = FreqToBcdDigits(core::PlainNumberText(kHz));
    if (digits.size() != 8)
        return std::nullopt;
    Frame frame{};
    for (int pair = 0; pair < 4; ++pair) {
        const int at =
            caps.frequencyLayout == FrequencyLayout::PackedBcdHighFirst ? pair : 3 - pair;
        frame[at] = PackPair(digits, pair);
    }
    frame[4] = caps.setFrequencyOpcode;
    return frame;
}

Frame SetModeFrame(const RigCaps& caps, std::uint8_t modeCode) {
    Frame frame{0x00, 0x00, 0x00, 0x00, caps.setModeOpcode};
    frame[caps.setModeCodeByte] = modeCode;
    return frame;
}

QByteArray FrameBytes(const Frame& frame) {
    return QByteArray(reinterpret_cast<const char*>(frame.data()), qsizetype(frame.size()));
}

std::optional<BcdFrequencyReply> DecodeBcdFrequencyReply(const RigCaps& caps,
                                                         const QByteArray& reply) {
    if (reply.size() != 5)
        return std::nullopt;
    std::int64_t units = 0; // 10 Hz
    for (int i = 0; i < 4; ++i) {
        const auto byte = static_cast<std::uint8_t>(reply[i]);
        const int high = byte >> 4;
        const int low = byte & 0x0F;
        if (high > 9 || low > 9)
            return std::nullopt;
        units = units * 100 + high * 10 + low;
    }
    const double kHz = static_cast<double>(units) / 100.0;
    if (!caps.withinDialRange(kHz))
        return std::nullopt;
    return BcdFrequencyReply{kHz, static_cast<std::uint8_t>(reply[4])};
}

std::optional<double> DecodeBlockFrequency(const RigCaps& caps, const QByteArray& reply) {
    if (reply.size() != caps.frequencyReply.length || caps.frequencyFirstByte < 1 ||
        caps.frequencyFirstByte + 2 > reply.size())
        return std::nullopt;
    std::uint32_t units = 0; // 10 Hz
    for (int i = 0; i < 3; ++i)
        units = units << 8 | static_cast<std::uint8_t>(reply[caps.frequencyFirstByte - 1 + i]);
    const double kHz = units / 100.0;
    if (!caps.withinDialRange(kHz))
        return std::nullopt;
    return kHz;
}

RxTxStatus DecodeRxTxStatus(std::uint8_t firstByte) {
    return {firstByte & 0x0F, (firstByte & 0x80) != 0, (firstByte & 0x40) != 0};
}

std::optional<Ft840Status> DecodeFt840Status(const QByteArray& reply) {
    if (reply.size() != 5)
        return std::nullopt;
    const auto first = static_cast<std::uint8_t>(reply[0]);
    const auto second = static_cast<std::uint8_t>(reply[1]);
    const auto third = static_cast<std::uint8_t>(reply[2]);
    return Ft840Status{(first & 0x01) != 0, (second & 0x01) != 0, (second & 0x40) != 0,
                       (third & 0x80) != 0};
}

bool StatusBlockLocked(const QByteArray& reply) {
    return !reply.isEmpty() && (static_cast<std::uint8_t>(reply[0]) & 0x01) != 0;
}

} // namespace rig
