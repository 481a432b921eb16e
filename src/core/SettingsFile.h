#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// Ventrolo.ini, the settings Ventrolo.cfg cannot hold, edited by hand as often as not. It is read
// through QSettings; what the program adds to it is appended as text, because QSettings writes
// the whole file anew, without the user's comments and the lines it cannot read.
namespace core {

// The text of a key ("lpt/port888"), trimmed. An unquoted comma makes QSettings read a list
// ("/dev/serial/by-id/usb-Prolific,_D-if00" gives two parts), which is joined again with ",".
// nullopt for a key that is missing, blank or holds no text (@Rect(...) and the like).
std::optional<QString> SettingsText(const QSettings& settings, const QString& key);

// Whether the file holds the key, blank or not. Use it instead of QSettings::contains, which
// misses a key in the case SettingsText describes.
bool SettingsContain(const QSettings& settings, const QString& key);

// Adds a [group] with the entries ("key", "value", both plain words or paths) after everything
// the file holds; QSettings reads a later entry of a key over an earlier one. The file is made
// when missing and replaced atomically; on failure it stays as it was, error says why and the
// result is false.
bool AppendSettings(const QString& path, const QString& group,
                    const std::vector<std::pair<QString, QString>>& entries,
                    QString* error = nullptr);

} // namespace core
