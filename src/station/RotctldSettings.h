#pragma once

#include "core/SettingsReport.h"

#include <QHostAddress>
#include <QString>
#include <optional>

namespace station {

// The [rotctld] group of Ventrolo.ini:
//   [rotctld]
//   enabled=false       the rotator server runs (also the main window's menu check item)
//   port=4533
//   address=127.0.0.1   where it listens; 0.0.0.0 for every network
//   park=               the azimuth (degrees) a client's park turns to; blank: the lower limit
struct RotctldSettings {
    bool enabled = false;
    quint16 port = 4533;
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    std::optional<double> parkAzimuth; // degrees, finite; nullopt: the lower limit
    QString problem; // for the user, when a value could not be used (its default was taken)
};

// Reads [rotctld], adding the keys that are missing with their defaults and a note on each so
// the user finds them to edit. A file that cannot be read gives the defaults. The values that
// cannot be used are noted in report too.
RotctldSettings ReadRotctldSettings(const QString& settingsFile,
                                    core::SettingsReport* report = nullptr);
// Stores enabled=, keeping the rest of the file as it is; false, and error saying why, when the
// file cannot be written.
bool StoreRotctldEnabled(const QString& settingsFile, bool enabled, QString* error = nullptr);

} // namespace station
