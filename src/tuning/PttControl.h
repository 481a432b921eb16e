#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "tuning/RigState.h"

#include <QObject>
#include <QString>
#include <memory>

namespace tuning {

// Our PTT (cmdPTT): keys the rig, in AM when chosen (the mode it had comes back on release),
// and a watchdog that asks for the release after WatchdogMs.
class PttControl : public QObject {
    Q_OBJECT

public:
    static constexpr int WatchdogMs = 15000;

    // shown: what the rig shows, its PTT and mode.
    PttControl(const core::ProgramState& state, platform::Platform& platform, const RigState& shown,
               QObject* parent = nullptr);

    // Switches to AM when chosen and the rig has it, starts the watchdog and keys the rig.
    // False when the link did not key the rig: then the watchdog is stopped and the mode back.
    bool Key(rig::RigConnection& rig);
    // Unkeys the rig before anything else, stops the watchdog and sets the mode back that
    // Key left (after the model's pause between the two).
    void Release(rig::RigConnection& rig);

    // chkAmPTT.
    void setAmPtt(bool on) { amPtt_ = on; }
    bool amPtt() const { return amPtt_; }
    // "Toggle PTT Watch Dog =15 Sec."
    static QString ToolTip();

signals:
    // The watchdog ran out with the rig keyed by us: release it.
    void watchdogExpired();

private:
    void restoreMode(rig::RigConnection& rig);

    const core::ProgramState& state_;
    platform::Platform& platform_;
    const RigState& shown_;
    std::unique_ptr<platform::Timer> watchdog_;
    bool amPtt_ = false;
    int savedMode_ = 0;
    bool modeChanged_ = false;
};

} // namespace tuning
