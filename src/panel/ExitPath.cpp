#include "panel/ExitPath.h"

#include "core/VersionTexts.h"
#include "engine/EngineLogging.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

namespace panel {

namespace {
// How often the park's wait looks whether the rig still transmits (ms).
constexpr double ReceiveCheckMs = 50;
} // namespace

ExitPath::ExitPath(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
                   engine::PortDrive& port, core::ConfigFile& config, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), port_(port),
      config_(config) {}

ExitPath::~ExitPath() = default;

bool ExitPath::start() {
    if (started_)
        return false;
    started_ = true;
    engine_.ExitStarted();
    emit exitStarted();
    return true;
}

void ExitPath::stopAndStore() {
    engine_.StopTurningAndFollowing();
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
    if (parking_) {
        // Asked again while the park waits or turns: it ends where the steppers stand, and the
        // way out under way saves that.
        qCInfo(lcEngine) << "the park ends where the steppers stand";
        parkAbandoned_ = true;
        engine_.StopTurningAndFollowing();
        return;
    }
    start();
    storeParkAndEnd(park);
}

void ExitPath::decided(ExitChoice choice) {
    // The dialog shows the answer before the steppers turn.
    if (choice == ExitChoice::Park)
        platform_.processEvents();
    if (ended_)
        return;
    storeParkAndEnd(choice == ExitChoice::Park);
}

void ExitPath::storeParkAndEnd(bool park) {
    if (!park) {
        // Stored again right before the end, so nothing that might have moved meanwhile is lost.
        stopAndStore();
        saveAndEnd();
        return;
    }
    if (parkWhenReceiving() != Parking::RigTransmits) {
        saveAndEnd();
        return;
    }
    if (countdown_)
        countdown_->showNotParked();
    saveAndEnd(QStringLiteral("The rig kept transmitting for %1 seconds: the steppers were not "
                              "parked, they stay where they stand.")
                   .arg(ParkWaitMs / 1000));
}

ExitPath::Parking ExitPath::parkWhenReceiving() {
    const QScopedValueRollback parking(parking_, true);
    const double giveUpAtMs = platform_.steadyMs() + ParkWaitMs;
    const bool receiving = waitForReceive(giveUpAtMs);
    // Stored right before the park, so nothing that might have moved meanwhile is lost.
    stopAndStore();
    if (!receiving)
        return parkAbandoned_ ? Parking::Ended : Parking::RigTransmits;
    // A park the rig's transmit held waits again, within the same bound, and goes on from
    // where it stopped.
    while (engine_.ParkBothSteppers() != engine::TurnOutcome::Done) {
        if (!waitForReceive(giveUpAtMs))
            return parkAbandoned_ ? Parking::Ended : Parking::RigTransmits;
    }
    return parkAbandoned_ ? Parking::Ended : Parking::Parked;
}

bool ExitPath::waitForReceive(double giveUpAtMs) {
    int shownSeconds = -1;
    while (!engine_.admits(engine::TurnOrigin::Park)) {
        const double leftMs = giveUpAtMs - platform_.steadyMs();
        if (parkAbandoned_ || leftMs <= 0)
            return false;
        const int seconds = static_cast<int>(std::ceil(leftMs / 1000));
        if (shownSeconds < 0)
            qCInfo(lcEngine) << "the rig transmits: the park waits up to" << seconds
                             << "s for it to receive";
        if (countdown_ && seconds != shownSeconds)
            countdown_->showParkWait(seconds);
        shownSeconds = seconds;
        platform_.waitMs(std::min(leftMs, ReceiveCheckMs), true);
    }
    if (parkAbandoned_)
        return false;
    if (countdown_ && shownSeconds >= 0)
        countdown_->showParking();
    return true;
}

void ExitPath::saveAndEnd(const QString& note) {
    if (ended_)
        return;
    ended_ = true;
    port_.inhibit().ReleaseAtExit();
    port_.coil().WriteData(0);
    config_.SaveConfig();
    // Told once everything is saved: nothing is lost while the box waits for an answer.
    if (!note.isEmpty())
        platform_.messageBox(note, core::MessageTitle(), platform::Icon::Exclamation);
    emit ended();
}

} // namespace panel
