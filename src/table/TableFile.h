#pragma once

#include "table/TableData.h"

#include <QByteArray>
#include <QStringList>
#include <optional>
#include <vector>

// The *.cat file: a quoted version line, the header row, then one line per data row, each row
// "freq,pos,"description"" with CR LF line ends, for example
//   "Ventrolo.Version 1.24"
//   0,500,"1:200:0"
//   3500,120,"80m"
namespace table {

struct TableRow {
    core::Single freq = 0;
    core::Long pos = 0;
    QString text;
};

// What a table file holds, as far as it could be read, and what was wrong with it.
struct TableFileContents {
    QString version;                // first field of line 1, without its quotes
    std::optional<TableRow> header; // nullopt when the file has no header line or it is damaged
    std::vector<TableRow> rows;     // the good data rows in file order, at most 100
    QStringList problems;           // one line per fault, for the user; empty for a sound file
};

// The file's bytes for rows 0..TableLast.
QByteArray SerializeTable(const TableData& table);

// Reads a table file. Never fails: what is damaged is left out and described in problems.
TableFileContents ParseTableFile(const QByteArray& bytes);

// A table file read from disk by the rule of every text file (core/TextFile.h).
struct TableFileRead {
    enum class Status { Read, Missing, Unreadable };
    Status status = Status::Missing;
    TableFileContents contents; // when Read; what was not read of a huge file is a problem
    QByteArray bytes;           // when Read: the file as read, to be kept when it is damaged
    QString error;              // why, when Unreadable
};
TableFileRead ReadTableFile(const QString& path);

// Writes rows 0..TableLast atomically. On failure the old file stays, error says why and the
// result is false.
bool WriteTableFile(const QString& path, const TableData& table, QString* error);

} // namespace table
