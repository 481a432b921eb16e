#include "display/TextWindowText.h"

#include "core/TextRules.h"

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

} // namespace display
