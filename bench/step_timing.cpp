// Step timing on the real clock, beside a busy process this benchmark starts itself: the whole
// program (main window and pelorus shown, on the simulated port) turns 500 steps at 1, 2, 5
// and 20 ms per step with the engine's deadline scheme, whose steps the stepping thread times,
// and with the naive scheme that shows every step on the GUI thread and then waits its full
// delay; a third scheme keeps the deadline scheme's schedule on the stepping thread doing
// nothing but sleep, which shows what the machine itself allows. The periods come from the
// time stamps of the steps; the total time runs from the first step to the end of the turn
// (one delay after the last step: the end of the engine's last wait; what the program does after
// a turn is reported apart). Each turn is made --rounds times (3), the schemes taking
// turns: the table shows the round with the median error, the shortest period is the shortest
// of all rounds.
//
// Then the program's own worst work on the GUI thread beside a turn at 1 ms per step: a handler
// that blocks for 200 ms, the pelorus repainting as the position moves, and a 4 s block (what a
// read from a rig that does not answer costs) in a longer turn; the worst of the rounds is
// shown. A stall is a period longer than twice the delay.
//
// Before that, the lateness of the waits themselves: 1 ms sleeps on an absolute deadline with
// the kernel's default timer slack and with the 1 ns the program sets, the program's own
// waits with the event loop running, and on the stepping thread the kernel's sleep alone and
// the thread's clock, which spins the last stretch.
//
//   build/dev/bench/step_timing [--rounds N] [--busy N]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "engine/StepTimeline.h"
#include "platform/SteppingThread.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <sys/prctl.h>
#include <thread>

namespace {

constexpr int Steps = 500;

struct Round {
    double errorPercent = 0; // |total / (steps x delay) - 1|
    double meanPeriod = 0;
    double p99Deviation = 0;        // |period - delay|, in ms
    double worstDeviation = 0;      // in ms
    double shortestPeriod = 0;      // of the periods, the last one up to the end included
    int lateSteps = 0;              // periods above 110 % of the delay
    std::vector<double> stallsAtMs; // where periods above twice the delay ended
    double endLateMs = 0;           // how far behind its schedule the turn ended
};

Round Measure(std::vector<double> steps, double endMs, double delayMs, int count = Steps) {
    // The turn's own steps are its last writes (the first of a turn may power the driver).
    if (steps.size() > static_cast<std::size_t>(count))
        steps.erase(steps.begin(), steps.end() - count);
    Round r;
    if (steps.empty())
        return r;
    steps.push_back(endMs);
    std::vector<double> periods;
    for (std::size_t i = 1; i < steps.size(); ++i) {
        periods.push_back(steps[i] - steps[i - 1]);
        if (periods.back() > 2 * delayMs)
            r.stallsAtMs.push_back(steps[i]);
    }
    steps.pop_back();
    std::vector<double> deviations;
    double sum = 0;
    for (const double p : periods) {
        deviations.push_back(std::abs(p - delayMs));
        sum += p;
        if (p > 1.1 * delayMs)
            ++r.lateSteps;
    }
    r.meanPeriod = sum / static_cast<double>(periods.size());
    r.p99Deviation = bench::Quantile(deviations, 0.99);
    r.worstDeviation = *std::max_element(deviations.begin(), deviations.end());
    r.shortestPeriod = *std::min_element(periods.begin(), periods.end());
    const double planned = static_cast<double>(steps.size()) * delayMs;
    r.errorPercent = std::abs((endMs - steps.front()) / planned - 1) * 100;
    r.endLateMs = std::max(0.0, endMs - steps.front() - planned);
    return r;
}

// The worst of each figure over rounds.
Round Worst(const std::vector<Round>& rounds) {
    Round w;
    for (const Round& r : rounds) {
        w.errorPercent = std::max(w.errorPercent, r.errorPercent);
        w.p99Deviation = std::max(w.p99Deviation, r.p99Deviation);
        w.worstDeviation = std::max(w.worstDeviation, r.worstDeviation);
        w.stallsAtMs.insert(w.stallsAtMs.end(), r.stallsAtMs.begin(), r.stallsAtMs.end());
        w.endLateMs = std::max(w.endLateMs, r.endLateMs);
    }
    return w;
}

// Counts the paint events of a window and the widgets in it while it stands.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : window_(window) {
        QApplication::instance()->installEventFilter(this);
    }
    ~PaintCounter() override { QApplication::instance()->removeEventFilter(this); }
    int count() const { return count_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && window_ && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == window_)
            ++count_;
        return false;
    }

