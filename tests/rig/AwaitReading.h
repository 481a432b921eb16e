#pragma once

#include "platform/Platform.h"
#include "rig/CatControl.h"

#include <gtest/gtest.h>
#include <optional>

namespace rig_test {

// Asks for an answer that is told once, later or at once, and lets the platform's clock run
// (virtual or real, events served) until it is told; a request left unanswered for longer than
// any exchange takes fails the test.
template <typename Answer, typename Ask>
Answer AwaitAnswer(platform::Platform& platform, Ask ask, Answer unanswered = {}) {
    constexpr double LongestMs = 20000;
    std::optional<Answer> told;
    ask([&told](const Answer& answer) { told = answer; });
    const double giveUpAt = platform.steadyMs() + LongestMs;
    while (!told && platform.steadyMs() < giveUpAt)
        platform.waitUntil(platform.steadyMs() + 1, true);
    EXPECT_TRUE(told) << "the answer was never told";
    return told.value_or(unanswered);
}

// A reading of cat (read: &rig::CatControl::ReadRigFrequency, CheckRigFrequency,
// ReadTransmitState) asked for and waited for.
inline rig::RigReading AwaitReading(platform::Platform& platform, rig::CatControl& cat,
                                    void (rig::CatControl::*read)(rig::CatControl::Told)) {
    return AwaitAnswer<rig::RigReading>(
        platform, [&](rig::CatControl::Told told) { (cat.*read)(std::move(told)); });
}

inline std::optional<float> AwaitSMeter(platform::Platform& platform, rig::CatControl& cat) {
    return AwaitAnswer<std::optional<float>>(platform,
                                             [&](auto told) { cat.ReadSMeter(std::move(told)); });
}

// Lets the clock run until what cat queued for the line is written and the rig has settled.
inline void AwaitLineIdle(platform::Platform& platform, rig::CatControl& cat) {
    const double giveUpAt = platform.steadyMs() + 20000;
    while (!cat.lineIdle() && platform.steadyMs() < giveUpAt)
        platform.waitUntil(platform.steadyMs() + 1, true);
    EXPECT_TRUE(cat.lineIdle()) << "the line never came to rest";
}

} // namespace rig_test
