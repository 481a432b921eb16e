#pragma once

// The program under test as a process of its own, started as a service starts it, and what it
// and its threads cost, read from /proc.

#include <QByteArray>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <optional>

namespace bench {

// The program binary to start: --program's path, else the one built beside the benchmark.
QString ProgramUnderTest(const QStringList& arguments);

// A file of /proc (or any file) whole; empty when it cannot be read.
QByteArray ReadProc(const QString& path);

// What the process and its threads have used so far.
struct Usage {
    double statMs = 0;             // utime + stime of the process, every thread it had
    QMap<int, double> threadMs;    // run time per thread alive now
    QMap<int, qint64> threadWakes; // context switches per thread alive now
    QMap<int, QByteArray> threadNames;
};
Usage UsageOf(qint64 pid);

// A line of /proc/PID/status in MB ("VmRSS").
double StatusMb(qint64 pid, const QByteArray& key);

// The CPU time between two readings, in ms: the threads' run time while they all lived,
// else the coarser time of the process.
struct Spent {
    double ms = 0;
    bool fine = false; // from the threads' run time
};
Spent Between(const Usage& before, const Usage& after);

// What each thread did between two readings, per second: run time and wakes.
void PrintThreads(const Usage& before, const Usage& after, double seconds);

// The program under test, started headless (--headless --lpt sim, no display in its
// environment) in a program directory; its log goes to headless.log there.
class Headless {
public:
    static constexpr double GiveUpMs = 10000;

    Headless(const QString& program, const QString& directory);
    ~Headless() { stop(); }

    // Starts it and waits until a server of it on port accepts a connection: the ms from the
    // start to then, nullopt when it did not within GiveUpMs.
    std::optional<double> start(quint16 port);
    // SIGTERM; the ms until it ended, nullopt when it had to be killed.
    std::optional<double> stop();
    qint64 pid() const { return process_.processId(); }
    int exitCode() const { return process_.exitCode(); }

private:
    QProcess process_;
};

} // namespace bench
