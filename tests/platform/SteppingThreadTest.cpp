// The engine's turns on the real stepping thread and the real clock. Only outcomes are checked
// (every step written and counted, in order; a stop or a switch leaves the counter where the
// motor is), never how well the time was kept: bench/step_timing measures that.
#include "platform/SteppingThread.h"

#include "core/ConfigFile.h"
#include "engine/Engine.h"
#include "panel/ExitPath.h"
#include "platform/QtPlatform.h"
#include "port/SerializedLpt.h"
#include "port/SimulatedLpt.h"
#include "port/SwitchInputs.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <ctime>
#include <gtest/gtest.h>
#include <link.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

struct ThreadedTurns : ::testing::Test {
    core::ProgramState state;
    platform::QtPlatform platform;
    port::SimulatedLpt* simulated = nullptr;
    port::SerializedLpt lpt{[this] {
        auto port = std::make_unique<port::SimulatedLpt>();
        simulated = port.get();
        return port;
    }()};
    port::SwitchInputs switches{state, platform, lpt};
    engine::TurningModes modes;
    engine::BusyLock busyLock{platform, modes};
    engine::PortDrive drive{state, platform, lpt};
    engine::SpeedControl speedControl{state};
    engine::Engine engine{state, platform, switches, drive, speedControl, modes, busyLock};

    ThreadedTurns() {
        state.LoadStepperProfile();
        state.MinPosition = 0;
        state.MaxPosition = 100000;
        drive.coil().UpdateStepperBits();
        speedControl.InitSpeed();
        state.StepDelayMs = 1;
        state.SpeedModulate = false;
        simulated->traceWrites([this] { return platform.steadyMs(); });
    }
    std::vector<std::uint8_t> written() {
        std::vector<std::uint8_t> values;
        lpt.exclusive([&](platform::LptPort&) { values = simulated->valuesWritten(888); });
        return values;
    }
    // The coil codes written after the power-on write.
    std::vector<int> codes() {
        std::vector<int> result;
        const auto values = written();
        for (std::size_t i = 1; i < values.size(); ++i)
            result.push_back(values[i] & 3);
        return result;
    }
    engine::TurnOutcome turnTo(core::Long target) {
        return engine.TurnTo({target, engine::TurnOrigin::Window});
    }
    // STEP's rising edges on D0 among the values written.
    std::size_t risingEdges() {
        std::size_t edges = 0;
        std::uint8_t last = 0;
        for (const std::uint8_t value : written()) {
            edges += (value & 1) && !(last & 1);
            last = value;
        }
        return edges;
    }
    void useStepDir(int microsteps) {
        port::StepperOutputs outputs = port::DefaultStepperOutputs();
        outputs[0].output = port::OutputKind::StepDir;
        outputs[0].microsteps = microsteps;
        drive.coil().setOutputs(outputs);
    }
};

// A signal that ends the program in the middle of a turn on the thread, as SIGTERM does.
struct SignalMidTurn : ThreadedTurns {
    QTemporaryDir dir;
    core::ConfigFile config{state, platform, dir.path()};
    panel::ExitPath exit{state, platform, engine, drive, config};

    // Turns far up at delayMs per step and ends the program afterMs into the turn; the counter
    // the configuration file holds afterwards.
    core::Long savedAfterSignalMidTurn(core::Long delayMs, int afterMs) {
        state.StepDelayMs = delayMs;
        QTimer::singleShot(afterMs, [&] { exit.EndProgram(); });
        turnTo(90000);
        EXPECT_TRUE(exit.finished());
        core::ProgramState saved;
        core::ConfigFile file{saved, platform, dir.path()};
        EXPECT_EQ(file.LoadConfig(), core::ConfigFile::Loaded::FromFile);
        return saved.StoredProfiles[0].StepCounter;
    }
};

