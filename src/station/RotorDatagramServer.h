#pragma once

#include "core/ProgramState.h"
#include "engine/Engine.h"
#include "engine/NetworkTurns.h"
#include "platform/Platform.h"
#include "station/RotorDatagramSettings.h"

#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QUdpSocket>
#include <memory>
#include <optional>

namespace station {

// A UDP rotator protocol beside rotctld (RotorDatagrams.h): N1MM Logger+'s rotor datagrams,
// with the heading sent back every HeadingEveryMs and after every turn, or PstRotator's
// commands, with its queries answered at the port above the command port. Turns go through
// the engine's front door and the network's one queue as rotctld's do: refused while the rig
// transmits or beyond the limits. Neither protocol has a password: off loopback only the
// allowed peers are heard.
class RotorDatagramServer : public QObject {
    Q_OBJECT

public:
    enum class Protocol { Logger, Pst };
    static constexpr int HeadingEveryMs = 1000;

    // Its turns go through turns.
    RotorDatagramServer(Protocol protocol, core::ProgramState& state, engine::Engine& engine,
                        engine::NetworkTurns& turns, platform::Platform& platform,
                        QObject* parent = nullptr);
    ~RotorDatagramServer() override;

    // On failure nothing listens and error says why.
    bool Listen(const RotorDatagramSettings& settings, QString* error = nullptr);
    void Close();
    bool listening() const { return socket_.state() == QAbstractSocket::BoundState; }
    quint16 port() const { return socket_.localPort(); }
    // Where a park turns (degrees); nullopt: to MinPosition.
    void SetParkAzimuth(std::optional<double> degrees) { parkAzimuth_ = degrees; }
    // Sends the heading now (N1MM Logger+ only; nothing without a degree scale).
    void SendHeading();

private:
    void readDatagrams();
    bool heard(const QHostAddress& peer) const;
    void loggerDatagram(const QByteArray& datagram, const QString& peer);
    void pstDatagram(const QByteArray& datagram, const QHostAddress& peer, const QString& who);
    void requestTurn(const engine::TurnRequest& turn);
    engine::TurnRequest park() const;
    double azimuth() const;

    Protocol protocol_;
    core::ProgramState& state_;
    engine::Engine& engine_;
    engine::NetworkTurns& turns_;
    RotorDatagramSettings settings_;
    std::optional<double> parkAzimuth_;
    QSet<QHostAddress> toldUnheard_; // told once each: a chatty neighbour fills no log
    QUdpSocket socket_;
    QUdpSocket headingSocket_;
    std::unique_ptr<platform::Timer> headingTimer_;
};

} // namespace station
