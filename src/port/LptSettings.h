#pragma once

#include "core/CommandLine.h"
#include "platform/Platform.h"

#include <QString>
#include <cstdint>

namespace port {

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
    core::LptBackendChoice backend = core::LptBackendChoice::Auto;
    LptDevicePaths devices;
    QString problem; // for the user, when a value could not be used (its default was taken)
};

// Reads [lpt] from the settings file, adding the keys that are missing or blank with their
// defaults to its end so the user finds them to edit; nothing else in the file is rewritten. A
// file that cannot be read or written gives the defaults.
LptSettings ReadLptSettings(const QString& settingsFile);

// The backend and devices to use: --lpt when given, else the settings file. A value in the file
// that cannot be used is reported through platform.
struct LptBackendOptions {
    core::LptBackendChoice choice = core::LptBackendChoice::Auto;
    LptDevicePaths devices;
    QString portLogFile; // empty: no port log
};
LptBackendOptions LptOptionsFor(const core::CommandLineOptions& commandLine,
                                const QString& settingsFile, platform::Platform& platform);

} // namespace port
