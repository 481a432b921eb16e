#pragma once

#include "support/FakePlatform.h"
#include "vna/LoopModel.h"
#include "vna/StepperMover.h"

#include <cstdlib>
#include <vector>

namespace vna_test {

// The station's stepper for the builder's tests: turns on the virtual clock at msPerStep,
// moving the modelled loop's capacitor with it; stops at its next step when asked or when
// transmit begins (as the engine's gate does); refuses to start while the rig transmits.
class FakeMover final : public vna::StepperMover {
public:
    FakeMover(testing_support::FakePlatform& platform, vna::LoopModel& loop, long position = 0)
        : platform_(platform), loop_(loop), position_(position) {
        loop_.follow(position);
    }

    Move moveTo(long target) override {
        moves.push_back({platform_.steadyMs(), target});
        if (transmit)
            return {Outcome::Refused, QStringLiteral("the rig transmits")};
        stopRequested_ = false;
        while (position_ != target) {
            platform_.waitMs(msPerStep);
            if (stopRequested_ || transmit) {
                stopRequested_ = false;
                return {Outcome::Stopped, {}};
            }
            position_ += target > position_ ? 1 : -1;
            loop_.follow(position_);
            stepsWhileTransmitting += transmit ? 1 : 0;
        }
        return {};
    }
    long position() const override { return position_; }
    bool transmitting() const override { return transmit; }
    void stop() override { stopRequested_ = true; }

    struct Request {
        double atMs;
        long target;
    };
    std::vector<Request> moves;
    bool transmit = false;
    int stepsWhileTransmitting = 0;
    double msPerStep = 5;

private:
    testing_support::FakePlatform& platform_;
    vna::LoopModel& loop_;
    long position_;
    bool stopRequested_ = false;
};

} // namespace vna_test
