#pragma once

#include "core/CommandLine.h"
#include "core/SettingsReport.h"
#include "port/GpioPinMap.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace port {

// How the parallel port is reached: ppdev when a device opens, else simulated (Auto); always
// simulated; ppdev; direct I/O instructions; GPIO lines (a Raspberry Pi's header).
enum class LptBackend { Auto, Simulated, Ppdev, DirectIo, Gpio };
// The backend named "auto", "sim", "ppdev", "direct" or "gpio" (as --lpt and [lpt] backend=
// give it, blanks and case aside); nullopt for any other text.
std::optional<LptBackend> LptBackendFromText(const QString& text);
// Every backend's name and what it does, for --lpt and its help.
QList<core::OptionChoice> LptBackendChoices();

// The ppdev device of each standard port.
struct LptDevicePaths {
    QString port888 = QStringLiteral("/dev/parport0");
    QString port956 = QStringLiteral("/dev/parport1");
    QString port632 = QStringLiteral("/dev/parport2");

    // The device serving the data register at address; empty for any other address.
    QString forAddress(std::uint16_t address) const;
};

// What the [lpt] and [gpio] groups of Ventrolo.ini hold:
//   [lpt]
//   backend=auto          auto, sim, ppdev, direct or gpio; --lpt overrides it
//   port888=/dev/parport0
//   port956=/dev/parport1
//   port632=/dev/parport2
//   [gpio]                the lines of the gpio backend, see GpioPinMap.h
struct LptSettings {
    LptBackend backend = LptBackend::Auto;
    LptDevicePaths devices;
    GpioPinMap gpio;
    QString problem; // for the user, when the backend could not be used (auto was taken)
};

// Reads [lpt] and [gpio] from the settings file, adding the keys that are missing or blank with
// their defaults to its end so the user finds them to edit; nothing else in the file is
// rewritten. A file that cannot be read or written gives the defaults. A backend that cannot be
// used is noted in report too.
LptSettings ReadLptSettings(const QString& settingsFile, core::SettingsReport* report = nullptr);

// The backend, devices and lines to use: --lpt when given, else the settings file. A backend
// in the file that cannot be used is noted in report; a [gpio] problem is told when the gpio
// backend is opened.
struct LptBackendOptions {
    LptBackend choice = LptBackend::Auto;
    LptDevicePaths devices;
    QString portLogFile; // empty: no port log
    GpioPinMap gpio;
};
LptBackendOptions LptOptionsFor(const core::CommandLineOptions& commandLine,
                                const QString& settingsFile, core::SettingsReport& report);

} // namespace port
