#pragma once

#include "core/SettingsGroupReader.h"

#include <QHostAddress>
#include <QString>

namespace core {

// The keys every server of the station has in its group of Ventrolo.ini (the rotator server's
// [rotctld], the web server's [web], the rotator datagrams' groups): enabled=, port= and
// address= (an IP address or "localhost"). A present value that can be used replaces the
// default the field holds. portNote tells what the port is, for a key added with its default.
void ReadServerKeys(SettingsGroupReader& group, const QString& enabledNote,
                    const QString& addressNote, bool& enabled, quint16& port, QHostAddress& address,
                    const QString& portNote = QStringLiteral("its TCP port"));
// Stores enabled= in the group, keeping the rest of the file; false, and error saying why,
// when the file cannot be written.
bool StoreServerEnabled(const QString& settingsFile, const QString& group, bool enabled,
                        QString* error);

} // namespace core
