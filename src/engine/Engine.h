#pragma once

// How the parts of the program talk: calls go down (window -> logic -> seam), news goes up as
// Qt signals of the owner, connected in src/app. What a logic class must know during a turn it
// asks downward (the switches, the port); it never calls into a window.

#include "core/ProgramState.h"
#include "engine/BusyLock.h"
#include "engine/DisplayPacing.h"
#include "engine/PortDrive.h"
#include "engine/SpeedControl.h"
#include "engine/SpeedRamp.h"
#include "engine/StepRun.h"
#include "engine/StepTimeline.h"
#include "engine/TransmitState.h"
#include "engine/TurnPolicy.h"
#include "engine/TurnRecord.h"
#include "engine/TurnRefusal.h"
#include "engine/TurnRequest.h"
#include "engine/TurningModes.h"
#include "platform/Platform.h"
#include "port/SwitchInputs.h"

#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>

namespace engine {

// The stepping engine: every turn of the program, the stop that ends them, the speed, the
// overlay, the counter and its displays, the stepper choice. One instance, owned by the
// application; everything runs on the GUI thread. Only the engine writes StepCounter and
// TargetPosition.
//
// - A turn returns when it has arrived, was stopped, or became a slow turn (delays above
//   1000 ms: its steps are made from the event loop, each when it is due, and
//   slowTurnRunning() is true until it arrives or is stopped).
// - While a turn waits for its next step the event loop runs, so any handler may run inside
//   TurnTo(): stop it, start another turn (which ends the first one), switch the stepper or
//   end the program. The engine re-reads the state after every wait.
// - Signals carry values (the counter, the degrees, the position the drag bar's label shows);
//   the main window's presenter (panel::MainPresenter) makes its texts of them. The speed the
//   engine turns at (SpeedControl) and the port it steps through (PortDrive) are made beside
//   it and given to it; it tells speedChanged() after the speed's commands, and the power and
//   the port panel tell their changes themselves, whoever made them.
// - During a turn the displays of the position (counter, drag bar and its label, degrees,
//   overlay) and the speed come at most every DisplayPacing::IntervalMs, whatever the step
//   rate, and once more with the last values when the turn ends. StepCounter is current at
//   every step and the switches are read at every step; CurrentDegrees is the angle shown,
//   set as degreesChanged() is emitted.
class Engine : public QObject {
    Q_OBJECT

public:
    // switches is read by every turning loop while EndSwitches is set; the steps go out
    // through port; speed tells the engine after each of its commands (the engine is its one
    // listener); every turn locks busyLock and every stop ends the modes (its owner tells that
    // they changed, at stopped()). All of it must outlive the engine.
    Engine(core::ProgramState& state, platform::Platform& platform, port::SwitchInputs& switches,
           PortDrive& port, SpeedControl& speed, TurningModes& modes, BusyLock& busyLock,
           QObject* parent = nullptr);
    ~Engine() override;

