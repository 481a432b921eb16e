#include "platform/InterruptibleSleep.h"

#include <climits>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
                  std::atomic<std::uint32_t>::is_always_lock_free,
              "the futex word is the atomic's own storage");

constexpr std::int64_t SleepNsPerSecond = 1'000'000'000;

bool Reached(std::int64_t deadlineNs) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * SleepNsPerSecond + now.tv_nsec >= deadlineNs;
}

std::uint32_t* FutexWord(std::atomic<std::uint32_t>& word) {
    return reinterpret_cast<std::uint32_t*>(&word);
}

} // namespace

bool InterruptibleSleep::sleepUntil(std::int64_t deadlineNs) {
    const timespec at{static_cast<time_t>(deadlineNs / SleepNsPerSecond),
                      static_cast<long>(deadlineNs % SleepNsPerSecond)};
    // FUTEX_WAIT_BITSET takes an absolute deadline on CLOCK_MONOTONIC. The kernel sleeps only
    // while the word is still 0, so an interrupt between the check and the wait is not lost.
    // It also returns early on a signal (EINTR) or a stray wake: the loop sleeps on.
    while (!interrupted() && !Reached(deadlineNs))
        ::syscall(SYS_futex, FutexWord(word_), FUTEX_WAIT_BITSET | FUTEX_PRIVATE_FLAG, 0, &at,
                  nullptr, FUTEX_BITSET_MATCH_ANY);
    return !interrupted();
}

void InterruptibleSleep::interrupt() {
    word_.store(1, std::memory_order_release);
    ::syscall(SYS_futex, FutexWord(word_), FUTEX_WAKE | FUTEX_PRIVATE_FLAG, INT_MAX, nullptr,
              nullptr, 0);
}

} // namespace platform
