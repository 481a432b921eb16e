#pragma once

#include "display/Resources.h"

#include <QByteArray>
#include <QString>

// What the text window shows of a help or change file.
namespace display {

// The text of a file as the window shows it: every line indented by four blanks. Line ends
// may be CR LF, LF or CR. The bytes are read as UTF-8, or as Latin-1 when they are not valid
// UTF-8 (an old file from another system), so any file shows without loss of its letters.
QString TextWindowText(const QByteArray& contents);
// The caption: the full file name, a blank, the size in bytes with its leading blank and
// " Bytes.": "/home/ham/ventrolo/VentroEng.txt  10240 Bytes.".
QString TextWindowCaption(const QString& path, qint64 size);

// What the text window shows of a help text in the program directory.
struct TextWindowContents {
    QString caption;
    QString text;
};
// The file as above. A file that cannot be read is named in the caption with the reason, and
// the text shipped with the program is shown instead; a very large file shows its first 8 MiB.
TextWindowContents ReadTextWindowFile(const QString& programDirectory, HelpText text);

} // namespace display
