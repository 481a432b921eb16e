#include "web/WebSettings.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"

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

std::optional<QHostAddress> Address(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return QHostAddress(QHostAddress::LocalHost);
    const QHostAddress address(t);
    return address.isNull() ? std::nullopt : std::optional(address);
}

bool UsableToken(const QString& token) {
    if (token.size() < TokenDigits)
        return false;
    for (const QChar c : token) {
        if (!c.isLetterOrNumber() || c.unicode() > 127)
            return false;
    }
    return true;
}

} // namespace

WebSettings ReadWebSettings(const QString& settingsFile, core::SettingsReport* report) {
    WebSettings result;
    core::SettingsGroupReader group(settingsFile, Group, report);
    group.read(QStringLiteral("enabled"), QStringLiteral("false"),
               QStringLiteral("the web server (Edit, \"Web server\")"), [&](const QString& text) {
                   const auto on = core::SettingsSwitch(text);
                   result.enabled = on.value_or(false);
                   return on.has_value();
               });
    group.read(QStringLiteral("port"), QStringLiteral("8073"), QStringLiteral("its TCP port"),
               [&](const QString& text) {
                   bool ok = false;
                   const uint port = text.trimmed().toUInt(&ok);
                   if (ok && port >= 1 && port <= 65535)
                       result.port = static_cast<quint16>(port);
                   return ok && port >= 1 && port <= 65535;
               });
    group.read(QStringLiteral("address"), QStringLiteral("127.0.0.1"),
               QStringLiteral("0.0.0.0 to serve the whole network (a token is asked then)"),
               [&](const QString& text) {
                   const auto address = Address(text);
                   if (address)
                       result.address = *address;
                   return address.has_value();
               });
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
        qCWarning(lcWebSettings) << "cannot write" << settingsFile << error;
    return result;
}

bool StoreWebEnabled(const QString& settingsFile, bool enabled, QString* error) {
    return core::SetSettings(
        settingsFile, Group,
        {{QStringLiteral("enabled"), enabled ? QStringLiteral("true") : QStringLiteral("false")}},
        error);
}

QString EnsureWebToken(const QString& settingsFile, QString* error) {
    if (const QString stored = ReadWebSettings(settingsFile).token; !stored.isEmpty())
        return stored;
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
