#pragma once

#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

namespace test_support {

// Whether something on this machine takes connections on port within timeoutMs; the caller's
// event loop does not run meanwhile (for a server in another process).
inline bool Listening(quint16 port, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 50) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (socket.waitForConnected(100))
            return true;
        QThread::msleep(50);
    }
    return false;
}

} // namespace test_support
