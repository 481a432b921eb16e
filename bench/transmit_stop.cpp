// Key-down to standstill: the whole program turns the stepper at 2 ms a step, as a rotator
// client's turn, while the rig link watches the transmit state, and the rig is keyed --keys times
// (20) at a random moment of a turn; the figure is the time from keying to the last step the turn
// made, per link: the simulated FT-817 at 4800 baud (the program's own emulator, its wire times
// kept), an IC-7300 on CI-V at 19200 baud on a pseudo-terminal through the program's own serial
// stack, Hamlib's rigctld with its dummy rig (keyed over its socket, as another program would),
// and WSJT-X's status datagrams.
//
//   build/dev/bench/transmit_stop [--keys N]
#include "BenchProgram.h"
#include "BenchSupport.h"
#include "CivBus.h"
#include "rig/SimulatedRig.h"
#include "rig/WsjtxDatagrams.h"
#include "tuning/RigTuning.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <cstdio>
#include <optional>
#include <random>

namespace {

constexpr int StepMs = 2;
constexpr double GiveUpMs = 5000;

// The program with the rig link of ini open in the table window, unlocked: nothing follows the
// dial, every turn is the benchmark's own.
std::unique_ptr<bench::BenchProgram> Program(int comPort, const QByteArray& ini, QString& why) {
    auto program = std::make_unique<bench::BenchProgram>(
        [comPort](core::ProgramState& s) {
            s.MinPosition = 0;
            s.MaxPosition = 1000;
            s.FastestDelayMs = StepMs;
            s.CustomDelayMs = StepMs;
            s.ComPollMs = 1000;
            s.ComPort = comPort;
            s.TableWindowShown = true;
        },
        bench::Files{{QStringLiteral("Ventrolo.ini"), ini},
                     {QStringLiteral("Table.cat"),
                      "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                      "3500,100,\"\"\r\n4000,300,\"\"\r\n"}});
    program->start();
    tuning::RigTuning& tuning = program->app().tuning();
    tuning.port().ComportClicked();
    if (!tuning.port().portOpen()) {
        why = QStringLiteral("the rig's link did not open");
        return nullptr;
    }
    program->platform().waitMs(1500);
    if (tuning.follower().locked())
        tuning.rigCommands().LockClicked();
    return program;
}

struct Stops {
    std::vector<double> ms; // from keying to the last step
    int missed = 0;         // the turn ended before the key, or the rig was never heard
};

// key(true) keys the rig; the time it is called is the moment of keying.
Stops Measure(bench::BenchProgram& program, const std::function<void(bool)>& key, int keys) {
    platform::QtPlatform& platform = program.platform();
    tuning::RigTuning& tuning = program.app().tuning();
    core::ProgramState& state = program.state();
    std::mt19937 random(42);
    std::uniform_real_distribution<double> keyAfter(100, 600);
    const auto waitUntil = [&](const std::function<bool()>& done) {
        const double start = platform.steadyMs();
        while (!done() && platform.steadyMs() - start < GiveUpMs)
            platform.waitMs(10);
        return done();
    };
    Stops stops;
    for (int i = 0; i < keys; ++i) {
        if (!waitUntil([&] { return !tuning.transmitting(); })) {
            ++stops.missed;
            break;
        }
        program.clearWrites();
        double keyedAt = -1;
        QTimer keying;
        keying.setSingleShot(true);
        QObject::connect(&keying, &QTimer::timeout, [&] {
            keyedAt = platform.steadyMs();
            key(true);
        });
        keying.start(int(keyAfter(random)));
        const core::Long target = state.StepCounter < 500 ? 900 : 100;
        program.engine().TurnTo({target, engine::TurnOrigin::Network});
        const double endedAt = platform.steadyMs();
        // The key may come after a turn that ended first.
        (void)waitUntil([&] { return !keying.isActive(); });
        double lastStep = keyedAt;
        for (double at : program.writeTimes())
            if (at >= keyedAt && at <= endedAt)
                lastStep = std::max(lastStep, at);
        if (keyedAt < 0 || keyedAt > endedAt)
            ++stops.missed;
        else
            stops.ms.push_back(lastStep - keyedAt);
        key(false);
    }
    return stops;
}

void Print(const char* link, const std::optional<Stops>& stops, const QString& why) {
    if (!stops) {
        std::printf("  %s: not measured (%s)\n", link, qPrintable(why));
        return;
    }
    std::printf("  %s: %zu keyings, %d missed; key-down to last step p50 %.1f ms, p95 %.1f ms, "
                "max %.1f ms (at most %.0f steps of %d ms)\n",
                link, stops->ms.size(), stops->missed, bench::Quantile(stops->ms, 0.5),
                bench::Quantile(stops->ms, 0.95), bench::Quantile(stops->ms, 1),
                bench::Quantile(stops->ms, 1) / StepMs, StepMs);
}

std::optional<Stops> SimulatedFt817(int keys, QString& why) {
    const auto program = Program(1, "[rig]\nlink=simulated\n", why);
    if (!program)
        return std::nullopt;
    rig::SimulatedRig& rig = program->app().simulatedRig();
    return Measure(
        *program, [&](bool on) { rig.rig().setTransmit(on); }, keys);
}

std::optional<Stops> Ic7300(int keys, QString& why) {
    constexpr int Baud = 19200;
    constexpr int ComPort = 2;
    bench::CivBus bus(Baud, 3600000);
    if (bus.slavePath().isEmpty()) {
        why = QStringLiteral("no pseudo-terminal");
        return std::nullopt;
    }
    const auto program = Program(
        ComPort,
        QStringLiteral("[serial]\nCOM%1=%2\n[rig]\nlink=civ\n[civ]\nmodel=IC-7300\nbaud=%3\n")
            .arg(ComPort)
            .arg(bus.slavePath())
            .arg(Baud)
            .toLocal8Bit(),
        why);
    if (!program)
        return std::nullopt;
    return Measure(
        *program, [&](bool on) { bus.setTransmitting(on); }, keys);
}

std::optional<Stops> Rigctld(int keys, QString& why) {
    if (QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty()) {
        why = QStringLiteral("rigctld is not installed");
        return std::nullopt;
    }
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess daemon;
    daemon.start(QStringLiteral("rigctld"), {"-m", "1", "-P", "RIG", "-t", QString::number(port)});
    QTcpSocket keyer; // another program on the daemon
    for (int i = 0; i < 100 && keyer.state() != QAbstractSocket::ConnectedState; ++i) {
        keyer.connectToHost(QHostAddress::LocalHost, port);
        if (!keyer.waitForConnected(100))
            QThread::msleep(50);
    }
    if (keyer.state() != QAbstractSocket::ConnectedState) {
        why = QStringLiteral("rigctld did not start");
        return std::nullopt;
    }
    keyer.write("F 3600000\n");
    const auto program = Program(
        1,
        "[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=" + QByteArray::number(port) + "\n",
        why);
    std::optional<Stops> stops;
    if (program) {
        stops = Measure(
            *program,
            [&](bool on) {
                keyer.write(on ? "T 1\n" : "T 0\n");
                keyer.flush();
            },
            keys);
    }
    daemon.kill();
    daemon.waitForFinished(5000);
    return stops;
}

std::optional<Stops> Wsjtx(int keys, QString& why) {
    const quint16 port = rig_test::FreeUdpPort();
    const auto program =
        Program(1, "[rig]\nlink=wsjtx\n[wsjtx]\nport=" + QByteArray::number(port) + "\n", why);
    if (!program)
        return std::nullopt;
    QUdpSocket wsjtx;
    bool transmitting = false;
    const auto send = [&] {
        wsjtx.writeDatagram(rig_test::WsjtxStatus(3600000, "FT8", transmitting),
                            QHostAddress::LocalHost, port);
    };
    // WSJT-X tells its status on every change, and now and then all the same.
    QTimer heartbeat;
    QObject::connect(&heartbeat, &QTimer::timeout, send);
    heartbeat.start(1000);
    send();
    return Measure(
        *program,
        [&](bool on) {
            transmitting = on;
            send();
        },
        keys);
}

} // namespace

