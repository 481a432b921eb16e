#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"
#include "station/JournalCopies.h"
#include "station/JournalRecord.h"

#include <QObject>
#include <array>
#include <optional>

namespace station {

// The journal beside the configuration (two copies, JournalCopies.h): where both steppers stand,
// so that a crash, kill -9 or power cut loses no position. A record is written atomically when
// a turn starts and ends, about once a second while a turn runs (never per step), and whenever
// the counter changes without a turn (set by hand, a position switch, another stepper); while a
// turn runs it says where the turn goes and how many steps it may make before the next record,
// so the next start knows how far off the counter may be. Identical positions are not written
// again. A journal that cannot be written never holds up the stepper: the user is told once,
// without waiting for an answer, and told again when it is written once more.
class PositionJournal : public QObject {
    Q_OBJECT

public:
    // How often a running turn is recorded (ms).
    static constexpr double JournalIntervalMs = 1000;

    // journalPath is the copies' base (and the single journal of earlier versions).
    PositionJournal(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                    QString journalPath, QString configPath, QObject* parent = nullptr);

    // Start-up, after the configuration is loaded and before the windows are built: the newest
    // whole record, when it is not older than the configuration (or there is none, or its
    // positions could not be read: configPositionsRead) and differs from it, gives both steppers
    // its counters. When a newer record was spoilt, or no record is whole, the configuration's
    // counters stand and the user is told how far off they may be.
    void Restore(bool configPositionsRead = true);
    // From now on every change is written; what Restore() found stays on record until the
    // user has been told (TellUser).
    void Arm();
    // Tells the user what Restore() found. When a counter may be off (a turn cut off, a record
    // lost), asks whether to run the calibration and returns the stepper (0 or 1) to run it on.
    // Arms the journal when Arm() has not.
    std::optional<core::Long> TellUser();
    // Where a stepper may not stand at its counter since the start ("Stepper 1 may stand up to
    // 40 steps from its counter: ..."), until its position is found; empty: none.
    QString doubt() const;
    // The stepper's counter was set to where it stands (engine's positionFound).
    void PositionFound(core::Long stepper);

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
    // The counters of a record that is to be used, and what to tell about them; name: the file
    // it was read from; lost: the spoilt copies that may have held a newer record.
    // afterConfig: the record was written after the configuration was saved (or there is none).
    void take(const JournalRecord& record, const QString& name, bool configured, bool afterConfig,
              const QStringList& lost);
    // No record is whole (damage: why, per copy): the configuration's counters stand.
    void noneWhole(const QStringList& damage);
    // Where each stepper may stand when its last moves are lost: anywhere within its limits.
    QString anywhereText() const;
    // Each stepper not yet in doubt may stand anywhere (its record lost).
    void doubtEverywhere();
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
    core::Long recordedTarget_ = 0;        // of the turn on record
    std::optional<JournalRecord> written_; // the last record written (its number aside)
    double writtenAtMs_ = 0;               // steady clock
    quint64 nextNumber_ = 1;
    int newestCopy_ = -1; // the copy holding the newest record; -1: none yet
    std::array<bool, 2> copyFailing_{false, false}; // the copy's last write failed
    bool unwritten_ = false;                        // neither copy took the last record
    bool singleFileLeft_ = false; // the single journal of earlier versions is still there
    // Whether the configuration's positions were read at the start.
    bool configPositionsRead_ = true;
    // What Restore() found, for TellUser().
    QString message_;
    std::optional<core::Long> uncertain_;
    std::array<QString, 2> doubts_; // per stepper, until its position is found
};

} // namespace station
