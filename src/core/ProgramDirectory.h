#pragma once

#include <QString>

namespace core {

struct ProgramDirectoryResult {
    QString path;  // absolute; empty when no directory could be had
    QString error; // why, when path is empty
};

// The program directory: the given one (made when missing), else the executable's directory
// when it is writable, else $XDG_DATA_HOME/ventrolo (~/.local/share/ventrolo), made when missing.
ProgramDirectoryResult ResolveProgramDirectory(const QString& requested,
                                               const QString& executableDirectory);

// Ventrolo.ini in the program directory: the settings Ventrolo.cfg cannot hold.
QString SettingsFilePath(const QString& programDirectory);

} // namespace core
