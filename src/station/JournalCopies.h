#pragma once

#include "station/JournalRecord.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

namespace station {

// The position journal is kept in two copies beside each other, base + ".1" and base + ".2",
// written in turn: each record replaces the older copy, so a write cut off (storage that loses
// what it was told to keep when the power goes) spoils at most the copy it was writing, and the
// other still holds a whole record. Before there were two copies the journal was one file,
// base itself; it is read while neither copy exists.
QString JournalCopyPath(const QString& base, int copy /*0 or 1*/);

struct JournalCopy {
    QString path;
    bool present = false;                 // a file (or something) is there
    std::optional<JournalRecord> record;  // when it holds a whole record
    QString problem;                      // otherwise, when present: "is damaged at line 3"
    QDateTime modified;
};

JournalCopy ReadJournalCopy(const QString& path);
std::array<JournalCopy, 2> ReadJournalCopies(const QString& base);
// Ventrolo.cfg's contents in short, as each record carries them: a record whose fingerprint
// differs from the file's was written before the file was saved. File times cannot tell that
// on a computer whose clock is set after it boots (no battery-backed clock) or is set back.
// "none" when the file is missing or cannot be read.
QByteArray ConfigFingerprint(const QString& configPath);
// The newest whole record of the two copies; nullopt when neither holds one.
std::optional<JournalRecord> NewestJournalRecord(const QString& base);

} // namespace station
