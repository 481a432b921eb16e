#pragma once

#include "core/ProgramState.h"
#include "core/SettingsReport.h"
#include "vna/BuildAsk.h"
#include "vna/LoopModel.h"
#include "vna/VnaSettings.h"
#include "vna/StepperMover.h"
#include "vna/TableBuild.h"
#include "vna/Vna.h"

#include <QObject>
#include <memory>
#include <optional>

namespace platform {
class Platform;
}

namespace vna {

class TableBuilder;

// The station's table builds: the VNA of [vna] (a device, or the simulated one measuring a
// modelled loop whose capacitor follows the stepper), one build at a time, its progress while
// it runs and the last build's result and picture afterwards. A build starts from the event
// loop, so the caller (a web request, a dialog) answers first.
class BuildSession : public QObject {
    Q_OBJECT

public:
    enum class Phase { Idle, Running, Built, Cancelled, Failed };

    BuildSession(platform::Platform& platform, StepperMover& mover,
                 const core::ProgramState& state, QString programDirectory,
                 QString settingsFile, QObject* parent = nullptr);
    ~BuildSession() override;

    // Reads [vna] once at the start, noting what cannot be used.
    void Load(core::SettingsReport* report);
    // The VNA's device as [vna] port= names it; empty when none is set.
    QString vnaPort() const { return settings_.port; }

    // The request for ask with the table in the program directory.
    Result<BuildRequest> Request(const BuildAsk& ask, BuildRequest::Existing existing) const;
    // Starts the build from the event loop; the text for the user when it cannot start now (a
    // build runs, no VNA is set, the rig transmits, the table may not be written).
    QString Start(const BuildRequest& request);
    // Ends the build under way at once: the stepper stays where it stopped, no table is written.
    void Cancel();

    bool running() const { return phase_ == Phase::Running; }
    Phase phase() const { return phase_; }
    const BuildProgress& progress() const { return progress_; }
    // The last build's, once it has ended.
    const std::optional<BuildResult>& result() const { return result_; }
    // The last built table's picture (SVG); empty when none was built.
    const QByteArray& pictureSvg() const { return picture_; }

signals:
    // A build was accepted (before it runs).
    void started();
    void progressed();
    void finished(const vna::BuildResult& result);

private:
    class FollowingMover;
    void run(const BuildRequest& request);

    platform::Platform& platform_;
    StepperMover& mover_;
    const core::ProgramState& state_;
    QString directory_;
    QString settingsFile_;
    VnaSettings settings_;
    std::unique_ptr<LoopModel> loop_; // the simulated VNA's loop
    std::unique_ptr<FollowingMover> following_;
    std::unique_ptr<Vna> vna_;
    std::unique_ptr<TableBuilder> builder_;
    Phase phase_ = Phase::Idle;
    bool cancelledBeforeRun_ = false;
    BuildProgress progress_;
    std::optional<BuildResult> result_;
    QByteArray picture_;
};

} // namespace vna
