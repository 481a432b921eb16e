#pragma once

// What the benchmarks share: the machine's figures, CPU time, a busy neighbour, statistics and
// the program directory the program under test starts in.

#include "core/ProgramState.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace bench {

// The 1-minute load average, -1 when unknown.
double LoadAverage();
// CPU time (user + system) this process has used, in ms (getrusage).
double CpuMs();
// Milliseconds on the monotonic clock.
double MonotonicMs();

// The number after name on the command line (--rounds 3), fallback when it is not given.
int Option(const QStringList& arguments, const QString& name, int fallback);
// Before the application object: the display set up as the program sets it up, offscreen when
// no X server is named, so a benchmark runs anywhere.
void PrepareDisplay();

// The p-quantile (0..1) of the values, nearest rank; 0 for none.
double Quantile(std::vector<double> values, double p);
// The middle value.
inline double Median(std::vector<double> values) {
    return Quantile(std::move(values), 0.5);
}

// Processes that keep a core busy from their start to their end, as a compiler beside the
// program would: each spins on arithmetic and touches a few MB of memory.
class BusyNeighbours {
public:
    explicit BusyNeighbours(int count);
    ~BusyNeighbours();
    BusyNeighbours(const BusyNeighbours&) = delete;
    BusyNeighbours& operator=(const BusyNeighbours&) = delete;
    int count() const { return static_cast<int>(pids_.size()); }

private:
    std::vector<pid_t> pids_;
};

// Files of a program directory: name and contents.
using Files = std::vector<std::pair<QString, QByteArray>>;

// A fresh program directory under the system's temporary directory holding a Ventrolo.cfg of
// the defaults changed by adjust (the working stepper's profile is stored after it) and the
// files given. Removed by the destructor.
class ProgramDirectory {
public:
    explicit ProgramDirectory(const std::function<void(core::ProgramState&)>& adjust = {},
                              const Files& files = {});
    ~ProgramDirectory();
    ProgramDirectory(const ProgramDirectory&) = delete;
    ProgramDirectory& operator=(const ProgramDirectory&) = delete;
    const QString& path() const { return path_; }

private:
    QString path_;
};

// One line of the figures for the machine the benchmark ran on.
QString MachineLine();

} // namespace bench
