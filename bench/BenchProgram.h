#pragma once

#include "BenchSupport.h"
#include "app/VentroloApp.h"
#include "platform/QtPlatform.h"
#include "port/SimulatedLpt.h"

#include <memory>
#include <vector>

namespace bench {

// The whole program in this process (a QApplication must exist), on the simulated port with
// every write time-stamped on the program's clock, in a program directory of its own (see
// ProgramDirectory); start() shows the windows the configuration asks for.
class BenchProgram {
public:
    explicit BenchProgram(const std::function<void(core::ProgramState&)>& adjust = {},
                          const Files& files = {});
    ~BenchProgram();

    void start();
    app::VentroloApp& app() { return *app_; }
    engine::Engine& engine() { return app_->engine(); }
    core::ProgramState& state() { return app_->state(); }
    platform::QtPlatform& platform() { return platform_; }
    port::SimulatedLpt& lpt() { return *lpt_; }

    // Forgets the writes recorded so far.
    void clearWrites();
    // The times of the writes to the data register recorded since clearWrites(), in ms.
    std::vector<double> writeTimes() const;

private:
    ProgramDirectory directory_;
    platform::QtPlatform platform_;
    port::SimulatedLpt* lpt_;
    std::unique_ptr<app::VentroloApp> app_;
};

} // namespace bench
