// STEP pulse timing on the real clock, beside a busy process this benchmark starts itself: the
// whole program with stepper 1 on a step/dir driver ([stepper1] output=stepdir in Ventrolo.ini)
// turns 500 counted steps at 1 ms per step with 16 and with 32 microsteps, 16 000 and 32 000
// STEP pulses a second, which the stepping thread times. The pulse periods come from the rising
// STEP edges in the port's writes, time-stamped on the program's clock: on the simulated port,
// and through the ppdev back-end's own code with its system calls going to /dev/null (the
// calls' cost is in, the port's bus cycle, about a microsecond on real hardware, is not). The
// total time runs from the first pulse to the end of the turn. Each turn is made --rounds times
// (3); the worst of the rounds is shown.
//
// Last, a combination beyond what the stepping thread can keep (256 microsteps at 1 ms per
// step, a pulse every 3.9 us) must be refused with a message, never stepped slower.
//
//   build/dev/bench/pulse_timing [--rounds N] [--busy N]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "port/PpdevLpt.h"
#include "port/StepPulses.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <mutex>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

constexpr int Steps = 500;
constexpr int DelayMs = 1;
constexpr int StepBit = 0; // D0

bench::Files StepDirSettings(int microsteps) {
    return {{QStringLiteral("Ventrolo.ini"),
             QStringLiteral("[stepper1]\noutput=stepdir\nstep=D0\ndir=D1\nenable=D2\n"
                            "enableActive=low\npulseUs=5\ndirSetupUs=5\nmicrosteps=%1\n")
                 .arg(microsteps)
                 .toUtf8()}};
}

// A ppdev device behind the back-end's call layer: every call is a real system call on
// /dev/null (which refuses the ioctl), the writes of the data register are recorded.
class RecordingPpdev final : public port::PpdevCalls {
public:
    RecordingPpdev() : null_(::open("/dev/null", O_RDWR | O_CLOEXEC)) {}
    ~RecordingPpdev() override { ::close(null_); }

    std::function<double()> clockMs;

    int open(const char*, int) override { return null_; }
    int ioctl(int, unsigned long request, void* argument) override {
        ::ioctl(null_, request, argument);
        if (request == PPRSTATUS || request == PPRDATA)
            *static_cast<unsigned char*>(argument) = 0;
        if (request == PPWDATA) {
            const std::lock_guard lock(mutex_);
            writes_.push_back({clockMs ? clockMs() : 0, 0, *static_cast<unsigned char*>(argument)});
        }
        return 0;
    }
    int close(int) override { return 0; }

    void clear() {
        const std::lock_guard lock(mutex_);
        writes_.clear();
    }
    std::vector<port::SimulatedLpt::Write> writes() {
        const std::lock_guard lock(mutex_);
        return writes_;
    }

private:
    int null_;
    std::mutex mutex_;
    std::vector<port::SimulatedLpt::Write> writes_;
};

struct Pulses {
    int count = 0;
    double p99DeviationUs = 0;
    double worstDeviationUs = 0;
    double errorPercent = 0; // |total / (steps x delay) - 1|
    double meanSpacingUs = 0;
    double threadPercent = 0; // the stepping thread's CPU time during the turn, % of a core
};

// The rising STEP edges of the writes, their spacing against spacingUs, and the total time up
// to endMs against plannedMs.
Pulses Measure(const std::vector<port::SimulatedLpt::Write>& writes, double spacingUs, double endMs,
               double plannedMs) {
    std::vector<double> rises;
    bool high = false;
    for (const port::SimulatedLpt::Write& w : writes) {
        const bool step = (w.value >> StepBit) & 1;
        if (step && !high)
            rises.push_back(w.atMs);
        high = step;
    }
    Pulses p;
    p.count = static_cast<int>(rises.size());
    if (rises.size() < 2)
        return p;
    std::vector<double> deviations;
    for (std::size_t i = 1; i < rises.size(); ++i)
        deviations.push_back(std::abs((rises[i] - rises[i - 1]) * 1000 - spacingUs));
    p.p99DeviationUs = bench::Quantile(deviations, 0.99);
    p.worstDeviationUs = *std::max_element(deviations.begin(), deviations.end());
    p.meanSpacingUs = (rises.back() - rises.front()) * 1000 / static_cast<double>(rises.size() - 1);
    p.errorPercent = std::abs((endMs - rises.front()) / plannedMs - 1) * 100;
    return p;
}

Pulses Worst(const std::vector<Pulses>& rounds) {
    Pulses w;
    w.count = rounds.empty() ? 0 : rounds.front().count;
    for (const Pulses& r : rounds) {
        w.count = std::min(w.count, r.count);
        w.p99DeviationUs = std::max(w.p99DeviationUs, r.p99DeviationUs);
        w.worstDeviationUs = std::max(w.worstDeviationUs, r.worstDeviationUs);
        w.errorPercent = std::max(w.errorPercent, r.errorPercent);
        w.meanSpacingUs = std::max(w.meanSpacingUs, r.meanSpacingUs);
        w.threadPercent = std::max(w.threadPercent, r.threadPercent);
    }
    return w;
}

void AdjustState(core::ProgramState& s) {
    s.MinPosition = 0;
    s.MaxPosition = 1000000;
    s.FastestDelayMs = DelayMs;
    s.SpeedModulate = false; // every step at the one delay
}

} // namespace

