#include "display/TextWindowText.h"

#include "core/TextRules.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace display {

QString TextWindowText(const QByteArray& contents) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(contents);
    if (utf8.hasError())
        text = QString::fromLatin1(contents);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString indent(4, QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char('\n') + indent);
    return indent + text;
}

QString TextWindowCaption(const QString& path, qint64 size) {
    return path + QLatin1Char(' ') + core::NumberText(size) + QStringLiteral(" Bytes.");
}

TextWindowContents ReadTextWindowFile(const QString& programDirectory, HelpText text) {
    constexpr qint64 MostShown = 8 << 20;
    const QString path = QDir(programDirectory).filePath(HelpTextFileName(text));
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return {TextWindowCaption(path, file.size()), TextWindowText(file.read(MostShown))};
    const QString why = file.errorString();
    QFile shipped(HelpTextResource(text));
    shipped.open(QIODevice::ReadOnly);
    return {path + QStringLiteral(" cannot be read (") + why +
                QStringLiteral("): the text shipped with the program."),
            TextWindowText(shipped.readAll())};
}

} // namespace display
