#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"
#include "station/JournalRecord.h"

#include <QObject>
#include <optional>

namespace station {

// Ventrolo.journal beside the configuration: where both steppers stand, so that a crash, kill -9
// or power cut loses no position. It is written atomically when a turn starts and ends, about
// once a second while a turn runs (never per step), and whenever the counter changes without a
// turn (set by hand, a position switch, another stepper); while a turn runs it says where the
// turn goes and how many steps it may make before the next record, so the next start knows how
// far off the counter may be. Identical contents are not written again.
class PositionJournal : public QObject {
    Q_OBJECT

public:
    // How often a running turn is recorded (ms).
    static constexpr double JournalIntervalMs = 1000;

    PositionJournal(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                    QString journalPath, QString configPath, QObject* parent = nullptr);

    // Start-up, after the configuration is loaded and before the windows are built: a journal
    // that is not older than the configuration (or the only file) and differs from it gives
    // both steppers its counters. A damaged or unreadable journal is not used.
    void Restore();
    // After the windows are built: tells the user what Restore() found. When a turn was cut
    // off, asks whether to run the calibration and returns the stepper (0 or 1) to run it on.
    // The journal is written from now on.
    std::optional<core::Long> TellUser();

    // The engine's news (connected in the application).
    void TurnStarted();
    void TurnEnded();
    void CounterChanged();
    void SlowStepMade();
    void Stopped();
    void StepperSwitched();
    // The way out: only the parking moves from now on; it is recorded as a turn of each stepper
    // to its lower limit.
    void ExitStarted();
    // The configuration was saved at the end: the journal agrees with it.
    void Ended();

private:
    // The counters of a journal that is to be used, and what to tell about them.
    void take(const JournalRecord& record, bool configured);
    JournalRecord current(bool stored) const;
    core::Long turnTarget() const;
    core::Long reachBeforeNextRecord() const;
    void recordTurn();
    void recordSteady();
    void write(const JournalRecord& record);

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    QString path_;
    QString configPath_;
    bool armed_ = false;
    bool inTurn_ = false;
    bool exiting_ = false;
    bool parkRecorded_ = false;
    core::Long recordedTarget_ = 0; // of the turn on record
    QByteArray written_;
    double writtenAtMs_ = 0; // steady clock
    bool failureTold_ = false;
    // What Restore() found, for TellUser().
    QString message_;
    platform::Icon icon_ = platform::Icon::Information;
    std::optional<core::Long> uncertain_;
};

} // namespace station
