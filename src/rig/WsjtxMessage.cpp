#include "rig/WsjtxMessage.h"

#include <QDataStream>

namespace rig {

std::optional<WsjtxMessage> DecodeWsjtxDatagram(const QByteArray& datagram) {
    QDataStream in(datagram);
    in.setByteOrder(QDataStream::BigEndian);
    in.setVersion(QDataStream::Qt_5_4);
    quint32 magic = 0;
    quint32 schema = 0;
    quint32 type = 0;
    WsjtxMessage message;
    in >> magic >> schema >> type >> message.id;
    if (in.status() != QDataStream::Ok || magic != WsjtxMessage::Magic || schema < 1 ||
        schema > WsjtxMessage::HighestSchema)
        return std::nullopt;
    message.schema = schema;
    switch (type) {
    case quint32(WsjtxMessage::Type::Heartbeat):
    case quint32(WsjtxMessage::Type::Close):
        message.type = WsjtxMessage::Type(type);
        return message;
    case quint32(WsjtxMessage::Type::Status): {
        message.type = WsjtxMessage::Type::Status;
        QByteArray mode;
        QByteArray dxCall;
        QByteArray report;
        QByteArray txMode;
        in >> message.dialHz >> mode >> dxCall >> report >> txMode >> message.txEnabled >>
            message.transmitting;
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        message.mode = QString::fromUtf8(mode);
        return message;
    }
    default:
        message.type = WsjtxMessage::Type::Other;
        return message;
    }
}

QByteArray EncodeWsjtxHaltTx(const QByteArray& id, bool autoOnly, quint32 schema) {
    constexpr quint32 HaltTx = 8;
    QByteArray datagram;
    QDataStream out(&datagram, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out.setVersion(QDataStream::Qt_5_4);
    out << WsjtxMessage::Magic << schema << HaltTx << id << autoOnly;
    return datagram;
}

} // namespace rig
