#include "core/SettingsReport.h"

#include <QLoggingCategory>
#include <QStringList>
#include <algorithm>

namespace core {

Q_LOGGING_CATEGORY(lcSettings, "ventrolo.settings")

namespace {

QString Line(const UnusedSetting& s) {
    if (s.key.isEmpty())
        return QStringLiteral("%1 cannot be read: %2; every setting in it keeps its default.")
            .arg(s.file, s.found);
    const qsizetype slash = s.key.indexOf(QLatin1Char('/'));
    return QStringLiteral("%1: [%2] %3=%4 cannot be used; %5 is used instead.")
        .arg(s.file, s.key.left(slash), s.key.mid(slash + 1), s.found, s.kept);
}

} // namespace

void SettingsReport::Unused(const QString& file, const QString& key, const QString& found,
                            const QString& kept) {
    if (note({file, key, found, kept}))
        qCWarning(lcSettings).noquote() << Line(unused_.back());
}

void SettingsReport::Unreadable(const QString& file, const QString& why) {
    Unused(file, QString(), why, QString());
}

void SettingsReport::Add(const SettingsReport& other) {
    for (const UnusedSetting& s : other.unused_)
        note(s);
}

bool SettingsReport::note(const UnusedSetting& setting) {
    // A group read twice is told once.
    if (std::any_of(unused_.begin(), unused_.end(), [&](const UnusedSetting& s) {
            return s.file == setting.file && s.key == setting.key && s.found == setting.found;
        }))
        return false;
    unused_.push_back(setting);
    return true;
}

QString SettingsReport::text() const {
    QStringList lines;
    for (const UnusedSetting& s : unused_)
        lines << Line(s);
    return lines.join(QLatin1Char('\n'));
}

} // namespace core
