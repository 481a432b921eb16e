#pragma once

#include <QString>
#include <array>

namespace core {
class SettingsGroupReader;
}

namespace port {

// How the status inputs are held while nothing drives them.
enum class GpioBias { PullUp, PullDown, None };

// A register bit that no line carries: writes to it go nowhere and, as an input, it reads as an
// open input of a PC port.
inline constexpr int GpioNotConnected = -1;

// The GPIO lines that stand in for the parallel port's pins, set in [gpio] of Ventrolo.ini by
// line number on the chip (on a Raspberry Pi the BCM GPIO number) or "none". The defaults suit
// a Raspberry Pi's 40-pin header and keep its UART (GPIO 14, 15), I2C (2, 3), SPI0 (7..11) and
// HAT EEPROM (0, 1) pins free:
//
//   key  register bit     DB25 pin       line  header pin
//   D0   data    1        2              17    11
//   D1   data    2        3              18    12
//   D2   data    4        4              27    13
//   D3   data    8        5              22    15
//   D4   data   16        6              23    16
//   D5   data   32        7              24    18
//   D6   data   64        8              25    22
//   D7   data  128        9               4     7
//   S3   status  8        15 nError       5    29
//   S4   status 16        13 Select       6    31
//   S5   status 32        12 PaperOut    12    32
//   S6   status 64        10 nAck        13    33
//   S7   status 128       11 Busy        26    37   read inverted, as a PC port's hardware does
//   ground                18..25               6, 9, 14, 20, 25, 30, 34, 39
struct GpioPinMap {
    QString chip = QStringLiteral("gpiochip0"); // name, path, number or label of the chip
    std::array<int, 8> data{17, 18, 27, 22, 23, 24, 25, 4}; // D0..D7
    std::array<int, 5> status{5, 6, 12, 13, 26};            // S3..S7
    GpioBias bias = GpioBias::PullUp;
    // For the user: the first value of [gpio] that cannot be used. The gpio backend does not
    // drive lines the user did not mean, so it stays closed while this is set.
    QString problem;
};

// Reads [gpio] through gpio, a reader of that group of settingsFile (named in problem) that takes
// a blank value as missing; the keys that are missing or blank are left in it with their
// defaults, for the caller to append:
//   [gpio]
//   chip=gpiochip0
//   D0=17 ... D7=4     a line number ("17" or "GPIO17") or none
//   S3=5 ... S7=26
//   bias=pull-up       pull-up, pull-down or none: how an input reads that nothing drives
GpioPinMap ReadGpioPinMap(core::SettingsGroupReader& gpio, const QString& settingsFile);

} // namespace port
