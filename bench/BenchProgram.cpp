#include "BenchProgram.h"

namespace bench {

BenchProgram::BenchProgram(const std::function<void(core::ProgramState&)>& adjust,
                           const Files& files, std::unique_ptr<platform::LptPort> port)
    : directory_(adjust, files) {
    if (!port) {
        auto simulated = std::make_unique<port::SimulatedLpt>();
        lpt_ = simulated.get();
        port = std::move(simulated);
    }
    // Shared by the GUI and the stepping thread as the program shares it.
    auto shared = std::make_unique<port::SerializedLpt>(std::move(port));
    shared_ = shared.get();
    app_ = std::make_unique<app::VentroloApp>(directory_.path(), platform_, std::move(shared));
    platform_.setDialogParent(&app_->mainWindow());
    QObject::connect(&app_->engine(), &engine::Engine::turnFinished,
                     [this](const engine::TurnRecord& record) { lastTurnTiming_ = record.timing; });
    clearWrites();
}

BenchProgram::~BenchProgram() = default;

void BenchProgram::start() {
    app_->start();
}

void BenchProgram::clearWrites() {
    if (lpt_)
        shared_->exclusive([this](platform::LptPort&) {
            lpt_->traceWrites([this] { return platform_.steadyMs(); });
        });
}

std::vector<port::SimulatedLpt::Write> BenchProgram::writes() const {
    std::vector<port::SimulatedLpt::Write> data;
    if (!lpt_)
        return data;
    shared_->exclusive([&](platform::LptPort&) {
        for (const port::SimulatedLpt::Write& w : lpt_->writes()) {
            if (w.address == app_->state().LptAddress)
                data.push_back(w);
        }
    });
    return data;
}

std::vector<double> BenchProgram::writeTimes() const {
    std::vector<double> times;
    for (const port::SimulatedLpt::Write& w : writes())
        times.push_back(w.atMs);
    return times;
}

} // namespace bench
