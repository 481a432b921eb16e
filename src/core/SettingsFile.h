#pragma once

#include <QLoggingCategory>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// Ventrolo.ini, the settings Ventrolo.cfg cannot hold, edited by hand as often as not. It is read
// through QSettings, but only here: what the program adds or changes is edited as text, because
// QSettings writes the whole file anew, without the user's comments and the lines it cannot read.
namespace core {

// Why the settings file cannot be read by the text-file rule (a directory, a pipe, a device,
// larger than MaxTextFileBytes) or at all (no permission); nullopt for a file that can, or that
// is missing.
std::optional<QString> SettingsFileProblem(const QString& path);

// QSettings on the settings file in INI format, the only way the file is read: a file with a
// SettingsFileProblem reads as empty and is never opened (QSettings opens it at construction,
// and a pipe would block the program there, a device would never end).
class IniSettings : public QSettings {
public:
    explicit IniSettings(const QString& path);
};

// The text of a key ("lpt/port888"), trimmed. An unquoted comma makes QSettings read a list
// ("/dev/serial/by-id/usb-Prolific,_D-if00" gives two parts), which is joined again with ",".
// nullopt for a key that is missing, blank or holds no text (@Rect(...) and the like).
std::optional<QString> SettingsText(const QSettings& settings, const QString& key);

// A switch as the user writes it: true, 1, yes, on or false, 0, no, off (blanks and case
// aside); nullopt for any other text.
std::optional<bool> SettingsSwitch(const QString& text);

// Whether the file holds the key, blank or not. Use it instead of QSettings::contains, which
// misses a key in the case SettingsText describes.
bool SettingsContain(const QSettings& settings, const QString& key);

// Adds a [group] with the entries ("key", "value", both plain words or paths) after everything
// the file holds; QSettings reads a later entry of a key over an earlier one. The file is made
// when missing and replaced atomically; on failure it stays as it was, error says why and the
// result is false. Each line of comment goes under the group's header, after "; ".
bool AppendSettings(const QString& path, const QString& group,
                    const std::vector<std::pair<QString, QString>>& entries,
                    QString* error = nullptr, const QStringList& comment = {});

// Sets keys of one [group] as text, keeping every other line as it is: a key that is there gets
// its new value in its last entry, the one read (spacing and a comment after it stay), a missing
// one is added at the end of the group, a missing group at the end of the file, with its note
// from notes, if any, after " ; ". Made, replaced and refused as AppendSettings.
bool SetSettings(const QString& path, const QString& group,
                 const std::vector<std::pair<QString, QString>>& entries, QString* error = nullptr,
                 const std::map<QString, QString>& notes = {});

// Logs that the keys a reader adds to the settings file with their defaults could not be written:
// once per file and reason in a run, since every reader of a file the program may not write
// meets the same refusal.
void LogDefaultsNotAdded(const QLoggingCategory& category, const QString& path,
                         const QString& error);

} // namespace core
