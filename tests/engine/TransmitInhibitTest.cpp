// The transmit-inhibit line around every turn, read back from the port log as a user's port
// log would be read: the line set leadMs before a turn's first step, held across every step, a
// turn inside another and a hold, released tailMs after the last step.
#include "EngineFixture.h"
#include "core/ConfigFile.h"
#include "engine/ExitPath.h"
#include "port/PortLogLpt.h"

#include <QBuffer>
#include <QTemporaryDir>

using engine::TurnOrigin;
using engine::TurnOutcome;

namespace {

constexpr int Lead = 20, Tail = 30;
constexpr std::uint8_t Line = 32; // D5, active low

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
LogReading ReadLog(const QByteArray& log,
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
bool NewCoilCode(std::uint8_t before, std::uint8_t now) {
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
    engine_test::FakeTransmit transmit;
    engine::Engine engine{state, platform, logged, switches};

    std::unique_ptr<QIODevice> openLog() {
        log->open(QIODevice::WriteOnly);
        return std::unique_ptr<QIODevice>(log);
    }

    TransmitInhibit() {
        engine.setTransmitState(&transmit);
        state.LoadStepperProfile();
        engine.coil().UpdateStepperBits();
        engine.InitSpeed();
        engine.coil().setInhibit({5, true, Lead, Tail});
        engine.coil().WriteData(0); // the idle port of a station that has just started
    }
    LogReading
    reading(const std::function<bool(std::uint8_t, std::uint8_t)>& isStep = NewCoilCode) const {
        return ReadLog(log->data(), isStep);
    }
    // Turns with the given origin, then lets the tail pass.
    TurnOutcome turn(core::Long target, TurnOrigin origin) {
        const TurnOutcome outcome = engine.TurnTo({target, origin});
        platform.advance(200);
        return outcome;
    }
};

} // namespace

TEST_F(TransmitInhibit, everyOriginsTurn_isInsideTheLine_leadBeforeAndTailAfter) {
    core::Long target = 0;
    for (const TurnOrigin origin :
         {TurnOrigin::Window, TurnOrigin::Repeated, TurnOrigin::Program, TurnOrigin::Timer,
          TurnOrigin::Network, TurnOrigin::Following, TurnOrigin::Search, TurnOrigin::VnaBuild}) {
        target = target == 0 ? 40 : 0;
        EXPECT_EQ(turn(target, origin), TurnOutcome::Done);
    }
    const LogReading r = reading();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 8u) << "one stretch per turn: the tail passed between them";
    EXPECT_EQ(r.steps, 8 * 40);
    for (const Inhibited& s : r.stretches) {
        EXPECT_EQ(s.steps, 40);
        EXPECT_TRUE(s.releasedMs) << "released while the station stands idle";
    }
    EXPECT_TRUE(lpt.Inp32(888) & Line);
}

TEST_F(TransmitInhibit, aTurnInsideAnother_aTransmitHold_andASlowTurn_keepTheLineSet) {
    // A turn started from a handler while another one steps: one stretch for both.
    platform.scheduleAfter(60, [this] { engine.TurnTo({10, TurnOrigin::Network}); });
    engine.TurnTo({200, TurnOrigin::Window});
    platform.advance(200);
    EXPECT_EQ(state.StepCounter, 10);
    // A program's turn that the rig's transmit pauses for two seconds mid-way.
    platform.scheduleAfter(100, [this] { transmit.on = true; });
    platform.scheduleAfter(2100, [this] { transmit.on = false; });
    EXPECT_EQ(turn(150, TurnOrigin::Program), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 150);
    // A slow turn, one step every 1.2 s from its timers.
    state.SlowestDelayMs = 2400;
    engine.SetSpeed();
    engine.SpeedScrolled(1200);
    engine.TurnTo({147, TurnOrigin::Window});
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 147);

    const LogReading r = reading();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 3u);
    EXPECT_GT(r.stretches[1].lastStepMs - r.stretches[1].firstStepMs, 2000)
        << "held through the pause";
    EXPECT_EQ(r.stretches[2].steps, 3);
    EXPECT_TRUE(r.stretches[2].releasedMs);
}

