#pragma once

#include "core/SettingsFile.h"
#include "core/SettingsReport.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace core {

// Reads one [group] of Ventrolo.ini key by key. A missing key is added with its default and a
// note by addMissing(), so the user finds it to edit; a value that cannot be used is noted in
// unusable() and in the report, and the caller keeps its default.
class SettingsGroupReader {
public:
    SettingsGroupReader(const QString& settingsFile, QString group, SettingsReport* report);

    // use(text) takes a present key's text; false when it cannot. kept names what is used then
    // in the report (empty: defaultText).
    void read(const QString& key, const QString& defaultText, const QString& note,
              const std::function<bool(const QString& text)>& use, const QString& kept = {});
    // "key=text" of each value that could not be used.
    const QStringList& unusable() const { return unusable_; }
    // Writes the missing keys, after the last read; false, and error saying why, when the file cannot be written.
    bool addMissing(QString* error);

private:
    QString file_;
    QString group_;
    SettingsReport* report_;
    std::optional<IniSettings> ini_; // closed before the file is written
    std::vector<std::pair<QString, QString>> missing_;
    std::map<QString, QString> notes_;
    QStringList unusable_;
};

} // namespace core