    // --- turning ---
    // The transmit gate: every turn and overlay move asks it before its first step and at
    // every step, and gets what its origin gets while the rig transmits (see TurnOrigin). A
    // turn stopped by the gate is not a stop: the modes and the rig's following go on. Null
    // (the default): nothing transmits. It must outlive the engine or be reset first.
    void setTransmitState(const TransmitState* transmit) { transmit_ = transmit; }
    // The transmit state changed: a turn under way looks at the gate at once, not at its next
    // look (each DisplayPacing interval).
    void TransmitChanged();
    // Whether the transmit gate lets a turn of this origin start now, perhaps after asking or
    // waiting: what a caller that must answer at once (a rotator client) tells its peer.
    bool admits(TurnOrigin origin) const;
    // The front door: why the request would turn nothing, asked before anything moves;
    // nullopt when it would start (perhaps after asking or waiting, as its origin gets it).
    // TurnTo asks it first; a caller that must answer at once maps the refusal to its error.
    std::optional<TurnRefusal> Refuses(const TurnRequest& request) const;
    // A caller that answered Refuses() itself, without TurnTo, tells the refusal here: it ends
    // as every turn does, with turnFinished().
    void TellRefusal(const TurnRequest& request, const TurnRefusal& refusal);
    // The way out has begun: the turn under way stops (its record names the program's end), and
    // from now on every turn and overlay move is refused but the park (ParkBothSteppers),
    // whoever asks (the rig's link, say, which stays open for the park).
    void ExitStarted();
    // While the user sets the counter by hand the shaft may be in their hand, and the counter
    // they give names where it stands then: every turn is refused, whoever asks.
    void SetCounterByHandOpen(bool open) { counterByHandOpen_ = open; }
    // For a command that does more than turn (retunes the rig, picks a table row): what the gate
    // does to a turn of this origin now (asks, beeps, waits), without turning. Done: the turn may
    // start, with the request's consented set as the answer says.
    GateAsked AskGate(TurnOrigin origin);
    // Turns from StepCounter to the target within MinPosition..MaxPosition (with a beep when
    // the counter already lies beyond the limit in that direction); the overlay is taken up
    // before a turn up and given back before a turn down. A target equal to the counter with
    // the overlay active settles the overlay in its last direction. Refused, nothing moved,
    // when Refuses() says so. turnFinished() tells what it did when it ends (a slow turn's when
    // its timers end).
    TurnOutcome TurnTo(const TurnRequest& request);
    // Where a turn to target asked now would end: the target held within
    // MinPosition..MaxPosition. A caller that would not ask for a turn ending where the counter
    // stands compares it with StepCounter.
    core::Long endOfTurnTo(core::Long target) const;
    // A relative turn at the fastest speed after a stop: n > 0 turns down by n steps, n < 0 up
    // by -n; shift 16 (Shift held) makes it ten times as many. detail: the turn's words for the
    // move log ("web 192.168.1.20 +10 steps").
    TurnOutcome StepBy(std::int64_t n, int shift, TurnOrigin origin, const QString& detail = {});
    // Ends every turning activity: the turn in progress, the slow turns, the endless modes, the
    // pin walk; TargetPosition becomes StepCounter; stopped() tells the other windows; the
    // rig's following halts until the rig's frequency moves or the user resumes it. On return
    // StepCounter holds every step written: a run on the stepping thread has ended (within the
    // step under way) and been counted.
    void StopTurningAndFollowing();
    // The same stop for a turn that takes the place of the one under way: that turn's record
    // says another turn ended it, not a stop.
    void StopForAnotherTurn();
    bool slowTurnRunning() const { return slow_ != nullptr; }
    // The transmit-inhibit line holds the rig back: a turn's lead, steps or tail.
    bool transmitInhibited() const { return coil_.inhibiting(); }
    // Ends the slow turn under way, if any.
    void StopSlowTimers();
    // Reads the begin, end and centre switches; one that has just closed sets the counter (and
    // stops a turn that lies beyond it). True when it did: the caller ends its turn.
    bool CheckSwitches();

    // --- the stepper ---
    // Makes stepper 0 or 1 the driven one: the profile of the one left is stored, the other
    // one's is loaded (stepperSwitched() rebuilds the windows) and the code of its position put
    // on the shared coil lines.
    void SwitchStepper(core::Long stepper);
    // Switches to stepper (0 or 1) as the timer table does, with its position's code on the
    // port before its driver is enabled, and turns it to position. False, and nothing done,
    // for another stepper number. The caller announces the turn (the timer table beeps). The
    // turn's origin is TurnOrigin::Timer.
    std::optional<TurnOutcome> TurnStepperTo(core::Long stepper, core::Long position,
                                             const QString& detail = {});
    // At exit: each stepper whose stored counter lies above its lower limit turns down to it
    // with its own profile and driver bits, at most one step a second; its stored profile then
    // says where it stands. The park is a turn of origin Park: while the rig transmits it does
    // not start (Refused) or stops at the next step (Held), and the caller decides whether to
    // wait and park again. The working variables are left as the last park set them: the caller
    // stores before and only saves afterwards.
    TurnOutcome ParkBothSteppers();

