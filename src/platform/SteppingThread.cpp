#include "platform/SteppingThread.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>
#include <link.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>

namespace platform {

Q_LOGGING_CATEGORY(lcStepping, "ventrolo.platform.stepping")

namespace {

constexpr std::int64_t NsPerSecond = 1'000'000'000;
// The stepping thread asks for no more: the kernel's own threads stay above it.
constexpr int HighestPriority = 40;
// The stack a step needs, touched and locked at start.
constexpr std::size_t LockedStackBytes = 64 * 1024;

std::int64_t MonotonicNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * NsPerSecond + now.tv_nsec;
}

void LockStack() {
    // Touched first, so every page is there to lock; a failure (RLIMIT_MEMLOCK) only costs the
    // guarantee.
    volatile unsigned char stack[LockedStackBytes];
    std::memset(const_cast<unsigned char*>(stack), 0, sizeof stack);
    ::mlock(const_cast<unsigned char*>(stack), sizeof stack);
}

// The program's own machine code (not the shared libraries'): a step runs through it, and a page
// of it the kernel dropped for room is read back from the disk in the middle of a turn, the step
// late by as long (hundreds of ms from an SD card). A few MB, within the memlock limit every
// user has; a failure only costs the guarantee.
void LockProgramCode() {
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void*) {
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const ElfW(Phdr)& segment = info->dlpi_phdr[i];
                if (segment.p_type == PT_LOAD && (segment.p_flags & PF_X) != 0)
                    ::mlock(reinterpret_cast<void*>(info->dlpi_addr + segment.p_vaddr),
                            segment.p_memsz);
            }
            return 1; // the program comes first; the libraries after it are left
        },
        nullptr);
}

} // namespace

class SteppingThread::Clock final : public StepClock {
public:
    Clock(SteppingThread& thread, std::int64_t originNs) : thread_(thread), originNs_(originNs) {}

    double nowMs() override { return static_cast<double>(MonotonicNs() - originNs_) / 1.0e6; }
    void waitUntil(double deadlineMs) override {
        const std::int64_t until = deadlineNs(deadlineMs);
        const std::int64_t spinNs =
            thread_.spinBetweenSteps_.load() ? static_cast<std::int64_t>(SpinUs * 1000) : 0;
        if (!thread_.betweenSteps_.sleepUntil(until - spinNs))
            return;
        spinUntil(until);
    }
    void serve() override {}
    void sleepUntil(double deadlineMs) override {
        const std::int64_t until = deadlineNs(deadlineMs);
        const std::int64_t sleepUntilNs = until - static_cast<std::int64_t>(SpinUs * 1000);
        if (MonotonicNs() < sleepUntilNs) {
            const timespec at{static_cast<time_t>(sleepUntilNs / NsPerSecond),
                              static_cast<long>(sleepUntilNs % NsPerSecond)};
            while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
            }
        }
        spinUntil(until);
    }

private:
    // Rounded up: a wait never ends before its deadline.
    std::int64_t deadlineNs(double deadlineMs) const {
        return originNs_ + static_cast<std::int64_t>(std::ceil(deadlineMs * 1.0e6));
    }
    static void spinUntil(std::int64_t until) {
        while (MonotonicNs() < until) {
        }
    }

    SteppingThread& thread_;
    std::int64_t originNs_;
};

SteppingThread::SteppingThread(std::int64_t originNs)
    : clock_(std::make_unique<Clock>(*this, originNs)), thread_([this] { main(); }) {
    hasCpuClock_ = ::pthread_getcpuclockid(thread_.native_handle(), &cpuClock_) == 0;
}

StepClock& SteppingThread::clock() {
    return *clock_;
}

SteppingThread::~SteppingThread() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void SteppingThread::start(std::function<void()> job, std::function<void()> onDone,
                           bool spinBetweenSteps) {
    spinBetweenSteps_ = spinBetweenSteps;
    {
        const std::lock_guard lock(mutex_);
        job_ = std::move(job);
        onDone_ = std::move(onDone);
        betweenSteps_.reset();
        busy_.store(true, std::memory_order_release);
    }
    wake_.notify_one();
}

void SteppingThread::interrupt() {
    betweenSteps_.interrupt();
}

void SteppingThread::join() {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [this] { return !busy_.load(std::memory_order_acquire); });
}

QString SteppingThread::priorityNote() const {
    const std::lock_guard lock(mutex_);
    return priorityNote_;
}

double SteppingThread::cpuMs() const {
    timespec used{};
    if (!hasCpuClock_ || ::clock_gettime(cpuClock_, &used) != 0)
        return -1;
    return static_cast<double>(used.tv_sec) * 1.0e3 + static_cast<double>(used.tv_nsec) / 1.0e6;
}

void SteppingThread::raisePriority() {
    rlimit limit{};
    const bool root = ::geteuid() == 0;
    int priority = HighestPriority;
    if (!root && ::getrlimit(RLIMIT_RTPRIO, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        priority = std::min<int>(priority, static_cast<int>(limit.rlim_cur));
    QString note;
    if (priority < 1) {
        note = QStringLiteral("Steps are timed at normal priority: real-time priority is not "
                              "allowed (RLIMIT_RTPRIO is 0: a login needs the ventrolo group, "
                              "a service LimitRTPRIO=40; see the README).");
    } else {
        const sched_param param{priority};
        const int error = ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &param);
        if (error == 0)
            realTime_ = true;
        else
            note = QStringLiteral("Steps are timed at normal priority: real-time priority was "
                                  "refused (%1).")
                       .arg(QString::fromLocal8Bit(std::strerror(error)));
    }
    if (!note.isEmpty())
        qCInfo(lcStepping).noquote() << note;
    else
        qCInfo(lcStepping) << "steps are timed at real-time priority" << priority;
    const std::lock_guard lock(mutex_);
    priorityNote_ = note;
}

void SteppingThread::main() {
    ::prctl(PR_SET_NAME, "ventrolo-step", 0, 0, 0);
    // Deadlines are kept to the kernel's latency, not 50 us later.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    raisePriority();
    LockStack();
    LockProgramCode();
    for (;;) {
        std::function<void()> job;
        std::function<void()> onDone;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || job_; });
            if (quit_ && !job_)
                return;
            job = std::move(job_);
            onDone = std::move(onDone_);
            job_ = nullptr;
        }
        job();
        {
            const std::lock_guard lock(mutex_);
            busy_.store(false, std::memory_order_release);
        }
        finished_.notify_all();
        if (onDone)
            onDone();
    }
}

} // namespace platform
