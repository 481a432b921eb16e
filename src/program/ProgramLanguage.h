#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The language of the direct table's turning programs: values separated by commas, each a
// position in steps ("22"), a position in degrees ("200*"), a pause in ms ("1000!") or a step
// delay in ms for the next turn ("20#").
namespace program {

struct ProgramValue {
    enum class Kind { Position, Degrees, Pause, Speed };
    Kind kind = Kind::Position;
    // The value's leading number ("22*" -> 22, "1.5" -> 1.5, "" -> 0), not yet whole.
    double number = 0;
};

// Classifies one value: "!" is a pause, else "#" a speed, else "*" degrees, else steps.
ProgramValue ParseValue(const QString& value);

// True when a value starts with its number ("22*", ".5"); an empty value, ".", "*" or "!" is a
// typo, not a value of 0.
bool HasNumber(const QString& value);

// The values of a program text, split at every comma; the empty text after a final comma is
// not a value. "100,200," and "100,200" both give two values.
QStringList ProgramValues(const QString& text);

// True when the program turns somewhere: it holds a position or degree value.
bool HasPositionValue(const QString& text);

// The text as the program box keeps it: lower case, only digits and , . ! # *.
QString FilterProgramText(const QString& text);

// The step a position or degree value turns to, held within minPosition..maxPosition. The number
// is rounded (halves to even) and held in range before it becomes 32-bit. A stepper without a
// degree scale (StepsPer360 of 0 or less) reads a degree value as steps.
core::Long TargetOf(const ProgramValue& value, core::Single stepsPer360, core::Long minPosition,
                    core::Long maxPosition);

// The longest program text the program box holds; the box cuts off anything longer.
inline constexpr int MaxProgramLength = 32767;

// A pause in ms: the number rounded, at most MaxPauseMs.
inline constexpr core::Long MaxPauseMs = 5000;
core::Long PauseOf(const ProgramValue& value);

// A step delay in ms, held within fastestDelayMs..MaxSpeedDelayMs; clamped tells whether it had
// to be.
inline constexpr core::Long MaxSpeedDelayMs = 1000;
core::Long SpeedDelayOf(const ProgramValue& value, core::Long fastestDelayMs, bool* clamped);

// Where each value of a program text (split at every comma) stands in it: the selection that
// marks the value the program is about to turn to. One pass over the text, so a long program
// costs nothing per value it turns to.
struct TextSpan {
    int start = 0; // from 0
    int length = 0;
};
std::vector<TextSpan> ValueSpans(const QString& text);

// The built-in program of the Default entry.
QString DefaultProgram();
// The text of the Info entry.
QString DirectInfoText();

} // namespace program
