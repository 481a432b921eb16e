#pragma once

#include "core/LogThrottle.h"
#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/MotionWatch.h"
#include "engine/NetworkTurns.h"
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
// - K turns to the park azimuth when one is set, else to MinPosition; a park azimuth beyond
//   the limits answers "RPRT -1" and nothing moves.
// - M 8 (left, CCW) turns towards MinPosition, M 16 (right, CW) towards MaxPosition, until S, a
//   new P or the limit; speed 1..100 steps at SlowestDelayMs..FastestDelayMs, -1 at the delay
//   in force. Up and down (2, 4) answer "RPRT -11": the station turns azimuth only.
// - While the rig transmits, P, K and M answer "RPRT -9" and nothing moves.
// The turns run from the event loop, one at a time however many requests arrive meanwhile, in
// the queue shared with the web API (engine::NetworkTurns): the latest network turn wins.
// At most MaxClients are connected. Once a second while any is, the clients that are gone, idle
// or do not read their replies are dropped (RotctldSession::unwanted()); a new client that finds
// every slot taken takes that of the client quiet longest, when it has been quiet for
// EvictQuietMs.
class RotatorServer : public QObject, private RotctldResponder {
    Q_OBJECT

public:
    static constexpr int MaxClients = 16;
    // How long (ms) a client must have sent no whole line before a newcomer takes its slot.
    static constexpr double EvictQuietMs = 10 * 1000;
    // How often (ms) the clients are looked after.
    static constexpr int CheckEveryMs = 1000;
    // At most one log line this often (ms) tells of the clients refused meanwhile.
    static constexpr double TellRefusedEveryMs = 10 * 1000;

    // Times and the check's timer are platform's; its turns go through turns.
    RotatorServer(core::ProgramState& state, engine::Engine& engine, engine::NetworkTurns& turns,
                  platform::Platform& platform, QObject* parent = nullptr);
    ~RotatorServer() override;

    // Listens on address:port; on failure nothing listens and error says why.
    bool Listen(const QHostAddress& address, quint16 port, QString* error = nullptr);
    // Stops listening and ends every connection; a turn it started goes on to its end.
    void Close();
    bool listening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    int clientCount() const { return clients_; }
    // Where K turns (degrees); nullopt: to MinPosition.
    void SetParkAzimuth(std::optional<double> degrees) { parkAzimuth_ = degrees; }
    // What s (get_status) answers from; without it the rotator always reads settled.
    void setMotion(const engine::MotionWatch* motion) { motion_ = motion; }

signals:
    void listeningChanged(bool listening);

private:
    QByteArray Answer(const RotctldRequest& request) override;
    int setPosition(const RotctldRequest& request);
    int park();
    int move(const RotctldRequest& request);
    // Hamlib's rotator status flags by their names: turning, MOVING, MOVING_AZ and the
    // direction (LEFT towards MinPosition); standing but not yet settled, BUSY.
    QByteArray statusFlags() const;
    void accept();
    // Drops the client quiet longest when it has been quiet EvictQuietMs; false when none has.
    bool makeRoom();
    QList<RotctldSession*> sessions() const;
    void dropUnwanted();
    // Makes this turn the network's next (engine::NetworkTurns), or answers why the engine
    // refuses it.
    int requestTurn(const engine::TurnRequest& turn);

    core::ProgramState& state_;
    platform::Platform& platform_;
    engine::Engine& engine_;
    engine::NetworkTurns& turns_;
    std::unique_ptr<platform::Timer> checkTimer_;
    QTcpServer server_;
    int clients_ = 0;
    core::LogThrottle refusedLog_{TellRefusedEveryMs};
    std::optional<double> parkAzimuth_;
    const engine::MotionWatch* motion_ = nullptr;
};

} // namespace station
