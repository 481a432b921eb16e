#include "core/SettingsGroupReader.h"

#include <QRegularExpression>

namespace core {

SettingsGroupReader::SettingsGroupReader(const QString& settingsFile, QString group,
                                         SettingsReport* report, Blank blank)
    : file_(settingsFile), group_(std::move(group)), report_(report), blank_(blank) {
    ini_.emplace(settingsFile);
}

bool SettingsGroupReader::integer(const QString& key, int& value, int lowest, int highest,
                                  const QString& note, const QString& kept) {
    return this->value(
        key, value,
        [lowest, highest](const QString& text) -> std::optional<int> {
            bool ok = false;
            const int n = text.trimmed().toInt(&ok);
            return ok && n >= lowest && n <= highest ? std::optional(n) : std::nullopt;
        },
        QString::number(value), note, kept);
}

bool SettingsGroupReader::boolean(const QString& key, bool& value, const QString& note) {
    return this->value(key, value, SettingsSwitch,
                       value ? QStringLiteral("true") : QStringLiteral("false"), note);
}

bool SettingsGroupReader::host(const QString& key, QString& value, const QString& note,
                               const QString& kept) {
    return this->value(
        key, value,
        [](const QString& text) -> std::optional<QString> {
            const auto given = ParseHostPort(text, 1);
            return given ? std::optional(given->host) : std::nullopt;
        },
        value, note, kept);
}

bool SettingsGroupReader::text(const QString& key, QString& value, const QString& note) {
    const auto given = ini_ ? SettingsText(*ini_, group_ + QLatin1Char('/') + key) : std::nullopt;
    if (!given) {
        noteMissing(key, value, note);
        return false;
    }
    value = *given;
    return true;
}

bool SettingsGroupReader::list(const QString& key, QStringList& value, const QString& note) {
    const QString separator = QStringLiteral(",");
    const QString defaultText = value.join(separator);
    bool none = false;
    bool taken = false;
    read(key, defaultText, note, [&](const QString& text) {
        QStringList words;
        for (const QString& word : text.split(separator)) {
            if (!word.trimmed().isEmpty())
                words << word.trimmed();
        }
        none = words.isEmpty();
        if (!none)
            value = words;
        taken = !none;
        return true;
    });
    if (none)
        unused(key, QStringLiteral("(none)"), defaultText);
    return taken;
}

void SettingsGroupReader::read(const QString& key, const QString& defaultText, const QString& note,
                               const std::function<bool(const QString& text)>& use,
                               const QString& kept) {
    const QString name = group_ + QLatin1Char('/') + key;
    if (!ini_ || !SettingsContain(*ini_, name)) {
        noteMissing(key, defaultText, note);
        return;
    }
    const QString text = SettingsText(*ini_, name).value_or(QString());
    if (text.isEmpty() && blank_ == Blank::Missing) {
        noteMissing(key, defaultText, note);
        return;
    }
    if ((text.isEmpty() && blank_ == Blank::KeepsDefault) || use(text))
        return;
    unused(key, text, kept.isEmpty() ? defaultText : kept);
}

void SettingsGroupReader::unused(const QString& key, const QString& found, const QString& kept) {
    unusable_ << key + QLatin1Char('=') + found;
    if (report_)
        report_->Unused(file_, group_ + QLatin1Char('/') + key, found, kept);
}

void SettingsGroupReader::noteMissing(const QString& key, const QString& defaultText,
                                      const QString& note) {
    missing_.emplace_back(key, defaultText);
    if (!note.isEmpty()) // no " ; " with nothing after it
        notes_[key] = note;
}

bool SettingsGroupReader::addMissing(QString* error) {
    ini_.reset();
    return missing_.empty() || SetSettings(file_, group_, missing_, error, notes_);
}

bool SettingsGroupReader::appendMissing(const QStringList& comment, QString* error) {
    ini_.reset();
    return missing_.empty() || AppendSettings(file_, group_, missing_, error, comment);
}

std::optional<HostPort> ParseHostPort(const QString& text, int defaultPort) {
    // A bracketed IPv6 address, or a host name / IPv4 address without blanks or colons.
    static const QRegularExpression pattern(
        QStringLiteral(R"(^\s*(?:\[([0-9A-Fa-f:.]+)\]|([A-Za-z0-9._-]+))(?::(\d{1,5}))?\s*$)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    HostPort given{match.captured(1).isEmpty() ? match.captured(2) : match.captured(1),
                   defaultPort};
    if (match.hasCaptured(3)) {
        given.port = match.captured(3).toInt();
        if (given.port < 1 || given.port > 65535)
            return std::nullopt;
    }
    return given;
}

} // namespace core
