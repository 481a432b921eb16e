#pragma once

#include "platform/Platform.h"

#include <functional>
#include <utility>

namespace engine {

// Turning inputs too frequent to ask about one by one (keys, wheel notches, shuttle and pulse
// swings): while the hook says no turning (the rig transmits), each is refused with a beep.
class TurnRefusal {
public:
    explicit TurnRefusal(platform::Platform& platform) : platform_(platform) {}

    // refuse() true: no turn now. Unset (the default) refuses nothing.
    void set(std::function<bool()> refuse) { refuse_ = std::move(refuse); }

    // True, after one beep, when the input must start no turn.
    bool refused() const {
        if (!refuse_ || !refuse_())
            return false;
        platform_.beep();
        return true;
    }

private:
    platform::Platform& platform_;
    std::function<bool()> refuse_;
};

} // namespace engine
