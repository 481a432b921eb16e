#include "vna/SimulatedVna.h"

#include "platform/Platform.h"

#include <algorithm>

namespace vna {

namespace {

// The -H4's sweep: a setting-up time, then each point (201 points: 1.1 s).
constexpr double SetUpMs = 50;
constexpr double PointMs = 5.2;
constexpr int MaxPoints = 401;
constexpr double AbortPollMs = 10;

} // namespace

SimulatedVna::SimulatedVna(platform::Platform& platform, LoopModel& loop)
    : platform_(platform), loop_(loop) {}

double SimulatedVna::SweepMs(int points) {
    return SetUpMs + PointMs * points;
}

Result<VnaIdentity> SimulatedVna::open() {
    open_ = true;
    aborted_ = false;
    return {VnaIdentity{QStringLiteral("Simulated VNA"), MaxPoints}, {}};
}

Result<Sweep> SimulatedVna::sweep(const SweepRequest& request) {
    if (!open_)
        return Result<Sweep>::failure(QStringLiteral("The simulated VNA is not connected."));
    if (request.points < 2 || request.points > MaxPoints)
        return Result<Sweep>::failure(
            QStringLiteral("The VNA sweeps 2 to %1 points, not %2.").arg(MaxPoints).arg(request.points));
    // In short waits, so that an abort ends the sweep at once.
    const double end = platform_.steadyMs() + SweepMs(request.points);
    while (platform_.steadyMs() < end) {
        if (aborted_)
            return Result<Sweep>::failure(QStringLiteral("The sweep was stopped."));
        platform_.waitUntil(std::min(end, platform_.steadyMs() + AbortPollMs), true);
    }
    Sweep sweep;
    sweep.reserve(std::size_t(request.points));
    for (int i = 0; i < request.points; ++i) {
        const double hz = request.startHz + (request.stopHz - request.startHz) * i / (request.points - 1);
        sweep.push_back({hz, loop_.measure(hz), true});
    }
    return {std::move(sweep), {}};
}

} // namespace vna
