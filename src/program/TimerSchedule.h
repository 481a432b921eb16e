#pragma once

#include "program/TimerRecord.h"

#include <QDateTime>
#include <QString>
#include <map>
#include <optional>
#include <vector>

namespace program {

// Decides, tick by tick of the clock, which timer record turns now.
//
// Every record is due once a day at its time. A record made (typed, replaced, loaded) at a
// moment its time has passed is first due tomorrow. A tick makes the armed record when the clock
// has reached its time, even when the tick came late (a busy machine, a long turn, a short
// suspend), and arms the record that follows it in time order, wrapping to the first one
// tomorrow. A record due more than a minute ago, and every record passed over by a jump of the
// clock of more than a minute (the clock set, a long suspend), is missed rather than made late,
// so no burst of old turns follows. The records need not be sorted: the order of their times
// (and of their places for equal times) is what counts.
class TimerSchedule {
public:
    struct Armed {
        int index = -1; // in the records
        QDateTime due;  // the moment of its turn, whole seconds
    };

    explicit TimerSchedule(const std::vector<TimerRecord>& records) : records_(records) {}

    // Starts over at now, as if every record was made now: times up to now count as done.
    void Restart(const QDateTime& now);
    // The record at time was typed or replaced now: a time up to now is first due tomorrow.
    // Rearm() then.
    void Made(const QString& time, const QDateTime& now);
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
    // The first moment record index is due after what is done and after it was made.
    QDateTime nextDue(int index) const;
    QDateTime at(const QDate& date, int index) const;
    // The record's moment on date, or on the next day when its time is not on that day's clock.
    QDateTime onOrAfter(const QDate& date, int index) const;

    // Among the records of one time, the place of record index: how many of that time come
    // before it. Unlike the index, it stays when records of other times come and go.
    int rankOf(int index) const;

    const std::vector<TimerRecord>& records_;
    // Every turn due before done_, and at done_ the first doneRank_ of the records of that time
    // (in their places), is made or missed.
    QDateTime done_;
    int doneRank_ = 0;
    QDateTime lastTick_;                // the clock at the previous tick
    std::map<QString, QDateTime> made_; // record time -> when it was made, while not done
    std::optional<Armed> armed_;
};

} // namespace program
