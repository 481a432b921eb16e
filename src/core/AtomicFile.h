#pragma once

#include <QByteArray>
#include <QString>

namespace core {

// Replaces the file at path with contents so that a crash or power loss leaves either the old
// file or the new one, never a mix: a temporary file in the same directory is written, flushed
// to disk and renamed over the old one. On failure the old file is untouched, error (when
// given) says why and the result is false.
bool WriteFileAtomically(const QString& path, const QByteArray& contents, QString* error = nullptr);

} // namespace core