private:
    QWidget* window_;
    int count_ = 0;
};

// When the GUI thread was blocked, on the program's clock.
struct Block {
    double fromMs = 0;
    double toMs = -1;
};

// A timer of the GUI thread whose handler blocks it for blockMs, once, afterMs from now; block
// tells when it did.
std::unique_ptr<QTimer> BlockGuiThread(int afterMs, int blockMs, platform::Platform& platform,
                                       Block& block) {
    auto timer = std::make_unique<QTimer>();
    timer->setSingleShot(true);
    QObject::connect(timer.get(), &QTimer::timeout, [blockMs, &platform, &block] {
        block.fromMs = platform.steadyMs();
        std::this_thread::sleep_for(std::chrono::milliseconds(blockMs));
        block.toMs = platform.steadyMs();
    });
    timer->start(afterMs);
    return timer;
}

// Lateness of 1 ms waits, in us: p50, p99, worst.
void PrintWaitLateness(const char* what, const std::function<void(double)>& waitUntil,
                       const std::function<double()>& clockMs) {
    std::vector<double> late;
    double due = clockMs();
    for (int i = 0; i < 1000; ++i) {
        due = std::max(due, clockMs()) + 1.0;
        waitUntil(due);
        late.push_back((clockMs() - due) * 1000);
    }
    std::printf("  %-47s p50 %6.0f us  p99 %6.0f us  worst %7.0f us\n", what,
                bench::Quantile(late, 0.5), bench::Quantile(late, 0.99),
                *std::max_element(late.begin(), late.end()));
}

} // namespace

