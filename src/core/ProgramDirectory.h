#pragma once

#include <QString>
#include <QStringList>

namespace core {

struct ProgramDirectoryResult {
    QString path;  // absolute; empty when no directory could be had
    QString error; // why, when path is empty
};

// The directories installed programs live in (/usr/bin, /usr/local/bin). Ventrolo never keeps
// its files there, even when it may write there (run as root).
QStringList SystemProgramDirectories();

// The program directory: the given one (made when missing), else the executable's directory
// when it is writable, none of systemDirectories and not an installation (bin/ beside
// share/ventrolo), else $XDG_DATA_HOME/ventrolo
// (~/.local/share/ventrolo), made when missing. Without a home (HOME unset or "/") and without
// XDG_DATA_HOME there is none, and error says so.
ProgramDirectoryResult
ResolveProgramDirectory(const QString& requested, const QString& executableDirectory,
                        const QStringList& systemDirectories = SystemProgramDirectories());

// Ventrolo.ini in the program directory: the settings Ventrolo.cfg cannot hold.
QString SettingsFilePath(const QString& programDirectory);

} // namespace core
