#pragma once

#include "core/CommandLine.h"

namespace headless {

// The program's start without a display (a QCoreApplication exists): the program directory,
// the single instance, the parallel port and the station, run until a signal ends it; returns
// the exit code. With --status: the running station's state is printed instead (3: none runs).
int RunHeadless(const core::CommandLineOptions& options);

} // namespace headless
