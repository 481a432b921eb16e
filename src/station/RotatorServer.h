#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "platform/Platform.h"
#include "station/RotctldSession.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <memory>
#include <optional>

namespace station {

// Serves Hamlib's rotctld protocol, so that gpredict, loggers and `rotctl -m 2` turn the
// selected stepper by azimuth: degrees are steps x 360 / StepsPer360 within MinPosition ..
// MaxPosition; elevation is accepted from 0 to 90 and ignored.
// - P az el answers "RPRT 0" and then turns; out of the limits it answers "RPRT -1" and
//   nothing moves. A P while a turn runs ends that turn and starts the new one.
// - A stepper without steps per 360 has no azimuth: P and p answer "RPRT -11".
// - p answers the azimuth of the counter (two decimals) and elevation 0; S stops whatever
//   turns; _ names the program; \dump_state gives the limits; q ends the connection.
// The turns run from the event loop, one at a time however many requests arrive meanwhile,
// so a request handler never runs inside another and a client that disconnects mid-turn
// leaves nothing behind.
// At most MaxClients are connected. Once a second the clients that are gone, idle or do not
// read their replies are dropped (RotctldSession::unwanted()); a new client that finds every
// slot taken takes that of the client quiet longest, when it has been quiet for EvictQuietMs.
class RotatorServer : public QObject, private RotctldResponder {
    Q_OBJECT

public:
    static constexpr int MaxClients = 16;
    // How long (ms) a client must have sent no whole line before a newcomer takes its slot.
    static constexpr double EvictQuietMs = 10 * 1000;
    // How often (ms) the clients are looked after.
    static constexpr int CheckEveryMs = 1000;

    // Times and the check's timer are platform's.
    RotatorServer(core::ProgramState& state, engine::Engine& engine, platform::Platform& platform,
                  QObject* parent = nullptr);
    ~RotatorServer() override;

    // Listens on address:port; on failure nothing listens and error says why.
    bool Listen(const QHostAddress& address, quint16 port, QString* error = nullptr);
    // Stops listening and ends every connection; a turn it started goes on to its end.
    void Close();
    bool listening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    int clientCount() const { return clients_; }

signals:
    void listeningChanged(bool listening);

private:
    QByteArray Answer(const RotctldRequest& request) override;
    int setPosition(const RotctldRequest& request);
    void accept();
    // Drops the client quiet longest when it has been quiet EvictQuietMs; false when none has.
    bool makeRoom();
    QList<RotctldSession*> sessions() const;
    void dropUnwanted();
    void requestTurn(core::Long target);
    void drive();

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    std::unique_ptr<platform::Timer> checkTimer_;
    QTcpServer server_;
    int clients_ = 0;
    std::optional<core::Long> pendingTarget_;
    bool driveQueued_ = false;
    bool driving_ = false;
};

} // namespace station
