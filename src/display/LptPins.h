#pragma once

#include "core/ProgramState.h"
#include "port/InhibitSettings.h"
#include "port/StepDirSettings.h"

#include <QString>
#include <array>
#include <cstdint>
#include <initializer_list>

// The pins of the parallel port as the LPT test windows show them. A register value is one byte:
// bits are combined and removed bitwise, so a bit held by two parts is one pin and never carries
// into the next pin, and nothing wraps past 255.
namespace display {

// Output test: box k (0 to 7) is data bit k, DB-25 pin k + 2, weight 2^k.
using PinBoxes = std::array<bool, 8>;
constexpr int DataPinOfBox(int box) {
    return box + 2;
}

// A box's caption: "Pin2.", "Pin 3." ..., followed by what the step/dir steppers or the
// transmit-inhibit line use the bit for: "Pin2. STEP 1", "Pin 7. TX inhibit".
QString PinBoxCaption(int box, const port::StepperOutputs& outputs,
                      const port::InhibitSettings& inhibit = {});
// Its tooltip: the data bit and that use, "D0 STEP 1", or the data bit alone, "D5".
QString PinBoxToolTip(int box, const port::StepperOutputs& outputs,
                      const port::InhibitSettings& inhibit = {});

// The register value the boxes make.
std::uint8_t PinBoxesValue(const PinBoxes& boxes);
// The boxes of a register value read back.
PinBoxes PinBoxesOf(std::uint8_t value);
// A register value with one data bit set or cleared; the other bits stay as they are.
std::uint8_t WithPin(std::uint8_t value, int bit, bool on);
// The data pins 6 to 9 (bits 4 to 7) of a register value: the extra bits the stepping adds to
// every coil output.
core::Long ExtraBitsOf(std::uint8_t value);
// The byte of several parts (coil code, enable bits, extra bits) combined bitwise.
std::uint8_t CombineBits(std::initializer_list<core::Long> parts);

// Input test: one of the five status inputs.
struct StatusPin {
    int pin;          // DB-25 pin: 15, 13, 12, 10, 11
    core::Long value; // its value among the inputs (status register / 8): 1, 2, 4, 8, 16
    bool set;         // its bit is 1 in the register, as the program reads it
    bool high;        // the level on the pin: the port inverts pin 11 (busy) in the register
};
// The five inputs of a status register value, in the order 15, 13, 12, 10, 11.
std::array<StatusPin, 5> StatusPins(std::uint8_t status);
// The value label of the input test: "b" and the eight bits of the inputs lowest first, "D="
// and their value: "b10000000D=1".
QString StatusValueText(std::uint8_t status);
// The input test's activity sign for a reading count: "(\)", "(-)", "(/)", "(-)", repeating.
QString SpinnerText(int reading);

} // namespace display
