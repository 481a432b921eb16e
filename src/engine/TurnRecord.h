#pragma once

#include "core/ProgramState.h"
#include "engine/StepTimeline.h"
#include "engine/TurnRefusal.h"
#include "engine/TurnRequest.h"

#include <QDateTime>
#include <cstdint>
#include <optional>

namespace engine {

// What one turn did, told once when it ends (Engine::turnFinished), whatever its origin.
struct TurnRecord {
    enum class End {
        Reached,  // the counter stands at the target
        Stopped,  // ended short of it: stoppedBy says by what
        Held,     // the rig began to transmit: stopped at a step
        TimedOut, // waited too long for transmit to end
        Refused,  // nothing moved: refusal says why
    };
    TurnOrigin origin = TurnOrigin::Window;
    QString detail;
    core::Long stepper = 0;
    core::Long from = 0;
    core::Long to = 0;      // the target asked for (within the limits)
    std::int64_t steps = 0; // steps made, the overlay's included
    QDateTime started;
    QDateTime ended; // started + the turn's length on the steady clock, whatever the wall clock did
    double startedSteadyMs = 0;
    End end = End::Reached;
    QString stoppedBy; // "a stop", "another turn", "the program's end", "a switch or the limit"
    double heldMs = 0; // waited for the rig to stop transmitting
    std::optional<TurnRefusal> refusal;
    // Its steps were made inside the transmit-inhibit line (all but those under the SWR tune's
    // own carrier).
    bool insideInhibitLine = false;
    // The transmit-inhibit line's lead before the first step and tail after the last, where
    // one is wired.
    std::optional<double> inhibitLeadMs;
    std::optional<double> inhibitTailMs;
    // How its last stepping loop kept its time (the turn's own steps after the overlay's); a
    // slow turn's steps, each made when it is due, have none.
    TurnTiming timing;
};

} // namespace engine
