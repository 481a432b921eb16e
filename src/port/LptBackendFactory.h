#pragma once

#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/LptSettings.h"

#include <memory>

namespace port {

class SimulatedLpt;

// Chooses and opens the parallel-port backend:
//   auto   ppdev when at least one device opens, else the simulated port (no message)
//   sim    the simulated port
//   ppdev  ppdev; when no device opens, one message says why and the simulated port is used
//   direct I/O instructions (root, x86); when unavailable, one message and the simulated port
//   gpio   the GPIO lines of [gpio]; when they cannot be had, one message and the simulated port
// With a port-log file the backend is wrapped so every data write is logged; the port returned
// serializes the threads' accesses. Failures later
// in the run (a device gone, the log full) are told once through platform, which must outlive
// the returned port. Never returns null.
std::unique_ptr<platform::LptPort> CreateLptBackend(const LptBackendOptions& options,
                                                    platform::Platform& platform);

// The simulated port behind port (also when it is wrapped by a port log), or null when port
// drives hardware. Lets the input simulation hold pins on the simulated status register.
SimulatedLpt* SimulatedBackend(platform::LptPort& port);

} // namespace port
