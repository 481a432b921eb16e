#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// Table file names are kept as the program stores them, relative to the program directory with
// a leading "\" ("\Table.cat"), and joined to the directory with "/" only when a file is opened.
namespace table {

// The name typed into the file box, made a table name: a leading "\" added, the extension made
// "cat" (abc -> \abc.cat, \old.txt -> \old.cat, a.b.c -> \a.cat). nullopt for an empty text and
// for a name that is no plain file name in the program directory (empty, or holding "/", a
// further "\", a double quote or a control character).
std::optional<QString> NormalizeTableName(const QString& typed);

// The file of a stored name in the program directory: "\Table.cat" -> dir/Table.cat; a name
// without the leading "\" (the fall-back "NewFile") is joined as it is.
QString TableFilePath(const QString& programDirectory, const QString& tableFileName);

// "\" + name of every *.cat file in the directory (letter case of the extension ignored),
// sorted by name.
QStringList CatFileNames(const QString& programDirectory);

} // namespace table
