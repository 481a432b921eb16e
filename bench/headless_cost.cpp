// What the program costs without a display, measured on the real binary from outside: started
// as a service starts it (--headless --lpt sim, no display in its environment), following the
// rig through the table over a rigctld link that accepts and never answers, with the rotator
// server on. The figures: the time from the process start to the rotator server accepting a
// connection (the middle of --starts (5) starts after one that warms the caches), the CPU time
// per second of wall-clock time over --idle-seconds (20) with nothing to do, the resident memory
// after that, and the CPU time per second while turning at 1 ms per step for --turn-seconds (10),
// the turns driven over the rotator server (the rig answering by then: a rig silent during a turn
// may have begun to transmit, and the turn stops). CPU time is the sum of the threads' run time
// (/proc/PID/task/*/schedstat, in ns), or the process's utime + stime (/proc/PID/stat, in clock
// ticks) when a thread ended meanwhile.
//
//   build/dev/bench/headless_cost [--starts N] [--idle-seconds S] [--turn-seconds S]
//                                 [--program build/dev/src/app/ventrolo]
#include "BenchSupport.h"
#include "HeadlessProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <optional>
#include <thread>
#include <unistd.h>

namespace {

using bench::Between;
using bench::Headless;
using bench::PrintThreads;
using bench::ReadProc;
using bench::Spent;
using bench::StatusMb;
using bench::Usage;
using bench::UsageOf;

constexpr double GiveUpMs = Headless::GiveUpMs;
// Degrees of one turn, and the steps a full circle has: 4000 steps a turn, some 4 s at 1 ms.
constexpr double TurnDegrees = 180;
constexpr int StepsPer360 = 8000;
// How often the client asks where the rotator is while it turns.
constexpr int PositionPollMs = 100;

quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Waits ms, serving this process's events (the silent rig's connections) meanwhile.
void Serve(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// A rigctld that takes connections and what is sent on them and never answers, or, once
// answering(), answers as a receiving rig on 7100 kHz would.
class BenchRigctld {
public:
    BenchRigctld() {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections_;
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket] { serve(*socket); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket,
                                 &QObject::deleteLater);
            }
        });
    }
    quint16 port() const { return server_.serverPort(); }
    int connections() const { return connections_; }
    qint64 bytes() const { return bytes_; }
    int answered() const { return answered_; }
    // From now on it answers; the connections so far, whose questions went unanswered, end.
    void answering() {
        answering_ = true;
        for (QTcpSocket* socket : server_.findChildren<QTcpSocket*>())
            socket->disconnectFromHost();
    }

private:
    void serve(QTcpSocket& socket) {
        if (!answering_) {
            bytes_ += socket.readAll().size();
            return;
        }
        while (socket.canReadLine()) {
            const QByteArray line = socket.readLine().trimmed();
            bytes_ += line.size() + 1;
            ++answered_;
            if (line == "f")
                socket.write("7100000\n");
            else if (line == "m")
                socket.write("USB\n2400\n");
            else if (line == "t")
                socket.write("0\n");
            else if (line == "l STRENGTH")
                socket.write("-20\n");
            else
                socket.write("RPRT 0\n");
        }
    }

    QTcpServer server_;
    bool answering_ = false;
    int connections_ = 0;
    int answered_ = 0;
    qint64 bytes_ = 0;
};

// This machine's price of waking every periodMs for seconds and doing nothing else, on a
// thread of this process sleeping to absolute deadlines, in % of one core.
double WakeFloorPercent(double periodMs, double seconds) {
    double percent = 0;
    std::thread sleeper([&] {
        const auto threadMs = [] {
            timespec used{};
            ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
            return static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6;
        };
        const double cpu = threadMs();
        const double wall = bench::MonotonicMs();
        timespec deadline{};
        ::clock_gettime(CLOCK_MONOTONIC, &deadline);
        const auto periodNs = static_cast<long>(periodMs * 1e6);
        for (int i = 0; i < static_cast<int>(seconds * 1000 / periodMs); ++i) {
            deadline.tv_nsec += periodNs;
            deadline.tv_sec += deadline.tv_nsec / 1000000000;
            deadline.tv_nsec %= 1000000000;
            ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr);
        }
        percent = (threadMs() - cpu) / (bench::MonotonicMs() - wall) * 100;
    });
    sleeper.join();
    return percent;
}

