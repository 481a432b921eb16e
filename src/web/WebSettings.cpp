#include "web/WebSettings.h"

#include "core/AtomicFile.h"
#include "core/ServerSettings.h"
#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <array>
#include <optional>

namespace web {

namespace {

Q_LOGGING_CATEGORY(lcWebSettings, "ventrolo.web")

const QString Group = QStringLiteral("web");
// Hex digits of a token; shorter stored tokens are replaced, they guess too easily.
constexpr int TokenDigits = 32;

bool UsableToken(const QString& token) {
    if (token.size() < TokenDigits)
        return false;
    for (const QChar c : token) {
        if (!c.isLetterOrNumber() || c.unicode() > 127)
            return false;
    }
    return true;
}

// Makes the settings file readable and writable by its owner alone; false, and error saying
// why, when it cannot be. A link is left alone: the file it points to is not ours to change.
bool KeepToOwner(const QString& settingsFile, QString* error) {
    const QFileInfo info(settingsFile);
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                        QFile::WriteOther | QFile::ExeOther;
    if (info.isSymLink() || !info.isFile() ||
        ((info.permissions() & others) &&
         !QFile::setPermissions(settingsFile, QFile::ReadOwner | QFile::WriteOwner))) {
        if (error)
            *error =
                QStringLiteral("%1 cannot be made readable by its owner only").arg(settingsFile);
        return false;
    }
    return true;
}

} // namespace

WebSettings ReadWebSettings(const QString& settingsFile, core::SettingsReport* report) {
    WebSettings result;
    core::SettingsGroupReader group(settingsFile, Group, report);
    core::ReadServerKeys(
        group, QStringLiteral("the web server (Edit, \"Web server\")"),
        QStringLiteral("0.0.0.0 to serve the whole network (a token is asked then)"),
        result.enabled, result.port, result.address);
    group.read(
        QStringLiteral("token"), QString(),
        QStringLiteral("what a browser off this machine must send; made at the first enable"),
        [&](const QString& text) {
            if (text.isEmpty() || UsableToken(text))
                result.token = text;
            return text.isEmpty() || UsableToken(text);
        },
        QStringLiteral("a new one"));
    if (!group.unusable().isEmpty())
        result.problem = QStringLiteral("%1: [web] %2 cannot be used; the web server takes its "
                                        "default (enabled=false, port=8073, address=127.0.0.1, "
                                        "a new token).")
                             .arg(settingsFile, group.unusable().join(QStringLiteral(", ")));
    QString error;
    if (!group.addMissing(&error))
        core::LogDefaultsNotAdded(lcWebSettings(), settingsFile, error);
    return result;
}

bool StoreWebEnabled(const QString& settingsFile, bool enabled, QString* error) {
    return core::StoreServerEnabled(settingsFile, Group, enabled, error);
}

QString EnsureWebToken(const QString& settingsFile, QString* error) {
    if (const QString stored = ReadWebSettings(settingsFile).token; !stored.isEmpty()) {
        // A file from before may still be readable by everybody.
        QString why;
        if (!KeepToOwner(settingsFile, &why))
            qCWarning(lcWebSettings).noquote() << why;
        return stored;
    }
    // Owner-only before the token goes in: every later save keeps the file's mode, its
    // temporary file included.
    if (!QFileInfo::exists(settingsFile) && !core::WriteFileAtomically(settingsFile, {}, error))
        return {};
    if (!KeepToOwner(settingsFile, error))
        return {};
    std::array<quint32, TokenDigits / 8> words{};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    QString token;
    for (const quint32 word : words)
        token += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    if (!core::SetSettings(settingsFile, Group, {{QStringLiteral("token"), token}}, error))
        return {};
    return token;
}

} // namespace web
