#pragma once

#include "engine/Engine.h"
#include "panel/CounterByHand.h"
#include "panel/MainPresenter.h"
#include "panel/SpeedPanel.h"
#include "panel/WindowModes.h"
#include "port/SimulatedLpt.h"
#include "support/FakePlatform.h"
#include "support/QtPrinters.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace engine_test {

// The port as the engine sees it: every write reaches the simulated port, then onWrite runs;
// from the write failWriteAt (counted from 1) on, the device has failed and nothing reaches it.
struct WatchedLpt final : platform::LptPort {
    explicit WatchedLpt(port::SimulatedLpt& lpt) : lpt(lpt) {}
    void Out32(std::uint16_t address, std::uint8_t value) override {
        if (failWriteAt > 0 && ++writes >= failWriteAt)
            return;
        lpt.Out32(address, value);
        if (onWrite)
            onWrite();
    }
    std::uint8_t Inp32(std::uint16_t address) override { return lpt.Inp32(address); }
    QString backendName() const override { return lpt.backendName(); }
    bool driven() const override { return failWriteAt == 0 || writes < failWriteAt; }
    bool drivesDataBit(int bit) const override {
        return LptPort::drivesDataBit(bit) && !(undrivenBits & (1u << bit));
    }

    port::SimulatedLpt& lpt;
    std::function<void()> onWrite;
    int failWriteAt = 0;
    int writes = 0;
    unsigned undrivenBits = 0; // data bits with no line behind them, as a GPIO line set to none
};

// The rig's transmit state as the engine's gate reads it.
struct FakeTransmit final : engine::TransmitState {
    bool transmitting() const override { return on || swrTune; }
    bool swrTuneKeyed() const override { return swrTune; }
    bool on = false;
    bool swrTune = false; // the SWR tune's carrier
};

// An engine on the simulated port and the virtual clock, stepper 1 selected with the defaults
// (limits 0..500, 200 steps per turn, delays 2 / 15 / 1000 ms), autopower on, every write
// traced with its virtual time, and what it tells recorded (the degrees and the overlay as the
// main window shows them).
struct EngineFixture : ::testing::Test {
    core::ProgramState state;
    testing_support::FakePlatform platform;
    port::SimulatedLpt lpt;
    WatchedLpt watchedLpt{lpt};
    port::SwitchInputs switches{state, platform, lpt};
    FakeTransmit transmit;
    panel::WindowModes windowModes{platform};
    engine::PortDrive drive{state, platform, watchedLpt};
    engine::SpeedControl speedControl{state};
    engine::Engine engine{state,
                          platform,
                          switches,
                          drive,
                          speedControl,
                          windowModes.modes(),
                          windowModes.busyLock()};
    panel::SpeedPanel speedPanel{state, platform, engine, speedControl};
    panel::MainPresenter presenter{state, engine, speedPanel, windowModes};
    panel::CounterByHand counterByHand{state, platform, engine, drive.coil()};

    std::vector<core::Long> counters;  // as shown
    std::vector<core::Long> positions; // the counter at every port write that changed it
    std::vector<QString> degrees;
    std::vector<panel::OverlayDisplay> overlays;
    std::vector<bool> turns; // turnStarted (true) and turnEnded (false)
    // Runs with the counter after every port write, as a switch closing where the motor stands.
    std::function<void(core::Long)> onCounter;

    EngineFixture() {
        using engine::Engine;
        engine.setTransmitState(&transmit);
        watchedLpt.onWrite = [this] {
            if (positions.empty() || positions.back() != state.StepCounter)
                positions.push_back(state.StepCounter);
            if (onCounter)
                onCounter(state.StepCounter);
        };
        QObject::connect(&engine, &Engine::counterChanged,
                         [this](core::Long c) { counters.push_back(c); });
        // Each time the engine tells them, as the presenter shows them (it heard first).
        QObject::connect(&engine, &Engine::degreesChanged,
                         [this] { degrees.push_back(presenter.view().degreesText); });
        QObject::connect(&engine, &Engine::overlayChanged,
                         [this] { overlays.push_back(presenter.view().overlay); });
        QObject::connect(&engine, &Engine::turnStarted, [this] { turns.push_back(true); });
        QObject::connect(&engine, &Engine::turnEnded, [this] { turns.push_back(false); });
        state.LoadStepperProfile();
        drive.coil().UpdateStepperBits();
        speedPanel.InitSpeed();
        engine.LimitsOrScaleChanged();
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
        for (const auto& w : lpt.writes()) {
            if (w.address == 888)
                times.push_back(w.atMs);
        }
        if (!times.empty())
            times.erase(times.begin());
        return times;
    }
    void turnTo(core::Long target) {
        engine.StopTurningAndFollowing();
        engine.TurnTo({target, engine::TurnOrigin::Window});
    }
    // Delays above one second: the slowest delay raised, the speed bar set.
    void setSlowSpeed(core::Long ms) {
        state.SlowestDelayMs = 2 * ms;
        speedPanel.SetSpeed();
        speedPanel.SpeedScrolled(ms);
    }
    void clearTrace() {
        lpt.traceWrites([this] { return platform.steadyMs(); });
    }
    // The status register of port 888 reads these inputs (1 remote CCW ... 8 end switch).
    void setInputs(core::Long inputs) { lpt.setStatus(888, static_cast<std::uint8_t>(inputs * 8)); }
};

} // namespace engine_test
