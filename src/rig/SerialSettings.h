#pragma once

#include <QString>
#include <optional>

namespace rig {

// Serial line settings as the program writes them: "4800,N,8,2" = baud rate, parity (N, E, O,
// M or S), data bits, stop bits.
struct SerialSettings {
    int baudRate = 4800;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;

    // Bits on the wire for one character: start, data, parity and stop bits.
    int bitsPerCharacter() const { return 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits; }
    // Time in ms that count characters take on the wire back to back.
    double wireTimeMs(int count) const { return count * bitsPerCharacter() * 1000.0 / baudRate; }
    bool operator==(const SerialSettings&) const = default;
};

// nullopt for a text that is not four fields of a positive baud rate, a parity letter, 5 to 8
// data bits and 1 or 2 stop bits.
std::optional<SerialSettings> ParseSerialSettings(const QString& text);

} // namespace rig
