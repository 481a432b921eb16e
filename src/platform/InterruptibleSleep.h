#pragma once

#include <atomic>
#include <cstdint>

namespace platform {

// A sleep to an absolute deadline on the monotonic clock that another thread can end at once.
// A sleep is one futex wait on the interrupt flag itself: no mutex is taken around it, as a
// condition variable's wait takes one and must wake its (absent) waiters on the way out, a
// second system call at every step.
class InterruptibleSleep {
public:
    // Sleeps until deadlineNs (CLOCK_MONOTONIC, ns) or until interrupted; false when it was
    // interrupted, before the sleep or during it.
    bool sleepUntil(std::int64_t deadlineNs);
    // Ends the sleep under way and every later one until reset(); any thread may call it.
    void interrupt();
    void reset() { word_.store(0, std::memory_order_release); }
    bool interrupted() const { return word_.load(std::memory_order_acquire) != 0; }

private:
    // The futex word: 0 while sleeps run to their deadlines, 1 once interrupted.
    std::atomic<std::uint32_t> word_{0};
};

} // namespace platform
