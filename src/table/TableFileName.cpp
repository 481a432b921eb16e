#include "table/TableFileName.h"

#include <QDir>

namespace table {

std::optional<QString> NormalizeTableName(const QString& typed) {
    QString name = typed.trimmed();
    if (name.isEmpty())
        return std::nullopt;
    if (!name.startsWith(QLatin1Char('\\')))
        name.prepend(QLatin1Char('\\'));
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name = name.left(dot + 1) + QStringLiteral("cat");
    else
        name += QStringLiteral(".cat");

    // A name is a file in the program directory: no way out of it, no hidden ".cat"; and
    // Ventrolo.cfg must be able to keep it (a quote would end the name there).
    const QString base = name.mid(1, name.size() - 5);
    if (base.isEmpty())
        return std::nullopt;
    for (const QChar c : base) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char('"') ||
            c.unicode() < 0x20)
            return std::nullopt;
    }
    return name;
}

QString TableFilePath(const QString& programDirectory, const QString& tableFileName) {
    const QString name =
        tableFileName.startsWith(QLatin1Char('\\')) ? tableFileName.mid(1) : tableFileName;
    return programDirectory + QLatin1Char('/') + name;
}

QStringList CatFileNames(const QString& programDirectory) {
    QStringList names;
    const QDir dir(programDirectory);
    for (const QString& file :
         dir.entryList({QStringLiteral("*.cat")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
        names << QLatin1Char('\\') + file;
    return names;
}

} // namespace table
