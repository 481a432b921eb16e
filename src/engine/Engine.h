#pragma once

#include "core/ProgramState.h"
#include "engine/BusyLock.h"
#include "engine/EngineHooks.h"
#include "engine/EngineView.h"
#include "engine/SpeedControl.h"
#include "engine/SpeedRamp.h"
#include "engine/StepTimeline.h"
#include "engine/TurningModes.h"
#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/CoilOutput.h"
#include "port/PortPanel.h"
#include "port/PowerControl.h"

#include <cstdint>
#include <memory>

namespace engine {

// The stepping engine: every turn of the program, the stop that ends them, the speed, the
// overlay and the counter displays. One instance, owned by the application; everything runs on
// the GUI thread.
//
// How windows use it:
// - To turn: StopTurning(), set state.TargetPosition, TurnTo(); or StepBy(n, shift).
// - A turn returns when it has arrived, was stopped, or was handed to the slow-turn timers
//   (delays above 1000 ms: slowTurnRunning() is true until they arrive or are stopped).
// - While a turn waits for its next step the event loop runs, so any handler may run inside
//   TurnTo(): stop it, start another turn (which ends the first one), switch the stepper or
//   end the program. The engine re-reads the state after every wait.
// - Displays reach the main window through EngineView; other windows through EngineHooks.
class Engine {
public:
    Engine(core::ProgramState& state, platform::Platform& platform, platform::LptPort& lpt);
    ~Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // The main window; null for none. It must outlive the engine or be unset first.
    void setView(EngineView* view);
    EngineHooks& hooks() { return hooks_; }

    port::CoilOutput& coil() { return coil_; }
    port::PowerControl& power() { return power_; }
    port::PortPanel& portPanel() { return portPanel_; }
    SpeedControl& speed() { return speed_; }
    BusyLock& busyLock() { return busyLock_; }
    TurningModes& modes() { return modes_; }
    // Shows the mode buttons' captions after a mode was switched on or off through modes().
    void ModesChanged();

    // --- turning ---
    // Turns from StepCounter to TargetPosition within MinPosition..MaxPosition; with the two
    // equal and the overlay active, settles the overlay in the last direction.
    void TurnTo();
    // The halves of TurnTo(): target becomes TargetPosition, clamped to the upper (lower) limit
    // with a beep when the counter already lies beyond it; the overlay is taken up (given back)
    // first. Delays above 1000 ms hand the turn to the slow-turn timer and return at once.
    void TurnCW(core::Long target);
    void TurnCCW(core::Long target);
    // The stepping loops: one step per pass until StepCounter reaches target, a stop, a
    // switch, or another turn started meanwhile. A beep when they stop on the limit. The caller
    // has powered the driver and set the phase sequence for the direction.
    void TurnUpTo(core::Long target);
    void TurnDownTo(core::Long target);
    // The last act of every turning loop: clears StopRequest, sets StepActivity.
    void EndTurn();
    // A relative turn at the fastest speed after a stop: n > 0 turns down by n steps, n < 0 up
    // by -n; shift 16 (Shift held) makes it ten times as many.
    void StepBy(std::int64_t n, int shift);
    // Ends every turning activity: the turn in progress, the slow turns, the endless modes, the
    // pin walk; closes the LPT test windows; TargetPosition becomes StepCounter.
    void StopTurning();
    // Turns the given stepper (0 or 1), selecting it first, to position (the timer table).
    // False, and nothing done, for another stepper number.
    bool TurnStepperTo(core::Long stepper, core::Long position);
    // Asks for the counter's new value with all outputs off meanwhile; the motor does not move.
    // A value outside the limits is refused with "Out off range value".
    void SetCounterByHand();

    // --- speed ---
    void SetSpeed();
    void ShowSpeed();
    void UpdateSpeedModulateCheck();
    // The ramp for a turn from position from to target (nothing new when equal).
    void PlanSpeedRamp(core::Long target, core::Long from);
    // reset: back to the ramp's start (returns StepDelayMs). Otherwise the next ramp delay,
    // which also becomes StepDelayMs and is shown.
    core::Long NextRampDelay(bool reset);
    // Measures PcSpeed (one second, the window frozen) and shows it.
    void CalibratePcSpeed();
    // Start-up: the speed controls from the profile.
    void InitSpeed();
    // The user moved the speed scroll bar, or a key or the wheel did.
    void SpeedScrolled(core::Long value);
    // The "Fa&st"/"Cu&stom" button (and the F key).
    void ToggleFastCustom();
    // The "SpeedModulate" box clicked.
    void SpeedModulateClicked(bool ticked);

    // --- displays ---
    void ShowDegrees();
    void ShowPosition();
    void UpdateDegreesPerStep();
    void ShowOverlay();

    // --- overlay ---
    // n > 0 takes n overlay steps up, n < 0 gives -n back, 0 settles the overlay in the last
    // direction; only while OverlayOn and OverlayMenu. StepCounter never changes.
    void ApplyOverlay(std::int64_t n);
    void OverlayUp(core::Long target);
    void OverlayDown(core::Long target);

    // --- slow turns (delays above 1000 ms, one step per timer tick) ---
    bool slowTurnRunning() const;
    void StopSlowTimers();

    // --- power and port commands, forwarded by the main window ---
    void ApplyStartUpPower();
    // The power part of the one-second housekeeping.
    void PowerTick();
    void AutoPowerClicked(bool ticked);
    void FieldPowerClicked(bool ticked);
    void CycleLptPort();
    void WalkOutputPins();
    void ToggleLpt89();

private:
    // What a turning loop checks after each wait: a stop, or another turn started meanwhile.
    struct Ticket {
        std::uint64_t stops;
        std::uint64_t turns;
    };
    Ticket beginLoop();
    bool superseded(const Ticket& ticket) const;

    void turnToward(port::Direction direction, core::Long target);
    void runLoop(port::Direction direction, core::Long target);
    void waitAfterStep(StepTimeline& timeline, core::Long delayMs);
    std::int64_t motorPosition() const;
    bool checkSwitches();
    void ensureTurnPower();
    void showCounterAndSlider();
    void redrawPelorus();
    void speedShown();
    platform::Timer& slowTimer(port::Direction direction);
    void startSlowTurn(port::Direction direction);
    void slowStep(port::Direction direction);
    void defaultInitMain();

    core::ProgramState& state_;
    platform::Platform& platform_;
    port::CoilOutput coil_;
    port::PowerControl power_;
    port::PortPanel portPanel_;
    SpeedControl speed_;
    SpeedRamp ramp_;
    TurningModes modes_;
    NullEngineView nullView_;
    EngineView* view_ = &nullView_;
    EngineHooks hooks_;
    BusyLock busyLock_;
    std::unique_ptr<platform::Timer> slowCW_;
    std::unique_ptr<platform::Timer> slowCCW_;
    int slowPhase_ = 0; // place in PhaseSeq of the slow turn's next step
    std::uint64_t stops_ = 0;
    std::uint64_t turns_ = 0;
};

} // namespace engine
