#pragma once

#include "core/ConfigFile.h"
#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "panel/ExitCountdown.h"
#include "platform/Platform.h"

#include <QObject>
#include <memory>

namespace panel {

// The one way out of the program. ExitProgram() (the close box, "E&xit", Alt+F4) stops, stores
// the working profile and, unless both steppers stand at their lower limits, asks whether to
// park them (parked after five seconds unless answered); then the data register is set to 0,
// the configuration saved, and ended() tells that the program ends. From exitStarted() on
// nothing may move but the parking: whatever could turn the stepper stops for good.
//
// The park is a turn like any other: while the rig transmits it waits, with the events served
// so the rig can be heard, at most ParkWaitMs in all (shown on the park question, logged);
// then the program ends where the steppers stand, and says so once everything is saved.
class ExitPath : public QObject {
    Q_OBJECT

public:
    // The longest the park waits, in all, for the rig to stop transmitting (ms).
    static constexpr int ParkWaitMs = 10'000;

    // port: the inhibit line released and everything off at the end.
    ExitPath(core::ProgramState& state, platform::Platform& platform, engine::Engine& engine,
             engine::PortDrive& port, core::ConfigFile& config, QObject* parent = nullptr);
    ~ExitPath() override;

    void ExitProgram();
    // The way out without a question (a signal, the session ending), parking both steppers
    // first when park is set (the station without windows may be told to). It never waits for
    // a person: the dialogs are dismissed first (Platform::dismissDialogs), so a failure is
    // logged, not shown, and the program ends.
    // A second call while the park waits or turns ends the park where the steppers stand.
    void EndProgram(bool park = false);
    // True from exitStarted() on.
    bool ending() const { return started_; }
    // True once ended() was told.
    bool finished() const { return ended_; }
    // The park question while it is open.
    ExitCountdown* countdown() const { return countdown_.get(); }

signals:
    void exitStarted();
    // The park question opens: the exit dialog shows the countdown and its answers.
    void parkQuestionOpened(panel::ExitCountdown& countdown);
    void ended();

private:
    enum class Parking { Parked, RigTransmits, Ended };
    bool start();
    void stopAndStore();
    void decided(ExitChoice choice);
    void storeParkAndEnd(bool park);
    // Stores the working profile and parks both steppers when the rig lets them turn.
    Parking parkWhenReceiving();
    // Waits, the events served, until the rig receives (true), giveUpAtMs passes or the park
    // is ended (false).
    bool waitForReceive(double giveUpAtMs);
    // note: told after the save.
    void saveAndEnd(const QString& note = {});

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    engine::PortDrive& port_;
    core::ConfigFile& config_;
    std::unique_ptr<ExitCountdown> countdown_;
    bool started_ = false;
    bool ended_ = false;
    bool parking_ = false;
    bool parkAbandoned_ = false;
};

} // namespace panel
