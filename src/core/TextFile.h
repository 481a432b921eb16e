#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace core {

// Every text file the program reads is read by one rule, whatever the file turns out to be:
// - a UTF-8 byte-order mark (which many editors write) is skipped;
// - at most MaxTextFileBytes are read, so a huge file or an endless stream costs no more
//   memory than that; the caller reports the rest as damage;
// - only a regular file is read: a directory, a device or a pipe is not opened at all (a pipe
//   would block the program, a device would never end).
inline constexpr qint64 MaxTextFileBytes = 4 * 1024 * 1024;

struct TextFileRead {
    enum class Status { Read, Missing, Unreadable };
    Status status = Status::Missing;
    QByteArray bytes;       // when Read: the contents without a byte-order mark
    bool truncated = false; // when Read: the file goes on beyond MaxTextFileBytes
    QString error;          // why, when Unreadable
};

TextFileRead ReadTextFile(const QString& path);

// Why the file at path is not read by this rule (a directory, a device or a pipe); nullopt for
// a regular file and a missing one.
std::optional<QString> NoRegularFileText(const QString& path);

// What a truncated read left out, for the user: "it is larger than 4 MB; what follows was not
// read".
QString TruncatedText();

} // namespace core
