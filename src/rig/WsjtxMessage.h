#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace rig {

// The datagrams WSJT-X and JTDX send to their UDP server: a QDataStream (big-endian, Qt 5.4
// serialisation) of the magic number 0xADBCCBDA, the schema (1..3), the message type and the
// sender's id (utf8: a byte array with a 32-bit length), then the type's own fields.
struct WsjtxMessage {
    // Other: any other type, of which only the id is read.
    enum class Type { Heartbeat = 0, Status = 1, Close = 6, Other = -1 };
    static constexpr quint32 Magic = 0xADBCCBDA;
    static constexpr quint32 HighestSchema = 3;

    Type type = Type::Heartbeat;
    quint32 schema = 2;
    QByteArray id;
    // Status only.
    quint64 dialHz = 0;
    QString mode;
    bool txEnabled = false;
    bool transmitting = false;
};

// The message of a datagram; nullopt for anything damaged: short, another magic, an unknown
// schema, a field cut off.
std::optional<WsjtxMessage> DecodeWsjtxDatagram(const QByteArray& datagram);

// The Halt Tx datagram (type 8) for the instance id, in its schema: with autoOnly the program
// stops its automatic transmissions (at the end of the period under way) and leaves the
// operator's own Tune alone; without it every transmission stops at once.
QByteArray EncodeWsjtxHaltTx(const QByteArray& id, bool autoOnly, quint32 schema);

} // namespace rig