TEST_F(ThreadedTurns, aTurnIsSteppedByTheThread_inOrder_whileTheGuiThreadServesEvents) {
    ASSERT_NE(platform.steppingThread(), nullptr);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    std::vector<core::Long> shown;
    QObject::connect(&engine, &engine::Engine::counterChanged,
                     [&](core::Long c) { shown.push_back(c); });
    EXPECT_EQ(turnTo(120), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 120);
    const std::vector<int> steps = codes();
    ASSERT_EQ(steps.size(), 120u);
    const int gray[4] = {0, 1, 3, 2};
    for (std::size_t i = 0; i < steps.size(); ++i)
        EXPECT_EQ(steps[i], gray[(i + 1) % 4]) << i;
    // The GUI thread was free during the turn: one blocked through it would see at most one late
    // tick (missed timeouts are not queued), whatever the load on the machine.
    EXPECT_GE(ticks, 2);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 120);

    // And back down, the cycle reversed from where it stands.
    EXPECT_EQ(turnTo(100), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(codes().back(), gray[100 % 4]);
}

TEST_F(ThreadedTurns, aStopOrAnotherTurnMidway_leavesTheCounterAtTheStepsWritten) {
    QTimer::singleShot(30, [&] { engine.StopTurningAndFollowing(); });
    turnTo(5000);
    const core::Long stoppedAt = state.StepCounter;
    EXPECT_GT(stoppedAt, 0);
    EXPECT_LT(stoppedAt, 5000);
    EXPECT_EQ(codes().size(), static_cast<std::size_t>(stoppedAt));
    EXPECT_EQ(codes().back(), port::CoilCode(stoppedAt));

    // A turn started from a handler ends the one under way, which counts what it stepped.
    bool nestedDone = false;
    QTimer::singleShot(30, [&] {
        turnTo(0);
        nestedDone = true;
    });
    const core::Long from = state.StepCounter;
    turnTo(from + 5000);
    EXPECT_TRUE(nestedDone);
    EXPECT_EQ(state.StepCounter, 0);
    EXPECT_EQ(codes().back(), port::CoilCode(0));
}

TEST_F(ThreadedTurns, aNoticeMidTurn_waitsForNobody_theTurnAndTheCountGoOn) {
    // As a journal that cannot be written tells it: the box stays open, unanswered.
    QTimer::singleShot(
        30, [&] { platform.notify("cannot be written", "t", platform::Icon::Exclamation); });
    std::vector<core::Long> shown;
    QObject::connect(&engine, &engine::Engine::counterChanged,
                     [&](core::Long c) { shown.push_back(c); });
    EXPECT_EQ(turnTo(400), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 400);
    EXPECT_GT(std::count_if(shown.begin(), shown.end(), [](core::Long c) { return c > 50; }), 1);
    QWidget* box = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle() == "t")
            box = widget;
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->isModal());
    EXPECT_FALSE(QApplication::activeModalWidget());
    box->close();
}

TEST_F(ThreadedTurns, aStopDuringALongDelay_endsTheTurnAtOnce_notAtTheNextStep) {
    state.StepDelayMs = 900;
    QTimer::singleShot(50, [&] { engine.StopTurningAndFollowing(); });
    const double start = platform.steadyMs();
    turnTo(3);
    EXPECT_EQ(state.StepCounter, 1);
    EXPECT_EQ(codes().size(), 1u);
    EXPECT_LT(platform.steadyMs() - start, 800); // the wait for the second step was cut short
}

TEST_F(ThreadedTurns, theBeginSwitchClosingIsReadByTheThread_andSetsTheCounter) {
    state.EndSwitches = true;
    state.StepCounter = 3000;
    // The begin switch closes on the status register while the thread steps down.
    QTimer::singleShot(30, [&] {
        lpt.exclusive([](platform::LptPort& port) {
            static_cast<port::SimulatedLpt&>(port).setStatus(888, 4 * 8);
        });
    });
    turnTo(0);
    EXPECT_EQ(state.StepCounter, state.MinPosition);
    // No step after the switch was read closed.
    const std::size_t stepsMade = codes().size();
    EXPECT_LT(stepsMade, 3000u);
    QTimer::singleShot(0, [] {});
    platform.waitMs(20);
    EXPECT_EQ(codes().size(), stepsMade);
}

