#include "engine/PcSpeedCalibration.h"

#include <cmath>
#include <limits>

namespace engine {

core::Long CountLoopPassesInOneSecond(const platform::Platform& platform) {
    const double startMs = platform.steadyMs();
    core::Long passes = 0;
    while (passes < std::numeric_limits<core::Long>::max()) {
        ++passes;
        if (std::abs(platform.steadyMs() - startMs) >= 1000.0)
            break;
    }
    return passes;
}

} // namespace engine
