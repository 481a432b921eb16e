#pragma once

#include "platform/Platform.h"
#include "station/RotctldProtocol.h"

#include <QObject>
#include <QString>
#include <optional>

class QTcpSocket;

namespace station {

// Who answers the requests of a session: the rotator server.
class RotctldResponder {
public:
    virtual ~RotctldResponder() = default;
    // The reply to send. Must not run the event loop.
    virtual QByteArray Answer(const RotctldRequest& request) = 0;
};

// One client of the rotator server: its lines (ended by "\n", "\r" or both) in, the replies out,
// in order. No client can starve the window or fill the memory:
// - a line holds at most MaxLineBytes; a longer one is answered once with "RPRT -1" and
//   dropped up to its end;
// - one event-loop pass serves at most MaxLinesPerPass lines, the rest waits for a later pass;
// - while more than MaxUnsentBytes of replies wait to go out, nothing more is read (the client
//   must read its replies), and the session and its socket each hold at most MaxReadBytes of
//   input.
// Nor can a client hold its slot for ever: unwanted() tells when the server should drop it.
// The session deletes itself once the connection has ended (closed()).
class RotctldSession : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 MaxLineBytes = 256;
    static constexpr int MaxLinesPerPass = 16;
    static constexpr qint64 MaxUnsentBytes = 16 * 1024;
    static constexpr qint64 MaxReadBytes = 4 * 1024;
    // A client that sent no whole line for this long is idle (ms).
    static constexpr double IdleMs = 5 * 60 * 1000;
    // A client whose replies have waited this long without any of them read (ms).
    static constexpr double UnreadMs = 30 * 1000;

    // Takes the connected socket; times are those of platform's steady clock.
    RotctldSession(QTcpSocket* socket, RotctldResponder& responder, platform::Platform& platform,
                   QObject* parent = nullptr);
    ~RotctldSession() override;

    // Ends the connection once the replies sent so far have gone out.
    void close();
    // Ends the connection at once, replies unsent or not; why goes to the log.
    void drop(const QString& why);
    // Why the client should be dropped now: it has gone while its replies wait (the session
    // reads nothing then, so it would never see the close), it is idle, or it does not read
    // its replies. Empty while it is wanted.
    QString unwanted() const;
    // How long (ms) since the client's last whole line, or since it connected.
    double quietMs() const;
    // True once the connection is ending.
    bool closing() const { return closing_; }

signals:
    void closed();

private:
    void schedule();
    void serve();
    // Serves input_'s next line; false when there is no whole line yet, or it was q.
    bool serveNextLine();
    // Moves what the socket holds into input_, up to MaxReadBytes.
    void fill();
    // Bytes of input_'s next line with its line end (at most MaxLineBytes: a longer line comes
    // in pieces without one); 0 while the line is incomplete.
    qsizetype nextLineSize() const;
    void reply(const QByteArray& bytes);
    void written();
    bool peerGone() const;
    bool peerEnded() const;

    QTcpSocket* socket_;
    RotctldResponder& responder_;
    platform::Platform& platform_;
    QByteArray input_; // read, not yet served
    double lastLineMs_;
    std::optional<double> unreadSinceMs_; // replies wait unread since then
    bool scheduled_ = false;
    bool discarding_ = false; // inside a line that was too long
    bool closing_ = false;
    bool ended_ = false; // the client ended the connection: replies have nowhere to go
};

} // namespace station
