// The engine's turns: the request, the one stepping loop, the stop and the overlay moves. The
// slow turns are in EngineSlowTurns.cpp, the front door and the gate in EngineGate.cpp;
// displays, speed and the stepper and port commands in the other Engine*.cpp.
#include "engine/Engine.h"

#include "core/VersionTexts.h"
#include "engine/EngineLogging.h"
#include "engine/InlineClock.h"
#include "engine/KeyCodes.h"
#include "engine/StepRun.h"
#include "platform/SteppingThread.h"
#include "port/StepPulses.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace engine {

using core::ClampToLong;
using core::Long;
using port::Direction;

namespace {

// Delays above this make a slow turn, its steps made from the event loop.
constexpr Long SlowTurnAboveMs = 1000;
// Overlay steps never wait longer than this.
constexpr Long OverlayDelayLimitMs = 500;

} // namespace

Engine::Engine(core::ProgramState& state, platform::Platform& platform,
               port::SwitchInputs& switches, PortDrive& port, SpeedControl& speed,
               TurningModes& modes, BusyLock& busyLock, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), switches_(switches), coil_(port.coil()),
      inhibit_(port.inhibit()), power_(port.power()), portPanel_(port.portPanel()), speed_(speed),
      modes_(modes), busyLock_(busyLock), slowWake_(platform.createTimer([this] { slowStep(); })),
      displays_(platform, [this](unsigned displays) { showDisplays(displays); }) {
    speed_.onChanged([this] { speedSet(); });
}

Engine::~Engine() = default;

TurnOutcome Engine::TurnTo(const TurnRequest& request) {
    if (request.replaces)
        StopForAnotherTurn();
    TurnRecord record = beginRecord(request);
    // What the gate does (asks, beeps, waits) is the turn's own: the front door refuses here
    // only what no answer can change.
    if (std::optional<TurnRefusal> refusal = Refuses(request);
        refusal && refusal->why != TurnRefusal::Why::Transmitting) {
        if (refusal->why == TurnRefusal::Why::OutputUnable)
            tellNotTurned(refusal->text);
        record.refusal = std::move(refusal);
        finishRecord(record, TurnOutcome::Refused, stops_, requests_);
        return TurnOutcome::Refused;
    }
    // A turn started from a handler while another one's steps run: those end first, counted
    // as the other's, so this one starts from where the motor is.
    haltRun();
    const std::uint64_t stops = stops_;
    const std::uint64_t requests = ++requests_;
    const QScopedValueRollback recording(recording_, &record);
    const Long saved = state_.StepDelayMs;
    if (request.delayMs)
        state_.StepDelayMs = *request.delayMs;
    const QScopedValueRollback rampOff(rampOff_, request.ramp == TurnRequest::Ramp::Off);
    const TurnOutcome outcome = turn(record.to, request.origin, request.consented);
    // A speed chosen while the turn ran stays.
    if (request.delayMs && state_.StepDelayMs == *request.delayMs)
        state_.StepDelayMs = saved;
    finishRecord(record, outcome, stops, requests);
    return outcome;
}

TurnOutcome Engine::turn(Long target, TurnOrigin origin, bool consented) {
    // Set first: turnStarted() tells where the turn goes.
    state_.TargetPosition = target;
    const Busy busy(*this);
    endSlowTurn(TurnRecord::End::Stopped, QStringLiteral("another turn"));
    const QScopedValueRollback gate(gate_, Gate{origin, consented});
    const TurnOutcome admitted = consented ? TurnOutcome::Done : admit();
    if (admitted != TurnOutcome::Done) {
        // The dials drop the target marker a caller showed for this turn.
        state_.TargetPosition = state_.StepCounter;
        ShowDegrees();
        showCounterAndSlider();
        ShowSliderLabel(state_.StepCounter);
        return admitted;
    }
    ensureTurnPower();
    busyLock_.lock();
    if (target > state_.StepCounter)
        turnToward(Direction::CW);
    else if (target < state_.StepCounter)
        turnToward(Direction::CCW);
    else if (state_.OverlayMenu && state_.OverlayOn)
        ApplyOverlay(0, origin);

    showCounterAndSlider();
    if (!slowTurnRunning()) {
        busyLock_.requestUnlock();
        ShowSliderLabel(state_.StepCounter);
    }
    if (gate_.held) {
        state_.TargetPosition = state_.StepCounter;
        return TurnOutcome::Held;
    }
    return TurnOutcome::Done;
}

