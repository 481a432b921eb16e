#include "web/WebPage.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHash>
#include <QRegularExpression>

namespace web {

std::optional<PageFile> FindPageFile(const QString& path) {
    static const QHash<QString, std::pair<QString, QByteArray>> files = {
        {QStringLiteral("/"), {QStringLiteral("index.html"), "text/html; charset=utf-8"}},
        {QStringLiteral("/index.html"), {QStringLiteral("index.html"), "text/html; charset=utf-8"}},
        {QStringLiteral("/page.js"), {QStringLiteral("page.js"), "text/javascript; charset=utf-8"}},
        {QStringLiteral("/dial.js"), {QStringLiteral("dial.js"), "text/javascript; charset=utf-8"}},
        {QStringLiteral("/page.css"), {QStringLiteral("page.css"), "text/css; charset=utf-8"}},
        {QStringLiteral("/icon.svg"), {QStringLiteral("icon.svg"), "image/svg+xml"}},
    };
    const auto found = files.constFind(path);
    if (found == files.constEnd())
        return std::nullopt;
    QFile file(QStringLiteral(":/web/") + found->first);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return PageFile{file.readAll(), found->second};
}

QByteArray PageSecurityPolicy() {
    static const QByteArray policy = [] {
        QByteArray scripts = "'self'";
        const QString page = QString::fromUtf8(FindPageFile(QStringLiteral("/"))->content);
        static const QRegularExpression inlineScript(
            QStringLiteral("<script>(.*?)</script>"),
            QRegularExpression::DotMatchesEverythingOption);
        for (const QRegularExpressionMatch& match : inlineScript.globalMatch(page)) {
            const QByteArray hash =
                QCryptographicHash::hash(match.captured(1).toUtf8(), QCryptographicHash::Sha256);
            scripts += " 'sha256-" + hash.toBase64() + "'";
        }
        return "default-src 'self'; script-src " + scripts +
               "; connect-src 'self'; img-src 'self' data:; frame-ancestors 'none'; "
               "base-uri 'none'; form-action 'none'";
    }();
    return policy;
}

} // namespace web
