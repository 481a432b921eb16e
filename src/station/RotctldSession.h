#pragma once

#include "station/RotctldProtocol.h"

#include <QObject>

class QTcpSocket;

namespace station {

// Who answers the requests of a session: the rotator server.
class RotctldResponder {
public:
    virtual ~RotctldResponder() = default;
    // The reply to send. Must not run the event loop.
    virtual QByteArray Answer(const RotctldRequest& request) = 0;
};

// One client of the rotator server: its lines in, the replies out, in order. No client can
// starve the window or fill the memory:
// - a line holds at most MaxLineBytes; a longer one is answered once with "RPRT -1" and
//   dropped up to its end;
// - one event-loop pass serves at most MaxLinesPerPass lines, the rest waits for a later pass;
// - while more than MaxUnsentBytes of replies wait to go out, nothing more is read (the client
//   must read its replies), and the socket buffers at most MaxReadBytes of input.
// The session deletes itself once the connection has ended (closed()).
class RotctldSession : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 MaxLineBytes = 256;
    static constexpr int MaxLinesPerPass = 16;
    static constexpr qint64 MaxUnsentBytes = 16 * 1024;
    static constexpr qint64 MaxReadBytes = 4 * 1024;

    // Takes the connected socket.
    RotctldSession(QTcpSocket* socket, RotctldResponder& responder, QObject* parent = nullptr);
    ~RotctldSession() override;

    // Ends the connection once the replies sent so far have gone out.
    void close();

signals:
    void closed();

private:
    void schedule();
    void serve();
    bool lineWaiting() const;

    QTcpSocket* socket_;
    RotctldResponder& responder_;
    bool scheduled_ = false;
    bool discarding_ = false; // inside a line that was too long
    bool closing_ = false;
};

} // namespace station
