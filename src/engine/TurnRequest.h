#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace engine {

// Who asked for a turn: it decides what the turn gets while the rig transmits (TurnPolicies).
enum class TurnOrigin {
    Window,    // the user, once, in a window: asked first
    Repeated,  // a key, wheel notch, shuttle or pulse swing, remote button: refused with a beep
    Program,   // a direct-table program: waits at that turn until transmit ends
    Timer,     // a timer record: waits at most a minute, then is skipped
    Network,   // a rotator client: refused at once, nothing moves
    Following, // the rig's frequency followed, a frequency step: refused, retried by the follower
    Search,    // a search such as the S-meter peak search: refused, the search ends
    SwrTune,   // the SWR tune: passes only while it keys the rig itself; refused otherwise
    Park,      // the park at exit: refused, stopped at the next step; the way out waits, bounded
    VnaBuild,  // the table builder's measuring turns: refused, stopped at the next step; the
               // builder waits for receive and turns again (the VNA shares the antenna)
};

// How a turn ended.
enum class TurnOutcome {
    Done,     // arrived, or ended by a stop, a switch or another turn
    Refused,  // refused at the front door (see Engine::Refuses), or by the transmit gate: not
              // one step was made
    Held,     // the rig began to transmit: stopped at the next step
    TimedOut, // a timer turn waited too long for transmit to end: not one step was made
};

// One turn: where to, who asks, and the step delay in ms to use instead of StepDelayMs (the
// delay in force comes back afterwards unless it was changed meanwhile). With Ramp::Off the
// turn steps at that delay even while SpeedModulate is on: the ramp would replace it by its
// own.
struct TurnRequest {
    enum class Ramp { AsSet, Off };
    // Beyond the limits the turn stops at the limit (with a beep when the counter already lies
    // beyond it), or is refused before anything moves.
    enum class Beyond { StopAtLimit, Refuse };
    TurnRequest(core::Long to, TurnOrigin from, std::optional<core::Long> delay = std::nullopt,
                Ramp rampChoice = Ramp::AsSet)
        : target(to), origin(from), delayMs(delay), ramp(rampChoice) {}
    // A turn to an azimuth (degrees of the selected stepper's scale); refused beyond the
    // limits, and on a stepper without a scale (StepsPer360 0).
    static TurnRequest ToDegrees(double degrees, TurnOrigin from) {
        TurnRequest request(0, from);
        request.degrees = degrees;
        request.beyond = Beyond::Refuse;
        return request;
    }
    // A turn by steps (up when positive) from where the counter stands as the turn begins: after
    // the stop of a replacing request, from where that stop left the motor.
    static TurnRequest By(std::int64_t steps, TurnOrigin from,
                          std::optional<core::Long> delay = std::nullopt) {
        TurnRequest request(0, from, delay);
        request.offset = steps;
        return request;
    }
    TurnRequest& replacing() {
        replaces = true;
        return *this;
    }
    TurnRequest& refusedBeyondLimits() {
        beyond = Beyond::Refuse;
        return *this;
    }
    TurnRequest& describedAs(QString text) {
        detail = std::move(text);
        return *this;
    }

    core::Long target;
    TurnOrigin origin;
    std::optional<core::Long> delayMs;
    Ramp ramp;
    // When set, the target is this azimuth instead.
    std::optional<double> degrees;
    // When set, the target is the counter moved by this many steps instead.
    std::optional<std::int64_t> offset;
    Beyond beyond = Beyond::StopAtLimit;
    // Stop, then turn: whatever turns ends first and the rig's following halts, as by
    // Engine::StopTurningAndFollowing: the user takes over.
    bool replaces = false;
    // The user was asked already (Engine::AskGate) and said to turn under transmit.
    bool consented = false;
    // Who asked, in words: "rotctld P 90", "web 192.168.1.20", "timer record 3".
    QString detail;
};

} // namespace engine
