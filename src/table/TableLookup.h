#pragma once

#include "table/TableData.h"

#include <QString>
#include <optional>

// Frequency to stepper position: the straight line between the two data rows that enclose the
// frequency, in the x transformed by the table's InterpolType, plus the table's StepperOffset.
// Pure: no state, no messages, no waiting, so the rig's polling may ask as often as it likes.
namespace table {

struct Lookup {
    enum class Kind {
        Position,   // position holds the answer
        NoReading,  // x is 0 or no number: the rig gave no frequency
        OutOfRange, // x lies outside the data rows (always so without data rows)
        Fault       // a numeric fault of the transform, described in fault
    };
    Kind kind = Kind::NoReading;
    core::Long position = 0;    // steps, offset included
    core::Long rowPosition = 0; // steps as the table holds them, without the offset
    bool exact = false;         // x is a row's own frequency
    QString fault;

    bool ok() const { return kind == Kind::Position; }
};

// What the table gives for x (normally the rig's frequency in kHz).
Lookup LookUpPosition(const TableData& table, core::Single x);

// The position for x, offset included; nullopt when the table gives none.
std::optional<core::Long> FreqToPosition(const TableData& table, core::Single x);

// The message of a numeric fault of interpolation type `type`.
QString InterpolFaultMessage(int type, const QString& fault);

} // namespace table
