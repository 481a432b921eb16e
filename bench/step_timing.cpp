// Step timing on the real clock, beside a busy process this benchmark starts itself: the whole
// program (main window and pelorus shown, on the simulated port) turns 500 steps at 1, 2, 5
// and 20 ms per step with the engine's deadline scheme and with the naive scheme that shows
// every step and then waits its full delay; a third scheme keeps the deadline scheme's schedule
// doing nothing but sleep, which shows what the machine itself allows. The periods come from
// the time stamps of the steps; the total time runs from the first step to the end of the turn
// (one delay after the last step: the end of the engine's last wait; what the program does after
// a turn is reported apart). Each turn is made --rounds times (3), the schemes taking
// turns: the table shows the round with the median error, the shortest period is the shortest
// of all rounds.
//
// Before that, the lateness of the waits themselves: 1 ms sleeps on an absolute deadline with
// the kernel's default timer slack and with the 1 ns the program sets, and the program's own
// waits with the event loop running.
//
//   build/dev/bench/step_timing [--rounds N] [--busy N]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "engine/StepTimeline.h"

#include <QApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/prctl.h>

namespace {

constexpr int Steps = 500;

struct Round {
    double errorPercent = 0; // |total / (steps x delay) - 1|
    double meanPeriod = 0;
    double p99Deviation = 0;
    double shortestPeriod = 0; // of the periods, the last one up to the end included
    int lateSteps = 0;         // periods above 110 % of the delay
    double endLateMs = 0;      // how far behind its schedule the turn ended
};

Round Measure(std::vector<double> steps, double endMs, double delayMs) {
    // The turn's own steps are its last writes (the first of a turn may power the driver).
    if (steps.size() > Steps)
        steps.erase(steps.begin(), steps.end() - Steps);
    Round r;
    std::vector<double> periods;
    for (std::size_t i = 1; i < steps.size(); ++i)
        periods.push_back(steps[i] - steps[i - 1]);
    periods.push_back(endMs - steps.back());
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
    r.shortestPeriod = *std::min_element(periods.begin(), periods.end());
    r.errorPercent = std::abs((endMs - steps.front()) / (Steps * delayMs) - 1) * 100;
    r.endLateMs = std::max(0.0, endMs - steps.front() - Steps * delayMs);
    return r;
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
    std::printf("  %-44s p50 %6.0f us  p99 %6.0f us  worst %7.0f us\n", what,
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
        s.PelorusShown = true;
    });
    program.start();
    program.platform().waitMs(500); // the windows settle
    const bench::BusyNeighbours busy(busyCount);

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

    engine::Engine& engine = program.engine();
    core::ProgramState& state = program.state();
    enum Scheme { Deadline, Naive, SleepOnly };
    const char* const schemeNames[] = {"deadline", "naive", "sleep"};
    int direction = 1;
    // What the program does after a turn of the deadline scheme (the journal, the last values
    // shown): not part of the turn's time, reported apart.
    std::vector<double> afterTurnMs;
    // One turn of the scheme; the times of its steps.
    const auto turn = [&](Scheme scheme, int delay) {
        std::vector<double> stepTimes;
        if (scheme == Deadline) {
            program.clearWrites();
            engine.TurnTo({state.StepCounter + direction * Steps, engine::TurnOrigin::Window, delay});
            direction = -direction;
            afterTurnMs.push_back(program.platform().steadyMs() - engine.lastTurnTiming().endMs);
            return program.writeTimes();
        }
        if (scheme == SleepOnly) {
            // The deadline scheme's schedule with nothing but sleeping between the steps: how
            // well the machine itself lets a process keep it.
            engine::StepTimeline timeline(program.platform());
            for (int i = 0; i < Steps; ++i) {
                stepTimes.push_back(program.platform().steadyMs());
                timeline.stepWritten();
                timeline.waitForNext(delay, false);
            }
            return stepTimes;
        }
        // Timed here: the one-second housekeeping, which a turn pauses, may write to the port
        // meanwhile.
        engine.coil().PowerOn();
        engine.coil().SetPhaseSequence(direction > 0 ? port::Direction::CW : port::Direction::CCW,
                                       state.StepCounter);
        for (int i = 0; i < Steps; ++i) {
            engine.coil().WriteCoil(state.PhaseSeq[static_cast<std::size_t>(i % 4)]);
            stepTimes.push_back(program.platform().steadyMs());
            engine.SetCounter(state.StepCounter + direction, state.OverlayPosition);
            program.platform().waitMs(delay);
        }
        direction = -direction;
        return stepTimes;
    };

    std::printf("\n%d steps per turn, the median of %d rounds (the schemes take turns, so each "
                "round sees the same load); sleep: the deadline scheme's schedule and nothing "
                "else, no window, no events\n",
                Steps, rounds);
    std::printf("delay  scheme    mean period  p99 deviation  shortest period  total error"
                "  late steps  ended behind\n");
    double worst[3] = {0, 0, 0};
    double shortestFraction = 1e9;
    int unrecovered = 0;
    int unrecoveredSleeping = 0;
    double worstStallMs = 0;
    for (const int delay : {1, 2, 5, 20}) {
        std::vector<Round> results[3];
        for (int round = 0; round < rounds; ++round) {
            for (const Scheme scheme : {Deadline, Naive, SleepOnly}) {
                const std::vector<double> stepTimes = turn(scheme, delay);
                // The turn ends when its last period does.
                const double endMs = scheme == Deadline ? engine.lastTurnTiming().endMs
                                                        : program.platform().steadyMs();
                const Round r = Measure(stepTimes, endMs, delay);
                results[scheme].push_back(r);
                // Ended further behind than the whole error allowed: a stall the rest of the
                // turn could not make up.
                const bool behind = r.endLateMs > 0.005 * Steps * delay;
                if (scheme == Deadline) {
                    shortestFraction = std::min(shortestFraction, r.shortestPeriod / delay);
                    worstStallMs = std::max(worstStallMs, engine.lastTurnTiming().worstLateMs);
                    unrecovered += behind;
                }
                if (scheme == SleepOnly)
                    unrecoveredSleeping += behind;
            }
        }
        for (const Scheme scheme : {Deadline, Naive, SleepOnly}) {
            std::vector<Round> byError = results[scheme];
            std::sort(byError.begin(), byError.end(), [](const Round& a, const Round& b) {
                return a.errorPercent < b.errorPercent;
            });
            Round shown = byError[byError.size() / 2];
            for (const Round& r : byError)
                shown.shortestPeriod = std::min(shown.shortestPeriod, r.shortestPeriod);
            worst[scheme] = std::max(worst[scheme], shown.errorPercent);
            std::printf("%3d ms %-9s %8.4f ms %11.4f ms %13.4f ms %10.2f %% %11d %10.2f ms\n",
                        delay, schemeNames[scheme], shown.meanPeriod, shown.p99Deviation,
                        shown.shortestPeriod, shown.errorPercent, shown.lateSteps, shown.endLateMs);
        }
    }
    std::printf("\nturns that ended more than 0.5%% behind (a stall too long for the rest of the "
                "turn to make up): deadline %d of %d, sleep %d of %d; the latest step of the "
                "deadline scheme came %.1f ms after its time\n",
                unrecovered, 4 * rounds, unrecoveredSleeping, 4 * rounds, worstStallMs);
    std::printf("after each turn of the deadline scheme, the program's own work (journal, last "
                "values shown) took p50 %.1f ms, worst %.1f ms\n",
                bench::Quantile(afterTurnMs, 0.5), bench::Quantile(afterTurnMs, 1));
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
    return 0;
}
