#pragma once

#include <QString>

namespace core {

// The program's name and version as they appear in titles, files and messages.
inline const QString AppTitle = QStringLiteral("Ventrolo.");
inline const QString VersionText = QStringLiteral("Version 1.24");
// Revision number shown in the main window's title.
inline constexpr int Revision = 998;

// The program's home page, shown on the splash window and opened from it.
inline const QString HomePageAddress = QStringLiteral("https://ventrolo.example.org/");

// Title of message and input boxes: the name directly followed by the version.
inline QString MessageTitle() {
    return AppTitle + VersionText;
}

} // namespace core
