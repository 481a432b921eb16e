// Rig to antenna: the whole program follows a rig with the table window locked, polling every
// --poll ms (200 by default); the rig's dial is turned --changes times (50) at random moments,
// each time to a frequency whose table position lies away from the stepper, and the figure is
// the time from the dial change to the first write of the turn that follows it. Twice: on the
// simulated FT-817, which the program learns of only when it polls; then on an IC-7300 with CI-V
// transceive, on a pseudo-terminal at 19200 baud through the program's own serial stack, which
// announces every change at once (the program reads the rig before it turns).
//
//   build/dev/bench/rig_following [--changes N] [--poll MS]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "CivBus.h"
#include "rig/SimulatedRig.h"
#include "tuning/RigTuning.h"

#include <QApplication>
#include <cstdio>
#include <optional>
#include <random>

namespace {

// What the program is given to follow: two table rows a turn apart.
constexpr float LowKHz = 3500;
constexpr float HighKHz = 4000;
constexpr double GiveUpMs = 5000;
constexpr int CivBaud = 19200;
constexpr int CivComPort = 2;

// The program following the rig on COM<comPort> as Ventrolo.ini sets it up, with a table of two
// rows: 3500 kHz at 100, 4000 at 300.
std::unique_ptr<bench::BenchProgram> Program(int pollMs, int comPort, const QByteArray& ini) {
    return std::make_unique<bench::BenchProgram>(
        [pollMs, comPort](core::ProgramState& s) {
            s.MinPosition = 0;
            s.MaxPosition = 1000;
            s.FastestDelayMs = 1;
            s.CustomDelayMs = 2;
            s.ComPollMs = pollMs;
            s.ComPort = comPort;
            s.TableWindowShown = true;
        },
        bench::Files{{QStringLiteral("Ventrolo.ini"), ini},
                     {QStringLiteral("Table.cat"),
                      "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                      "3500,100,\"\"\r\n4000,300,\"\"\r\n"}});
}

// Starts the program, opens its rig and locks the table window; why it could not, empty when
// it could.
QString StartFollowing(bench::BenchProgram& program) {
    program.start();
    tuning::RigTuning& tuning = program.app().tuning();
    tuning.port().ComportClicked();
    if (!tuning.port().portOpen())
        return QStringLiteral("the rig's link did not open");
    // Unlocked, the table window only shows where the rig's frequency lies: the lock button.
    if (!tuning.follower().locked())
        tuning.rigCommands().LockClicked();
    if (!tuning.follower().locked())
        return QStringLiteral("the table window did not lock");
    return {};
}

// Turns the rig's dial to kHz at atMs on the program's clock.
using DialTurner = std::function<void(double atMs, float kHz)>;

struct Latencies {
    std::vector<double> ms;
    int missed = 0; // changes without a turn within GiveUpMs
};

Latencies Measure(bench::BenchProgram& program, const DialTurner& turnDial, int changes,
                  int pollMs) {
    platform::QtPlatform& platform = program.platform();
    platform.waitMs(1000); // the first polls
    std::mt19937 random(15);
    std::uniform_real_distribution<double> phase(0, pollMs);
    const auto firstWriteSince = [&program](double ms) -> std::optional<double> {
        for (double at : program.writeTimes()) {
            if (at >= ms)
                return at;
        }
        return std::nullopt;
    };
    Latencies latencies;
    for (int i = 0; i < changes; ++i) {
        // Between the rows, so every change asks for a turn.
        const float kHz = i % 2 ? LowKHz + 100 : HighKHz - 100;
        const double changedAt = platform.steadyMs() + phase(random);
        program.clearWrites();
        turnDial(changedAt, kHz);
        // The writes carry their own times: the program is waited for in slices long enough
        // that it serves its events as its own loop does, at once (short waits serve them only
        // every few ms, which would add to every reply the program waits for).
        std::optional<double> firstWrite;
        while (!(firstWrite = firstWriteSince(changedAt)) &&
               platform.steadyMs() - changedAt < GiveUpMs)
            platform.waitMs(20);
        if (!firstWrite) {
            ++latencies.missed;
            continue;
        }
        latencies.ms.push_back(*firstWrite - changedAt);
        // The turn ends before the next change.
        while (platform.steadyMs() - program.writeTimes().back() < 50)
            platform.waitMs(10);
    }
    return latencies;
}

void PrintDetails(const char* rig, int changes, const Latencies& latencies) {
    std::printf("  %s: %d dial changes, %d without a turn within %.0f s; p50 %.0f ms, p95 %.0f ms, "
                "min %.0f ms, max %.0f ms\n",
                rig, changes, latencies.missed, GiveUpMs / 1000, bench::Quantile(latencies.ms, 0.5),
                bench::Quantile(latencies.ms, 0.95), bench::Quantile(latencies.ms, 0),
                bench::Quantile(latencies.ms, 1));
}

// The simulated FT-817, polled.
std::optional<Latencies> FollowPolled(int changes, int pollMs, QString& why) {
    const auto program = Program(pollMs, 1, "[rig]\nlink=simulated\n");
    if (why = StartFollowing(*program); !why.isEmpty())
        return std::nullopt;
    rig::SimulatedRig& rig = program->app().simulatedRig();
    return Measure(
        *program,
        // The program may be on the line at that moment (an exchange holds the thread until it
        // ends): the rig itself turns its dial then, so a request that reaches it later reads it.
        [&](double atMs, float kHz) { rig.turnDialAt(atMs, kHz); }, changes, pollMs);
}

// The IC-7300 announcing its dial on its own; lateMs gets the most the emulated rig made a change
// after its moment (counted in the latencies).
std::optional<Latencies> FollowTransceive(int changes, int pollMs, QString& why, double& lateMs) {
    bench::CivBus bus(CivBaud, std::int64_t(LowKHz) * 1000);
    if (bus.slavePath().isEmpty()) {
        why = QStringLiteral("no pseudo-terminal for the IC-7300");
        return std::nullopt;
    }
    const auto program =
        Program(pollMs, CivComPort,
                QStringLiteral("[serial]\nCOM%1=%2\n[rig]\nlink=civ\n[civ]\nmodel=IC-7300\n"
                               "baud=%3\n")
                    .arg(CivComPort)
                    .arg(bus.slavePath())
                    .arg(CivBaud)
                    .toLocal8Bit());
    if (why = StartFollowing(*program); !why.isEmpty())
        return std::nullopt;
    platform::QtPlatform& platform = program->platform();
    const Latencies latencies = Measure(
        *program,
        [&](double atMs, float kHz) {
            // The rig keeps its own time: the change is made on the bus's thread at its moment,
            // whatever the program's thread is doing then.
            bus.turnDialAt(atMs - platform.steadyMs() + bench::MonotonicMs(),
                           std::int64_t(kHz) * 1000);
        },
        changes, pollMs);
    lateMs = bus.worstLateMs();
    return latencies;
}

} // namespace

