#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace core {

// Replaces the file at path with contents so that a crash or power loss leaves either the old
// file or the new one, never a mix: a temporary file in the same directory is written, flushed
// to disk and renamed over the old one. Only a regular file is replaced: a symbolic link, a
// directory, a device or a pipe at path is refused, so no save ever writes through a link to
// whatever it points at. On failure the old file is untouched, error (when given) says why and
// the result is false.
bool WriteFileAtomically(const QString& path, const QByteArray& contents, QString* error = nullptr);

// Copies the regular file from (a link to one is followed) to path as WriteFileAtomically
// writes it, however large it is.
bool CopyFileAtomically(const QString& from, const QString& path, QString* error = nullptr);

// Before a file loaded damaged (damaged: its bytes as read) or not read at all (unreadable) is
// saved over, it is kept beside as "<path>.damaged", so that nothing the user had is lost. True
// when there is nothing to keep or it is kept; false (error says why) when the save must not
// go on.
bool KeepBeforeSavingOver(const QString& path, const std::optional<QByteArray>& damaged,
                          bool unreadable, QString* error = nullptr);

} // namespace core
