#pragma once

// The transmit-inhibit line as the port log shows it, and an engine whose port writes go to
// that log.
#include "EngineFixture.h"
#include "port/PortLogLpt.h"

#include <QBuffer>
#include <QStringList>
#include <functional>
#include <optional>

namespace engine_test {

inline constexpr int Lead = 20, Tail = 30;
inline constexpr std::uint8_t Line = 32; // D5, active low

struct Forward final : platform::LptPort {
    explicit Forward(platform::LptPort& to) : to(to) {}
    void Out32(std::uint16_t address, std::uint8_t value) override { to.Out32(address, value); }
    std::uint8_t Inp32(std::uint16_t address) override { return to.Inp32(address); }
    QString backendName() const override { return to.backendName(); }
    platform::LptPort& to;
};

// One stretch of the log with the line set.
struct Inhibited {
    double setMs = 0;
    int steps = 0;
    double firstStepMs = 0, lastStepMs = 0;
    std::optional<double> releasedMs;
};

// What the port log of the data register at 888 shows of the line; problems names every step
// written with the line released.
struct LogReading {
    std::vector<Inhibited> stretches;
    int steps = 0;
    QStringList problems;
};

// isStep(before, now): whether a write is a step (a new coil code, a rising STEP edge).
inline LogReading ReadLog(const QByteArray& log,
                          const std::function<bool(std::uint8_t, std::uint8_t)>& isStep) {
    LogReading reading;
    std::optional<std::uint8_t> before;
    for (const QByteArray& line : log.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() != 3 || parts[1] != "888")
            continue;
        const double atMs = parts[0].toDouble();
        const auto value = static_cast<std::uint8_t>(parts[2].toUInt());
        const bool inhibiting = !(value & Line);
        const bool wasInhibiting = before && !(*before & Line);
        if (inhibiting && !wasInhibiting)
            reading.stretches.push_back(Inhibited{atMs, 0, 0, 0, std::nullopt});
        if (!inhibiting && wasInhibiting)
            reading.stretches.back().releasedMs = atMs;
        if (before && isStep(*before, value)) {
            ++reading.steps;
            if (!inhibiting) {
                reading.problems << QStringLiteral("a step at %1 ms without the line").arg(atMs);
            } else {
                Inhibited& s = reading.stretches.back();
                if (s.steps++ == 0)
                    s.firstStepMs = atMs;
                s.lastStepMs = atMs;
            }
        }
        before = value;
    }
    for (const Inhibited& s : reading.stretches) {
        if (s.steps > 0 && s.firstStepMs - s.setMs < Lead)
            reading.problems << QStringLiteral("first step %1 ms after the line was set")
                                    .arg(s.firstStepMs - s.setMs);
        if (s.releasedMs && *s.releasedMs - s.lastStepMs < Tail)
            reading.problems << QStringLiteral("released %1 ms after the last step")
                                    .arg(*s.releasedMs - s.lastStepMs);
    }
    return reading;
}

// A phase driver steps at a new coil code while stepper 1's enable (D2) is set.
inline bool NewCoilCode(std::uint8_t before, std::uint8_t now) {
    return (now & 4) && (before & 3) != (now & 3);
}

struct TransmitInhibit : ::testing::Test {
    core::ProgramState state;
    testing_support::FakePlatform platform;
    port::SimulatedLpt lpt;
    QBuffer* log = new QBuffer; // the logged port's
    port::PortLogLpt logged{std::make_unique<Forward>(lpt), openLog(),
                            [this] { return platform.steadyMs(); }};
    port::SwitchInputs switches{state, platform, logged};
    FakeTransmit transmit;
    panel::WindowModes windowModes{platform};
    engine::PortDrive drive{state, platform, logged};
    engine::SpeedControl speedControl{state};
    engine::Engine engine{state,
                          platform,
                          switches,
                          drive,
                          speedControl,
                          windowModes.modes(),
                          windowModes.busyLock()};
    panel::SpeedPanel speedPanel{state, platform, engine, speedControl};

    std::unique_ptr<QIODevice> openLog() {
        log->open(QIODevice::WriteOnly);
        return std::unique_ptr<QIODevice>(log);
    }

    TransmitInhibit() {
        engine.setTransmitState(&transmit);
        state.LoadStepperProfile();
        drive.coil().UpdateStepperBits();
        speedPanel.InitSpeed();
        drive.coil().setInhibit({5, true, Lead, Tail});
        drive.coil().WriteData(0); // the idle port of a station that has just started
    }
    LogReading
    reading(const std::function<bool(std::uint8_t, std::uint8_t)>& isStep = NewCoilCode) const {
        return ReadLog(log->data(), isStep);
    }
    // Turns with the given origin, then lets the tail pass.
    engine::TurnOutcome turn(core::Long target, engine::TurnOrigin origin) {
        const engine::TurnOutcome outcome = engine.TurnTo({target, origin});
        platform.advance(200);
        return outcome;
    }
};

} // namespace engine_test
