#include "rig/XmlRpc.h"

#include <QXmlStreamReader>
#include <cmath>
#include <optional>

namespace rig {

namespace {

// Arrays in arrays deeper than this are no server's answer (and would cost stack).
constexpr int DeepestValue = 8;

QByteArray ValueXml(const QVariant& value) {
    const auto typed = [](const char* type, const QByteArray& text) {
        return QByteArray("<value><") + type + '>' + text + "</" + type + "></value>";
    };
    switch (value.typeId()) {
    case QMetaType::Int:
        return typed("i4", QByteArray::number(value.toInt()));
    case QMetaType::LongLong:
        return typed("i8", QByteArray::number(value.toLongLong()));
    case QMetaType::Bool:
        return typed("boolean", value.toBool() ? "1" : "0");
    case QMetaType::Double:
        return typed("double", QByteArray::number(value.toDouble(), 'f', 1));
    default:
        return typed("string", value.toString().toHtmlEscaped().toUtf8());
    }
}

// The next token that is neither blank text, a comment nor the XML declaration.
QXmlStreamReader::TokenType NextToken(QXmlStreamReader& xml) {
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::Comment || token == QXmlStreamReader::StartDocument ||
            (token == QXmlStreamReader::Characters && xml.isWhitespace()))
            continue;
        return token;
    }
    return QXmlStreamReader::Invalid;
}

bool Enters(QXmlStreamReader& xml, QStringView name) {
    return NextToken(xml) == QXmlStreamReader::StartElement && xml.name() == name;
}

bool Leaves(QXmlStreamReader& xml) {
    return NextToken(xml) == QXmlStreamReader::EndElement;
}

std::optional<QVariant> ReadValue(QXmlStreamReader& xml, int depth);

// Inside <array>: <data>, values, </data>, </array>.
std::optional<QVariant> ReadArray(QXmlStreamReader& xml, int depth) {
    if (!Enters(xml, u"data"))
        return std::nullopt;
    QVariantList items;
    while (NextToken(xml) == QXmlStreamReader::StartElement) {
        if (xml.name() != u"value")
            return std::nullopt;
        const std::optional<QVariant> item = ReadValue(xml, depth + 1);
        if (!item)
            return std::nullopt;
        items << *item;
    }
    // At </data>.
    if (xml.tokenType() != QXmlStreamReader::EndElement || !Leaves(xml))
        return std::nullopt;
    return items;
}

// Inside <struct>: members of a name and a value, then </struct>.
std::optional<QVariant> ReadStruct(QXmlStreamReader& xml, int depth) {
    QVariantMap members;
    while (NextToken(xml) == QXmlStreamReader::StartElement) {
        if (xml.name() != u"member" || !Enters(xml, u"name"))
            return std::nullopt;
        const QString name = xml.readElementText();
        if (xml.hasError() || !Enters(xml, u"value"))
            return std::nullopt;
        const std::optional<QVariant> value = ReadValue(xml, depth + 1);
        if (!value || !Leaves(xml))
            return std::nullopt;
        members.insert(name, *value);
    }
    if (xml.tokenType() != QXmlStreamReader::EndElement)
        return std::nullopt;
    return members;
}

// At the start of the element that types a value.
std::optional<QVariant> ReadTyped(QXmlStreamReader& xml, int depth) {
    const QString type = xml.name().toString();
    if (type == u"array")
        return ReadArray(xml, depth);
    if (type == u"struct")
        return ReadStruct(xml, depth);
    const QString text = xml.readElementText();
    if (xml.hasError())
        return std::nullopt;
    if (type == u"string")
        return text;
    bool number = false;
    if (type == u"i4" || type == u"int") {
        const int value = text.trimmed().toInt(&number);
        return number ? std::optional<QVariant>(value) : std::nullopt;
    }
    if (type == u"i8") {
        const qlonglong value = text.trimmed().toLongLong(&number);
        return number ? std::optional<QVariant>(value) : std::nullopt;
    }
    if (type == u"boolean") {
        const QString bit = text.trimmed();
        if (bit != u"0" && bit != u"1")
            return std::nullopt;
        return QVariant(bit == u"1");
    }
    if (type == u"double") {
        const double value = text.trimmed().toDouble(&number);
        return number && std::isfinite(value) ? std::optional<QVariant>(value) : std::nullopt;
    }
    return std::nullopt;
}

// At <value>; ends at its </value>. A value without a type element is a string.
std::optional<QVariant> ReadValue(QXmlStreamReader& xml, int depth) {
    if (depth > DeepestValue)
        return std::nullopt;
    QString text;
    std::optional<QVariant> typed;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::Characters:
            if (typed && !xml.isWhitespace())
                return std::nullopt;
            text += xml.text();
            break;
        case QXmlStreamReader::StartElement:
            if (typed || !text.trimmed().isEmpty())
                return std::nullopt;
            typed = ReadTyped(xml, depth);
            if (!typed)
                return std::nullopt;
            break;
        case QXmlStreamReader::EndElement:
            return typed ? typed : std::optional<QVariant>(text);
        case QXmlStreamReader::Comment:
            break;
        default:
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

QByteArray XmlRpcCall(const QString& method, const QVariantList& params) {
    QByteArray body = "<?xml version=\"1.0\"?>\r\n<methodCall><methodName>" +
                      method.toHtmlEscaped().toUtf8() + "</methodName><params>";
    for (const QVariant& param : params)
        body += "<param>" + ValueXml(param) + "</param>";
    return body + "</params></methodCall>\r\n";
}

XmlRpcReply ParseXmlRpcReply(const QByteArray& body) {
    QXmlStreamReader xml(body);
    XmlRpcReply reply;
    if (!Enters(xml, u"methodResponse") || NextToken(xml) != QXmlStreamReader::StartElement)
        return reply;
    std::optional<QVariant> value;
    if (xml.name() == u"params") {
        if (!Enters(xml, u"param") || !Enters(xml, u"value"))
            return reply;
        value = ReadValue(xml, 0);
        // </param></params>
        if (!value || !Leaves(xml) || !Leaves(xml))
            return reply;
        reply.kind = XmlRpcReply::Kind::Value;
        reply.value = *value;
    } else if (xml.name() == u"fault") {
        if (!Enters(xml, u"value"))
            return reply;
        value = ReadValue(xml, 0);
        if (!value || value->typeId() != QMetaType::QVariantMap || !Leaves(xml))
            return reply;
        const QVariantMap fault = value->toMap();
        reply.kind = XmlRpcReply::Kind::Fault;
        reply.fault = fault.value(QStringLiteral("faultCode")).toString() + QLatin1Char(' ') +
                      fault.value(QStringLiteral("faultString")).toString();
    } else {
        return reply;
    }
    // </methodResponse>, then the end of the document.
    if (!Leaves(xml) || NextToken(xml) != QXmlStreamReader::EndDocument || xml.hasError())
        return {};
    return reply;
}

} // namespace rig
