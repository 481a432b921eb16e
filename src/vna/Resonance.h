#pragma once

#include "vna/Sweep.h"

#include <optional>

// The loop's resonance in a sweep of its S11.
namespace vna {

struct Resonance {
    double hz = 0;  // the |S11| minimum, refined between the points
    double swr = 0; // the SWR there
    // The width where the SWR is 2 or less; nullopt when the SWR never gets down to 2 or the
    // sweep does not reach both sides of it.
    std::optional<double> bandwidthHz;
    // The loaded Q of a matched loop, from that width: a width of f0 / Q × (s-1) / √s at an
    // SWR of s = 2.
    std::optional<double> q;
    // The minimum is the sweep's first or last point: the resonance may lie beyond the sweep.
    bool atEdge = false;
};

// SWR of a reflection coefficient's magnitude; a huge value for |Γ| of 1 or more.
double SwrOf(double gammaMagnitude);

// The resonance in sweep; nullopt when fewer than three points are valid, or when a failed
// point lies beside the minimum (the true minimum could hide there).
std::optional<Resonance> FindResonance(const Sweep& sweep);

} // namespace vna
