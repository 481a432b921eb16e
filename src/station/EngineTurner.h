#pragma once

#include "engine/Engine.h"
#include "panel/CounterByHand.h"
#include "program/Turner.h"

#include <QObject>
#include <cstdint>

namespace station {

// The turning programs' and the timer table's way to the engine: every turn is one engine
// request, every stop the engine's own (so a stop from anywhere ends a program).
class EngineTurner final : public QObject, public program::Turner {
    Q_OBJECT

public:
    EngineTurner(engine::Engine& engine, const panel::CounterByHand& counterByHand,
                 QObject* parent = nullptr);

    // A "#" speed is the delay of its turn alone: the speed ramp would replace it by its own.
    bool turnTo(core::Long target, std::optional<core::Long> delayMs) override;
    bool turnStepperTo(core::Long stepper, core::Long target, const QString& detail) override;
    void stopTurning() override;
    std::uint64_t stopCount() const override { return stops_; }
    bool counterBeingSet() const override;

private:
    engine::Engine& engine_;
    const panel::CounterByHand& counterByHand_;
    std::uint64_t stops_ = 0; // the engine's stopped() signals
};

} // namespace station
