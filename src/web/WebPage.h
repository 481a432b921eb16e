#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace web {

// The browser page's files, compiled into the program: the page at "/", its script, style
// sheet and icon. Nothing is fetched from elsewhere, at build time or when it runs.
struct PageFile {
    QByteArray content;
    QByteArray contentType;
};

// The file served at path, nullopt for a path the page does not have.
std::optional<PageFile> FindPageFile(const QString& path);

// The page's Content-Security-Policy: its own files only, never inside another site's frame;
// of inline scripts only the page's own, named by its hash.
QByteArray PageSecurityPolicy();

} // namespace web
