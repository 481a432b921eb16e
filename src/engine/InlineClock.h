#pragma once

#include "platform/Platform.h"
#include "platform/SteppingThread.h"

#include <functional>
#include <utility>

namespace engine {

// The clock of steps made on the GUI thread (the tests' virtual clock, the slow turns): its
// waits serve the events, with pass() before and after, as the GUI thread's look at the run.
class InlineClock final : public platform::StepClock {
public:
    InlineClock(platform::Platform& platform, const bool& noYield,
                std::function<void(bool afterWait)> pass)
        : platform_(platform), noYield_(noYield), pass_(std::move(pass)) {}

    double nowMs() override { return platform_.steadyMs(); }
    void waitUntil(double deadlineMs) override {
        pass_(false);
        platform_.waitUntil(deadlineMs, !noYield_);
        pass_(true);
    }
    void serve() override {
        pass_(false);
        if (!noYield_)
            platform_.processEvents();
        pass_(true);
    }
    void sleepUntil(double deadlineMs) override { platform_.waitUntil(deadlineMs, false); }

private:
    platform::Platform& platform_;
    const bool& noYield_;
    std::function<void(bool)> pass_;
};

} // namespace engine
