#pragma once

#include "engine/TurnRequest.h"

#include <array>
#include <cstddef>

namespace engine {

// What the transmit gate does to a turn at a given moment.
enum class GateAnswer {
    Pass,        // it moves
    Ask,         // the user is asked whether to turn under transmit
    Beep,        // refused with a beep
    Wait,        // it waits, however long, until transmit ends
    WaitAMinute, // it waits at most TurnPolicy::WaitLimitMs, then is skipped
    Refuse,      // before the first step: nothing moves; mid-turn: it stops at the next step
};

// What the gate gave a command that asked it before turning (Engine::AskGate): whether the turn
// may start (Done), and whether the user said to turn under transmit, which its request then
// carries as consented.
struct GateAsked {
    TurnOutcome outcome;
    bool consented = false;
};

// What a turn of one origin gets while the rig transmits, and whether it sets the
// transmit-inhibit line. A new origin is one row of TurnPolicies.
struct TurnPolicy {
    static constexpr double WaitLimitMs = 60'000;

    TurnOrigin origin;
    GateAnswer beforeFirstStep; // the rig already transmits when the turn is asked for
    GateAnswer midTurn;         // transmit begins while it turns: Wait or Refuse
    bool passesOwnCarrier;      // passes while the SWR tune keys its carrier (nothing else does)
    // Its steps are made inside the transmit-inhibit line (TransmitInhibit); the SWR tune's are
    // not while it keys the rig: it turns between readings under its own carrier.
    bool setsInhibitLine;
};

inline constexpr std::array TurnPolicies{
    TurnPolicy{TurnOrigin::Window, GateAnswer::Ask, GateAnswer::Refuse, false, true},
    TurnPolicy{TurnOrigin::Repeated, GateAnswer::Beep, GateAnswer::Refuse, false, true},
    TurnPolicy{TurnOrigin::Program, GateAnswer::Wait, GateAnswer::Wait, false, true},
    TurnPolicy{TurnOrigin::Timer, GateAnswer::WaitAMinute, GateAnswer::Wait, false, true},
    TurnPolicy{TurnOrigin::Network, GateAnswer::Refuse, GateAnswer::Refuse, false, true},
    TurnPolicy{TurnOrigin::Following, GateAnswer::Refuse, GateAnswer::Refuse, false, true},
    TurnPolicy{TurnOrigin::Search, GateAnswer::Refuse, GateAnswer::Refuse, false, true},
    TurnPolicy{TurnOrigin::SwrTune, GateAnswer::Refuse, GateAnswer::Refuse, true, false},
    TurnPolicy{TurnOrigin::Park, GateAnswer::Refuse, GateAnswer::Refuse, false, true},
    TurnPolicy{TurnOrigin::VnaBuild, GateAnswer::Refuse, GateAnswer::Refuse, false, true},
};

constexpr const TurnPolicy& PolicyOf(TurnOrigin origin) {
    for (const TurnPolicy& policy : TurnPolicies)
        if (policy.origin == origin)
            return policy;
    return TurnPolicies[0]; // unreachable: every origin has its row (checked below)
}

// Every origin has its row, in the order of TurnOrigin.
constexpr bool EveryOriginHasItsRow() {
    for (std::size_t i = 0; i < TurnPolicies.size(); ++i)
        if (static_cast<std::size_t>(TurnPolicies[i].origin) != i)
            return false;
    return TurnPolicies.size() == static_cast<std::size_t>(TurnOrigin::VnaBuild) + 1;
}
static_assert(EveryOriginHasItsRow());

// The gate's one rule. Under the SWR tune's carrier only the origin that keys it passes,
// consented or not, and nobody is asked or beeped at; the waiting origins wait for the carrier
// to end as for any transmission. Otherwise a consented turn, or any turn while the rig
// receives, passes; else the origin's row answers.
struct GateMoment {
    bool midTurn = false;
    bool consented = false; // the user chose to turn under transmit
    bool transmitting = false;
    bool ownCarrier = false; // the SWR tune keys the rig
};
constexpr GateAnswer GateAnswerFor(TurnOrigin origin, const GateMoment& now) {
    const TurnPolicy& policy = PolicyOf(origin);
    const GateAnswer answer = now.midTurn ? policy.midTurn : policy.beforeFirstStep;
    if (now.ownCarrier) {
        if (policy.passesOwnCarrier)
            return GateAnswer::Pass;
        return answer == GateAnswer::Ask || answer == GateAnswer::Beep ? GateAnswer::Refuse
                                                                       : answer;
    }
    if (now.consented || !now.transmitting)
        return GateAnswer::Pass;
    return answer;
}

} // namespace engine
