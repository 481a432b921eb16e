#pragma once

#include "program/TimerRecord.h"

#include <QDateTime>
#include <optional>
#include <vector>

namespace program {

// Decides, tick by tick of the clock, which timer record turns now.
//
// Every record is due once a day at its time. A tick makes the armed record when the clock has
// reached its time, even when the tick came late (a busy machine, a short suspend), and arms the
// record that follows it in time order, wrapping to the first one tomorrow. A record due more
// than a minute ago, and every record passed over by a jump of the clock of more than a minute
// (the clock set, a long suspend), is missed rather than made late, so no burst of old turns
// follows. The records need not be sorted: the order of their times is what counts.
class TimerSchedule {
public:
    struct Armed {
        int index = -1; // in the records
        QDateTime due;  // the moment of its turn, whole seconds
    };

    explicit TimerSchedule(const std::vector<TimerRecord>& records) : records_(records) {}

    // Starts over at now: records due up to now count as done.
    void Restart(const QDateTime& now);
    // Arms the first record due after what is done; call it after the records changed. With no
    // records nothing is armed.
    void Rearm();
    // The tick of the clock: the record to turn now, if one is due. It counts as done at once
    // (the caller turns it or takes it as missed); the record following it is armed.
    std::optional<TimerRecord> Tick(const QDateTime& now);
    // After the turn of a tick: its length is no jump of the clock.
    void TurnEnded(const QDateTime& now);

    const std::optional<Armed>& armed() const { return armed_; }

private:
    // The record following index in the order of time (and of place for equal times), and
    // whether the order wrapped to the first one.
    std::pair<int, bool> following(int index) const;
    bool before(int a, int b) const;
    QDateTime at(const QDate& date, int index) const;

    const std::vector<TimerRecord>& records_;
    QDateTime done_;     // every turn due at or before it is made or missed
    QDateTime lastTick_; // the clock at the previous tick
    std::optional<Armed> armed_;
};

} // namespace program
