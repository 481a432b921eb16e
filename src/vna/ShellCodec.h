#pragma once

#include "vna/Sweep.h"

#include <QByteArray>
#include <QStringList>
#include <QStringView>
#include <optional>

// The text shell of the NanoVNA, NanoVNA-H and -H4 firmwares as bytes in and values out.
// The shell sends its prompt "ch> " when ready; a command is its text and a carriage return;
// the shell echoes every character as it arrives and answers the carriage return with CR LF,
// then prints its output line by line (CR LF), then the prompt again. An unknown command is
// answered "<name>?". (The firmwares' shell loop and their published command descriptions.)
namespace vna::shell {

// The bytes that send a command line.
QByteArray CommandLine(const QString& command);

// True once bytes end with the prompt: the reply to the last command is whole.
bool ReplyWhole(const QByteArray& bytes);
// The output lines of a whole reply: the echoed command line, the prompt and empty lines left
// out; CR LF and LF both end a line.
QStringList ReplyLines(const QByteArray& bytes, const QString& command);

// A number as the shell prints it. Firmwares set to a decimal comma print "0,123" for
// 0.123. A point the firmware could not measure is printed as a sentinel: "nan", "inf", or the
// 32-bit overflow of its own float printer ("2147483647.147483647"); such a value is Failed,
// never a number. Anything else that is no number is Garbled.
struct Value {
    enum class Kind { Number, Failed, Garbled };
    Kind kind = Kind::Garbled;
    double number = 0;
};
Value ReadValue(QStringView token);

// `scan <start> <stop> <points> 3`: one line per point, "<Hz> <S11 re> <S11 im>". Every line
// must be there, in order, with frequencies in the range asked; anything else is an error
// (garbled or short), never a sweep.
Result<Sweep> ReadScanLines(const QStringList& lines, const SweepRequest& request);
// The older firmwares' `scan <start> <stop> <points>` prints nothing: `frequencies` (one Hz
// value a line) and `data 0` (one "<re> <im>" a line) give the sweep.
Result<Sweep> ReadFrequencyAndDataLines(const QStringList& frequencyLines,
                                        const QStringList& dataLines,
                                        const SweepRequest& request);

// `scan_bin <start> <stop> <points> 3` answers, after its echo, with binary little-endian
// data: the output mask (uint16, 0x83 here: frequency, S11, binary) and the points (uint16),
// then per point the frequency (uint32, Hz) and S11 as two 32-bit floats; then the prompt.
// A firmware without the binary form answers in text, which ends with the prompt too.
bool BinaryReplyWhole(const QByteArray& bytes, const QString& command, int points);
Result<Sweep> ReadBinaryScan(const QByteArray& bytes, const QString& command,
                             const SweepRequest& request);

// What `info` tells: the board ("Board: NanoVNA-H 4") and the sweep points the firmware
// holds ("p:401" in its version line; the original firmware, without it, holds 101).
struct Info {
    QString board;
    std::optional<int> maxPoints;
};
Info ReadInfo(const QStringList& lines);
// The limit a refused scan names: "sweep points exceeds range 401".
std::optional<int> PointsLimit(const QStringList& lines);
// The device's own sweep as `sweep` tells it, "<start Hz> <stop Hz> <points>", ready to be
// given back to `sweep`; empty when the reply is not that.
QString ReadSweepRange(const QStringList& lines);
// The command names `help` lists ("Commands: scan scan_bin data ...").
QStringList ReadCommandNames(const QStringList& lines);

} // namespace vna::shell
