// Rig to antenna: the whole program follows the simulated FT-817 (table window locked, polling
// every --poll ms, 200 by default); the rig's dial is turned --changes times (50) at random
// moments, each time to a frequency whose table position lies away from the stepper, and the
// figure is the time from the dial change to the first write of the turn that follows it.
//
//   build/dev/bench/rig_following [--changes N] [--poll MS]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "rig/RigTuning.h"
#include "rig/SimulatedRig.h"

#include <QApplication>
#include <cstdio>
#include <optional>
#include <random>

namespace {

// What the program is given to follow: two table rows a turn apart.
constexpr float LowKHz = 3500;
constexpr float HighKHz = 4000;
constexpr double GiveUpMs = 5000;

// The rig the program follows, as the benchmark turns its dial.
struct FollowedRig {
    std::function<void(float kHz)> setDial;
};

// The program set to follow the simulated rig; nullopt, and why, when it cannot.
std::optional<FollowedRig> StartFollowing(bench::BenchProgram& program, QString& why) {
    program.start();
    rig::RigTuning& tuning = program.app().tuning();
    tuning.ComportClicked(); // opens the simulated rig
    if (!tuning.portOpen()) {
        why = QStringLiteral("the simulated rig did not open");
        return std::nullopt;
    }
    // Unlocked, the table window only shows where the rig's frequency lies: the lock button.
    if (!tuning.locked())
        tuning.LockClicked();
    if (!tuning.locked()) {
        why = QStringLiteral("the table window did not lock");
        return std::nullopt;
    }
    rig::SimulatedRig& rig = program.app().simulatedRig();
    return FollowedRig{[&rig](float kHz) { rig.rig().setFrequency(kHz); }};
}

} // namespace

int main(int argc, char** argv) {
    bench::PrepareDisplay();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int changes = std::max(1, bench::Option(arguments, QStringLiteral("--changes"), 50));
    const int pollMs = std::max(1, bench::Option(arguments, QStringLiteral("--poll"), 200));

    bench::BenchProgram program(
        [pollMs](core::ProgramState& s) {
            s.MinPosition = 0;
            s.MaxPosition = 1000;
            s.FastestDelayMs = 1;
            s.CustomDelayMs = 2;
            s.ComPollMs = pollMs;
            s.ComPort = 1;
            s.TableWindowShown = true;
        },
        // The simulated rig on the link, and a table of two rows:
        // 3500 kHz at 100, 4000 at 300.
        {{QStringLiteral("Ventrolo.ini"), "[rig]\nlink=simulated\n"},
         {QStringLiteral("Table.cat"), "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                                       "3500,100,\"\"\r\n4000,300,\"\"\r\n"}});
    std::printf("rig_following: %s, platform %s\n", qPrintable(bench::MachineLine()),
                qPrintable(QGuiApplication::platformName()));

    QString why;
    const std::optional<FollowedRig> rig = StartFollowing(program, why);
    if (!rig) {
        std::printf("  %s\n\nrig: not measured (%s)\n", qPrintable(why), qPrintable(why));
        return 0;
    }
    platform::QtPlatform& platform = program.platform();
    platform.waitMs(1000); // the first polls
    std::mt19937 random(15);
    std::uniform_real_distribution<double> phase(0, pollMs);
    std::vector<double> latencies;
    int missed = 0;
    for (int i = 0; i < changes; ++i) {
        // Between the rows, so every change asks for a turn.
        const float kHz = i % 2 ? LowKHz + 100 : HighKHz - 100;
        // The dial turns at a random moment. The program may be on the line then (an exchange
        // holds the thread until it ends) and this loop gets its turn late; the exchange read the
        // dial as it began, so the change counts from the moment it was meant for.
        const double changedAt = platform.steadyMs() + phase(random);
        platform.waitUntil(changedAt, true);
        program.clearWrites();
        rig->setDial(kHz);
        while (program.writeTimes().empty() && platform.steadyMs() - changedAt < GiveUpMs)
            platform.waitMs(1);
        const std::vector<double> writes = program.writeTimes();
        if (writes.empty()) {
            ++missed;
            continue;
        }
        latencies.push_back(writes.front() - changedAt);
        // The turn ends before the next change.
        while (platform.steadyMs() - program.writeTimes().back() < 50)
            platform.waitMs(10);
    }
    std::printf("  %d dial changes, %d without a turn within %.0f s; min %.0f ms, max %.0f ms\n",
                changes, missed, GiveUpMs / 1000, bench::Quantile(latencies, 0),
                bench::Quantile(latencies, 1));
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    std::printf("rig: dial change to first step p50 %.0f ms, p95 %.0f ms at poll %d ms\n",
                bench::Quantile(latencies, 0.5), bench::Quantile(latencies, 0.95), pollMs);
    return missed == 0 ? 0 : 1;
}
