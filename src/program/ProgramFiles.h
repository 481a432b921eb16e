#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reading the turning-program and timer files, and telling the user what a damaged one lost.
namespace program {

struct FileRead {
    enum class Result { Ok, Missing, Unreadable };
    Result result = Result::Missing;
    QByteArray bytes;
    QString error;        // why an existing file could not be read
    QStringList problems; // when Ok: what was not read (of a huge file)
};

// The file at path, read by the rule of every text file (core/TextFile.h).
FileRead ReadProgramFile(const QString& path);

// The lines of a text, split at CR LF, LF or a lone CR (a line end after the last line gives a
// last, empty line).
QList<QByteArray> SplitLines(const QByteArray& bytes);

// Tells the user (one message) what was left out of the damaged file at path, and that the file
// stays as it is until afterwards happens ("the program is saved").
void TellDamage(platform::Platform& platform, const QString& path, const QStringList& problems,
                const QString& afterwards);

} // namespace program
