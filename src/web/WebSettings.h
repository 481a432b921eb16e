#pragma once

#include "core/SettingsReport.h"

#include <QHostAddress>
#include <QString>

namespace web {

// The [web] group of Ventrolo.ini:
//   [web]
//   enabled=false       the web server runs (also the main window's menu check item)
//   port=8073
//   address=127.0.0.1   where it listens; 0.0.0.0 for every network
//   token=              what a client off this machine must send; made at the first enable
struct WebSettings {
    bool enabled = false;
    quint16 port = 8073;
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    QString token;
    QString problem; // for the user, when a value could not be used (its default was taken)
};

// Reads [web], adding the keys that are missing with their defaults and a note on each so the
// user finds them to edit. A file that cannot be read gives the defaults. The values that cannot
// be used are noted in report too.
WebSettings ReadWebSettings(const QString& settingsFile, core::SettingsReport* report = nullptr);
// Stores enabled=, keeping the rest of the file; false, and error saying why, when the file
// cannot be written.
bool StoreWebEnabled(const QString& settingsFile, bool enabled, QString* error = nullptr);
// The stored token, or a new one (128 random bits from the system's generator, as hex) stored
// first; empty, and error saying why, when a new one cannot be stored. The file that holds it
// is made readable by its owner only (mode 0600) before a new token goes in.
QString EnsureWebToken(const QString& settingsFile, QString* error = nullptr);

} // namespace web
