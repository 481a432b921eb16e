// Step timing on the real clock: turns of 500 steps on the simulated port while the offscreen
// main window redraws the counter, slider and degrees after every step, once with the engine's
// deadline scheduling and once with the naive scheme that waits the full delay after each
// step's work. The periods come from the time stamps of the port writes. Each turn is made
// three times (--rounds N) and the round with the median total time is shown, as other load on
// the machine delays single wake-ups.
//
//   QT_QPA_PLATFORM=offscreen build/dev/bench/step_timing [--rounds N]
#include "engine/DisplayTexts.h"
#include "engine/Engine.h"
#include "mainwindow/MainWindowForm.h"
#include "mainwindow/SelectionSlider.h"
#include "platform/QtPlatform.h"
#include "port/SimulatedLpt.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Steps = 500;
constexpr int TickMs = 10; // a window timer that must keep running during the turns

struct Result {
    double error = 0;  // |total / (n x delay) - 1|, in %
    int lateSteps = 0; // periods above 110 % of the delay
    double meanPeriod = 0;
    double p99Deviation = 0;
    double shortestPeriod = 0;
    double totalRatio = 0;
    int ticks = 0;
    int expectedTicks = 0;
};

Result Measure(const std::vector<double>& stepTimes, double endMs, double delayMs, int ticks) {
    std::vector<double> periods;
    std::vector<double> deviations;
    Result r;
    for (std::size_t i = 1; i < stepTimes.size(); ++i) {
        periods.push_back(stepTimes[i] - stepTimes[i - 1]);
        deviations.push_back(std::abs(periods.back() - delayMs));
        if (periods.back() > 1.1 * delayMs)
            ++r.lateSteps;
    }
    std::sort(deviations.begin(), deviations.end());
    double sum = 0;
    for (double p : periods)
        sum += p;
    r.meanPeriod = sum / static_cast<double>(periods.size());
    r.p99Deviation = deviations[static_cast<std::size_t>(0.99 * (deviations.size() - 1))];
    r.shortestPeriod = *std::min_element(periods.begin(), periods.end());
    const double total = endMs - stepTimes.front();
    r.totalRatio = total / (Steps * delayMs);
    r.error = std::abs(r.totalRatio - 1) * 100;
    r.ticks = ticks;
    r.expectedTicks = static_cast<int>(total / TickMs);
    return r;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int rounds = 3;
    const QStringList arguments = QCoreApplication::arguments();
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--rounds"));
        i >= 0 && i + 1 < arguments.size())
        rounds = std::max(1, arguments[i + 1].toInt());
    platform::QtPlatform platform;
    core::ProgramState state;
    state.LoadStepperProfile();
    state.MinPosition = 0;
    state.MaxPosition = 1000000;
    port::SimulatedLpt lpt;
    port::SwitchInputs switches(state, platform, lpt);
    engine::Engine engine(state, platform, lpt, switches);
    QMainWindow window;
    mainwindow::MainWindowForm form(window);
    form.VSlider1->setRange(state.MinPosition, state.MaxPosition);
    // The program's main window, showing what a step changes: counter, slider and degrees.
    auto showCounter = [&form](core::Long counter) {
        form.lblTeller->setText(engine::CounterText(counter));
    };
    QObject::connect(&engine, &engine::Engine::counterChanged, showCounter);
    QObject::connect(&engine, &engine::Engine::sliderValueChanged, form.VSlider1,
                     &QSlider::setValue);
    QObject::connect(&engine, &engine::Engine::degreesChanged, form.lblDegrees, &QLabel::setText);
    engine.coil().UpdateStepperBits();
    engine.UpdateDegreesPerStep();
    window.show();
    platform.waitMs(200); // let the window settle

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
    ticker.start(TickMs);

    auto stepTimes = [&lpt] {
        std::vector<double> times;
        for (const auto& w : lpt.writes())
            times.push_back(w.atMs);
        times.erase(times.begin()); // the write that enables the driver
        return times;
    };

    double load[3] = {};
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3)
            load[0] = -1;
        std::fclose(f);
    }
    std::printf("step_timing: %d steps per turn, simulated port, real clock, offscreen window, "
                "a %d ms window timer; median of %d rounds; load average %.2f\n\n",
                Steps, TickMs, rounds, load[0]);
    std::printf("delay  scheme    mean period  p99 deviation  shortest period  total/(n x delay)"
                "  late steps  timer ticks\n");
    double worstDeadline = 0;
    double worstNaive = 0;
    for (const int delay : {1, 2, 5, 20}) {
        for (const bool deadline : {true, false}) {
            std::vector<Result> results;
            for (int round = 0; round < rounds; ++round) {
                state.StepDelayMs = delay;
                state.SpeedModulate = false;
                lpt.traceWrites([&platform] { return platform.steadyMs(); });
                ticks = 0;
                if (deadline) {
                    engine.TurnTo({state.StepCounter + Steps});
                } else {
                    engine.coil().PowerOn();
                    engine.coil().SetPhaseSequence(port::Direction::CW, state.StepCounter);
                    for (int i = 0; i < Steps; ++i) {
                        ++state.StepCounter;
                        engine.coil().WriteCoil(state.PhaseSeq[static_cast<std::size_t>(i % 4)]);
                        showCounter(state.StepCounter);
                        form.VSlider1->setValue(state.StepCounter);
                        engine.ShowDegrees();
                        platform.waitMs(delay);
                    }
                }
                results.push_back(Measure(stepTimes(), platform.steadyMs(), delay, ticks));
            }
            std::sort(results.begin(), results.end(),
                      [](const Result& a, const Result& b) { return a.error < b.error; });
            const Result& r = results[results.size() / 2];
            double& worst = deadline ? worstDeadline : worstNaive;
            worst = std::max(worst, r.error);
            std::printf("%3d ms %-9s %8.4f ms %11.4f ms %13.4f ms %15.4f %13d %8d of %d\n", delay,
                        deadline ? "deadline" : "naive", r.meanPeriod, r.p99Deviation,
                        r.shortestPeriod, r.totalRatio, r.lateSteps, r.ticks, r.expectedTicks);
        }
    }
    std::printf("\ndeadline scheme: worst total-time error %.1f%% (naive: %.1f%%)\n", worstDeadline,
                worstNaive);
    return 0;
}