int main(int argc, char** argv) {
    bench::PrepareDisplay();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int rounds = std::max(1, bench::Option(arguments, QStringLiteral("--rounds"), 3));
    const int busyCount = std::max(0, bench::Option(arguments, QStringLiteral("--busy"), 1));
    const bench::BusyNeighbours busy(busyCount);

    std::printf("pulse_timing: %s, %d busy process(es) beside, platform %s\n",
                qPrintable(bench::MachineLine()), busy.count(),
                qPrintable(QGuiApplication::platformName()));
    std::printf("\n%d counted steps at %d ms per step, the worst of %d rounds\n", Steps, DelayMs,
                rounds);
    std::printf("microsteps  pulses/s  port       pulses      mean spacing  p99 deviation  "
                "worst deviation  total error  stepping thread\n");

    Pulses at16kHz;
    QString priority = QStringLiteral("?");
    for (const int microsteps : {16, 32}) {
        port::StepDirSettings asked;
        asked.output = port::OutputKind::StepDir;
        asked.microsteps = microsteps;
        if (!engine::PulsesKept(asked, DelayMs)) {
            // Beyond the port's limit the program refuses the turn: nothing to time.
            std::printf("%10d  %8d  refused: a pulse every %.1f us is closer than the %.0f us the "
                        "stepping thread keeps\n",
                        microsteps, microsteps * 1000 / DelayMs, DelayMs * 1000.0 / microsteps,
                        port::MinPulseSpacingUs);
            continue;
        }
        for (const bool ppdev : {false, true}) {
            RecordingPpdev calls;
            std::unique_ptr<platform::LptPort> port;
            if (ppdev)
                port = port::PpdevLpt::open(port::LptDevicePaths{}, calls).port;
            bench::BenchProgram program(AdjustState, StepDirSettings(microsteps), std::move(port));
            calls.clockMs = [&program] { return program.platform().steadyMs(); };
            program.start();
            program.platform().waitMs(300); // the windows settle
            engine::Engine& engine = program.engine();
            const platform::SteppingThread& thread = *program.platform().steppingThread();
            int direction = 1;
            std::vector<Pulses> results;
            for (int round = 0; round < rounds; ++round) {
                program.clearWrites();
                calls.clear();
                const double cpuMs = thread.cpuMs();
                const double startMs = program.platform().steadyMs();
                engine.TurnTo({program.state().StepCounter + direction * Steps,
                               engine::TurnOrigin::Window, DelayMs});
                direction = -direction;
                Pulses p = Measure(ppdev ? calls.writes() : program.writes(),
                                   DelayMs * 1000.0 / microsteps, program.lastTurnTiming().endMs,
                                   Steps * DelayMs);
                p.threadPercent =
                    (thread.cpuMs() - cpuMs) / (program.platform().steadyMs() - startMs) * 100;
                results.push_back(p);
            }
            priority = thread.realTime() ? QStringLiteral("real-time priority")
                                         : QStringLiteral("normal priority");
            const Pulses w = Worst(results);
            if (microsteps == 16 && !ppdev)
                at16kHz = w;
            std::printf("%10d  %8d  %-9s %6d of %-6d %8.2f us %11.1f us %14.1f us %10.3f %% "
                        "%8.0f%% of a core\n",
                        microsteps, microsteps * 1000 / DelayMs, ppdev ? "ppdev" : "simulated",
                        w.count, Steps * microsteps, w.meanSpacingUs, w.p99DeviationUs,
                        w.worstDeviationUs, w.errorPercent, w.threadPercent);
        }
    }
    std::printf("the stepping thread ran at %s\n", qPrintable(priority));

    // Beyond the limit: refused with a message, or stepped slower than asked.
    {
        bench::BenchProgram program(AdjustState, StepDirSettings(256));
        program.start();
        program.platform().waitMs(300);
        QStringList messages;
        QTimer watch; // the message may come in a dialog of its own
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                    messages << box->text();
                    box->close();
                }
            }
        });
        watch.start(50);
        program.clearWrites();
        const core::Long from = program.state().StepCounter;
        const double startMs = program.platform().steadyMs();
        engine::Engine& engine = program.engine();
        engine.TurnTo({from + 50, engine::TurnOrigin::Window, DelayMs});
        const double tookMs = program.platform().steadyMs() - startMs;
        const Pulses p = Measure(program.writes(), DelayMs * 1000.0 / 256,
                                 program.lastTurnTiming().endMs, 50 * DelayMs);
        const core::Long moved = program.state().StepCounter - from;
        const bool refused = moved == 0 && p.count == 0;
        std::printf(
            "\n256 microsteps at 1 ms per step (50 steps asked): %s; %lld steps counted, "
            "%d STEP pulses, %.0f ms; message: %s\n",
            refused ? "refused" : "NOT refused", static_cast<long long>(moved), p.count, tookMs,
            messages.isEmpty() ? "none seen" : qPrintable(messages.join(QStringLiteral(" | "))));
    }
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    std::printf("pulses: p99 deviation %.0f us, worst %.0f us, total error %.2f%% at 16 kHz beside "
                "a busy process\n",
                at16kHz.p99DeviationUs, at16kHz.worstDeviationUs, at16kHz.errorPercent);
    return 0;
}
