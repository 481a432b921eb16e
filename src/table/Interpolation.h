#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <array>

// The straight-line step between two table rows in a transformed x, computed in double
// precision. A numeric fault is a result, never an exception or a NaN.
namespace table {

inline constexpr int InterpolTypeCount = 10;

// The descriptions of numeric faults, as the user reads them after "Interpol error ".
inline const QString InvalidArgumentFault = QStringLiteral("Invalid procedure call or argument");
inline const QString DivisionByZeroFault = QStringLiteral("Division by zero");
inline const QString OverflowFault = QStringLiteral("Overflow");

// A computed value, or the description of the numeric fault that prevented it.
template <typename T> struct Checked {
    T value{};
    QString fault; // empty when value is good
    bool ok() const { return fault.isEmpty(); }
};

// Names shown for each InterpolType in the menu and the status line. For types 2, 3, 4, 6 and 7
// the name is not the transform that Transform computes; stored tables were built with the
// transforms, so both stay as they are.
const std::array<QString, InterpolTypeCount>& InterpolNames();

// t(v) of the interpolation type (0..9): v, 1/v, 1/v², log10 v, ln v, 1/√v, √v, v², 1/log10 v,
// 1/ln v. A logarithm of v <= 0 or a root of v < 0 is an invalid argument, 1/0 a division by
// zero, a result beyond the double range an overflow; a type outside 0..9 is invalid.
Checked<double> Transform(int interpolType, double v);

// yLo + (yHi - yLo) × (t - tLo) / (tHi - tLo), rounded halves to even. tHi = tLo is a division
// by zero (an overflow when the dividend is 0 too, as 0/0); a result beyond the 32-bit range is
// an overflow.
Checked<core::Long> Interpolate(double yLo, double yHi, double tHi, double tLo, double t);

} // namespace table