// Half of a turn: TargetPosition is held within the limit of the direction (with a beep when
// the counter already lies beyond it); the overlay is taken up before a turn up and given back
// before a turn down. Delays above 1000 ms make it a slow turn.
void Engine::turnToward(Direction direction) {
    const bool up = direction == Direction::CW;
    auto limit = [&] { return up ? state_.MaxPosition : state_.MinPosition; };
    const std::uint64_t stopsBefore = stops_;
    if (up ? state_.StepCounter > limit() : state_.StepCounter < limit()) {
        platform_.beep();
        state_.TargetPosition = limit();
    }
    emit counterTurnSetOut();
    state_.OverlayPending = up;
    ApplyOverlay(0, gate_.origin);
    // A stop while the overlay moved ends the whole turn.
    if (stops_ != stopsBefore)
        return;
    state_.TargetPosition =
        up ? std::min(state_.TargetPosition, limit()) : std::max(state_.TargetPosition, limit());

    coil_.PowerOn();
    coil_.SetPhaseSequence(direction, state_.PhasePosition());
    state_.PelorusRedraw = false;
    const Long target = state_.TargetPosition;
    const bool singleStep =
        std::int64_t{target} == std::int64_t{state_.StepCounter} + (up ? 1 : -1);
    if (!singleStep && state_.StepDelayMs > SlowTurnAboveMs) {
        if (pulsesKept(false))
            startSlowTurn(direction);
        return;
    }
    stepLoop(direction, false, target);
    if (state_.StepsPer360 > 1) {
        state_.PelorusRedraw = true;
        ShowDegrees();
    }
}

namespace {

// How often the GUI thread looks at a run on the stepping thread: shows its steps, hands it a
// hold or a new speed. As often as the displays are shown, not more: each look is a wake-up of
// the GUI thread, and a stop reaches the run at once anyway (StopTurning).
constexpr double RunPassMs = DisplayPacing::IntervalMs;

std::optional<std::uint16_t> IoAddress(Long address) {
    if (address < 0 || address > std::numeric_limits<std::uint16_t>::max())
        return std::nullopt;
    return static_cast<std::uint16_t>(address);
}

} // namespace

