#include "HeadlessProcess.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTcpSocket>
#include <QThread>
#include <cstdio>
#include <unistd.h>

namespace bench {

QString ProgramUnderTest(const QStringList& arguments) {
    QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../src/app/ventrolo");
    if (const qsizetype i = arguments.indexOf(QStringLiteral("--program"));
        i >= 0 && i + 1 < arguments.size())
        program = arguments[i + 1];
    return QFileInfo(program).absoluteFilePath();
}

QByteArray ReadProc(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Usage UsageOf(qint64 pid) {
    Usage usage;
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    // The fields after the command's name, which may hold blanks and parentheses.
    const QByteArray stat = ReadProc(proc + QStringLiteral("/stat"));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() > 12) {
        const double tick = 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
        usage.statMs = (fields[11].toDouble() + fields[12].toDouble()) * tick; // utime, stime
    }
    const QDir tasks(proc + QStringLiteral("/task"));
    for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString task = tasks.filePath(tid);
        const QByteArray runNs = ReadProc(task + QStringLiteral("/schedstat")).split(' ').value(0);
        if (runNs.isEmpty())
            continue;
        usage.threadMs[tid.toInt()] = runNs.toDouble() / 1e6;
        usage.threadNames[tid.toInt()] = ReadProc(task + QStringLiteral("/comm")).trimmed();
        qint64 wakes = 0;
        for (const QByteArray& line : ReadProc(task + QStringLiteral("/status")).split('\n')) {
            if (line.startsWith("voluntary_ctxt_switches:") ||
                line.startsWith("nonvoluntary_ctxt_switches:"))
                wakes += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
        }
        usage.threadWakes[tid.toInt()] = wakes;
    }
    return usage;
}

double StatusMb(qint64 pid, const QByteArray& key) {
    for (const QByteArray& line : ReadProc(QStringLiteral("/proc/%1/status").arg(pid)).split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

Spent Between(const Usage& before, const Usage& after) {
    Spent spent{0, true};
    for (auto it = before.threadMs.begin(); it != before.threadMs.end(); ++it) {
        if (!after.threadMs.contains(it.key()))
            return {after.statMs - before.statMs, false};
    }
    for (auto it = after.threadMs.begin(); it != after.threadMs.end(); ++it)
        spent.ms += it.value() - before.threadMs.value(it.key());
    return spent;
}

void PrintThreads(const Usage& before, const Usage& after, double seconds) {
    for (auto it = after.threadMs.begin(); it != after.threadMs.end(); ++it) {
        const int tid = it.key();
        std::printf("    thread %-16s %7.3f ms of CPU/s, %6.1f wakes/s\n",
                    after.threadNames.value(tid).constData(),
                    (it.value() - before.threadMs.value(tid)) / seconds,
                    static_cast<double>(after.threadWakes.value(tid) -
                                        before.threadWakes.value(tid)) /
                        seconds);
    }
}

Headless::Headless(const QString& program, const QString& directory) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process_.setProcessEnvironment(environment);
    process_.setProgram(program);
    process_.setArguments({QStringLiteral("--headless"), QStringLiteral("--lpt"),
                           QStringLiteral("sim"), QStringLiteral("--dir"), directory});
    process_.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    process_.setStandardErrorFile(directory + QStringLiteral("/headless.log"),
                                  QIODevice::Append);
}

std::optional<double> Headless::start(quint16 port) {
    const double started = bench::MonotonicMs();
    process_.start();
    if (!process_.waitForStarted(static_cast<int>(GiveUpMs)))
        return std::nullopt;
    while (bench::MonotonicMs() - started < GiveUpMs &&
           process_.state() == QProcess::Running) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(100))
            return bench::MonotonicMs() - started;
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
    return std::nullopt;
}

std::optional<double> Headless::stop() {
    if (process_.state() == QProcess::NotRunning)
        return 0.0;
    const double asked = bench::MonotonicMs();
    process_.terminate();
    if (process_.waitForFinished(static_cast<int>(GiveUpMs)))
        return bench::MonotonicMs() - asked;
    process_.kill();
    process_.waitForFinished();
    return std::nullopt;
}

} // namespace bench
