#pragma once

#include "engine/Engine.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace engine_test {

// Records what the engine shows.
struct RecordingView : engine::NullEngineView {
    std::vector<QString> counters;
    std::vector<core::Long> sliderValues;
    std::vector<QString> degrees;
    std::vector<engine::OverlayDisplay> overlays;
    std::vector<bool> busyLocks;
    std::vector<bool> housekeepingSwitches;
    std::vector<QString> pcSpeeds;
    bool housekeeping = true;
    int housekeepingRuns = 0;
    int modesChangedCount = 0;
    int powerChangedCount = 0;
    bool degreesVisible = true;
    bool stepperOptionsEnabled = true;

    // Runs on every counter shown, as a switch or a user acting in the middle of a turn.
    std::function<void(const QString&)> onCounter;

    void showCounter(const QString& text) override {
        counters.push_back(text);
        if (onCounter)
            onCounter(text);
    }
    void setSliderValue(core::Long value) override { sliderValues.push_back(value); }
    void showDegrees(const QString& text) override { degrees.push_back(text); }
    void setDegreesVisible(bool visible) override { degreesVisible = visible; }
    void showOverlay(const engine::OverlayDisplay& d) override { overlays.push_back(d); }
    void showPcSpeed(const QString& text) override { pcSpeeds.push_back(text); }
    void modesChanged() override { ++modesChangedCount; }
    void powerChanged() override { ++powerChangedCount; }
    void busyLockChanged(bool locked) override { busyLocks.push_back(locked); }
    void setStepperOptionsEnabled(bool enabled) override { stepperOptionsEnabled = enabled; }
    bool housekeepingRunning() const override { return housekeeping; }
    void setHousekeepingRunning(bool running) override {
        housekeeping = running;
        housekeepingSwitches.push_back(running);
    }
    void runHousekeeping() override { ++housekeepingRuns; }
};

// An engine on the simulated port and the virtual clock, stepper 1 selected with the defaults
// (limits 0..500, 200 steps per turn, delays 2 / 15 / 1000 ms), autopower on, every write
// traced with its virtual time.
struct EngineFixture : ::testing::Test {
    core::ProgramState state;
    testing_support::FakePlatform platform;
    port::SimulatedLpt lpt;
    engine::Engine engine{state, platform, lpt};
    RecordingView view;

    EngineFixture() {
        state.LoadStepperProfile();
        engine.setView(&view);
        engine.coil().UpdateStepperBits();
        engine.InitSpeed();
        engine.UpdateDegreesPerStep();
        lpt.traceWrites([this] { return platform.steadyMs(); });
    }

    // The data-register values written to port 888.
    std::vector<std::uint8_t> written() const { return lpt.valuesWritten(888); }
    // Only the coil codes of the values written after the first (the power-on write).
    std::vector<int> stepCodes() const {
        std::vector<int> codes;
        const auto values = written();
        for (std::size_t i = 1; i < values.size(); ++i)
            codes.push_back(values[i] & 3);
        return codes;
    }
    // The virtual times of the writes to port 888 after the first.
    std::vector<double> stepTimes() const {
        std::vector<double> times;
        bool first = true;
        for (const auto& w : lpt.writes()) {
            if (w.address != 888)
                continue;
            if (!first)
                times.push_back(w.atMs);
            first = false;
        }
        return times;
    }
    void turnTo(core::Long target) {
        engine.StopTurning();
        state.TargetPosition = target;
        engine.TurnTo();
    }
    // The slowest delay as the parameter panel sets it.
    void setSlowest(core::Long ms) {
        state.SlowestDelayMs = ms;
        engine.SetSpeed();
    }
    void clearTrace() {
        lpt.traceWrites([this] { return platform.steadyMs(); });
    }
};

} // namespace engine_test
