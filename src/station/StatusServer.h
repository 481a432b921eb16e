#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <functional>

namespace station {

// Answers `ventrolo --status` on the program directory's status socket: every client that
// connects is sent the status text and the connection is closed; nothing is read from it.
// The socket is open to every user, so `--status` works from another account. A socket left by
// a crashed station is taken over; one that a running station answers on is left alone.
// At most MaxClients are served at once (more are closed unanswered), and a client that does
// not take its text within the client timeout is dropped, so none holds up the station.
class StatusServer : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxClients = 4;
    static constexpr int DefaultClientTimeoutMs = 2000;

    // status gives the text each client is sent, when it connects.
    explicit StatusServer(std::function<QString()> status,
                          int clientTimeoutMs = DefaultClientTimeoutMs, QObject* parent = nullptr);
    ~StatusServer() override;

    // Listens on directory's status socket; on failure nothing listens, no other station's
    // socket is touched and error says why.
    bool Listen(const QString& directory, QString* error = nullptr);
    // Stops listening and removes the socket file; clients already connected get their text.
    void Close();
    bool listening() const { return server_.isListening(); }
    QString socketPath() const { return server_.fullServerName(); }
    int clientCount() const { return clients_; }

private:
    // Clears the way for a socket at path: false, with error, when a station answers there or
    // something else than a socket lies there.
    bool clearStaleSocket(const QString& path, QString* error);
    void accept();

    std::function<QString()> status_;
    int clientTimeoutMs_;
    QLocalServer server_;
    int clients_ = 0;
};

} // namespace station
