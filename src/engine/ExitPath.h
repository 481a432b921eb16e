#pragma once

#include "core/ConfigFile.h"
#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/ExitCountdown.h"
#include "platform/Platform.h"

#include <QObject>
#include <memory>

namespace engine {

// The one way out of the program. ExitProgram() (the close box, "E&xit", Alt+F4) stops, stores
// the working profile and, unless both steppers stand at their lower limits, asks whether to
// park them (parked after five seconds unless answered); then the data register is set to 0,
// the configuration saved, and ended() tells that the program ends. From exitStarted() on
// nothing may move but the parking: whatever could turn the stepper stops for good.
class ExitPath : public QObject {
    Q_OBJECT

public:
    ExitPath(core::ProgramState& state, platform::Platform& platform, Engine& engine,
             core::ConfigFile& config, QObject* parent = nullptr);
    ~ExitPath() override;

    void ExitProgram();
    // The way out without a question (a signal, the session ending), parking both steppers
    // first when park is set (the station without windows may be told to). It never waits for
    // a person: the dialogs are dismissed first (Platform::dismissDialogs), so a failure is
    // logged, not shown, and the program ends.
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
    void parkQuestionOpened(engine::ExitCountdown& countdown);
    void ended();

private:
    bool start();
    void stopAndStore();
    void decided(ExitChoice choice);
    void saveAndEnd();

    core::ProgramState& state_;
    platform::Platform& platform_;
    Engine& engine_;
    core::ConfigFile& config_;
    std::unique_ptr<ExitCountdown> countdown_;
    bool started_ = false;
    bool ended_ = false;
};

} // namespace engine
