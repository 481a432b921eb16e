// The engine's front door and transmit gate: why a request is refused, what the gate answers
// a turn of each origin (TurnPolicies), the waits it makes, and the record of every turn.
#include "core/Degrees.h"
#include "core/VersionTexts.h"
#include "engine/Engine.h"
#include "engine/EngineLogging.h"

#include <QScopeGuard>
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace engine {

using core::Long;

namespace {
// How often a turn held by the transmit gate looks whether the rig still transmits.
constexpr int TransmitCheckMs = 50;
} // namespace

std::optional<TurnRefusal> Engine::Refuses(const TurnRequest& request) const {
    using Why = TurnRefusal::Why;
    if (exiting_)
        return TurnRefusal{Why::Exiting, QStringLiteral("the program is ending")};
    if (counterByHandOpen_)
        return TurnRefusal{Why::CounterByHand, QStringLiteral("the counter is being set by hand")};
    if (request.degrees && state_.StepsPer360 <= 0)
        return TurnRefusal{Why::NoDegreeScale,
                           QStringLiteral("this stepper has no degrees (steps per 360 is 0)")};
    if (request.beyond == TurnRequest::Beyond::Refuse) {
        const Long target = targetOf(request);
        if ((request.degrees && !std::isfinite(*request.degrees)) || endOfTurnTo(target) != target)
            return TurnRefusal{Why::BeyondLimits,
                               QStringLiteral("it lies beyond the limits %1 to %2")
                                   .arg(state_.MinPosition)
                                   .arg(state_.MaxPosition)};
    }
    if (!request.consented && !admits(request.origin))
        return TurnRefusal{Why::Transmitting, QStringLiteral("the rig transmits")};
    if (QString problem =
            outputProblem(request.delayMs.value_or(state_.StepDelayMs),
                          state_.SpeedModulate && request.ramp == TurnRequest::Ramp::AsSet);
        !problem.isEmpty())
        return TurnRefusal{Why::OutputUnable, std::move(problem)};
    return std::nullopt;
}

void Engine::TellRefusal(const TurnRequest& request, const TurnRefusal& refusal) {
    if (refusal.why == TurnRefusal::Why::OutputUnable)
        tellNotTurned(refusal.text);
    TurnRecord record = beginRecord(request);
    record.refusal = refusal;
    finishRecord(record, TurnOutcome::Refused, stops_, requests_);
}

Long Engine::endOfTurnTo(Long target) const {
    // As std::clamp, but defined also while the limits are set the wrong way round.
    if (target < state_.MinPosition)
        return state_.MinPosition;
    return state_.MaxPosition < target ? state_.MaxPosition : target;
}

Long Engine::targetOf(const TurnRequest& request) const {
    if (request.offset)
        return core::ClampToLong(std::int64_t{state_.StepCounter} + *request.offset);
    if (!request.degrees)
        return request.target;
    if (!std::isfinite(*request.degrees))
        return state_.StepCounter;
    return core::DegreesToSteps(*request.degrees, state_.DegreesPerStep);
}

TurnRecord Engine::beginRecord(const TurnRequest& request) const {
    TurnRecord record;
    record.origin = request.origin;
    record.detail = request.detail;
    record.stepper = state_.SelectedStepper;
    record.from = state_.StepCounter;
    record.to = targetOf(request);
    record.started = platform_.now();
    record.startedSteadyMs = platform_.steadyMs();
    return record;
}

void Engine::finishRecord(TurnRecord& record, TurnOutcome outcome, std::uint64_t stops,
                          std::uint64_t requests) {
    using End = TurnRecord::End;
    switch (outcome) {
    case TurnOutcome::Refused:
        record.end = End::Refused;
        // Else the gate refused it, or it was stopped while the gate asked or waited.
        if (!record.refusal)
            record.refusal = TurnRefusal{TurnRefusal::Why::Transmitting,
                                         stops_ != stops || requests_ != requests
                                             ? QStringLiteral("stopped while it waited")
                                             : QStringLiteral("the rig transmits")};
        break;
    case TurnOutcome::Held:
        record.end = End::Held;
        break;
    case TurnOutcome::TimedOut:
        record.end = End::TimedOut;
        break;
    case TurnOutcome::Done:
        if (keptBySlowTurn(record))
            return;
        if (state_.StepCounter == record.to)
            break;
        // The port could not make the steps: refused when it made none.
        if (record.refusal && record.steps == 0) {
            record.end = End::Refused;
            break;
        }
        record.end = End::Stopped;
        record.stoppedBy = stops_ != stops         ? lastStopText()
                           : requests_ != requests ? QStringLiteral("another turn")
                           : record.refusal        ? QStringLiteral("the port")
                                                   : QStringLiteral("a switch or the limit");
        break;
    }
    tellFinished(record);
}

void Engine::tellFinished(TurnRecord& record) {
    // The clock set (NTP at boot) during a turn does not make it hours long or negative.
    record.ended = record.started.addMSecs(qRound64(platform_.steadyMs() - record.startedSteadyMs));
    // The inhibit line was held around every step the turn made, unless made under the SWR
    // tune's own carrier.
    if (coil_.inhibit().bit && record.steps != 0 && record.insideInhibitLine) {
        record.inhibitLeadMs = coil_.inhibit().leadMs;
        record.inhibitTailMs = coil_.inhibit().tailMs;
    }
    emit turnFinished(record);
}

bool Engine::admits(TurnOrigin origin) const {
    const GateAnswer answer = gateAnswer(Gate{origin}, false);
    return answer != GateAnswer::Refuse && answer != GateAnswer::Beep;
}

GateAnswer Engine::gateAnswer(const Gate& gate, bool midTurn) const {
    return GateAnswerFor(gate.origin, {midTurn, gate.consented, transmitting(),
                                       transmit_ && transmit_->swrTuneKeyed()});
}

GateAsked Engine::AskGate(TurnOrigin origin) {
    const QScopedValueRollback gate(gate_, Gate{origin});
    const TurnOutcome outcome = admit();
    return {outcome, gate_.consented};
}

bool Engine::transmitting() const {
    // The SWR tune's carrier is a transmission too, whatever the user wants held.
    return transmit_ && (transmit_->transmitting() || transmit_->swrTuneKeyed());
}

void Engine::TransmitChanged() {
    if (activeRun_)
        platform_.wakeUp();
}

TurnOutcome Engine::admit() {
    // Not a turn of its own: asking must not end a turn already under way.
    const Ticket ticket{stops_, turns_};
    switch (gateAnswer(gate_, false)) {
    case GateAnswer::Pass:
        return TurnOutcome::Done;
    case GateAnswer::Ask: {
        const platform::Answer answer = platform_.messageBox(
            QStringLiteral("The rig is transmitting: turning the loop now may arc it.\r\nTurn "
                           "all the same?"),
            core::MessageTitle(), platform::Icon::Question, platform::Buttons::YesNo);
        // A stop or another turn while the question was open ends this one.
        if (answer != platform::Answer::Yes || superseded(ticket))
            return TurnOutcome::Refused;
        gate_.consented = true;
        return TurnOutcome::Done;
    }
    case GateAnswer::Beep:
        platform_.beep();
        return TurnOutcome::Refused;
    case GateAnswer::Wait:
        return waitForReceive(ticket, std::nullopt);
    case GateAnswer::WaitAMinute:
        return waitForReceive(ticket, TurnPolicy::WaitLimitMs);
    case GateAnswer::Refuse:
        break;
    }
    return TurnOutcome::Refused;
}

TurnOutcome Engine::waitForReceive(const Ticket& ticket, std::optional<double> limitMs) {
    const double start = platform_.steadyMs();
    qCInfo(lcEngine) << "the rig transmits: the turn waits";
    const auto tally = qScopeGuard([&] {
        if (recording_)
            recording_->heldMs += platform_.steadyMs() - start;
    });
    while (transmitting()) {
        // Without the event loop (the exit) nothing can end the transmission.
        if (superseded(ticket) || state_.NoYield)
            return TurnOutcome::Refused;
        if (limitMs && platform_.steadyMs() - start > *limitMs)
            return TurnOutcome::TimedOut;
        platform_.waitMs(TransmitCheckMs, true);
    }
    return superseded(ticket) ? TurnOutcome::Refused : TurnOutcome::Done;
}

bool Engine::gateOpensAtStep(const Ticket& ticket) {
    switch (gateAnswer(gate_, true)) {
    case GateAnswer::Pass:
        return true;
    case GateAnswer::Wait:
    case GateAnswer::WaitAMinute:
        // It waits where it is, however long: its next step comes after transmit.
        return waitForReceive(ticket, std::nullopt) == TurnOutcome::Done;
    case GateAnswer::Ask:
    case GateAnswer::Beep:
    case GateAnswer::Refuse:
        break;
    }
    qCInfo(lcEngine) << "the rig transmits: the turn stops at" << state_.StepCounter;
    gate_.held = true;
    return false;
}

} // namespace engine
