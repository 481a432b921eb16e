#include "BenchProgram.h"

namespace bench {

BenchProgram::BenchProgram(const std::function<void(core::ProgramState&)>& adjust,
                           const Files& files)
    : directory_(adjust, files) {
    auto lpt = std::make_unique<port::SimulatedLpt>();
    lpt_ = lpt.get();
    app_ = std::make_unique<app::VentroloApp>(directory_.path(), platform_, std::move(lpt));
    platform_.setDialogParent(&app_->mainWindow());
    clearWrites();
}

BenchProgram::~BenchProgram() = default;

void BenchProgram::start() {
    app_->start();
}

void BenchProgram::clearWrites() {
    lpt_->traceWrites([this] { return platform_.steadyMs(); });
}

std::vector<double> BenchProgram::writeTimes() const {
    std::vector<double> times;
    for (const port::SimulatedLpt::Write& w : lpt_->writes()) {
        if (w.address == app_->state().LptAddress)
            times.push_back(w.atMs);
    }
    return times;
}

} // namespace bench
