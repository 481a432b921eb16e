#pragma once

#include "core/ProgramState.h"

#include <QByteArray>
#include <array>
#include <optional>

namespace station {

// The contents of Ventrolo.journal: where both steppers stand and, for each, the target of a
// turn under way when it was written. In the file (CR LF, read with LF too):
//   Ventrolo journal 1
//   stepper1=120 0      counter and overlay position of stepper 1
//   stepper2=0 0
//   turning1=50 12      stepper 1 was turning from its counter towards 50 (only then), and
//                       may have made up to 12 steps beyond the counter before the next record
//                       (without that number: all the way to 50)
//   end
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

    bool operator==(const JournalRecord&) const = default;

    QByteArray Serialize() const;
    // nullopt for contents that are not a whole journal; badLine (1-based) tells where.
    static std::optional<JournalRecord> Parse(const QByteArray& contents, int* badLine = nullptr);
};

} // namespace station