    // --- the counter ---
    // The counter set without moving the motor (a switch, the limits set below it, the user),
    // with the overlay at overlayPosition; the displays follow. The coil code stays as it is
    // (the phase offset takes up the difference): the next step is one phase from where the
    // motor stands.
    void SetCounter(core::Long value, core::Long overlayPosition);
    // The counter set to a value the user gives, the target resting at it: false, and nothing
    // set, beyond the limits. The overlay counts as taken when the counter goes up.
    bool SetCounterWithinLimits(core::Long value);
    // The limits or the steps per turn were set (typed, a table's, the profile loaded): the
    // target rests at the counter, DegreesPerStep follows StepsPer360 and the degrees are told
    // again, so that whoever shows them reads the new limits and scale.
    void LimitsOrScaleChanged();

    // --- displays ---
    // Everything the position shows, shown again from the state: the counter, the drag bar
    // and its label, the degrees and the overlay.
    void ShowPosition();

    // --- overlay ---
    // n > 0 takes n overlay steps up, n < 0 gives -n back, 0 settles the overlay in the last
    // direction; only while OverlayOn and OverlayMenu. StepCounter never changes. Inside a turn
    // the move is the turn's and origin is not used.
    TurnOutcome ApplyOverlay(std::int64_t n, TurnOrigin origin);

    // --- the port ---
    // The output pins walked one by one (the LPT test), as a turning activity: a stop ends it,
    // and turnStarted()/turnEnded() frame it. The port panel tells that it walks.
    void WalkOutputPins();

signals:
    void counterChanged(core::Long counter);
    // The position the drag bar's label shows (in steps or, with SliderShowsDegrees, degrees).
    void sliderLabelChanged(core::Long value);
    // CurrentDegrees; hidden while StepsPer360 is 0. Told again at LimitsOrScaleChanged().
    void degreesChanged(core::Single degrees);
    // The overlay's position, size, direction or state changed.
    void overlayChanged();
    // speed(): scroll bar, speed button, labels, ramp box. Each of its commands tells the
    // engine: a slow turn under way takes the new delay from now.
    void speedChanged();
    // The PhaseOffset of stepper 0 or 1 changed: its counter was set while its motor stood.
    void phaseOffsetChanged(core::Long stepper, core::Long offset);
    // The selected stepper's counter was set to where it stands: by a position switch or by
    // hand.
    void positionFound(core::Long stepper);
    // A turn of the counter sets out (an overlay move alone or the pin walk does not): the
    // stepper may not be switched under it, until the user frees the choice.
    void counterTurnSetOut();
    // A turn, an overlay move or the pin walk begins and ends (not nested: once for the
    // outermost); the one-second housekeeping and the rig polling pause in between. At
    // turnStarted() TargetPosition holds the turn's target.
    void turnStarted();
    void turnEnded();
    // A slow turn made a step: the housekeeping runs once.
    void slowStepMade();
    // A turn asked through TurnTo (or the park) ended, refused ones included: what it did.
    void turnFinished(const engine::TurnRecord& record);
    // StopTurningAndFollowing(): the endless modes, the direct table and the LPT test windows
    // end, the rig lock is released.
    void stopped();
    // The working profile is another stepper's: the windows are built again from the state
    // (quiet: no other window opens).
    void stepperSwitched(bool quiet);

private:
    // Marks a turn, an overlay move or the pin walk: the outermost one tells turnStarted() and
    // turnEnded(), also when a nested turn or the end of the program comes in between.
    class Busy {
    public:
        explicit Busy(Engine& engine) : engine_(engine) {
            if (engine_.busyDepth_++ == 0) {
                engine_.displays_.begin();
                emit engine_.turnStarted();
            }
        }
        ~Busy() {
            if (--engine_.busyDepth_ == 0) {
                engine_.displays_.end();
                emit engine_.turnEnded();
            }
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        Engine& engine_;
    };
    // What a turning loop checks after each wait: a stop, or another turn started meanwhile.
    struct Ticket {
        std::uint64_t stops;
        std::uint64_t turns;
    };

