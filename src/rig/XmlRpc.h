#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

namespace rig {

// XML-RPC as an flrig server speaks it: a call is the body of one HTTP POST, its answer one
// value or a fault. Values are QString (a <string> or an untyped <value>), int (<i4>, <int>),
// qlonglong (<i8>), bool (<boolean>), double, QVariantList (<array>) and QVariantMap (<struct>).

// The body of a call; params of type int, qlonglong, double, bool or QString.
QByteArray XmlRpcCall(const QString& method, const QVariantList& params = {});

struct XmlRpcReply {
    enum class Kind { Value, Fault, Malformed };
    Kind kind = Kind::Malformed;
    QVariant value; // with Value
    QString fault;  // with Fault: the server's code and text
    bool ok() const { return kind == Kind::Value; }
};

// A method response; anything that is not exactly one value or one fault is Malformed.
XmlRpcReply ParseXmlRpcReply(const QByteArray& body);

} // namespace rig