void Engine::stepLoop(Direction direction, bool overlay, Long target) {
    if (state_.EndSwitches && CheckSwitches()) {
        state_.StopRequest = false;
        state_.StepActivity = true;
        return;
    }
    const bool up = direction == Direction::CW;
    Long& position = overlay ? state_.OverlayPosition : state_.StepCounter;
    if (!pulsesKept(overlay)) {
        state_.StepActivity = true;
        return;
    }
    if (ramping())
        planRamp(target, position);
    state_.StopRequest = false;
    haltRun();
    const Ticket ticket{stops_, ++turns_};
    // The steps left to the target, or to a full or empty overlay.
    auto stepsLeft = [&]() -> std::int64_t {
        const std::int64_t from = position;
        if (!overlay)
            return std::max<std::int64_t>(0, up ? std::int64_t{target} - from : from - target);
        if (up) {
            const std::int64_t end = target > from ? std::min(target, state_.OverlaySteps)
                                                   : std::int64_t{state_.OverlaySteps};
            return std::max<std::int64_t>(0, end - from);
        }
        const std::int64_t end = target < from ? std::max<Long>(target, 0) : 0;
        return std::max<std::int64_t>(0, from - end);
    };
    auto atEnd = [&] {
        if (!overlay)
            return atLimit(direction, target);
        return position == (up ? state_.OverlaySteps : 0);
    };
    const bool inhibits = inhibitsTransmit(gate_.origin);
    if (inhibits)
        inhibit_.Hold();
    const auto letInhibit = qScopeGuard([&] {
        if (inhibits)
            inhibit_.Let();
    });
    platform::SteppingThread* const thread = platform_.steppingThread();
    ActiveRun* run = nullptr;
    InlineClock inlineClock(platform_, state_.NoYield,
                            [&](bool afterWait) { passRun(*run, afterWait); });
    StepTimeline timeline(thread ? thread->clock()
                                 : static_cast<platform::StepClock&>(inlineClock));
    std::size_t phase = 0;
    for (;;) {
        StepControl control;
        ActiveRun thisRun{control, position, position, up ? 1 : -1, overlay, ticket, gate_};
        run = &thisRun;
        const QScopedValueRollback active(activeRun_, &thisRun);
        StepJob job = stepJob(stepsLeft(), phase);
        if (overlay)
            job.delayLimitMs = static_cast<double>(OverlayDelayLimitMs);
        if (thread && state_.EndSwitches) {
            job.statusAddress = IoAddress(state_.LptStatusAddress);
            if (job.statusAddress)
                job.switchesAtStart = coil_.lpt().Inp32(*job.statusAddress) & SwitchStatusBits;
        }
        control.nextPhase = phase;
        handOver(thisRun);

        RunEnd end = RunEnd::Stopped;
        if (thread) {
            thread->start(
                [&] {
                    end = RunSteps(job, control, timeline, thread->clock(), coil_.lpt(), ramp_);
                },
                [this] { platform_.wakeUp(); }, job.stepDir.has_value());
            while (!thread->done()) {
                passRun(thisRun, true);
                platform_.waitUntilWoken(platform_.steadyMs() + RunPassMs, !state_.NoYield);
            }
        } else {
            end = RunSteps(job, control, timeline, inlineClock, coil_.lpt(), ramp_,
                           [&] { syncRun(thisRun); });
        }
        phase = control.nextPhase;
        syncRun(thisRun);
        showRun(thisRun);
        if (superseded(ticket))
            break;
        if (end == RunEnd::Stopped)
            break;
        if (end == RunEnd::TooFast) {
            tellNotTurned(rateProblem(static_cast<double>(state_.StepDelayMs)));
            break;
        }
        if (end == RunEnd::Arrived) {
            if (atEnd())
                platform_.beep();
            break;
        }
        if (end == RunEnd::Held) {
            if (!gateOpensAtStep(ticket))
                break;
            // From standstill again: the ramp starts over, the schedule too.
            if (ramping())
                planRamp(target, position);
            timeline.resumed();
            continue;
        }
        // A switch input changed on the stepping thread: the switch's own rules say whether it
        // ends the turn.
        if (CheckSwitches())
            break;
    }
    if (recording_ && !superseded(ticket))
        recording_->timing = timeline.timing();
    state_.StopRequest = false;
    state_.StepActivity = true;
}

StepJob Engine::stepJob(std::int64_t steps, std::size_t phase) const {
    StepJob job;
    job.steps = steps;
    job.address = IoAddress(state_.LptAddress);
    job.phase = phase;
    job.leadMs = inhibit_.leadLeftMs();
    if (coil_.selectedStepDir())
        job.stepDir = coil_.selectedOutput();
    return job;
}

bool Engine::atLimit(Direction direction, Long target) const {
    return target == (direction == Direction::CW ? state_.MaxPosition : state_.MinPosition);
}

bool Engine::inhibitsTransmit(TurnOrigin origin) {
    // Only a turn made under the SWR tune's own carrier leaves the line released: the tune's
    // turn to the lowest SWR, after the rig is unkeyed, is an ordinary turn.
    if (PolicyOf(origin).setsInhibitLine || !transmit_ || !transmit_->swrTuneKeyed()) {
        if (recording_)
            recording_->insideInhibitLine = true;
        return true;
    }
    if (coil_.inhibit().bit && !std::exchange(swrTuneInhibitTold_, true))
        qCInfo(lcEngine) << "the SWR tune turns under its own carrier: the transmit-inhibit "
                            "line is not set for its turns";
    return false;
}

bool Engine::pulsesKept(bool overlay) {
    const Long delayMs =
        overlay ? std::min(state_.StepDelayMs, OverlayDelayLimitMs) : state_.StepDelayMs;
    const QString problem = outputProblem(delayMs, ramping());
    if (problem.isEmpty())
        return true;
    if (recording_)
        recording_->refusal = TurnRefusal{TurnRefusal::Why::OutputUnable, problem};
    tellNotTurned(problem);
    return false;
}

QString Engine::outputProblem(Long delayMs, bool ramp) const {
    // The shortest delay the move may ask for: the ramp's fastest, or its own speed.
    const auto shortestDelayMs =
        static_cast<double>(ramp ? std::min(state_.FastestDelayMs, state_.CustomDelayMs) : delayMs);
    if (!coil_.lpt().driven())
        return QStringLiteral("The port's device failed and is no longer driven: nothing turns "
                              "until Ventrolo is started again with the device back.");
    if (QString problem = coil_.CoilCodeProblem(); !problem.isEmpty())
        return problem;
    if (QString problem = coil_.UndrivenLineProblem(); !problem.isEmpty())
        return problem;
    if (!coil_.selectedStepDir() || PulsesKept(coil_.selectedOutput(), shortestDelayMs))
        return {};
    return rateProblem(shortestDelayMs);
}

