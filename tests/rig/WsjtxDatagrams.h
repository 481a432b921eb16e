#pragma once

// Datagrams as WSJT-X lays them out, written field by field: the header (magic, schema, type,
// id), then the type's fields.
#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <functional>

namespace rig_test {

inline QByteArray WsjtxDatagram(quint32 type, const QByteArray& id,
                                const std::function<void(QDataStream&)>& fields = {},
                                quint32 schema = 3, quint32 magic = 0xADBCCBDA) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_4);
    out << magic << schema << type << id;
    if (fields)
        fields(out);
    return bytes;
}

// Heartbeat: maximum schema, version, revision.
inline QByteArray WsjtxHeartbeat(const QByteArray& id = "WSJT-X") {
    return WsjtxDatagram(0, id, [](QDataStream& out) {
        out << quint32(3) << QByteArray("2.6.1") << QByteArray("a1b2c3");
    });
}

// Status, every field of schema 3.
inline QByteArray WsjtxStatus(quint64 dialHz, const QByteArray& mode, bool transmitting,
                              const QByteArray& id = "WSJT-X", bool txEnabled = true) {
    return WsjtxDatagram(1, id, [&](QDataStream& out) {
        out << dialHz << mode << QByteArray("DL1ABC") << QByteArray("-12") << mode << txEnabled
            << transmitting << false /* decoding */ << quint32(1500) << quint32(1500)
            << QByteArray("PA3XYZ") << QByteArray("JO22") << QByteArray("JO62")
            << false /* Tx watchdog */ << QByteArray() /* sub-mode */ << false /* fast mode */
            << quint8(0) << quint32(0xFFFFFFFF) << quint32(0xFFFFFFFF) << QByteArray("Default")
            << QByteArray("CQ PA3XYZ JO22");
    });
}

// Close.
inline QByteArray WsjtxClose(const QByteArray& id = "WSJT-X") {
    return WsjtxDatagram(6, id);
}

// A free UDP port on 127.0.0.1 (nothing listens there once this returns).
inline quint16 FreeUdpPort() {
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

} // namespace rig_test
