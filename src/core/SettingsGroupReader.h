#pragma once

#include "core/SettingsFile.h"
#include "core/SettingsReport.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace core {

// Reads one [group] of Ventrolo.ini key by key. A missing key is added with its default and a
// note by addMissing(), so the user finds it to edit; a value that cannot be used is noted in
// unusable() and in the report, and the caller keeps its default.
//
// The typed getters (integer, boolean, choice, host, list, value) take a usable value into
// their value and return true. A value that cannot be used is noted, with kept (empty: value's
// own text) as what is used instead; a missing key is noted with value's text as its default.
// Either way value stays as it was and the result is false.
class SettingsGroupReader {
public:
    // How a key that is there but blank is taken.
    enum class Blank {
        Unusable,     // a value that cannot be used
        KeepsDefault, // as if it were missing, but not added
        Missing,      // as if it were missing: the default is added
    };

    SettingsGroupReader(const QString& settingsFile, QString group, SettingsReport* report,
                        Blank blank = Blank::Unusable);

    // A whole number from lowest to highest.
    bool integer(const QString& key, int& value, int lowest, int highest, const QString& note = {},
                 const QString& kept = {});
    // true, 1, yes, on or false, 0, no, off (blanks and case aside); written as true or false.
    bool boolean(const QString& key, bool& value, const QString& note = {});
    // One of the names (blanks and case aside); written as value's name.
    template <typename T>
    bool choice(const QString& key, T& value, const std::vector<std::pair<QString, T>>& names,
                const QString& note = {}) {
        QString own;
        for (const auto& [name, choice] : names) {
            if (choice == value)
                own = name;
        }
        return this->value(
            key, value,
            [&names](const QString& text) -> std::optional<T> {
                for (const auto& [name, choice] : names) {
                    if (text.trimmed().compare(name, Qt::CaseInsensitive) == 0)
                        return choice;
                }
                return std::nullopt;
            },
            own, note);
    }
    // The host of "host", "host:port" or "[::1]:port" (a port there is not taken).
    bool host(const QString& key, QString& value, const QString& note = {},
              const QString& kept = {});
    // A word or path; blank is taken as missing (the default is added).
    bool text(const QString& key, QString& value, const QString& note = {});
    // Words parted by commas, blank ones left out; a text of none cannot be used (it is
    // reported as "(none)").
    bool list(const QString& key, QStringList& value, const QString& note = {});
    // What parse gives (nullopt: the text cannot be used); text is value's text.
    template <typename T, typename Parse>
    bool value(const QString& key, T& value, Parse parse, const QString& text,
               const QString& note = {}, const QString& kept = {}) {
        bool taken = false;
        read(
            key, text, note,
            [&](const QString& given) {
                const std::optional<T> parsed = parse(given);
                if (parsed) {
                    value = *parsed;
                    taken = true;
                }
                return parsed.has_value();
            },
            kept);
        return taken;
    }

    // use(text) takes a present key's text; false when it cannot. kept names what is used then
    // in the report (empty: defaultText).
    void read(const QString& key, const QString& defaultText, const QString& note,
              const std::function<bool(const QString& text)>& use, const QString& kept = {});
    // A value noted as unusable after it was read (it clashes with another one): found is
    // reported with kept.
    void unused(const QString& key, const QString& found, const QString& kept);
    // "key=text" of each value that could not be used.
    const QStringList& unusable() const { return unusable_; }
    // Writes the missing keys into the group with their notes, after the last read; false, and
    // error saying why, when the file cannot be written.
    bool addMissing(QString* error);
    // Writes the missing keys as a [group] of their own after everything the file holds, each
    // line of comment under its header.
    bool appendMissing(const QStringList& comment, QString* error);

private:
    void noteMissing(const QString& key, const QString& defaultText, const QString& note);

    QString file_;
    QString group_;
    SettingsReport* report_;
    Blank blank_;
    std::optional<IniSettings> ini_; // closed before the file is written
    std::vector<std::pair<QString, QString>> missing_;
    std::map<QString, QString> notes_;
    QStringList unusable_;
};

// "host", "host:port" or "[::1]:port" (defaultPort when none is given); nullopt for an empty
// host, a port outside 1..65535 or anything else that is not an address.
struct HostPort {
    QString host;
    int port = 0;
};
std::optional<HostPort> ParseHostPort(const QString& text, int defaultPort);

} // namespace core