QString Engine::rateProblem(double delayMs) const {
    return port::StepRateProblem(coil_.selectedOutput(),
                                 static_cast<int>(state_.SelectedStepper) + 1, delayMs);
}

void Engine::tellNotTurned(const QString& text) {
    qCWarning(lcEngine).noquote() << "not turned:" << text;
    // Told once: a rig followed or a program would otherwise ask at every reading.
    if (text == refusalShown_)
        return;
    refusalShown_ = text;
    platform_.messageBox(text, core::MessageTitle(), platform::Icon::Exclamation);
}

bool Engine::ramping() const {
    return state_.SpeedModulate && !rampOff_;
}

void Engine::haltRun() {
    if (!activeRun_)
        return;
    activeRun_->control.request(StepControl::Stop);
    if (platform::SteppingThread* thread = platform_.steppingThread()) {
        thread->interrupt();
        thread->join();
        syncRun(*activeRun_);
    }
}

void Engine::syncRun(ActiveRun& run) {
    // After another turn the counter is that turn's; a stop leaves it to be counted.
    if (run.counterTaken || turns_ != run.ticket.turns)
        return;
    const std::int64_t made = run.control.made.load();
    if (made == run.shown)
        return;
    if (recording_)
        recording_->steps += made - run.shown;
    run.shown = made;
    run.position = ClampToLong(std::int64_t{run.start} + run.direction * made);
    if (run.overlay)
        state_.OverlayPending = run.direction > 0;
    state_.StepActivity = true;
}

void Engine::showRun(ActiveRun& run) {
    if (run.shownStep == run.shown)
        return;
    run.shownStep = run.shown;
    if (run.overlay) {
        ShowOverlay();
    } else {
        showCounterAndSlider();
        if (state_.StepsPer360 > 1)
            ShowDegrees();
    }
    displays_.hold(run.control.behind.load());
    const Long rampDelay = run.control.rampDelayMs.exchange(-1);
    if (rampDelay >= 0) {
        state_.StepDelayMs = rampDelay;
        ShowSpeed();
    }
}

void Engine::handOver(ActiveRun& run) {
    StepControl& control = run.control;
    // A slow turn keeps the delay it started with, never ramped.
    if (!run.slow) {
        control.delayMs = state_.StepDelayMs;
        control.ramping = ramping();
    }
    for (std::size_t i = 0; i < control.values.size(); ++i)
        control.values[i] = coil_.Physical((state_.PhaseSeq[i] & port::CoilMask) |
                                           state_.StepperBits | state_.LptExtraBits);
}

void Engine::passRun(ActiveRun& run, bool afterWait) {
    syncRun(run);
    if (superseded(run.ticket)) {
        run.control.request(StepControl::Stop);
        return;
    }
    if (!afterWait) {
        showRun(run);
        return;
    }
    const bool onThread = !run.slow && platform_.steppingThread() != nullptr;
    if (onThread)
        showRun(run);
    if (state_.StopRequest) {
        run.control.request(StepControl::Stop);
        return;
    }
    if (state_.EndSwitches) {
        if (!onThread) {
            if (CheckSwitches()) {
                run.counterTaken = true;
                run.control.request(StepControl::Stop);
                return;
            }
        } else if (state_.SimulatedInput > 0) {
            run.control.request(StepControl::Recheck);
        }
    }
    if (gateAnswer(run.gate, true) != GateAnswer::Pass)
        run.control.request(StepControl::Hold);
    handOver(run);
}

void Engine::ensureTurnPower() {
    power_.EnsureTurnPower();
}

TurnOutcome Engine::StepBy(std::int64_t n, int shift, TurnOrigin origin, const QString& detail) {
    // Any count beyond the span of a Long lands on a limit all the same.
    constexpr std::int64_t Span = std::int64_t{1} << 33;
    const std::int64_t magnitude = n < 0 ? (n < -Span ? Span : -n) : std::min(n, Span);
    const std::int64_t count = magnitude * (shift == ShiftHeld ? 10 : 1);
    return TurnTo(TurnRequest::By(n > 0 ? -count : count, origin, state_.FastestDelayMs)
                      .describedAs(detail)
                      .replacing());
}

