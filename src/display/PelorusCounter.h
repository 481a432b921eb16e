#pragma once

#include "core/ProgramState.h"

#include <QString>
#include <optional>

namespace display {

// The pelorus's angle label: the degrees with at least one decimal, a zero before the point, a
// blank and "°": "45.0 °", "0.5 °".
QString PelorusAngleText(core::Single degrees);

// The pelorus's counter label (lblTellerPelorus): the counter, and the target while a turn or
// the shuttle runs ("100>150"); after a click the target in degrees ("9°", or "9°>18°" from the
// target shown last to the new one).
class PelorusCounter {
public:
    // The label clicked: steps <-> degrees.
    void toggle() { inDegrees_ = !inDegrees_; }
    bool inDegrees() const { return inDegrees_; }

    // ShowCounter(force): the caption for the state now; none when it stays as it is (degrees
    // shown and the target unchanged, unless forced).
    std::optional<QString> ShowCounter(const core::ProgramState& state, bool shuttleOn, bool force);

private:
    bool inDegrees_ = false;
    core::Long lastTarget_ = 0;
};

} // namespace display
