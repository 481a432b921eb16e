#include "display/LptPins.h"

namespace display {
namespace {

// Status register bits 3 to 7 carry pins 15, 13, 12, 10 and 11; the port inverts bit 7.
constexpr std::array<int, 5> StatusInputPins{15, 13, 12, 10, 11};
constexpr int FirstStatusBit = 3;
constexpr int InvertedStatusBit = 7;

QString RoleOf(int box, const port::StepperOutputs& outputs,
               const port::InhibitSettings& inhibit) {
    QString role = port::DataBitRole(outputs, box);
    if (inhibit.bit == box)
        role += (role.isEmpty() ? QString() : QStringLiteral(", ")) + QStringLiteral("TX inhibit");
    return role;
}

} // namespace

QString PinBoxCaption(int box, const port::StepperOutputs& outputs,
                      const port::InhibitSettings& inhibit) {
    const int pin = DataPinOfBox(box);
    QString caption = pin == 2 ? QStringLiteral("Pin2.") : QStringLiteral("Pin %1.").arg(pin);
    if (const QString role = RoleOf(box, outputs, inhibit); !role.isEmpty())
        caption += QLatin1Char(' ') + role;
    return caption;
}

QString PinBoxToolTip(int box, const port::StepperOutputs& outputs,
                      const port::InhibitSettings& inhibit) {
    const QString role = RoleOf(box, outputs, inhibit);
    return QStringLiteral("D%1").arg(box) + (role.isEmpty() ? QString() : QLatin1Char(' ') + role);
}

std::uint8_t PinBoxesValue(const PinBoxes& boxes) {
    std::uint8_t value = 0;
    for (int bit = 0; bit < 8; ++bit)
        value = WithPin(value, bit, boxes[bit]);
    return value;
}

PinBoxes PinBoxesOf(std::uint8_t value) {
    PinBoxes boxes{};
    for (int bit = 0; bit < 8; ++bit)
        boxes[bit] = (value >> bit) & 1;
    return boxes;
}

std::uint8_t WithPin(std::uint8_t value, int bit, bool on) {
    if (bit < 0 || bit > 7)
        return value;
    const auto mask = static_cast<std::uint8_t>(1u << bit);
    return on ? static_cast<std::uint8_t>(value | mask) : static_cast<std::uint8_t>(value & ~mask);
}

core::Long ExtraBitsOf(std::uint8_t value) {
    return value & 0xF0;
}

std::uint8_t CombineBits(std::initializer_list<core::Long> parts) {
    core::Long value = 0;
    for (const core::Long part : parts)
        value |= part;
    return static_cast<std::uint8_t>(value & 0xFF);
}

std::array<StatusPin, 5> StatusPins(std::uint8_t status) {
    std::array<StatusPin, 5> pins{};
    for (int i = 0; i < 5; ++i) {
        const int bit = FirstStatusBit + i;
        const bool set = (status >> bit) & 1;
        pins[i] = {StatusInputPins[i], core::Long{1} << i, set,
                   bit == InvertedStatusBit ? !set : set};
    }
    return pins;
}

QString StatusValueText(std::uint8_t status) {
    const int inputs = status >> FirstStatusBit;
    QString bits;
    for (int bit = 0; bit < 8; ++bit)
        bits += (inputs >> bit) & 1 ? QLatin1Char('1') : QLatin1Char('0');
    return QStringLiteral("b") + bits + QStringLiteral("D=") + QString::number(inputs);
}

QString SpinnerText(int reading) {
    static const QString signs[] = {QStringLiteral("(\\)"), QStringLiteral("(-)"),
                                    QStringLiteral("(/)"), QStringLiteral("(-)")};
    const int place = ((reading - 1) % 4 + 4) % 4;
    return signs[place];
}

} // namespace display
