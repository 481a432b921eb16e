#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"

namespace engine {

// Counts the passes of a tight loop that reads the steady clock until one second has passed
// (PcSpeed). The window does not react meanwhile. Ends also on a clock that stands still: at
// the largest count a Long holds.
core::Long CountLoopPassesInOneSecond(const platform::Platform& platform);

} // namespace engine
