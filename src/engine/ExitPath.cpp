#include "engine/ExitPath.h"

#include <algorithm>

namespace engine {

ExitPath::ExitPath(core::ProgramState& state, platform::Platform& platform, Engine& engine,
                   core::ConfigFile& config, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), config_(config) {}

ExitPath::~ExitPath() = default;

bool ExitPath::start() {
    if (started_)
        return false;
    started_ = true;
    engine_.StopTurning();
    emit exitStarted();
    return true;
}

void ExitPath::stopAndStore() {
    engine_.StopTurning();
    state_.StoreStepperProfile();
}

void ExitPath::ExitProgram() {
    if (!start())
        return;
    stopAndStore();
    const bool parked =
        std::all_of(state_.StoredProfiles.begin(), state_.StoredProfiles.end(),
                    [](const core::StepperProfile& p) { return p.StepCounter <= p.MinPosition; });
    if (parked) {
        saveAndEnd();
        return;
    }
    countdown_ = std::make_unique<ExitCountdown>(platform_, state_.StoredProfiles[0].MinPosition,
                                                 state_.StoredProfiles[1].MinPosition);
    connect(countdown_.get(), &ExitCountdown::decided, this, &ExitPath::decided);
    emit parkQuestionOpened(*countdown_);
}

void ExitPath::EndProgram(bool park) {
    // Nobody is there to answer: a box open now (a failed save's too) closes, none waits.
    platform_.dismissDialogs();
    if (ended_)
        return;
    start();
    stopAndStore();
    if (park)
        engine_.ParkBothSteppers();
    saveAndEnd();
}

void ExitPath::decided(ExitChoice choice) {
    // The dialog shows the answer before the steppers turn without serving events.
    if (choice == ExitChoice::Park)
        platform_.processEvents();
    if (ended_)
        return;
    // Stored again right before the end, so nothing that might have moved meanwhile is lost.
    stopAndStore();
    if (choice == ExitChoice::Park)
        engine_.ParkBothSteppers();
    saveAndEnd();
}

void ExitPath::saveAndEnd() {
    if (ended_)
        return;
    ended_ = true;
    engine_.coil().WriteData(0);
    config_.SaveConfig();
    emit ended();
}

} // namespace engine