void Engine::ExitStarted() {
    exitStop_ = stops_ + 1;
    StopTurningAndFollowing();
    exiting_ = true;
}

void Engine::StopForAnotherTurn() {
    replacingStop_ = stops_ + 1;
    StopTurningAndFollowing();
}

void Engine::StopTurningAndFollowing() {
    ++stops_;
    state_.RigFollowHalted = true;
    state_.StopRequest = true;
    // The steps under way end and are counted before anything reads the counter: whoever
    // stops (the way out saving it, a command turning from it) finds the steps written.
    haltRun();
    if (state_.SpeedModulate) {
        SetSpeed();
        ShowSpeed();
    }
    state_.TargetPosition = state_.StepCounter;
    modes_.reset();
    if (state_.StepDelayMs > SlowTurnAboveMs || slowTurnRunning()) {
        endSlowTurn(TurnRecord::End::Stopped, lastStopText());
        state_.StepActivity = true;
    }
    portPanel_.AbortWalk();
    ShowSliderLabel(state_.StepCounter);
    state_.PelorusRedraw = true;
    emit stopped();
}

bool Engine::CheckSwitches() {
    const auto hit = switches_.CheckSwitches();
    if (!hit)
        return false;
    if (hit->beyond)
        StopTurningAndFollowing();
    SetCounter(hit->position, hit->overlayPosition);
    emit positionFound(state_.SelectedStepper == 1 ? 1 : 0);
    return true;
}

void Engine::SetCounter(Long value, Long overlayPosition) {
    relabel(value, overlayPosition);
    ShowPosition();
}

bool Engine::SetCounterWithinLimits(Long value) {
    if (value < state_.MinPosition || value > state_.MaxPosition)
        return false;
    const Long overlay = state_.OverlayOn && value > state_.StepCounter ? state_.OverlaySteps : 0;
    // Nothing turns towards the old counter's target: the dials drop it.
    state_.TargetPosition = value;
    SetCounter(value, overlay);
    emit positionFound(state_.SelectedStepper == 1 ? 1 : 0);
    return true;
}

void Engine::relabel(Long counter, Long overlayPosition) {
    if (state_.Relabel(counter, overlayPosition))
        emit phaseOffsetChanged(state_.SelectedStepper == 1 ? 1 : 0, state_.PhaseOffset);
}

// ---------------------------------------------------------------------------------------------
// Overlay

TurnOutcome Engine::ApplyOverlay(std::int64_t n, TurnOrigin origin) {
    if (!(state_.OverlayOn && state_.OverlayMenu))
        return TurnOutcome::Done;
    // Inside a turn the move is the turn's, under the turn's gate.
    const bool own = busyDepth_ == 0;
    if (own && exiting_)
        return TurnOutcome::Refused;
    haltRun();
    const Busy busy(*this);
    StopSlowTimers();
    std::optional<QScopedValueRollback<Gate>> gate;
    if (own) {
        gate.emplace(gate_, Gate{origin});
        const TurnOutcome admitted = admit();
        if (admitted != TurnOutcome::Done)
            return admitted;
    }
    ensureTurnPower();
    busyLock_.lock();

    const std::int64_t position = state_.OverlayPosition;
    if (n < 0)
        overlayMove(Direction::CCW, ClampToLong(position + n));
    else if (n > 0)
        overlayMove(Direction::CW, ClampToLong(position + n));
    else
        overlayMove(state_.OverlayPending ? Direction::CW : Direction::CCW,
                    state_.OverlayPending ? state_.OverlaySteps : 0);

    if (n != 0)
        busyLock_.requestUnlock();
    displays_.changed(DisplayPacing::Overlay);
    return own && gate_.held ? TurnOutcome::Held : TurnOutcome::Done;
}

void Engine::overlayMove(Direction direction, Long target) {
    state_.StopRequest = false;
    coil_.PowerOn();
    coil_.SetPhaseSequence(direction, state_.PhasePosition());
    // The display counts up from 0, or down from a full overlay.
    if (direction == Direction::CW && state_.OverlayPosition == 0)
        state_.OverlayState = false;
    if (direction == Direction::CCW && state_.OverlayPosition == state_.OverlaySteps)
        state_.OverlayState = true;
    stepLoop(direction, true, target);
}

} // namespace engine
