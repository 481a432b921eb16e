#pragma once

#include "core/ProgramState.h"

#include <QByteArray>
#include <array>
#include <optional>

namespace station {

// One record of the position journal: where both steppers stand and, for each, the target of a
// turn under way when it was written. In the file (CR LF, read with LF too):
//   Ventrolo journal 2
//   record=17           the record's number: each record written has the next one
//   config=3f2a...      Ventrolo.cfg as it stood when the record was written (JournalCopies.h)
//   stepper1=120 0      counter and overlay position of stepper 1
//   stepper2=0 0
//   turning1=50 12      stepper 1 was turning from its counter towards 50 (only then), and
//                       may have made up to 12 steps beyond the counter before the next record
//                       (without that number: all the way to 50)
//   end 5a3c            the CRC-16 (ISO 3309) of every byte before this line, in hex
// A record is whole only with its end line and a matching check, so a write cut short, zeros or
// a mix of two writes are told from a record. A later version may add keys and numbers after a
// stepper's two: they are skipped. Records of the first version (header "Ventrolo journal 1",
// no number, no check) are still read, as record 0.
struct JournalRecord {
    struct Stepper {
        core::Long counter = 0;
        core::Long overlay = 0;
        std::optional<core::Long> turningTo = std::nullopt;
        std::optional<core::Long> reach = std::nullopt; // steps beyond the counter, at most
        bool operator==(const Stepper&) const = default;
        // How far from its counter the stepper may stand: 0 when it was not turning.
        core::Long uncertainty() const;
    };
    std::array<Stepper, 2> steppers;
    quint64 number = 0;
    // The configuration's fingerprint at the write; empty: not known (earlier versions).
    QByteArray config = {};

    bool operator==(const JournalRecord&) const = default;

    QByteArray Serialize() const;
    // nullopt for contents that are not a whole record; badLine (1-based) tells where.
    static std::optional<JournalRecord> Parse(const QByteArray& contents, int* badLine = nullptr);
};

} // namespace station