TEST_F(TransmitInhibit, aSlowTurnsLead_longerThanItsDelay_isWaitedWithTheEventsServed) {
    engine.coil().setInhibit({5, true, 3000, Tail});
    state.SlowestDelayMs = 2400;
    engine.SetSpeed();
    engine.SpeedScrolled(1200);
    // The user stops while the line's lead runs: no step has been made.
    platform.scheduleAfter(2000, [this] { engine.StopTurningAndFollowing(); });
    engine.TurnTo({5, TurnOrigin::Window});
    platform.advance(5000);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(reading().steps, 0);

    engine.TurnTo({2, TurnOrigin::Window});
    platform.advance(6000);
    EXPECT_EQ(state.StepCounter, 2);
    const LogReading r = reading();
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    EXPECT_EQ(r.steps, 2);
}

TEST_F(TransmitInhibit, theSwrTunesOwnTurns_leaveTheLineReleased) {
    transmit.swrTune = true;
    EXPECT_EQ(turn(20, TurnOrigin::SwrTune), TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 20);
    const LogReading r = reading();
    EXPECT_TRUE(r.stretches.empty());
    EXPECT_EQ(r.steps, 20);
}

TEST_F(TransmitInhibit, theTurnsRecord_tellsTheLeadAndTail_butNotForTheSwrTunesOwnTurns) {
    std::vector<engine::TurnRecord> records;
    QObject::connect(&engine, &engine::Engine::turnFinished,
                     [&](const engine::TurnRecord& record) { records.push_back(record); });
    turn(30, TurnOrigin::Window);
    transmit.swrTune = true;
    turn(10, TurnOrigin::SwrTune);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].inhibitLeadMs, Lead);
    EXPECT_EQ(records[0].inhibitTailMs, Tail);
    EXPECT_FALSE(records[1].inhibitLeadMs);
    EXPECT_FALSE(records[1].inhibitTailMs);
}

TEST_F(TransmitInhibit, aStepDirDriversFirstPulse_comesAfterTheLead) {
    port::StepperOutputs outputs = port::DefaultStepperOutputs();
    outputs[0].output = port::OutputKind::StepDir;
    outputs[1].stepBit = 6; // D5 is the line
    engine.coil().setOutputs(outputs);
    engine.coil().WriteData(0);
    EXPECT_EQ(turn(30, TurnOrigin::Window), TurnOutcome::Done);
    const LogReading r = reading([](std::uint8_t before, std::uint8_t now) {
        return !(before & 1) && (now & 1); // a rising STEP edge on D0
    });
    EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
    ASSERT_EQ(r.stretches.size(), 1u);
    EXPECT_EQ(r.stretches[0].steps, 30);
}

namespace {

// The way out, during a turn or right after it (before its tail has passed).
struct WayOut : TransmitInhibit {
    QTemporaryDir dir;
    core::ConfigFile config{state, platform, dir.path()};
    engine::ExitPath exit{state, platform, engine, config};

    void turnAndEnd(bool midTurn) {
        if (midTurn)
            platform.scheduleAfter(100, [&] { exit.EndProgram(false); });
        engine.TurnTo({50, TurnOrigin::Window});
        if (!midTurn)
            exit.EndProgram(false);
        const LogReading r = reading();
        EXPECT_TRUE(r.problems.isEmpty()) << r.problems.join("; ").toStdString();
        ASSERT_EQ(r.stretches.size(), 1u);
        EXPECT_TRUE(r.stretches[0].releasedMs);
        EXPECT_TRUE(lpt.Inp32(888) & Line) << "the port left with the line released";
    }
};

} // namespace

TEST_F(WayOut, rightAfterATurn_releasesTheLineOnceTheTailHasPassed) {
    turnAndEnd(false);
}

TEST_F(WayOut, thatStopsATurn_releasesTheLineATailAfterItsLastStep) {
    turnAndEnd(true);
    EXPECT_LT(state.StepCounter, 50);
}

TEST_F(TransmitInhibit, withoutALine_noWriteTouchesItsBit) {
    engine.coil().setInhibit({});
    lpt.traceWrites();
    engine.coil().WriteData(0);
    turn(40, TurnOrigin::Window);
    for (const std::uint8_t value : lpt.valuesWritten(888))
        EXPECT_FALSE(value & Line);
}
