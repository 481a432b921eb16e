#pragma once

namespace rig {

// A frequency range in kHz, bounds included.
struct Band {
    double lowKHz;
    double highKHz;
};

} // namespace rig
