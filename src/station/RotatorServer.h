#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "station/RotctldSession.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
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
class RotatorServer : public QObject, private RotctldResponder {
    Q_OBJECT

public:
    static constexpr int MaxClients = 16;

    RotatorServer(core::ProgramState& state, engine::Engine& engine, QObject* parent = nullptr);
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
    void requestTurn(core::Long target);
    void drive();

    core::ProgramState& state_;
    engine::Engine& engine_;
    QTcpServer server_;
    int clients_ = 0;
    std::optional<core::Long> pendingTarget_;
    bool driveQueued_ = false;
    bool driving_ = false;
};

} // namespace station