TEST_F(ThreadedTurns, aStepDirDriversPulses_comeFromTheThread_16PerStep_andAStopEndsOnAWholeStep) {
    useStepDir(16);
    EXPECT_EQ(turnTo(100), engine::TurnOutcome::Done);
    EXPECT_EQ(state.StepCounter, 100);
    EXPECT_EQ(risingEdges(), 1600u);

    QTimer::singleShot(40, [&] { engine.StopTurningAndFollowing(); });
    turnTo(5000);
    EXPECT_GT(state.StepCounter, 100);
    EXPECT_LT(state.StepCounter, 5000);
    EXPECT_EQ(risingEdges(), 16u * static_cast<std::size_t>(state.StepCounter));
    EXPECT_EQ(written().back() & 1, 0);
}

TEST_F(SignalMidTurn, aPhaseStepperSavesTheStepsWritten_andTheRegisterEndsOff) {
    const core::Long saved = savedAfterSignalMidTurn(2, 45);
    EXPECT_GT(saved, 0);
    const std::vector<int> steps = codes();
    // The last value is the end's 0: every step before it was counted.
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(written().back(), 0);
    EXPECT_EQ(saved, static_cast<core::Long>(steps.size() - 1));
    EXPECT_EQ(steps[steps.size() - 2], port::CoilCode(saved));
}

TEST_F(SignalMidTurn, aStepDirDriverGetsExactlyThePulsesOfTheSavedCounter) {
    useStepDir(16);
    const core::Long saved = savedAfterSignalMidTurn(2, 45);
    EXPECT_GT(saved, 0);
    EXPECT_EQ(risingEdges(), 16u * static_cast<std::size_t>(saved));
}

// The CPU time of the stepping thread is its own: what its jobs use, not the process's.
TEST(SteppingThreadCpu, countsTheWorkOfItsJobs_notThatOfOtherThreads) {
    platform::SteppingThread thread(0);
    const auto spinOwnCpuMs = [](double ms) {
        timespec start{}, now{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
        do {
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        } while ((now.tv_sec - start.tv_sec) * 1e3 + (now.tv_nsec - start.tv_nsec) / 1e6 < ms);
    };
    const double before = thread.cpuMs();
    ASSERT_GE(before, 0);
    thread.start([&] { spinOwnCpuMs(40); }, {}, false);
    thread.join();
    const double afterJob = thread.cpuMs();
    EXPECT_GE(afterJob - before, 40);
    spinOwnCpuMs(40); // on this thread
    EXPECT_LT(thread.cpuMs() - afterJob, 20);
}

// The bytes of the program's own machine code (its executable segments).
std::size_t ProgramCodeBytes() {
    std::size_t bytes = 0;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* total) {
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                if (info->dlpi_phdr[i].p_type == PT_LOAD && (info->dlpi_phdr[i].p_flags & PF_X))
                    *static_cast<std::size_t*>(total) += info->dlpi_phdr[i].p_memsz;
            }
            return 1;
        },
        &bytes);
    return bytes;
}

// What the process has locked in memory, in bytes (VmLck).
std::size_t LockedBytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmLck:"))
            return line.mid(6).trimmed().split(' ').front().toULongLong() * 1024;
    }
    return 0;
}

// A page of the program's code dropped for room and read back from the disk mid-turn would make
// a step late by as long.
TEST(SteppingThreadMemory, theProgramsCodeStaysInMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer makes mlock() do nothing";
#endif
    const std::size_t code = ProgramCodeBytes();
    ASSERT_GT(code, 0u);
    rlimit limit{};
    ::getrlimit(RLIMIT_MEMLOCK, &limit);
    if (::geteuid() != 0 && limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < 2 * code)
        GTEST_SKIP() << "the memlock limit is below this build's code";
    platform::SteppingThread thread(0);
    thread.start([] {}, {}, false);
    thread.join();
    EXPECT_GE(LockedBytes(), code);
}

} // namespace
