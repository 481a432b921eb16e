#include "engine/Engine.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "engine/DisplayTexts.h"
#include "engine/PcSpeedCalibration.h"

#include <QLoggingCategory>
#include <algorithm>
#include <limits>

namespace engine {

Q_LOGGING_CATEGORY(lcEngine, "ventrolo.engine")

using core::Long;
using port::Direction;

namespace {

// Delays above this are turned by the slow-turn timers, one step per tick.
constexpr Long SlowTurnAboveMs = 1000;
// Overlay steps never wait longer than this.
constexpr Long OverlayDelayLimitMs = 500;
constexpr int ShiftKey = 16;

Long ClampToLong(std::int64_t value) {
    return static_cast<Long>(std::clamp<std::int64_t>(value, std::numeric_limits<Long>::min(),
                                                      std::numeric_limits<Long>::max()));
}

template <typename Function, typename... Args>
void Call(const std::function<Function>& hook, Args&&... args) {
    if (hook)
        hook(std::forward<Args>(args)...);
}

} // namespace

Engine::Engine(core::ProgramState& state, platform::Platform& platform, platform::LptPort& lpt)
    : state_(state), platform_(platform), coil_(state, lpt), power_(state, coil_),
      portPanel_(state, coil_, power_, platform), speed_(state),
      busyLock_(platform, modes_, [this](bool locked) { view_->busyLockChanged(locked); }),
      slowCW_(platform.createTimer([this] { slowStep(Direction::CW); })),
      slowCCW_(platform.createTimer([this] { slowStep(Direction::CCW); })) {}

Engine::~Engine() = default;

void Engine::setView(EngineView* view) {
    view_ = view ? view : &nullView_;
}

// ---------------------------------------------------------------------------------------------
// Turning

void Engine::TurnTo() {
    view_->setHousekeepingRunning(false);
    StopSlowTimers();
    const bool rigPaused = state_.TableWindowShown;
    if (rigPaused)
        Call(hooks_.pauseRigPolling, true);
    ensureTurnPower();
    busyLock_.lock();

    const Long target = state_.TargetPosition;
    if (target > state_.StepCounter)
        TurnCW(target);
    else if (target < state_.StepCounter)
        TurnCCW(target);
    else if (state_.OverlayMenu && state_.OverlayOn)
        ApplyOverlay(0);

    if (state_.MinPosition <= state_.StepCounter && state_.StepCounter <= state_.MaxPosition)
        view_->setSliderValue(state_.StepCounter);
    if (!slowTurnRunning()) {
        busyLock_.requestUnlock();
        view_->refreshSliderLabel(SliderLabelSource::Counter);
    }
    view_->setHousekeepingRunning(true);
    if (rigPaused)
        Call(hooks_.pauseRigPolling, false);
}

void Engine::TurnCW(Long target) {
    turnToward(Direction::CW, target);
}

void Engine::TurnCCW(Long target) {
    turnToward(Direction::CCW, target);
}

void Engine::turnToward(Direction direction, Long target) {
    const bool up = direction == Direction::CW;
    auto limit = [&] { return up ? state_.MaxPosition : state_.MinPosition; };
    const std::uint64_t stopsBefore = stops_;
    state_.TargetPosition = target;
    if (up ? state_.StepCounter > limit() : state_.StepCounter < limit()) {
        platform_.beep();
        state_.TargetPosition = limit();
    }
    view_->setStepperOptionsEnabled(false);
    // The overlay is taken up before a turn up and given back before a turn down.
    state_.OverlayPending = up;
    ApplyOverlay(0);
    // A stop while the overlay moved ends the whole turn.
    if (stops_ != stopsBefore)
        return;
    state_.TargetPosition =
        up ? std::min(state_.TargetPosition, limit()) : std::max(state_.TargetPosition, limit());

    coil_.PowerOn();
    coil_.SetPhaseSequence(direction, motorPosition());
    state_.PelorusRedraw = false;
    const Long turnTarget = state_.TargetPosition;
    const bool singleStep =
        std::int64_t{turnTarget} == std::int64_t{state_.StepCounter} + (up ? 1 : -1);
    if (!singleStep) {
        if (state_.StepDelayMs > SlowTurnAboveMs) {
            startSlowTurn(direction);
            return;
        }
        slowTimer(direction).stop();
    }
    runLoop(direction, turnTarget);
    if (state_.StepsPer360 > 1) {
        state_.PelorusRedraw = true;
        ShowDegrees();
    }
}

void Engine::TurnUpTo(Long target) {
    runLoop(Direction::CW, target);
}

void Engine::TurnDownTo(Long target) {
    runLoop(Direction::CCW, target);
}

void Engine::runLoop(Direction direction, Long target) {
    if (state_.EndSwitches && checkSwitches()) {
        EndTurn();
        return;
    }
    if (state_.SpeedModulate)
        PlanSpeedRamp(target, state_.StepCounter);
    state_.StopRequest = false;
    const Ticket ticket = beginLoop();
    StepTimeline timeline(platform_);
    const bool up = direction == Direction::CW;
    std::size_t phase = 0;
    for (;;) {
        state_.StepActivity = true;
        if (state_.StopRequest)
            break;
        const Long code = state_.PhaseSeq[phase];
        phase = (phase + 1) % state_.PhaseSeq.size();
        if (up ? state_.StepCounter >= target : state_.StepCounter <= target) {
            if (target == (up ? state_.MaxPosition : state_.MinPosition))
                platform_.beep();
            break;
        }
        state_.StepCounter += up ? 1 : -1;
        coil_.WriteCoil(code);
        timeline.stepWritten();
        showCounterAndSlider();
        if (state_.StepsPer360 > 1)
            ShowDegrees();
        waitAfterStep(timeline, state_.SpeedModulate ? NextRampDelay(false) : state_.StepDelayMs);
        if (superseded(ticket))
            break;
        if (state_.EndSwitches && checkSwitches())
            break;
    }
    EndTurn();
}

void Engine::EndTurn() {
    state_.StopRequest = false;
    state_.StepActivity = true;
}

Engine::Ticket Engine::beginLoop() {
    return {stops_, ++turns_};
}

bool Engine::superseded(const Ticket& ticket) const {
    return stops_ != ticket.stops || turns_ != ticket.turns;
}

void Engine::waitAfterStep(StepTimeline& timeline, Long delayMs) {
    timeline.waitForNext(static_cast<double>(delayMs), !state_.NoYield);
}

std::int64_t Engine::motorPosition() const {
    // The coil code follows the motor, which has turned the overlay steps too.
    return std::int64_t{state_.StepCounter} + state_.OverlayPosition;
}

bool Engine::checkSwitches() {
    return hooks_.checkSwitches && hooks_.checkSwitches();
}

void Engine::ensureTurnPower() {
    if (power_.EnsureTurnPower())
        view_->powerChanged();
}

void Engine::StepBy(std::int64_t n, int shift) {
    StopTurning();
    // Any count beyond the span of a Long lands on a limit all the same.
    constexpr std::int64_t Span = std::int64_t{1} << 33;
    const std::int64_t magnitude = n < 0 ? (n < -Span ? Span : -n) : std::min(n, Span);
    const std::int64_t count = magnitude * (shift == ShiftKey ? 10 : 1);
    const Long fast = state_.FastestDelayMs;
    const Long saved = state_.StepDelayMs;
    state_.StepDelayMs = fast;
    if (n > 0)
        state_.TargetPosition = ClampToLong(std::int64_t{state_.StepCounter} - count);
    else if (n < 0)
        state_.TargetPosition = ClampToLong(std::int64_t{state_.StepCounter} + count);
    TurnTo();
    // A speed chosen while the steps were made stays.
    if (state_.StepDelayMs == fast)
        state_.StepDelayMs = saved;
}

void Engine::ModesChanged() { view_->modesChanged(); }

void Engine::StopTurning() {
    ++stops_;
    state_.RigFollowHalted = true;
    state_.StopRequest = true;
    if (state_.SpeedModulate) {
        SetSpeed();
        ShowSpeed();
    }
    state_.TargetPosition = state_.StepCounter;
    if (state_.LptOutTestOpen || state_.LptInTestOpen)
        Call(hooks_.closeLptTestWindows);
    modes_.reset();
    view_->modesChanged();
    if (state_.StepDelayMs > SlowTurnAboveMs || slowTurnRunning()) {
        StopSlowTimers();
        state_.StepActivity = true;
    }
    portPanel_.AbortWalk();
    Call(hooks_.stopDirectTable);
    if (state_.TableWindowShown && state_.ComPort >= 1)
        Call(hooks_.releaseRigLock);
    view_->refreshSliderLabel(SliderLabelSource::Counter);
    state_.PelorusRedraw = true;
    redrawPelorus();
}

bool Engine::TurnStepperTo(Long stepper, Long position) {
    if (stepper != 0 && stepper != 1)
        return false;
    Call(hooks_.enableTimerRunControl, false);
    StopTurning();
    platform_.beep();
    if (stepper != state_.SelectedStepper) {
        state_.StoreStepperProfile(hooks_.gotoFieldText ? hooks_.gotoFieldText()
                                                        : CounterText(state_.GotoStepValue));
        state_.SelectedStepper = stepper;
        for (auto& profile : state_.StoredProfiles) {
            profile.TableWindowShown = false;
            profile.TimerWindowShown = true;
        }
        if (hooks_.initMain)
            hooks_.initMain(false);
        else
            defaultInitMain();
    }
    state_.TargetPosition = position;
    TurnTo();
    Call(hooks_.enableTimerRunControl, true);
    return true;
}

void Engine::defaultInitMain() {
    state_.LoadStepperProfile();
    coil_.UpdateStepperBits();
    state_.TargetPosition = state_.StepCounter;
    UpdateDegreesPerStep();
}

void Engine::SetCounterByHand() {
    StopTurning();
    const Long coil = coil_.CurrentCoilBits();
    coil_.WriteData(0); // everything off while the shaft may be turned by hand

    const QString crlf = QStringLiteral("\r\n");
    const QString prompt = QStringLiteral("Set by hand ") +
                           (state_.SelectedStepper == 1 ? QStringLiteral("Stepper 2 ")
                                                        : QStringLiteral("Stepper 1 ")) +
                           QStringLiteral("to the desired position.") + crlf +
                           QStringLiteral("Overlay is always reset to 0") + crlf +
                           QStringLiteral("Range ") + core::NumberText(state_.MinPosition) +
                           QStringLiteral(" >") + core::NumberText(state_.MaxPosition) + crlf +
                           QStringLiteral("Old counter value:") + CounterText(state_.StepCounter) +
                           crlf + QStringLiteral("Give the new counter value");
    const QString answer =
        platform_.inputBox(prompt, core::MessageTitle(), CounterText(state_.StepCounter));
    // Digits and "." only: an answer without any digit changes nothing, like Cancel.
    const QString cleaned = core::NumericFieldText(answer);
    if (!std::any_of(cleaned.begin(), cleaned.end(), [](QChar c) { return c.isDigit(); })) {
        coil_.WriteData(coil);
        return;
    }
    const Long v = core::RoundToLong(core::LeadingNumber(cleaned));
    if (v < state_.MinPosition || v > state_.MaxPosition) {
        platform_.messageBox(QStringLiteral("Out off range value"), core::MessageTitle(),
                             platform::Icon::Exclamation);
        coil_.WriteData(coil);
        return;
    }
    state_.OverlayPosition = state_.OverlayOn && v > state_.StepCounter ? state_.OverlaySteps : 0;
    ShowOverlay();
    state_.StepCounter = v;
    showCounterAndSlider();
    if (state_.MinPosition <= v && v <= state_.MaxPosition)
        view_->refreshSliderLabel(SliderLabelSource::Counter);
    if (state_.StepsPer360 > 1)
        ShowDegrees();
    coil_.WriteData(coil);
}

// ---------------------------------------------------------------------------------------------
// Speed

void Engine::speedShown() {
    const int interval = static_cast<int>(std::max<Long>(state_.StepDelayMs, 1));
    for (platform::Timer* timer : {slowCW_.get(), slowCCW_.get()}) {
        if (timer->isActive() && timer->interval() != interval)
            timer->start(interval);
    }
    view_->speedChanged();
}

void Engine::SetSpeed() {
    speed_.SetSpeed();
    speedShown();
}

void Engine::ShowSpeed() {
    speed_.ShowSpeed();
    speedShown();
}

void Engine::UpdateSpeedModulateCheck() {
    speed_.UpdateSpeedModulateCheck();
    view_->speedChanged();
}

void Engine::InitSpeed() {
    speed_.InitSpeed();
    speedShown();
}

void Engine::SpeedScrolled(Long value) {
    speed_.setScrollValue(value);
    SetSpeed();
}

void Engine::ToggleFastCustom() {
    speed_.ToggleFastCustom();
    speedShown();
}

void Engine::SpeedModulateClicked(bool ticked) {
    speed_.setSpeedModulateTicked(ticked);
    state_.SpeedModulate = ticked;
    StopTurning();
    view_->speedChanged();
}

void Engine::PlanSpeedRamp(Long target, Long from) {
    const std::int64_t steps = std::int64_t{from} - target;
    ramp_.Plan(steps < 0 ? -steps : steps, state_.CustomDelayMs, state_.FastestDelayMs);
}

Long Engine::NextRampDelay(bool reset) {
    if (reset) {
        ramp_.Reset();
        return state_.StepDelayMs;
    }
    if (const auto delay = ramp_.Next()) {
        state_.StepDelayMs = *delay;
        ShowSpeed();
    }
    return state_.StepDelayMs;
}

void Engine::CalibratePcSpeed() {
    state_.PcSpeed = CountLoopPassesInOneSecond(platform_);
    qCInfo(lcEngine) << "PC speed" << state_.PcSpeed;
    view_->showPcSpeed(QStringLiteral("PCspeed=") + CounterText(state_.PcSpeed));
}

// ---------------------------------------------------------------------------------------------
// Displays

void Engine::showCounterAndSlider() {
    const QString counter = CounterText(state_.StepCounter);
    view_->showCounter(counter);
    if (state_.TableWindowShown)
        Call(hooks_.showTableCounter, counter);
    if (state_.MinPosition <= state_.StepCounter && state_.StepCounter <= state_.MaxPosition)
        view_->setSliderValue(state_.StepCounter);
}

void Engine::redrawPelorus() {
    if (state_.PelorusShown || state_.SmallPelorusShown)
        Call(hooks_.redrawPelorus, state_.PelorusShown, state_.SmallPelorusShown);
}

void Engine::ShowDegrees() {
    state_.CurrentDegrees = CurrentDegreesOf(state_.StepCounter, state_.DegreesPerStep);
    view_->showDegrees(DegreesLabelText(state_.CurrentDegrees));
    redrawPelorus();
}

void Engine::ShowPosition() {
    ShowOverlay();
    showCounterAndSlider();
    if (state_.MinPosition <= state_.StepCounter && state_.StepCounter <= state_.MaxPosition)
        view_->refreshSliderLabel(SliderLabelSource::Counter);
    if (state_.StepsPer360 > 1)
        ShowDegrees();
}

void Engine::UpdateDegreesPerStep() {
    if (state_.StepsPer360 <= 0) {
        state_.DegreesPerStep = 360;
        view_->setDegreesVisible(false);
        return;
    }
    state_.DegreesPerStep = 360 / state_.StepsPer360;
    view_->setDegreesVisible(true);
    ShowDegrees();
}

void Engine::ShowOverlay() {
    if (state_.OverlaySteps < 0)
        state_.OverlayPosition = 0;
    view_->showOverlay(OverlayDisplayFor(state_));
}

// ---------------------------------------------------------------------------------------------
// Overlay

void Engine::ApplyOverlay(std::int64_t n) {
    if (!(state_.OverlayOn && state_.OverlayMenu))
        return;
    const bool housekeeping = view_->housekeepingRunning();
    view_->setHousekeepingRunning(false);
    StopSlowTimers();
    ensureTurnPower();
    busyLock_.lock();

    const std::int64_t position = state_.OverlayPosition;
    if (n < 0)
        OverlayDown(ClampToLong(position + n));
    else if (n > 0)
        OverlayUp(ClampToLong(position + n));
    else if (state_.OverlayPending)
        OverlayUp(state_.OverlaySteps);
    else
        OverlayDown(0);

    if (n != 0)
        busyLock_.requestUnlock();
    view_->refreshOverlayTooltips();
    if (housekeeping)
        view_->setHousekeepingRunning(true);
}

void Engine::OverlayUp(Long target) {
    state_.StopRequest = false;
    coil_.PowerOn();
    coil_.SetPhaseSequence(Direction::CW, motorPosition());
    if (state_.SpeedModulate)
        PlanSpeedRamp(target, state_.OverlayPosition);
    if (state_.OverlayPosition == 0)
        state_.OverlayState = false;
    const Ticket ticket = beginLoop();
    StepTimeline timeline(platform_);
    std::size_t phase = 0;
    for (;;) {
        state_.StepActivity = true;
        if (state_.StopRequest)
            break;
        if (state_.OverlayPosition == target || state_.OverlayPosition >= state_.OverlaySteps) {
            if (state_.OverlayPosition == state_.OverlaySteps)
                platform_.beep();
            break;
        }
        const Long code = state_.PhaseSeq[phase];
        phase = (phase + 1) % state_.PhaseSeq.size();
        state_.OverlayPending = true;
        ++state_.OverlayPosition;
        coil_.WriteCoil(code);
        timeline.stepWritten();
        ShowOverlay();
        if (state_.EndSwitches && checkSwitches())
            break;
        waitAfterStep(timeline, state_.SpeedModulate
                                    ? NextRampDelay(false)
                                    : std::min(state_.StepDelayMs, OverlayDelayLimitMs));
        if (superseded(ticket))
            break;
    }
    EndTurn();
}

void Engine::OverlayDown(Long target) {
    state_.StopRequest = false;
    coil_.PowerOn();
    coil_.SetPhaseSequence(Direction::CCW, motorPosition());
    if (state_.SpeedModulate)
        PlanSpeedRamp(target, state_.OverlayPosition);
    if (state_.OverlayPosition == state_.OverlaySteps)
        state_.OverlayState = true;
    const Ticket ticket = beginLoop();
    StepTimeline timeline(platform_);
    std::size_t phase = 0;
    for (;;) {
        state_.StepActivity = true;
        // A stop, a switch or another turn ends the overlay move at once, without the beep.
        if (state_.StopRequest) {
            EndTurn();
            return;
        }
        if (state_.OverlayPosition == target || state_.OverlayPosition < 1)
            break;
        const Long code = state_.PhaseSeq[phase];
        phase = (phase + 1) % state_.PhaseSeq.size();
        state_.OverlayPending = false;
        --state_.OverlayPosition;
        coil_.WriteCoil(code);
        timeline.stepWritten();
        ShowOverlay();
        if (state_.EndSwitches && checkSwitches()) {
            EndTurn();
            return;
        }
        waitAfterStep(timeline, state_.SpeedModulate
                                    ? NextRampDelay(false)
                                    : std::min(state_.StepDelayMs, OverlayDelayLimitMs));
        if (superseded(ticket)) {
            EndTurn();
            return;
        }
    }
    if (state_.OverlayPosition == 0)
        platform_.beep();
    EndTurn();
}

// ---------------------------------------------------------------------------------------------
// Slow turns

bool Engine::slowTurnRunning() const {
    return slowCW_->isActive() || slowCCW_->isActive();
}

void Engine::StopSlowTimers() {
    slowCW_->stop();
    slowCCW_->stop();
}

platform::Timer& Engine::slowTimer(Direction direction) {
    return direction == Direction::CW ? *slowCW_ : *slowCCW_;
}

void Engine::startSlowTurn(Direction direction) {
    // The phase sequence was just set from the present position: the slow turn starts at its
    // first entry.
    slowPhase_ = 0;
    slowTimer(direction).start(static_cast<int>(std::max<Long>(state_.StepDelayMs, 1)));
}

void Engine::slowStep(Direction direction) {
    const bool up = direction == Direction::CW;
    const bool more = up ? state_.TargetPosition > state_.StepCounter
                         : state_.TargetPosition < state_.StepCounter;
    if (!more) {
        if (state_.TargetPosition == (up ? state_.MaxPosition : state_.MinPosition))
            platform_.beep();
        slowTimer(direction).stop();
        state_.PelorusRedraw = true;
        state_.StepActivity = true;
        busyLock_.requestUnlock();
        return;
    }
    busyLock_.lock();
    const Long code = state_.PhaseSeq[static_cast<std::size_t>(slowPhase_)];
    slowPhase_ = (slowPhase_ + 1) % static_cast<int>(state_.PhaseSeq.size());
    state_.StepCounter += up ? 1 : -1;
    coil_.WriteCoil(code);
    state_.StepActivity = true;
    showCounterAndSlider();
    if (state_.StepsPer360 > 1) {
        state_.PelorusRedraw = false;
        ShowDegrees();
    }
    view_->refreshSliderLabel(SliderLabelSource::Slider);
    view_->runHousekeeping();
}

// ---------------------------------------------------------------------------------------------
// Power and port commands

void Engine::ApplyStartUpPower() {
    power_.ApplyStartUpPower();
    view_->powerChanged();
}

void Engine::PowerTick() {
    power_.HousekeepingTick(slowTurnRunning());
    view_->powerChanged();
}

void Engine::AutoPowerClicked(bool ticked) {
    StopTurning();
    power_.SetAutoPower(ticked);
    view_->powerChanged();
}

void Engine::FieldPowerClicked(bool ticked) {
    StopTurning();
    if (!ticked)
        StopSlowTimers();
    power_.SetFieldPower(ticked);
    view_->powerChanged();
}

void Engine::CycleLptPort() {
    StopTurning();
    portPanel_.CycleLptPort();
    view_->portPanelChanged();
}

void Engine::WalkOutputPins() {
    StopTurning();
    view_->setWindowEnabled(false);
    view_->setHousekeepingRunning(false);
    StopSlowTimers();
    portPanel_.WalkOutputPins([this] { view_->portPanelChanged(); });
    view_->setWindowEnabled(true);
    view_->setHousekeepingRunning(true);
}

void Engine::ToggleLpt89() {
    portPanel_.ToggleLpt89();
    view_->portPanelChanged();
}

} // namespace engine
