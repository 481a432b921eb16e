#include "vna/Resonance.h"

#include <algorithm>
#include <cmath>

namespace vna {

namespace {

constexpr double BandwidthSwr = 2.0;
// |Γ| at an SWR of 2.
constexpr double BandwidthGamma = (BandwidthSwr - 1) / (BandwidthSwr + 1);
constexpr double HugeSwr = 1e6;

double Gamma2(const SweepPoint& point) {
    return std::norm(point.s11);
}

// Where a straight line between two points of a sweep reaches |Γ| = level.
double Crossing(const SweepPoint& inside, const SweepPoint& outside, double level) {
    const double a = std::abs(inside.s11);
    const double b = std::abs(outside.s11);
    if (b == a)
        return outside.hz;
    return inside.hz + (outside.hz - inside.hz) * (level - a) / (b - a);
}

// The frequency where |Γ|, straight between two points, crosses BandwidthGamma, walking
// from the minimum by step (-1 or +1); nullopt when the sweep ends first or a failed point
// stands in the way.
std::optional<double> Edge(const Sweep& sweep, std::size_t minimum, int step) {
    for (std::size_t i = minimum;;) {
        const long next = long(i) + step;
        if (next < 0 || next >= long(sweep.size()) || !sweep[next].valid)
            return std::nullopt;
        if (std::abs(sweep[next].s11) >= BandwidthGamma)
            return Crossing(sweep[i], sweep[next], BandwidthGamma);
        i = std::size_t(next);
    }
}

} // namespace

double SwrOf(double gammaMagnitude) {
    return gammaMagnitude >= 1 ? HugeSwr : (1 + gammaMagnitude) / (1 - gammaMagnitude);
}

std::optional<Resonance> FindResonance(const Sweep& sweep) {
    const auto valid = std::count_if(sweep.begin(), sweep.end(),
                                     [](const SweepPoint& p) { return p.valid; });
    if (valid < 3)
        return std::nullopt;
    std::size_t low = sweep.size();
    for (std::size_t i = 0; i < sweep.size(); ++i) {
        if (sweep[i].valid && (low == sweep.size() || Gamma2(sweep[i]) < Gamma2(sweep[low])))
            low = i;
    }
    Resonance resonance;
    resonance.atEdge = low == 0 || low + 1 == sweep.size();
    const bool besideFailed = (low > 0 && !sweep[low - 1].valid) ||
                              (low + 1 < sweep.size() && !sweep[low + 1].valid);
    if (besideFailed)
        return std::nullopt;
    resonance.hz = sweep[low].hz;
    double gamma2 = Gamma2(sweep[low]);
    if (!resonance.atEdge) {
        // Near resonance |Γ|² of a matched loop grows with the square of the detuning: the
        // parabola through the minimum and its neighbours has its vertex at the resonance.
        const double x0 = sweep[low - 1].hz, x1 = sweep[low].hz, x2 = sweep[low + 1].hz;
        const double y0 = Gamma2(sweep[low - 1]), y1 = gamma2, y2 = Gamma2(sweep[low + 1]);
        const double denominator = (x1 - x0) * (y1 - y2) - (x1 - x2) * (y1 - y0);
        if (denominator != 0) {
            const double numerator =
                (x1 - x0) * (x1 - x0) * (y1 - y2) - (x1 - x2) * (x1 - x2) * (y1 - y0);
            const double vertex = std::clamp(x1 - 0.5 * numerator / denominator, x0, x2);
            // The parabola's value at its vertex, by Lagrange's form.
            const double l0 = (vertex - x1) * (vertex - x2) / ((x0 - x1) * (x0 - x2));
            const double l1 = (vertex - x0) * (vertex - x2) / ((x1 - x0) * (x1 - x2));
            const double l2 = (vertex - x0) * (vertex - x1) / ((x2 - x0) * (x2 - x1));
            resonance.hz = vertex;
            gamma2 = std::clamp(y0 * l0 + y1 * l1 + y2 * l2, 0.0, gamma2);
        }
    }
    resonance.swr = SwrOf(std::sqrt(gamma2));
    if (resonance.swr <= BandwidthSwr && !resonance.atEdge) {
        const std::optional<double> below = Edge(sweep, low, -1);
        const std::optional<double> above = Edge(sweep, low, +1);
        if (below && above && *above > *below) {
            resonance.bandwidthHz = *above - *below;
            resonance.q = resonance.hz / *resonance.bandwidthHz * (BandwidthSwr - 1) /
                          std::sqrt(BandwidthSwr);
        }
    }
    return resonance;
}

} // namespace vna
