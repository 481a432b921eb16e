#pragma once

#include "core/ProgramState.h"
#include "platform/LptPort.h"

#include <QString>
#include <array>

namespace port {

// One input of the status register. The status register read at LptStatusAddress and divided
// by 8 brings its bits 3..7 to the values 1..16.
struct InputPin {
    QString name;     // "Remote CCW."
    QString value;    // the input's value as text: "1"
    QString pinLabel; // "Pin 15="
};

// The inputs in the order the windows list them. Rows 2 and 4 are the same pin: the begin
// switch or, in centre mode, the centre switch. Pin 11 is the inverted bit of the register and
// is not used.
inline const std::array<InputPin, 6> InputPinTable{{
    {QStringLiteral("Remote CCW."), QStringLiteral("1"), QStringLiteral("Pin 15=")},
    {QStringLiteral("Remote CW."), QStringLiteral("2"), QStringLiteral("Pin 13=")},
    {QStringLiteral("Begin switch."), QStringLiteral("4"), QStringLiteral("Pin 12=")},
    {QStringLiteral("End switch."), QStringLiteral("8"), QStringLiteral("Pin 10=")},
    {QStringLiteral("Center switch."), QStringLiteral("4"), QStringLiteral("Pin 12=")},
    {QStringLiteral("Not used."), QStringLiteral("16"), QStringLiteral("Pin 11=")},
}};

// Rows of InputPinTable by meaning.
enum InputRow { RemoteCcwRow = 0, RemoteCwRow, BeginRow, EndRow, CenterRow, NotUsedRow };

// The input values of the table: a bit is active when it is 1 in the value read.
inline constexpr core::Long RemoteCcwInput = 1;
inline constexpr core::Long RemoteCwInput = 2;
inline constexpr core::Long BeginInput = 4; // also the centre switch
inline constexpr core::Long EndInput = 8;

// The status register at LptStatusAddress as read; 0 when that is no I/O address.
core::Long ReadStatusRegister(const core::ProgramState& state, platform::LptPort& lpt);
// The inputs as the status register at LptStatusAddress delivers them, divided by 8: bit 1
// remote CCW, 2 remote CW, 4 begin (or centre) switch, 8 end switch, 16 pin 11. The levels are
// taken as the port gives them; an address that is no I/O address reads 0.
core::Long ReadStatusInputs(const core::ProgramState& state, platform::LptPort& lpt);

} // namespace port
