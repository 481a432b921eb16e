#include "core/SettingsGroupReader.h"

namespace core {

SettingsGroupReader::SettingsGroupReader(const QString& settingsFile, QString group,
                                         SettingsReport* report)
    : file_(settingsFile), group_(std::move(group)), report_(report) {
    ini_.emplace(settingsFile);
}

void SettingsGroupReader::read(const QString& key, const QString& defaultText,
                               const QString& note,
                               const std::function<bool(const QString& text)>& use,
                               const QString& kept) {
    const QString name = group_ + QLatin1Char('/') + key;
    if (!ini_ || !SettingsContain(*ini_, name)) {
        missing_.emplace_back(key, defaultText);
        notes_[key] = note;
        return;
    }
    const QString text = SettingsText(*ini_, name).value_or(QString());
    if (use(text))
        return;
    unusable_ << key + QLatin1Char('=') + text;
    if (report_)
        report_->Unused(file_, name, text, kept.isEmpty() ? defaultText : kept);
}

bool SettingsGroupReader::addMissing(QString* error) {
    ini_.reset();
    return missing_.empty() || SetSettings(file_, group_, missing_, error, notes_);
}

} // namespace core
