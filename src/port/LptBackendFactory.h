#pragma once

#include "platform/LptPort.h"
#include "platform/Platform.h"
#include "port/LptSettings.h"

#include <memory>

namespace port {

// Chooses and opens the parallel-port backend:
//   auto   ppdev when at least one device opens, else the simulated port (no message)
//   sim    the simulated port
//   ppdev  ppdev; when no device opens, one message says why and the simulated port is used
//   direct I/O instructions (root, x86); when unavailable, one message and the simulated port
// With a port-log file the backend is wrapped so every data write is logged. Failures later
// in the run (a device gone, the log full) are told once through platform, which must outlive
// the returned port. Never returns null.
std::unique_ptr<platform::LptPort> CreateLptBackend(const LptBackendOptions& options,
                                                    platform::Platform& platform);

} // namespace port
