#pragma once

#include "core/CommandLine.h"
#include "platform/Platform.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace port {

// How the parallel port is reached: ppdev when a device opens, else simulated (Auto); always
// simulated; ppdev; direct I/O instructions.
enum class LptBackend { Auto, Simulated, Ppdev, DirectIo };
// "auto", "sim", "ppdev" or "direct" (as --lpt and [lpt] backend= give it); nullopt for any
// other text.
std::optional<LptBackend> LptBackendFromText(const QString& text);

// The ppdev device of each standard port.
struct LptDevicePaths {
    QString port888 = QStringLiteral("/dev/parport0");
    QString port956 = QStringLiteral("/dev/parport1");
    QString port632 = QStringLiteral("/dev/parport2");

    // The device serving the data register at address; empty for any other address.
    QString forAddress(std::uint16_t address) const;
};

// What the [lpt] group of Ventrolo.ini holds:
//   [lpt]
//   backend=auto          auto, sim, ppdev or direct; --lpt overrides it
//   port888=/dev/parport0
//   port956=/dev/parport1
//   port632=/dev/parport2
struct LptSettings {
    LptBackend backend = LptBackend::Auto;
    LptDevicePaths devices;
    QString problem; // for the user, when a value could not be used (its default was taken)
};

// Reads [lpt] from the settings file, adding the keys that are missing or blank with their
// defaults to its end so the user finds them to edit; nothing else in the file is rewritten. A
// file that cannot be read or written gives the defaults.
LptSettings ReadLptSettings(const QString& settingsFile);

// The backend and devices to use: --lpt when given (checked by the caller with
// LptBackendFromText), else the settings file. A value in the file that cannot be used is
// reported through platform.
struct LptBackendOptions {
    LptBackend choice = LptBackend::Auto;
    LptDevicePaths devices;
    QString portLogFile; // empty: no port log
};
LptBackendOptions LptOptionsFor(const core::CommandLineOptions& commandLine,
                                const QString& settingsFile, platform::Platform& platform);

} // namespace port