    // The transmit gate, of the turn or overlay move in progress.
    struct Gate {
        TurnOrigin origin = TurnOrigin::Window;
        bool consented = false; // the user chose to turn while the rig transmits
        bool held = false;      // the gate stopped the move at a step
    };
    core::Long targetOf(const TurnRequest& request) const;
    // The record of a turn asked now; its steps and waits are counted into recording_.
    TurnRecord beginRecord(const TurnRequest& request) const;
    // How the turn ended, from its outcome and what happened since stops and requests.
    void finishRecord(TurnRecord& record, TurnOutcome outcome, std::uint64_t stops,
                      std::uint64_t requests);
    // Tells the ended turn (turnFinished), with the inhibit line's lead and tail where one held it.
    void tellFinished(TurnRecord& record);
    // Ends the slow turn under way, if any, and tells its record.
    void endSlowTurn(TurnRecord::End end, const QString& stoppedBy);
    // What the last stop was, in a turn's record: "a stop", "another turn" that replaced it or
    // "the program's end".
    QString lastStopText() const;
    // The record of a turn that goes on as the slow turn: kept until it ends. False for any other.
    bool keptBySlowTurn(const TurnRecord& record);
    TurnOutcome turn(core::Long target, TurnOrigin origin, bool consented);
    bool transmitting() const;
    // What the gate answers the move of gate now: before its first step, or mid-turn.
    GateAnswer gateAnswer(const Gate& gate, bool midTurn) const;
    // Before the first step of gate_'s move: asks, beeps, waits or refuses as its origin gets it
    // (TurnPolicies). Done when the move may start (gate_.consented tells whether under
    // transmit).
    TurnOutcome admit();
    // Waits with the event loop running until the rig stops transmitting (Done), the move was
    // stopped or superseded (Refused), or limitMs went by (TimedOut).
    TurnOutcome waitForReceive(const Ticket& ticket, std::optional<double> limitMs);
    // At a step: true when the move may make it, after waiting where its origin waits.
    bool gateOpensAtStep(const Ticket& ticket);
    bool superseded(const Ticket& ticket) const {
        return stops_ != ticket.stops || turns_ != ticket.turns;
    }
    void turnToward(port::Direction direction);
    // Whether the moves of this origin set the transmit-inhibit line, as its row of
    // TurnPolicies says.
    bool inhibitsTransmit(TurnOrigin origin);
    // The one stepping loop: moves the counter, or the overlay on top of it, one step per pass
    // towards target until it arrives (beeping at the limit, or at a full or empty overlay), a
    // stop, a switch, or another turn. The caller has powered the driver and set the phase
    // sequence for the direction.
    void stepLoop(port::Direction direction, bool overlay, core::Long target);
    bool ramping() const;
    // Whether the selected stepper can be driven (a phase stepper whose coil code would step
    // the other's step/dir driver cannot) and a step/dir driver's pulses can be kept at the
    // speeds this move may ask for; if not, the user is told (tellNotTurned) and nothing turns.
    bool pulsesKept(bool overlay);
    // Why the port cannot make the selected stepper's steps at delayMs (on the ramp, at its
    // fastest); empty when it can.
    QString outputProblem(core::Long delayMs, bool ramp) const;
    QString rateProblem(double delayMs) const;
    void tellNotTurned(const QString& text);
    // The steps of a run under way: a stepLoop's, on the stepping thread or inline, or a slow
    // turn's.
    struct ActiveRun {
        StepControl& control;
        core::Long& position;
        core::Long start;
        int direction;
        bool overlay;
        Ticket ticket;
        const Gate& gate;
        // A slow turn's: made on the GUI thread, at the delay it started with.
        bool slow = false;
        std::int64_t shown = 0;     // steps put into position
        std::int64_t shownStep = 0; // steps shown
        bool counterTaken = false;  // a switch set the counter: the run's steps count no more
    };
    // Ends the run under way before the next step (and waits for it on the thread).
    void haltRun();
    // The run's steps into the counter (or the overlay) and onto the displays.
    void syncRun(ActiveRun& run);
    void showRun(ActiveRun& run);
    // What the run reads of the state at every step: speed, ramp, register values.
    void handOver(ActiveRun& run);
    // The GUI thread's look at the run: before and after each wait inline, every RunPassMs on
    // the thread. It syncs the counter, shows it, and hands over a stop, a hold or a switch.
    void passRun(ActiveRun& run, bool afterWait);
    // The job of a run of steps from the phase sequence's entry phase: the port, the lead of
    // the transmit-inhibit line left, a step/dir driver.
    StepJob stepJob(std::int64_t steps, std::size_t phase) const;
    // Whether a turn to target stops at the limit of its direction (and beeps on arrival).
    bool atLimit(port::Direction direction, core::Long target) const;
    void overlayMove(port::Direction direction, core::Long target);
    void planRamp(core::Long target, core::Long from);
    void relabel(core::Long counter, core::Long overlayPosition);
    void switchTo(core::Long stepper, bool forTimerTable);
    TurnOutcome park(core::Long stepper);
    void ensureTurnPower();
    void showCounterAndSlider();
    // The displays of the degrees, the overlay, the drag bar's label (for a position) and the
    // speed, paced during a turn.
    void ShowDegrees();
    void ShowOverlay();
    void ShowSliderLabel(core::Long value);
    // The scroll bar's value as the speed (the ramp's delays end), and its texts.
    void SetSpeed();
    void ShowSpeed();
    // Emits the display signals of the DisplayPacing::Display mask.
    void showDisplays(unsigned displays);
    // A turn towards TargetPosition whose steps lie more than a second apart: made a step at a
    // time from the event loop (slowStep), by the same StepRun as every other turn.
    struct SlowTurn;
    void startSlowTurn(port::Direction direction);
    // The slow turn's next step is due: the run's look at the state, then its step.
    void slowStep();
    // The slow turn's run ended: how, and what the user sees.
    void slowRunEnded(RunEnd end);
    // The speed was set: a slow turn under way takes the new delay from now.
    void slowSpeedChanged();
    // speed_ told a command: the slow turn's delay, then speedChanged() (paced during a turn).
    void speedSet();

