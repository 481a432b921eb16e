#pragma once

#include "program/TimerRecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Timer1.tbl and Timer2.tbl: one record per line in table order, the quoted time, the position
// and the stepper, with CR LF line ends, for example
//   "07:30:00",150,0
// An empty table is an empty file.
namespace program {

inline constexpr int MaxTimerRecords = 100;

struct TimerFileContents {
    std::vector<TimerRecord> records; // the good records in file order, at most 100
    QStringList problems;             // one line per fault, for the user; empty for a sound file
};

QByteArray SerializeTimerFile(const std::vector<TimerRecord>& records);
// Never fails: a line that is no record (a time that is not hh:mm:ss, a position that is no
// number, a stepper other than 0 or 1) is left out and described in problems.
TimerFileContents ParseTimerFile(const QByteArray& bytes);

// The file of a stored TimerFileName ("\Timer1.tbl") in the program directory.
QString TimerFilePath(const QString& programDirectory, const QString& timerFileName);

} // namespace program
