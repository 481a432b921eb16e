#pragma once

#include "BenchSupport.h"
#include "app/VentroloApp.h"
#include "platform/QtPlatform.h"
#include "port/SerializedLpt.h"
#include "port/SimulatedLpt.h"

#include <memory>
#include <vector>

namespace bench {

// The whole program in this process (a QApplication must exist), on the simulated port with
// every write time-stamped on the program's clock (or on the port given), shared by its threads
// as the program shares it (SerializedLpt), in a program directory of its own (see
// ProgramDirectory); start() shows the windows the configuration asks for.
class BenchProgram {
public:
    explicit BenchProgram(const std::function<void(core::ProgramState&)>& adjust = {},
                          const Files& files = {},
                          std::unique_ptr<platform::LptPort> port = nullptr);
    ~BenchProgram();

    void start();
    app::VentroloApp& app() { return *app_; }
    engine::Engine& engine() { return app_->engine(); }
    // How the last turn that ended kept its time (its record's).
    const engine::TurnTiming& lastTurnTiming() const { return lastTurnTiming_; }
    port::CoilOutput& coil() { return app_->station().portDrive().coil(); }
    core::ProgramState& state() { return app_->state(); }
    platform::QtPlatform& platform() { return platform_; }
    // The simulated port; null when a port was given.
    port::SimulatedLpt* lpt() { return lpt_; }

    // Forgets the writes recorded so far (on the simulated port).
    void clearWrites();
    // The writes to the data register recorded since clearWrites(), times in ms.
    std::vector<port::SimulatedLpt::Write> writes() const;
    std::vector<double> writeTimes() const;

private:
    ProgramDirectory directory_;
    platform::QtPlatform platform_;
    port::SimulatedLpt* lpt_ = nullptr;
    port::SerializedLpt* shared_ = nullptr; // the port the program is given
    std::unique_ptr<app::VentroloApp> app_;
    engine::TurnTiming lastTurnTiming_;
};

} // namespace bench