int main(int argc, char** argv) {
    bench::PrepareDisplay();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int rounds = std::max(1, bench::Option(arguments, QStringLiteral("--rounds"), 3));
    const int busyCount = std::max(0, bench::Option(arguments, QStringLiteral("--busy"), 1));

    bench::BenchProgram program([](core::ProgramState& s) {
        s.MinPosition = 0;
        s.MaxPosition = 1000000;
        s.FastestDelayMs = 1;
        s.MainShown = true;
        s.PelorusShown = true;
        s.StepsPer360 = 200; // the pelorus follows the steps
    });
    program.start();
    program.platform().waitMs(500); // the windows settle
    const bench::BusyNeighbours busy(busyCount);
    platform::SteppingThread& thread = *program.platform().steppingThread();
    // Runs job on the stepping thread, the GUI thread waiting without events.
    const auto onSteppingThread = [&thread](const std::function<void()>& job) {
        thread.start(job, {}, false); // as a coil turn waits between its steps
        thread.join();
    };

    std::printf("step_timing: %s, %d busy process(es) beside, platform %s\n",
                qPrintable(bench::MachineLine()), busy.count(),
                qPrintable(QGuiApplication::platformName()));

    std::printf("\nlateness of 1 ms waits:\n");
    const auto sleepAbsolute = [&program](double dueMs) {
        // As the program's wait without events does.
        program.platform().waitUntil(dueMs, false);
    };
    const auto clock = [&program] { return program.platform().steadyMs(); };
    ::prctl(PR_SET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL); // the kernel's default (50 us)
    PrintWaitLateness("sleep to a deadline, default timer slack", sleepAbsolute, clock);
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    PrintWaitLateness("sleep to a deadline, 1 ns timer slack", sleepAbsolute, clock);
    PrintWaitLateness(
        "event loop to a deadline (the program's wait)",
        [&program](double dueMs) { program.platform().waitUntil(dueMs, true); }, clock);
    onSteppingThread([] {
        // The kernel's wake-up alone, at the stepping thread's priority: what the spin covers.
        PrintWaitLateness(
            "the stepping thread sleeping alone (no spin)",
            [](double dueMs) {
                const auto ns = static_cast<std::int64_t>(std::ceil(dueMs * 1e6));
                const timespec at{static_cast<time_t>(ns / 1'000'000'000),
                                  static_cast<long>(ns % 1'000'000'000)};
                while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
                }
            },
            [] { return bench::MonotonicMs(); });
    });
    onSteppingThread([&thread] {
        PrintWaitLateness(
            "the stepping thread's clock (sleep, then spin)",
            [&thread](double dueMs) { thread.clock().waitUntil(dueMs); },
            [&thread] { return thread.clock().nowMs(); });
    });
    const QString priority = thread.realTime() ? QStringLiteral("real-time priority")
                                               : QStringLiteral("normal priority");
    std::printf("the stepping thread runs at %s%s%s\n", qPrintable(priority),
                thread.realTime() ? "" : ": ", qPrintable(thread.priorityNote()));

    engine::Engine& engine = program.engine();
    core::ProgramState& state = program.state();
    enum Scheme { Deadline, Naive, SleepOnly };
    const char* const schemeNames[] = {"deadline", "naive", "sleep"};
    int direction = 1;
    // What the program does after a turn of the deadline scheme (the journal, the last values
    // shown): not part of the turn's time, reported apart.
    std::vector<double> afterTurnMs;
    // A turn of the engine: the times of its steps.
    const auto engineTurn = [&](int steps, int delay) {
        program.clearWrites();
        engine.TurnTo({state.StepCounter + direction * steps, engine::TurnOrigin::Window, delay});
        direction = -direction;
        afterTurnMs.push_back(program.platform().steadyMs() - program.lastTurnTiming().endMs);
        return program.writeTimes();
    };
    // The deadline scheme's schedule on the stepping thread with nothing but sleeping between
    // the steps: how well the machine itself lets it keep the time. The times of its steps;
    // sleptUntilMs: the end of its last period.
    double sleptUntilMs = 0;
    const auto sleepingTurn = [&](int steps, int delay) {
        std::vector<double> stepTimes;
        onSteppingThread([&] {
            engine::StepTimeline timeline(thread.clock());
            for (int i = 0; i < steps; ++i) {
                stepTimes.push_back(thread.clock().nowMs());
                timeline.stepWritten();
                timeline.waitForNext(delay);
            }
            sleptUntilMs = thread.clock().nowMs();
        });
        return stepTimes;
    };
    // One turn of the scheme; the times of its steps.
    const auto turn = [&](Scheme scheme, int delay) {
        std::vector<double> stepTimes;
        if (scheme == Deadline)
            return engineTurn(Steps, delay);
        if (scheme == SleepOnly)
            return sleepingTurn(Steps, delay);
        // Timed here: the one-second housekeeping, which a turn pauses, may write to the port
        // meanwhile.
        program.coil().PowerOn();
        program.coil().SetPhaseSequence(direction > 0 ? port::Direction::CW : port::Direction::CCW,
                                        state.StepCounter);
        for (int i = 0; i < Steps; ++i) {
            program.coil().WriteCoil(state.PhaseSeq[static_cast<std::size_t>(i % 4)]);
            stepTimes.push_back(program.platform().steadyMs());
            engine.SetCounter(state.StepCounter + direction, state.OverlayPosition);
            program.platform().waitMs(delay);
        }
        direction = -direction;
        return stepTimes;
    };

    std::printf("\n%d steps per turn, the median of %d rounds (the schemes take turns, so each "
                "round sees the same load); sleep: the deadline scheme's schedule on the stepping "
                "thread and nothing else, no window, no events\n",
                Steps, rounds);
    std::printf("delay  scheme    mean period  p99 deviation  worst deviation  shortest period"
                "  total error  late steps  ended behind\n");
    double worst[3] = {0, 0, 0};
    double shortestFraction = 1e9;
    int unrecovered = 0;
    int unrecoveredSleeping = 0;
    double worstStallMs = 0;
    Round deadlineAt1Ms; // the worst of its rounds
    for (const int delay : {1, 2, 5, 20}) {
        std::vector<Round> results[3];
        for (int round = 0; round < rounds; ++round) {
            for (const Scheme scheme : {Deadline, Naive, SleepOnly}) {
                const std::vector<double> stepTimes = turn(scheme, delay);
                // The turn ends when its last period does.
                const double endMs = scheme == Deadline    ? program.lastTurnTiming().endMs
                                     : scheme == SleepOnly ? sleptUntilMs
                                                           : program.platform().steadyMs();
                const Round r = Measure(stepTimes, endMs, delay);
                results[scheme].push_back(r);
                // Ended further behind than the whole error allowed: a stall the rest of the
                // turn could not make up.
                const bool behind = r.endLateMs > 0.005 * Steps * delay;
                if (scheme == Deadline) {
                    shortestFraction = std::min(shortestFraction, r.shortestPeriod / delay);
                    worstStallMs = std::max(worstStallMs, program.lastTurnTiming().worstLateMs);
                    unrecovered += behind;
                }
                if (scheme == SleepOnly)
                    unrecoveredSleeping += behind;
            }
        }
        if (delay == 1)
            deadlineAt1Ms = Worst(results[Deadline]);
        for (const Scheme scheme : {Deadline, Naive, SleepOnly}) {
            std::vector<Round> byError = results[scheme];
            std::sort(byError.begin(), byError.end(), [](const Round& a, const Round& b) {
                return a.errorPercent < b.errorPercent;
            });
            Round shown = byError[byError.size() / 2];
            for (const Round& r : byError)
                shown.shortestPeriod = std::min(shown.shortestPeriod, r.shortestPeriod);
            worst[scheme] = std::max(worst[scheme], shown.errorPercent);
            std::printf("%3d ms %-9s %8.4f ms %10.0f us %12.0f us %13.4f ms %10.3f %% %11d "
                        "%10.2f ms\n",
                        delay, schemeNames[scheme], shown.meanPeriod, shown.p99Deviation * 1000,
                        shown.worstDeviation * 1000, shown.shortestPeriod, shown.errorPercent,
                        shown.lateSteps, shown.endLateMs);
        }
    }
    std::printf("\nturns that ended more than 0.5%% behind (a stall too long for the rest of the "
                "turn to make up): deadline %d of %d, sleep %d of %d; the latest step of the "
                "deadline scheme came %.1f ms after its time\n",
                unrecovered, 4 * rounds, unrecoveredSleeping, 4 * rounds, worstStallMs);
    std::printf("after each turn of the deadline scheme, the program's own work (journal, last "
                "values shown) took p50 %.1f ms, worst %.1f ms\n",
                bench::Quantile(afterTurnMs, 0.5), bench::Quantile(afterTurnMs, 1));

    // The program's own work on the GUI thread beside turns at 1 ms per step.
    QWidget* pelorus = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("Form2") && w->isVisible())
            pelorus = w;
    }
    struct Scenario {
        const char* name;
        int steps;
        int blockAfterMs; // the GUI thread blocked then, for blockMs; 0: not blocked
        int blockMs;      // below 0: no turn, the stepping thread sleeps to the schedule alone
    };
    const std::vector<Scenario> scenarios = {
        {"a handler blocks the GUI thread 200 ms", 3000, 1000, 200},
        {"the pelorus repaints as the position moves", 3000, 0, 0},
        {"a 4 s block of the GUI thread (a silent rig)", 8000, 2000, 4000},
        // The machine's own share: the same schedule on the stepping thread, nothing else.
        {"sleep: the stepping thread alone, no turn", 8000, 0, -1},
    };
    std::printf("\nbeside the program's own work, turns at 1 ms per step, the worst of %d rounds "
                "(pelorus %s); stalls: periods above 2 ms, while the GUI thread was blocked (and "
                "10 ms after) and elsewhere\n",
                rounds, pelorus ? "shown" : "not shown");
    std::printf("  %-46s p99 deviation  worst deviation  total error  stalls: blocked, elsewhere\n",
                "");
    Round worstBeside;
    int causedStalls = 0;
    for (const Scenario& scenario : scenarios) {
        std::vector<Round> results;
        int paints = 0;
        int duringBlock = 0;
        int elsewhere = 0;
        for (int round = 0; round < rounds; ++round) {
            const PaintCounter painted(pelorus);
            Block block;
            std::unique_ptr<QTimer> blocker;
            if (scenario.blockMs > 0)
                blocker = BlockGuiThread(scenario.blockAfterMs, scenario.blockMs,
                                         program.platform(), block);
            const bool alone = scenario.blockMs < 0;
            const std::vector<double> stepTimes =
                alone ? sleepingTurn(scenario.steps, 1) : engineTurn(scenario.steps, 1);
            results.push_back(Measure(stepTimes,
                                      alone ? sleptUntilMs : program.lastTurnTiming().endMs, 1,
                                      scenario.steps));
            for (const double at : results.back().stallsAtMs) {
                if (at >= block.fromMs && at <= block.toMs + 10)
                    ++duringBlock;
                else
                    ++elsewhere;
            }
            paints = std::max(paints, painted.count());
        }
        causedStalls += duringBlock;
        const Round w = Worst(results);
        if (scenario.blockMs >= 0)
            worstBeside = Worst({worstBeside, w});
        std::printf("  %-46s %10.0f us %12.0f us %10.3f %%  %7d, %d", scenario.name,
                    w.p99Deviation * 1000, w.worstDeviation * 1000, w.errorPercent, duringBlock,
                    elsewhere);
        if (scenario.blockMs >= 0)
            std::printf("; pelorus painted %d times", paints);
        std::printf("\n");
    }
    std::printf("  (a late step is made up by the next ones at 90%% of the delay, each of them "
                "100 us off at 1 ms: a few late steps in a long turn are enough to set its p99)\n");
    const Round at1Ms = Worst({deadlineAt1Ms, worstBeside});
    const auto met = [](bool ok) { return ok ? "met" : "MISSED"; };
    std::printf("goals at 1 ms per step: p99 deviation <= 50 us %s, worst <= 500 us %s, total "
                "within 0.1%% %s, no stall from the program's own work %s\n",
                met(at1Ms.p99Deviation <= 0.050), met(at1Ms.worstDeviation <= 0.500),
                met(at1Ms.errorPercent <= 0.1), met(causedStalls == 0));
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    std::printf("deadline scheme: worst total-time error %.1f%% (naive: %.1f%%); shortest period "
                "%.0f%% of the delay",
                worst[Deadline], worst[Naive], shortestFraction * 100);
    if (unrecovered > 0) {
        std::printf("; %d of %d turns could not make up a stall (up to %.0f ms), sleeping alone "
                    "to the same deadlines %.1f%%",
                    unrecovered, 4 * rounds, worstStallMs, worst[SleepOnly]);
    }
    std::printf("\n");
    std::printf("steps at 1 ms on the stepping thread (%s): p99 deviation %.0f us, worst %.0f us, "
                "total error %.2f%%, %d stalls from the program's own work (%d elsewhere)\n",
                qPrintable(priority), at1Ms.p99Deviation * 1000, at1Ms.worstDeviation * 1000,
                at1Ms.errorPercent, causedStalls,
                static_cast<int>(worstBeside.stallsAtMs.size()) - causedStalls);
    return 0;
}
