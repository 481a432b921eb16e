#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QObject>
#include <array>
#include <memory>
#include <optional>

namespace engine {

class Engine;

// Whether the motor moves, for programs that wait on it: moving from a turn's first step until
// the turn has ended and the motor has stood still for its stepper's settle time, then
// settled. A turn that starts while the last one settles keeps it moving.
class MotionWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultSettleMs = 50;

    MotionWatch(Engine& engine, core::ProgramState& state, platform::Platform& platform,
                QObject* parent = nullptr);
    ~MotionWatch() override;

    // Each stepper's settle time, in ms.
    void setSettleMs(const std::array<int, 2>& settleMs) { settleMs_ = settleMs; }

    bool settled() const { return !turning_ && !pending() && !settleTimer_->isActive(); }
    // Steps are being made, not only waited for or settled after.
    bool turning() const { return turning_; }
    // While a turn is under way: where to, and when it should be there at the step delay in
    // force.
    std::optional<core::Long> target() const;
    std::optional<QDateTime> expectedArrival() const;
    // +1 towards MaxPosition, -1 towards MinPosition, 0 when not turning.
    int direction() const;

signals:
    // Moving began or the motor settled.
    void changed();
    void settledNow();

private:
    // A turn has begun, perhaps without a step yet (held by the gate, a slow turn's first
    // tick).
    bool pending() const;
    void turnBegan();
    void turnMayHaveEnded();

    Engine& engine_;
    core::ProgramState& state_;
    platform::Platform& platform_;
    std::array<int, 2> settleMs_{DefaultSettleMs, DefaultSettleMs};
    std::unique_ptr<platform::Timer> settleTimer_;
    bool turning_ = false;
    bool engineBusy_ = false;     // between turnStarted and turnEnded
    core::Long startCounter_ = 0; // at turnStarted
    bool settleHeld_ = false;     // a turn began while the last one settled
};

} // namespace engine
