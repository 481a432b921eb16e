#include "web/WebPage.h"

#include <QFile>
#include <QHash>

namespace web {

std::optional<PageFile> FindPageFile(const QString& path) {
    static const QHash<QString, std::pair<QString, QByteArray>> files = {
        {QStringLiteral("/"), {QStringLiteral("index.html"), "text/html; charset=utf-8"}},
        {QStringLiteral("/index.html"), {QStringLiteral("index.html"), "text/html; charset=utf-8"}},
        {QStringLiteral("/page.js"), {QStringLiteral("page.js"), "text/javascript; charset=utf-8"}},
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

} // namespace web
