#pragma once

#include "platform/InterruptibleSleep.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <time.h>

namespace platform {

// The clock a run of steps keeps its time by, in ms on the platform's steady clock. On the
// stepping thread it sleeps to absolute deadlines; run inline by a test it is the virtual clock,
// whose waits serve the program's events as the GUI thread's waits do.
class StepClock {
public:
    virtual ~StepClock() = default;
    virtual double nowMs() = 0;
    // Waits until deadlineMs for the next step; inline, the events are served meanwhile. On
    // the thread it ends early when the thread is interrupted (the run is halted).
    virtual void waitUntil(double deadlineMs) = 0;
    // The next step is due already: inline, the events are served once.
    virtual void serve() = 0;
    // Waits until deadlineMs within a step (between its pulses), to the microsecond where it
    // can: nothing else runs meanwhile.
    virtual void sleepUntil(double deadlineMs) = 0;
};

// The one thread that times steps and pulses. It runs one job at a time, handed over by the GUI
// thread, at real-time priority (SCHED_FIFO) where RLIMIT_RTPRIO allows it, else at normal
// priority with a note in the log once. Its clock sleeps to absolute deadlines
// (a futex wait between steps, clock_nanosleep within one) and spins only for the last SpinUs
// before one, where the kernel's wake-up would come too late. Its stack and the program's own code
// are locked in memory, so a step never waits for a page to come back from swap or the disk.
class SteppingThread {
public:
    // Within this of a deadline the clock spins instead of sleeping.
    static constexpr double SpinUs = 25.0;

    // originNs: the monotonic time, in ns, where the platform's steady clock counts from.
    explicit SteppingThread(std::int64_t originNs);
    ~SteppingThread();
    SteppingThread(const SteppingThread&) = delete;
    SteppingThread& operator=(const SteppingThread&) = delete;

    // Runs job on the thread; the thread must be idle (done()). onDone runs on the stepping
    // thread when the job has returned. The waits within a step (sleepUntil) always spin their
    // last SpinUs; the waits between steps only with spinBetweenSteps (a step/dir driver, whose
    // pulse spacing the first pulse of each step keeps too): at 1 ms per coil step the spin
    // would cost more of a core than it gains.
    void start(std::function<void()> job, std::function<void()> onDone, bool spinBetweenSteps);
    bool done() const { return !busy_.load(std::memory_order_acquire); }
    // Blocks until the job in hand has returned.
    void join();
    // Ends the job's wait for its next step now (not a step's pulses), so a halted run returns
    // at once rather than one step delay later. Cleared when the next job starts.
    void interrupt();

    // The clock of the thread's jobs; any thread may read it.
    StepClock& clock();

    // Whether the thread got real-time priority, and why not.
    bool realTime() const { return realTime_.load(); }
    QString priorityNote() const;

    // The CPU time the thread has used, in ms (its own clock, pthread_getcpuclockid); -1 when
    // the system gives none.
    double cpuMs() const;

private:
    class Clock;
    void main();
    void raisePriority();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::unique_ptr<Clock> clock_;
    std::function<void()> job_;
    std::function<void()> onDone_;
    std::atomic<bool> busy_{false};
    std::atomic<bool> spinBetweenSteps_{false};
    InterruptibleSleep betweenSteps_; // the waits for the next step, which interrupt() ends
    std::atomic<bool> realTime_{false};
    bool quit_ = false;
    QString priorityNote_;
    clockid_t cpuClock_{};
    bool hasCpuClock_ = false;
    std::thread thread_; // last: starts once everything above is there
};

} // namespace platform
