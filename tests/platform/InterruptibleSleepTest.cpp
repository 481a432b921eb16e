// The stepping thread's wait between steps: it ends at its deadline, never before, and at once
// when another thread interrupts it, also when the interrupt came before the wait began.
#include "platform/InterruptibleSleep.h"

#include <ctime>
#include <future>
#include <gtest/gtest.h>

namespace {

std::int64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

constexpr std::int64_t Ms = 1'000'000;
// Far enough away that a sleep ending on its own would hang the test.
constexpr std::int64_t Hour = 3'600'000 * Ms;

TEST(InterruptibleSleep, endsAtItsDeadline_neverBefore_andAtOnceForOneGoneBy) {
    platform::InterruptibleSleep sleep;
    for (const std::int64_t restNs : {Ms, 5 * Ms, 20 * Ms}) {
        const std::int64_t deadline = NowNs() + restNs;
        EXPECT_TRUE(sleep.sleepUntil(deadline));
        EXPECT_GE(NowNs(), deadline) << restNs;
    }
    EXPECT_TRUE(sleep.sleepUntil(NowNs() - Ms));
    EXPECT_TRUE(sleep.sleepUntil(0));
}

TEST(InterruptibleSleep, anInterruptFromAnotherThread_endsALongSleep) {
    platform::InterruptibleSleep sleep;
    std::promise<void> sleeping;
    auto slept = std::async(std::launch::async, [&] {
        sleeping.set_value();
        return sleep.sleepUntil(NowNs() + Hour);
    });
    sleeping.get_future().wait();
    // Whether the interrupt comes before the wait begins or during it, the wait ends.
    sleep.interrupt();
    EXPECT_FALSE(slept.get());
    EXPECT_TRUE(sleep.interrupted());
}

TEST(InterruptibleSleep, anInterruptHoldsForEveryLaterSleep_untilReset) {
    platform::InterruptibleSleep sleep;
    sleep.interrupt();
    EXPECT_FALSE(sleep.sleepUntil(NowNs() + Hour));
    EXPECT_FALSE(sleep.sleepUntil(NowNs() + Hour));
    sleep.reset();
    EXPECT_FALSE(sleep.interrupted());
    const std::int64_t deadline = NowNs() + 2 * Ms;
    EXPECT_TRUE(sleep.sleepUntil(deadline));
    EXPECT_GE(NowNs(), deadline);
}

} // namespace