int main(int argc, char** argv) {
    bench::PrepareDisplay();
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int changes = std::max(1, bench::Option(arguments, QStringLiteral("--changes"), 50));
    const int pollMs = std::max(1, bench::Option(arguments, QStringLiteral("--poll"), 200));
    std::printf("rig_following: %s, platform %s\n", qPrintable(bench::MachineLine()),
                qPrintable(QGuiApplication::platformName()));

    QString why;
    const std::optional<Latencies> polled = FollowPolled(changes, pollMs, why);
    if (!polled) {
        std::printf("  %s\n\nrig: not measured (%s)\n", qPrintable(why), qPrintable(why));
        return 0;
    }
    PrintDetails("simulated FT-817, polled", changes, *polled);
    double lateMs = 0;
    const std::optional<Latencies> announced = FollowTransceive(changes, pollMs, why, lateMs);
    if (announced) {
        PrintDetails("IC-7300 in CI-V transceive", changes, *announced);
        std::printf("  the emulated IC-7300 made its changes up to %.1f ms late\n", lateMs);
    } else {
        std::printf("  IC-7300 in CI-V transceive: %s\n", qPrintable(why));
    }
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());

    std::printf("rig: dial change to first step p50 %.0f ms, p95 %.0f ms at poll %d ms; ",
                bench::Quantile(polled->ms, 0.5), bench::Quantile(polled->ms, 0.95), pollMs);
    if (announced)
        std::printf("transceive p50 %.0f ms, p95 %.0f ms\n", bench::Quantile(announced->ms, 0.5),
                    bench::Quantile(announced->ms, 0.95));
    else
        std::printf("transceive not measured (%s)\n", qPrintable(why));
    const bool allTurned = polled->missed == 0 && announced && announced->missed == 0;
    return allTurned ? 0 : 1;
}