// A rotctld client on one connection, plain answers.
class RotatorClient {
public:
    bool connect(quint16 port) {
        socket_.connectToHost(QHostAddress::LocalHost, port);
        return socket_.waitForConnected(5000);
    }
    // The lines of the answer to command, which has lines of answer on success.
    QList<QByteArray> ask(const QByteArray& command, int lines) {
        socket_.write(command + '\n');
        socket_.flush();
        QList<QByteArray> answer;
        while (answer.size() < lines) {
            while (!socket_.canReadLine()) {
                if (!socket_.waitForReadyRead(5000))
                    return answer;
            }
            answer << socket_.readLine().trimmed();
            if (answer.back().startsWith("RPRT"))
                break;
        }
        return answer;
    }

private:
    QTcpSocket socket_;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int starts = std::max(1, bench::Option(arguments, QStringLiteral("--starts"), 5));
    const int idleSeconds =
        std::max(1, bench::Option(arguments, QStringLiteral("--idle-seconds"), 20));
    const int turnSeconds =
        std::max(1, bench::Option(arguments, QStringLiteral("--turn-seconds"), 10));
    const QString program = bench::ProgramUnderTest(arguments);
    std::printf("headless_cost: %s\n", qPrintable(bench::MachineLine()));

    BenchRigctld rig;
    const quint16 rotctldPort = FreePort();
    // Following the rig through a table of two rows at 1 ms per step, the rotator server on.
    const bench::ProgramDirectory directory(
        [](core::ProgramState& s) {
            s.PcSpeed = 1000;
            s.MinPosition = 0;
            s.MaxPosition = StepsPer360;
            s.StepsPer360 = StepsPer360;
            s.CustomDelayMs = 1;
            s.FastestDelayMs = 1;
            s.TableWindowShown = true;
        },
        {{QStringLiteral("Ventrolo.ini"),
          QStringLiteral("[rig]\nlink=rigctld\n[rigctld]\nhost=127.0.0.1\nport=%1\n"
                         "[rotctld]\nenabled=true\nport=%2\n")
              .arg(rig.port())
              .arg(rotctldPort)
              .toUtf8()},
         {QStringLiteral("Table.cat"), "\"Ventrolo.Version 1.24\"\r\n0,500,\"0:200:0\"\r\n"
                                       "7000,100,\"\"\r\n7200,300,\"\"\r\n"}});
    const QString log = directory.path() + QStringLiteral("/headless.log");
    const auto fail = [&](const char* why) {
        std::printf("  %s; what it said:\n%s\n", why, ReadProc(log).constData());
        std::printf("\nheadless: start n/a ms, idle n/a%% of a core, resident n/a MB, turning "
                    "n/a%% of a core (%s)\n",
                    why);
        return 1;
    };

    // Start to serving.
    std::printf("\nstart to the rotator server accepting a connection:\n");
    std::vector<double> startMs;
    for (int run = 0; run <= starts; ++run) {
        Headless headless(program, directory.path());
        const std::optional<double> serving = headless.start(rotctldPort);
        if (!serving)
            return fail("the rotator server did not accept a connection");
        const std::optional<double> ended = headless.stop();
        std::printf("  start %d%s: serving after %.1f ms, ended %s after SIGTERM\n", run,
                    run == 0 ? " (warming up, not counted)" : "", *serving,
                    ended ? qPrintable(QStringLiteral("%1 ms").arg(*ended, 0, 'f', 0))
                          : "only when killed");
        if (run > 0)
            startMs.push_back(*serving);
    }

    Headless headless(program, directory.path());
    if (!headless.start(rotctldPort))
        return fail("the rotator server did not accept a connection");
    const qint64 pid = headless.pid();
    Serve(2000); // the link opened, the first questions asked

    // Idle: following a rig that never answers, the server open, nothing to turn.
    const int connectionsBefore = rig.connections();
    const qint64 bytesBefore = rig.bytes();
    const Usage idleBefore = UsageOf(pid);
    const double idleStart = bench::MonotonicMs();
    Serve(idleSeconds * 1000);
    const Usage idleAfter = UsageOf(pid);
    const double idleWallMs = bench::MonotonicMs() - idleStart;
    const Spent idleSpent = Between(idleBefore, idleAfter);
    const double idle = idleSpent.ms / idleWallMs * 100;
    const double idleStat = (idleAfter.statMs - idleBefore.statMs) / idleWallMs * 100;
    std::printf("\nidle for %.1f s, following a rig that never answers, the rotator server "
                "open:\n",
                idleWallMs / 1000);
    std::printf("  %.3f%% of a core (%.3f ms of CPU/s; utime + stime %.2f%%, to a clock tick)%s\n",
                idle, idleSpent.ms / (idleWallMs / 1000), idleStat,
                idleSpent.fine ? "" : "; a thread ended meanwhile, the figure is utime + stime");
    PrintThreads(idleBefore, idleAfter, idleWallMs / 1000);
    std::printf("  the rig link: %d connections made, %lld bytes asked, never answered\n",
                rig.connections() - connectionsBefore,
                static_cast<long long>(rig.bytes() - bytesBefore));
    const double residentMb = StatusMb(pid, "VmRSS");
    std::printf("  resident %.1f MB (peak %.1f MB), %lld threads\n", residentMb,
                StatusMb(pid, "VmHWM"), static_cast<long long>(idleAfter.threadMs.size()));

