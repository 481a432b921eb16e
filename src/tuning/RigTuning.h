#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/WheelControl.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "rig/SimulatedSwrMeter.h"
#include "rig/WsjtxRig.h"
#include "table/TableEditor.h"
#include "table/TableLinks.h"
#include "table/TableLookup.h"
#include "table/TableViewModel.h"
#include "tuning/AnnouncementWatch.h"
#include "tuning/PeakSearch.h"
#include "tuning/PttControl.h"
#include "tuning/RigCommands.h"
#include "tuning/RigFallback.h"
#include "tuning/RigFollower.h"
#include "tuning/RigLinkChoice.h"
#include "tuning/RigPoller.h"
#include "tuning/RigPort.h"
#include "tuning/RigState.h"
#include "tuning/SwrTune.h"
#include "tuning/TableCommands.h"
#include "tuning/TransmitGuard.h"
#include "tuning/TransmitHold.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace tuning {

class BandChangeover;

// Automatic tuning, the one owner of the rig link: the lookups as the window shows them, what
// goes with an open link, and the parts it coordinates: the Com menu and the port button
// (RigPort), the frequency and row commands (TableCommands), the rig frame's controls
// (RigCommands), the polls (RigPoller), following the rig's frequency with the stepper and the
// lock (RigFollower), our PTT with its watchdog (PttControl), the S-meter peak search
// (PeakSearch) and the SWR tune (SwrTune). The table window shows what it says and forwards its
// controls here; it is the table's rig link (SetRigFreqToFirstUnit). The link may stay
// open without the table (Unload with keepLink, or a station that only watches the rig): its
// readings then tell the engine's gate the transmit state and nothing is followed.
//
// - Following: every poll reads the rig; while locked the stepper is turned to the table's
//   position for the frequency. A poll without a reading changes nothing and moves nothing. A
//   new frequency is followed only when two readings in a row agree (the frequency we sent
//   counts as one): a garbled reply may look like any frequency.
// - Polls start ComPollMs apart. They pause while the engine turns (but for the transmit
//   reads below), while one of the table window's modal boxes is open (PollPause), while a
//   reading is awaited, while the value label blinks and during the peak search; a poll that
//   fell due meanwhile runs when they end.
// - While our PTT is on nothing relocks or turns the stepper; the watchdog releases the PTT
//   after 15 s, and every closing of the port releases it first.
// - While the rig reports transmit (and the guard is on) following and frequency steps start
//   no turn, and a turn under way stops when transmit begins; following goes on when it ends.
//   Turns of the user's own ask first. During turns a rig that reports transmit is asked for
//   its transmit state alone, TransmitRestMs after each reply; one that misses two replies in
//   a row counts as transmitting until a reading says it receives. A rig last known to
//   transmit counts as transmitting, however long its link is silent or lost, until a reading
//   says it receives or the user closes the port.
// - The user's Unlock (and the peak search) holds until the user locks, with the Lock button
//   or from the table window; an unlock of the program's own (out of range, no position, our
//   PTT) ends with the next reading in range.
// - A stop of the engine (Esc) unlocks and halts following until the user locks or turns.
class RigTuning : public QObject,
                  public table::RigLink,
                  public engine::TransmitState,
                  private RigFollower::Lookups,
                  private RigPortEvents {
    Q_OBJECT

public:
    struct Parts {
        core::ProgramState& state;
        platform::Platform& platform;
        engine::Engine& engine;
        const engine::WheelControl& wheel;
        rig::RigConnection& rig;
        RigLinkChoice& links;
        table::TableEditor& editor;
        table::TableViewModel& view;
    };

    static constexpr int PttWatchdogMs = PttControl::WatchdogMs;
    static constexpr int TransmitRestMs = RigPoller::TransmitRestMs;

    explicit RigTuning(const Parts& parts, QObject* parent = nullptr);
    ~RigTuning() override;

    // Keeps polls from running while it lives: the table window holds one while its handlers
    // (and the modal boxes they open) run.
    class PollPause {
    public:
        explicit PollPause(RigTuning& tuning);
        ~PollPause();
        PollPause(PollPause&& other) noexcept;
        PollPause(const PollPause&) = delete;
        PollPause& operator=(const PollPause&) = delete;
        PollPause& operator=(PollPause&&) = delete;

    private:
        RigTuning* tuning_;
    };
    PollPause pausePolls() { return PollPause(*this); }

    rig::RigConnection& connection() { return *rig_; }
    const rig::RigConnection& connection() const { return *rig_; }
    // What the rig shows, as the link told it.
    const RigState& rigState() const { return shown_; }
    // Another kind of link; false, and nothing changed, while the port is open.
    bool setConnection(rig::RigConnection& rig);
    // The Com menu's choice of link and the port button.
    RigPort& port() { return port_; }
    const RigPort& port() const { return port_; }

    // --- the link's settings ---
    // The link, baud and model from the configuration and Ventrolo.ini (a poll interval
    // outside 200, 500, 1000, 1500 ms becomes 1000 ms, a COM port outside 1..4 selects none),
    // the transmit guard; an open link keeps its own.
    void LoadLink();

    // --- the table window ---
    // Opening: stop, LoadLink, mode buttons, the table loaded, unlocked; readings are followed
    // through the table from now on. A link still open from before follows the dial as it is.
    void Load();
    // Closing: our PTT off, a changed table saved, the table limits ended; readings then only
    // tell the transmit state. The port is closed unless keepLink or exiting: on the way out it
    // stays, so the park at exit knows whether the rig transmits, until the way out closes it.
    // With exiting false a table that could not be saved is kept open when the user says so
    // (false).
    bool Unload(bool exiting, bool keepLink = false);
    // Between Load and Unload.
    bool following() const { return following_; }

    // Whether a link that announces the rig's changes still does (the polls carry following
    // when it no longer does).
    const AnnouncementWatch& announcements() const { return announcements_; }
    // The second source ([rig] fallback=), followed while the link gives no reading; link
    // (nullptr: none) must outlive the tuning.
    void setFallback(const FallbackChoice& choice, rig::RigConnection* link);
    const RigFallback& fallback() const { return fallback_; }

    // --- polling ---
    void PollRig();

    // --- the parts it coordinates ---
    // The polls: their rate's caption and tip, whether their timer runs.
    const RigPoller& poller() const { return poller_; }
    // Following: the lock, when following turns ([follow1], [follow2]), CatFrequency.
    RigFollower& follower() { return follower_; }
    const RigFollower& follower() const { return follower_; }
    // Our PTT: AM keying, its tip.
    PttControl& ptt() { return ptt_; }
    const PttControl& ptt() const { return ptt_; }
    // The S-meter peak search.
    PeakSearch& peakSearch() { return search_; }
    const PeakSearch& peakSearch() const { return search_; }
    // No turning while the rig transmits (mnuTxGuard).
    const TransmitGuard& guard() const { return guard_; }
    // The frequency and row commands, and the wheel's table functions.
    TableCommands& tableCommands() { return tableCommands_; }
    const TableCommands& tableCommands() const { return tableCommands_; }
    // The rig frame's controls.
    RigCommands& rigCommands() { return rigCommands_; }
    const RigCommands& rigCommands() const { return rigCommands_; }
    // "Tune now": while the rig is followed, one turn to the table's position for its
    // frequency, whatever the mode and the dead band. Refused, with why, otherwise.
    engine::TurnOutcome TuneNow(engine::TurnOrigin origin = engine::TurnOrigin::Window,
                                QString* why = nullptr);

    // --- SWR tune (RigTuningSwr.cpp) ---
    const SwrTune& swrTune() const { return swr_; }
    // The simulated rig's meter, to be detuned in tests and on its panel.
    rig::SimulatedSwrMeter& simulatedSwrMeter() { return simulatedSwr_; }
    // engine::TransmitState: the tune's carrier is on.
    bool swrTuneKeyed() const override { return swr_.keyed(); }

    // table::RigLink
    core::Long CatComPort() const override { return port_.comPort(); }
    void SetRigFrequency(core::Single kHz) override;
    void SetLocked(bool locked) override;

    // False, the user told, when the open link cannot set the rig (RigTuningStation.cpp).
    bool rigSettable();
    // The poll timer runs, or not, as the polls' rate and pauses say now (RigTuningStation.cpp).
    void updatePollTimer();
    // Tells the user in a message box, the polls paused while it is open.
    void tell(const QString& text, platform::Icon icon = platform::Icon::Exclamation);
    // The open link's SWR meter (the simulated rig's own); nullptr for none (RigTuningSwr.cpp).
    rig::SwrMeter* swrMeter() const;
    // Sends a frequency (with the port open), shows it and makes it CatFrequency; false, and
    // nothing changed, when the rig did not take it.
    bool sendFrequency(core::Single kHz);
    // The lookup as the window shows it: the value label (blinking "???" for 100 ms first
    // while the port is open), the row marked; out of range unlocks, a position between rows
    // locks (with the port open), a numeric fault is told and closes the port. Returns at once:
    // the caller's turn does not wait for the blink.
    table::Lookup freqToPosition(core::Single x);

    // Following across the tables of the band sets; nullptr: the open table only.
    void setBandChangeover(BandChangeover* bands) { bands_ = bands; }

    // --- the rig's transmit (RigTuningStation.cpp) ---
    // The rig reports transmit, or went silent since it did, with the port open.
    bool rigTransmitting() const { return port_.portOpen() && guard_.rigTransmitting(); }
    // Why the engine's transmit gate is shut: the SWR tune's carrier, or, with the guard on,
    // our PTT, the rig's transmit or its silence since; None while it is open.
    TransmitHold transmitHold() const;
    bool transmitting() const override;

signals:
    // Something the table window shows changed.
    void changed();
    // The rig answered: a reading, asked or announced, brought its frequency, or, while the
    // stepper turns and only that is asked, its transmit state.
    void rigHeard();
    void portOpenChanged(bool open);

private:
    bool open() const { return port_.portOpen(); }
    // The engine's turns and stops.
    void TurnStarted();
    void TurnEnded();
    // Whether a slow turn runs, told to the poller.
    void slowTurnTold();
    // The engine stopped (StopTurningAndFollowing): unlocks and ends the peak search and the
    // SWR tune.
    void EngineStopped();
    // RigPortEvents
    void forgetTransmitState() override { guard_.Reset(); }
    void startAfresh() override;
    void portOpened() override;
    void oweStartupRow(bool owed) override { startupRowOwed_ = owed; }
    void portClosing() override;
    void portClosed() override;
    void rigModelChosen() override { showModes(); }

    void connectRig();
    void readingArrived(const rig::RigReading& reading);
    // The fallback's reading, followed as the link's own while the link is silent.
    void fallbackReading(const rig::RigReading& reading);
    // The fallback watches while following with the port open, unless it shares the link's
    // serial port.
    void watchFallback();
    // [wsjtx] haltWhileTurning: a turn starting while WSJT-X has Tx enabled or transmits sends
    // it Halt Tx; the status line says the operator enables it again.
    void haltWsjtxForTurn();
    // RigTuningStation.cpp
    void readingAnnounced(const rig::RigReading& reading);
    // A frequency read (kHz, 0 without a reading): shown, and followed once confirmed.
    void frequencyRead(core::Single kHz);
    // RigFollower::Lookups
    table::Lookup ShowLookUp(core::Single kHz) override { return freqToPosition(kHz); }
    void ShowNoReading() override { showLookup(table::Lookup{}, false); }
    // The value label shows the lookup; with blink only after 100 ms of "???", polls paused
    // meanwhile. A newer lookup overtakes a blink still running.
    void showLookup(const table::Lookup& lookup, bool blink);
    void endBlink();
    void dropBlink();
    void showModes();
    // RigTuningStation.cpp
    // A reading's transmit state, which the engine's gate reads.
    void transmitReported(const rig::RigReading& reading);

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    const engine::WheelControl& wheel_;
    rig::RigConnection* rig_;
    rig::RigConnection* catRig_;
    BandChangeover* bands_ = nullptr;
    TransmitGuard guard_;
    RigLinkChoice& links_;
    table::TableEditor& editor_;
    table::TableViewModel& view_;
    // Before the parts below: the link it made outlives them.
    RigPort port_{*this, *this, state_, platform_, links_, *catRig_};
    std::unique_ptr<platform::Timer> blinkTimer_;
    std::optional<table::Lookup> blinkLookup_; // shown when the blink ends

    bool following_ = false;
    // What the rig announced during a poll: taken, as a reading, once the poll has answered
    // (the poll may have read the dial from before the change).
    std::optional<rig::RigReading> announcedDuringPoll_;
    bool startupRowOwed_ = false;     // the user opened the port, the link has not answered yet
    int unansweredTransmitReads_ = 0; // in a row, during the turn

    RigState shown_;
    RigPoller poller_;
    AnnouncementWatch announcements_;
    RigFallback fallback_{platform_};
    PttControl ptt_;
    PeakSearch search_;
    rig::SimulatedSwrMeter simulatedSwr_;
    SwrTune swr_;
    RigFollower follower_;
    TableCommands tableCommands_{*this, state_, platform_, engine_, editor_, view_};
    RigCommands rigCommands_{*this, platform_, editor_, links_, poller_, guard_, swr_};
};

} // namespace tuning