int main(int argc, char** argv) {
    bench::PrepareDisplay();
    QApplication application(argc, argv);
    const int keys =
        std::max(1, bench::Option(QCoreApplication::arguments(), QStringLiteral("--keys"), 20));
    std::printf("transmit_stop: %s, platform %s\n", qPrintable(bench::MachineLine()),
                qPrintable(QGuiApplication::platformName()));
    struct Link {
        const char* name;
        std::optional<Stops> (*measure)(int, QString&);
        std::optional<Stops> stops;
    };
    Link links[] = {{"simulated FT-817, 4800 baud", SimulatedFt817, {}},
                    {"IC-7300, CI-V at 19200 baud", Ic7300, {}},
                    {"rigctld, dummy rig", Rigctld, {}},
                    {"WSJT-X status", Wsjtx, {}}};
    double worst = 0;
    for (Link& link : links) {
        QString why;
        link.stops = link.measure(keys, why);
        Print(link.name, link.stops, why);
        if (link.stops)
            worst = std::max(worst, bench::Quantile(link.stops->ms, 1));
    }
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    std::printf("transmit: key-down to last step, worst of every link %.1f ms", worst);
    for (const Link& link : links)
        if (link.stops)
            std::printf("; %s p95 %.1f ms", link.name, bench::Quantile(link.stops->ms, 0.95));
    std::printf("\n");
    return 0;
}
