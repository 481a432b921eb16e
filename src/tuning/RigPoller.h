#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "rig/RigReading.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tuning {

// The rig's polls: a reading every ComPollMs, the transmit state alone during turns as often as
// the link answers (TransmitRestMs after each reply), one exchange at a time.
// - Polls start ComPollMs apart; after an exchange longer than that the line rests half an
//   interval, so that the window is not starved.
// - A reading with a new frequency is checked at once by a short read (frequency and transmit
//   state), since following waits for two readings that agree; once per poll, so that a line
//   giving a new frequency each time is not read without rest.
// - Between a slow turn's steps the transmit state is watched as during a turn, and the polls
//   keep their pace beside it: a step more than a second after the last one waits for the
//   transmit read that comes before it, not for the next poll.
// - They pause while the engine turns (unless the transmit state is watched), while a pause is
//   held, while a reading is awaited and while the caller holds them; a poll that fell due
//   meanwhile runs when they end.
class RigPoller : public QObject {
    Q_OBJECT

public:
    // While the stepper turns the rig's transmit state is read again this long after its last
    // reply, in ms: a turn stops within about two of the link's transmit reads of the rig being
    // keyed, and the line and the program's thread rest a moment between reads.
    static constexpr int TransmitRestMs = 5;

    RigPoller(core::ProgramState& state, platform::Platform& platform, QObject* parent = nullptr);

    // The window opens: a poll interval outside 200, 500, 1000, 1500 ms becomes 1000 ms, and
    // the rate button steps down first.
    void Load();
    // cmdComPol: the next interval of 1000, 500, 200, 500, 1000, 1500, 1000, ...; false, and
    // nothing changed, from an interval outside the four.
    bool NextRate();
    QString RateCaption() const;
    QString RateToolTip() const;

    // (Re)schedules the next poll. allowed: nothing outside the poller holds polls (the port
    // is open, ...); watchTransmit: polls go on during turns.
    void Schedule(bool allowed, bool watchTransmit);
    bool timerRunning() const;

    // A link opened (the first poll one interval later) or closed: no reading is awaited.
    void Opened();
    void Closed() { awaiting_ = checkOwed_ = checking_ = false; }
    void Pause() { ++pauses_; }
    void Unpause() { --pauses_; }
    void TurnStarted() { turning_ = true; }
    void TurnEnded() { turning_ = false; }
    bool turning() const { return turning_; }
    // A slow turn runs (between its steps, past TurnEnded) or ended.
    void SlowTurn(bool running) { slowTurn_ = running; }

    // A new frequency was read: the next poll, due at once, checks it.
    void CheckSoon();
    // Asks the rig for a reading (during a turn its transmit state alone, for a check its
    // frequency and transmit state); false when the request did not go out, and nothing is
    // awaited.
    bool Request(rig::RigConnection& rig);
    bool awaiting() const { return awaiting_; }
    // A reading from the rig; answered() when it was awaited.
    void ReadingArrived(const rig::RigReading& reading);

signals:
    // A poll is due.
    void due();
    void answered(const rig::RigReading& reading);

private:
    core::ProgramState& state_;
    platform::Platform& platform_;
    std::unique_ptr<platform::Timer> timer_;
    bool downward_ = true;
    double lastPollAtMs_ = 0;  // when the last poll outside a turn began
    double lastReplyAtMs_ = 0; // when its exchange ended
    double dueAtMs_ = 0;       // what the running timer waits for
    int pauses_ = 0;
    bool turning_ = false;
    bool slowTurn_ = false;
    bool watchingSlowTurn_ = false; // its transmit state is read between polls
    bool awaiting_ = false;
    bool checkOwed_ = false; // the next poll checks a new frequency
    bool checking_ = false;  // the exchange under way (or the last one) is a check
};

} // namespace tuning
