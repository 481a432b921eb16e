#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "table/TableEditor.h"
#include "table/TableLookup.h"
#include "table/TableViewModel.h"
#include "tuning/FollowSettings.h"
#include "tuning/PeakSearch.h"
#include "tuning/RigState.h"

#include <memory>
#include <optional>

namespace tuning {

// Following the rig's frequency with the stepper through the frequency table, and the lock
// that says whether it is followed. On the rig side this is the one writer of RigFollowHalted
// (the engine halts following on Esc).
//
// - A new frequency is followed only when two readings in a row agree (the frequency we sent
//   counts as one): a garbled reply may look like any frequency.
// - While our PTT is on or the peak search runs nothing relocks or turns the stepper.
// - The user's Unlock (and the peak search) holds until the user locks; an unlock of the
//   program's own (out of range, no position, our PTT) ends with the next reading in range.
// - When a locked follower turns is the selected stepper's FollowSettings: at every new
//   frequency, once it has rested, or only by TuneNow; never while the table's position lies
//   within the dead band of the counter (the info label says "within dead band").
class RigFollower {
public:
    // The lookups as the table window shows them, which automatic tuning provides.
    class Lookups {
    public:
        // The table's position for kHz, shown on the value label; a numeric fault is told and
        // closes the port.
        virtual table::Lookup ShowLookUp(core::Single kHz) = 0;
        // The value label for a poll without a reading.
        virtual void ShowNoReading() = 0;

    protected:
        ~Lookups() = default;
    };

    struct Parts {
        platform::Platform& platform;
        core::ProgramState& state;
        engine::Engine& engine;
        const engine::WheelControl& wheel;
        const table::TableEditor& editor;
        table::TableViewModel& view;
        const PeakSearch& search;
        const RigState& shown;
        Lookups& lookups;
    };

    RigFollower(const Parts& parts, const rig::RigConnection& rig);
    ~RigFollower();

    // The link whose name the status tells.
    void setConnection(const rig::RigConnection& rig) { rig_ = &rig; }
    // The link whose readings are followed when it is not the connection (a fallback); empty:
    // the connection.
    void setFollowedLink(QString name) { followedLink_ = std::move(name); }

    // --- readings ---
    // The frequency last read from or sent to the rig, kHz (0 without a reading).
    core::Single CatFrequency() const { return catFrequency_; }
    // Records a reading; true when it agrees with the one before (or the frequency sent since).
    bool Read(core::Single kHz);
    // A frequency sent to the rig: it becomes CatFrequency, and a reading that agrees with it is
    // followed.
    void Sent(core::Single kHz);
    // A link just opened: no reading yet.
    void ForgetReading() { lastReadKHz_ = 0; }
    // The decisions for a confirmed reading (kHz, 0 without one): the labels, the lock, and the
    // turn to the table's position.
    void Follow(core::Single kHz);

    // --- when it turns ---
    void setFollowSettings(const FollowSettingsPair& settings) { follow_ = settings; }
    // The selected stepper's.
    const FollowSettings& followSettings() const;
    // How close the table's position for the rig's frequency may lie without a turn, in steps.
    core::Long deadBandSteps() const { return deadBandStepsAt(catFrequency_); }
    // The last confirmed reading turned nothing because the table's position lies within the
    // dead band.
    bool withinDeadBand() const { return withinDeadBand_; }
    // "Tune now": one turn to the table's position for the rig's frequency, whatever the mode
    // and the dead band. Refused, with why, without a reading or a position for it.
    engine::TurnOutcome TuneNow(engine::TurnOrigin origin, QString* why = nullptr);

    // --- the lock ---
    bool locked() const { return locked_; }
    bool lockEnabled() const { return lockEnabled_; }
    bool calibrateEnabled() const { return calibrateEnabled_; }
    bool inputEnabled() const { return inputEnabled_; }
    // The program's lock; a lock is refused while held (our PTT, the peak search, the user's
    // unlock).
    void setLocked(bool locked);
    // A lock from the table window (the start-up row, a new offset) is the user's.
    void SetLocked(bool locked);
    // The Lock button's unlock; holds until the user locks.
    void UserUnlock();
    // The Lock button's lock; false (refused) while our PTT is on or the peak search runs.
    bool UserLock();
    // Unlocked by the program: the input box open, no peak search offered.
    void Unlock();
    // As when the window opens or the port closes.
    void Reset();
    // Whether a reading would be followed now: not unlocked by the user, halted by Esc, held by
    // our PTT or the peak search.
    bool followsReadings() const;
    // The user turns or opens the port: an Esc's halt ends.
    void Resume() { state_.RigFollowHalted = false; }

    // --- our PTT and the peak search ---
    void TransmitStarted();
    // With the port open, the stepper at the position of the frequency relocks.
    void TransmitEnded(bool portOpen);
    void SearchStarting();
    void SearchEnded();

    // "Out off range!" when kHz lies outside the table; true then.
    bool RangeCheck(core::Single kHz);
    // Turns to position p within the limits, unless the stepper stands there or a slow turn is
    // already on its way there.
    engine::TurnOutcome TurnTo(core::Long p, engine::TurnOrigin origin, bool consented = false,
                               const QString& detail = {});

private:
    // Relocks after a reading when the wheel tunes the frequency and Esc has not halted
    // following.
    void finish();
    // A locked follower's turn for a confirmed reading, as the mode and the dead band let it.
    void followTo(core::Single kHz, core::Long position);
    // Whether the engine refuses following now for a while: the rig transmits, or the counter
    // is being set by hand.
    bool refusedForAWhile() const;
    core::Long deadBandStepsAt(core::Single kHz) const;

    core::ProgramState& state_;
    engine::Engine& engine_;
    const engine::WheelControl& wheel_;
    const table::TableEditor& editor_;
    table::TableViewModel& view_;
    const PeakSearch& search_;
    const RigState& shown_;
    Lookups& lookups_;
    const rig::RigConnection* rig_;

    FollowSettingsPair follow_;
    std::unique_ptr<platform::Timer> rest_; // rested: runs while the frequency rests
    core::Single restingKHz_ = 0;
    bool withinDeadBand_ = false;
    // The position following was last refused for a while (refusedForAWhile).
    std::optional<core::Long> refusedForAWhile_;
    QString followedLink_;
    core::Single catFrequency_ = 0;
    core::Single lastReadKHz_ = 0; // the last reading, or the frequency sent since
    bool locked_ = false;
    bool userUnlocked_ = false; // by the Lock button or the peak search
    bool lockEnabled_ = true;
    bool calibrateEnabled_ = false;
    bool inputEnabled_ = true;
};

} // namespace tuning