    // Turning: half a circle and back, over and over, at 1 ms per step, the rig answering from
    // now on as a receiving rig on the table's frequency.
    rig.answering();
    // Connected again (a daemon that failed is tried ever less often, up to every 32 s), read,
    // and the stepper where the table has the frequency.
    for (int waited = 0; waited < 40000 && rig.answered() < 3; waited += 500)
        Serve(500);
    Serve(3000);
    RotatorClient client;
    if (!client.connect(rotctldPort))
        return fail("the rotator server did not take the client");
    std::printf("\nthe rig answering from now on: %d questions answered; the rotator at "
                "%s degrees\n",
                rig.answered(), client.ask("p", 2).value(0).constData());
    // For comparison: idle as the station usually is, the rig answering and a client connected.
    const Usage answeredBefore = UsageOf(pid);
    const double answeredStart = bench::MonotonicMs();
    Serve(idleSeconds * 500);
    const Usage answeredAfter = UsageOf(pid);
    const double answeredWallMs = bench::MonotonicMs() - answeredStart;
    std::printf("idle for %.1f s with the rig answering and a client connected: %.3f%% of a "
                "core\n",
                answeredWallMs / 1000,
                Between(answeredBefore, answeredAfter).ms / answeredWallMs * 100);
    PrintThreads(answeredBefore, answeredAfter, answeredWallMs / 1000);
    std::printf("turning %.0f degrees (%.0f steps) at a time at 1 ms per step, asked for the "
                "position every %d ms:\n",
                TurnDegrees, TurnDegrees / 360 * StepsPer360, PositionPollMs);
    double turningCpuMs = 0;
    double turningWallMs = 0;
    bool turningFine = true;
    Usage turningFirst;
    for (int turn = 0; turningWallMs < turnSeconds * 1000.0; ++turn) {
        const double target = turn % 2 ? 0 : TurnDegrees;
        const Usage before = UsageOf(pid);
        const double started = bench::MonotonicMs();
        if (turn == 0)
            turningFirst = before;
        const QList<QByteArray> answer =
            client.ask(QByteArrayLiteral("P ") + QByteArray::number(target) + " 0", 1);
        if (answer.value(0) != "RPRT 0")
            return fail("the rotator server refused the turn");
        double azimuth = -1;
        while (azimuth != target && bench::MonotonicMs() - started < 2 * GiveUpMs) {
            Serve(PositionPollMs);
            azimuth = client.ask("p", 2).value(0).toDouble();
        }
        const double wallMs = bench::MonotonicMs() - started;
        if (azimuth != target)
            return fail("the rotator did not arrive");
        const Spent spent = Between(before, UsageOf(pid));
        turningFine = turningFine && spent.fine;
        turningCpuMs += spent.ms;
        turningWallMs += wallMs;
        std::printf("  to %3.0f degrees in %.2f s: %.2f%% of a core\n", target, wallMs / 1000,
                    spent.ms / wallMs * 100);
    }
    const Usage turningLast = UsageOf(pid);
    const double turning = turningCpuMs / turningWallMs * 100;
    std::printf("  %.2f%% of a core over %.1f s of turning%s\n", turning, turningWallMs / 1000,
                turningFine ? "" : " (utime + stime: a thread ended meanwhile)");
    PrintThreads(turningFirst, turningLast, turningWallMs / 1000);

    const std::optional<double> ended = headless.stop();
    std::printf("\nended %s after SIGTERM, exit code %d\n",
                ended ? qPrintable(QStringLiteral("%1 ms").arg(*ended, 0, 'f', 0))
                      : "only when killed",
                headless.exitCode());
    const double everyMs = WakeFloorPercent(1, 3);
    const double everyQuarter = WakeFloorPercent(250, 10);
    std::printf("this machine's price of a thread waking and doing nothing else: every ms "
                "%.2f%% of a core (%.1f us a wake), every 250 ms %.4f%% (%.1f us a wake)\n",
                everyMs, everyMs * 10, everyQuarter, everyQuarter * 2500);
    std::printf("load average at the end %.2f\n\n", bench::LoadAverage());
    std::printf("headless: start %.0f ms, idle %.3f%% of a core, resident %.1f MB, turning "
                "%.2f%% of a core\n",
                bench::Median(startMs), idle, residentMb, turning);
    return 0;
}
