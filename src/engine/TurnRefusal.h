#pragma once

#include <QString>

namespace engine {

// Why the engine turns nothing for a request, answered before anything moves
// (Engine::Refuses). Callers map why to their own error (a protocol code, an HTTP status) and
// may show text, the engine's own words.
struct TurnRefusal {
    enum class Why {
        Exiting,       // the way out has begun: only the park turns
        CounterByHand, // the counter is being set by hand: the shaft may be in the user's hand
        NoDegreeScale, // an azimuth asked of a stepper without steps per 360
        BeyondLimits,  // the target lies beyond MinPosition..MaxPosition
        Transmitting,  // the rig transmits and the origin is refused then (TurnPolicies)
        OutputUnable,  // the port cannot make the steps: its device failed, another output
                       // holds the coil code, or step/dir pulses this close cannot be kept
    };
    Why why;
    QString text;
};

} // namespace engine