    core::ProgramState& state_;
    platform::Platform& platform_;
    port::SwitchInputs& switches_;
    port::CoilOutput& coil_;
    TransmitInhibit& inhibit_;
    port::PowerControl& power_;
    port::PortPanel& portPanel_;
    SpeedControl& speed_;
    SpeedRamp ramp_;
    TurningModes& modes_;
    BusyLock& busyLock_;
    // Shared: a handler that ends the slow turn during its step leaves it alive to the step's end.
    std::shared_ptr<SlowTurn> slow_;
    // Wakes the slow turn when its next step is due.
    std::unique_ptr<platform::Timer> slowWake_;
    const TransmitState* transmit_ = nullptr;
    ActiveRun* activeRun_ = nullptr;
    QString refusalShown_;
    Gate gate_;
    std::uint64_t stops_ = 0;
    std::uint64_t turns_ = 0;
    std::uint64_t requests_ = 0;      // TurnTo calls, to tell another turn from a stop
    std::uint64_t replacingStop_ = 0; // the stop a replacing request made, to name it
    std::uint64_t exitStop_ = 0;      // the stop the way out made
    TurnRecord* recording_ = nullptr;
    int busyDepth_ = 0;
    bool rampOff_ = false; // the turn in progress steps at its own delay, without the ramp
    bool exiting_ = false;
    bool counterByHandOpen_ = false;
    bool swrTuneInhibitTold_ = false;
    DisplayPacing displays_;
    core::Long sliderLabelValue_ = 0;
};

} // namespace engine
