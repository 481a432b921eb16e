#include "BenchSupport.h"

#include "app/DisplaySetup.h"
#include "core/ConfigFile.h"
#include "platform/QtPlatform.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace bench {

int Option(const QStringList& arguments, const QString& name, int fallback) {
    const qsizetype i = arguments.indexOf(name);
    return i >= 0 && i + 1 < arguments.size() ? arguments[i + 1].toInt() : fallback;
}

void PrepareDisplay() {
    app::PrepareDisplay();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

double LoadAverage() {
    double load = -1;
    if (std::FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = -1;
        std::fclose(f);
    }
    return load;
}

double CpuMs() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double Quantile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

BusyNeighbours::BusyNeighbours(int count) {
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Arithmetic over a buffer larger than the caches, for ever.
            std::vector<unsigned> buffer(1 << 20, 1);
            for (unsigned n = 0;; ++n) {
                for (unsigned& x : buffer)
                    x = x * 1664525u + n;
            }
        }
        if (pid > 0)
            pids_.push_back(pid);
    }
    // Let them get going.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
}

BusyNeighbours::~BusyNeighbours() {
    for (const pid_t pid : pids_) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
}

ProgramDirectory::ProgramDirectory(const std::function<void(core::ProgramState&)>& adjust,
                                   const Files& files) {
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/ventrolo-bench-XXXXXX"));
    dir.setAutoRemove(false);
    path_ = dir.path();
    core::ProgramState state;
    state.LoadStepperProfile();
    if (adjust)
        adjust(state);
    state.StoreStepperProfile();
    platform::QtPlatform platform;
    core::ConfigFile config(state, platform, path_);
    if (!config.SaveConfig())
        std::fprintf(stderr, "bench: could not write the configuration in %s\n", qPrintable(path_));
    for (const auto& [name, contents] : files) {
        QFile file(path_ + QLatin1Char('/') + name);
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            std::fprintf(stderr, "bench: could not write %s\n", qPrintable(file.fileName()));
    }
}

ProgramDirectory::~ProgramDirectory() {
    QDir(path_).removeRecursively();
}

QString MachineLine() {
    return QStringLiteral("%1 cores, kernel %2, load average %3")
        .arg(std::thread::hardware_concurrency())
        .arg(QSysInfo::kernelVersion())
        .arg(LoadAverage(), 0, 'f', 2);
}

} // namespace bench
