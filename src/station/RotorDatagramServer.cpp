#include "station/RotorDatagramServer.h"

#include "core/Degrees.h"
#include "engine/NetworkTurns.h"
#include "station/RotorDatagrams.h"
#include "station/StationLogging.h"

#include <QNetworkDatagram>

namespace station {

namespace {

// 192.168.1.20, not ::ffff:192.168.1.20.
QHostAddress Plain(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

} // namespace

RotorDatagramServer::RotorDatagramServer(Protocol protocol, core::ProgramState& state,
                                         engine::Engine& engine, engine::NetworkTurns& turns,
                                         platform::Platform& platform, QObject* parent)
    : QObject(parent), protocol_(protocol), state_(state), engine_(engine), turns_(turns),
      headingTimer_(platform.createTimer([this] { SendHeading(); })) {
    connect(&socket_, &QUdpSocket::readyRead, this, &RotorDatagramServer::readDatagrams);
    connect(&engine_, &engine::Engine::turnFinished, this, [this] {
        if (listening())
            SendHeading();
    });
}

RotorDatagramServer::~RotorDatagramServer() = default;

bool RotorDatagramServer::Listen(const RotorDatagramSettings& settings, QString* error) {
    Close();
    settings_ = settings;
    if (!socket_.bind(settings.address, settings.port)) {
        if (error)
            *error = socket_.errorString();
        return false;
    }
    if (protocol_ == Protocol::Logger)
        headingTimer_->start(HeadingEveryMs);
    return true;
}

void RotorDatagramServer::Close() {
    headingTimer_->stop();
    socket_.close();
    turns_.Drop(this);
}

bool RotorDatagramServer::heard(const QHostAddress& peer) const {
    const QHostAddress plain = Plain(peer);
    return plain.isLoopback() || settings_.allowed.contains(plain);
}

void RotorDatagramServer::readDatagrams() {
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram();
        const QHostAddress peer = Plain(datagram.senderAddress());
        if (!heard(peer)) {
            if (!toldUnheard_.contains(peer)) {
                toldUnheard_.insert(peer);
                qCInfo(lcStation).noquote() << "rotator datagrams of" << peer.toString()
                                            << "are not heard: the peer is not in allow=";
            }
            continue;
        }
        if (protocol_ == Protocol::Logger)
            loggerDatagram(datagram.data(), peer.toString());
        else
            pstDatagram(datagram.data(), peer, peer.toString());
    }
}

void RotorDatagramServer::loggerDatagram(const QByteArray& datagram, const QString& peer) {
    const std::optional<LoggerRotorCommand> command = ParseLoggerRotorDatagram(datagram);
    if (!command)
        return;
    if (command->kind == LoggerRotorCommand::Kind::Stop) {
        turns_.Stop();
        return;
    }
    requestTurn(
        engine::TurnRequest::ToDegrees(command->azimuth, engine::TurnOrigin::Network)
            .describedAs(QStringLiteral("N1MM %1 goazi %2").arg(peer).arg(command->azimuth)));
}

void RotorDatagramServer::pstDatagram(const QByteArray& datagram, const QHostAddress& peer,
                                      const QString& who) {
    using Kind = PstRotatorCommand::Kind;
    for (const PstRotatorCommand& command : ParsePstRotatorDatagram(datagram)) {
        switch (command.kind) {
        case Kind::Azimuth:
            requestTurn(
                engine::TurnRequest::ToDegrees(command.degrees, engine::TurnOrigin::Network)
                    .describedAs(
                        QStringLiteral("PstRotator %1 AZIMUTH %2").arg(who).arg(command.degrees)));
            break;
        case Kind::Elevation:
            break; // the station turns azimuth only
        case Kind::Stop:
            turns_.Stop();
            break;
        case Kind::Park:
            requestTurn(park().describedAs(QStringLiteral("PstRotator %1 park").arg(who)));
            break;
        case Kind::AskAzimuth:
        case Kind::AskElevation:
            if (command.kind == Kind::AskAzimuth && state_.StepsPer360 <= 0)
                break; // no degrees to tell
            socket_.writeDatagram(
                PstRotatorReply(command.kind, command.kind == Kind::AskAzimuth ? azimuth() : 0),
                peer, quint16(settings_.port + 1));
            break;
        }
    }
}

engine::TurnRequest RotorDatagramServer::park() const {
    return parkAzimuth_ ? engine::TurnRequest::ToDegrees(*parkAzimuth_, engine::TurnOrigin::Network)
                        : engine::TurnRequest{state_.MinPosition, engine::TurnOrigin::Network};
}

void RotorDatagramServer::requestTurn(const engine::TurnRequest& turn) {
    if (const std::optional<engine::TurnRefusal> refusal = engine_.Refuses(turn)) {
        engine_.TellRefusal(turn, *refusal);
        qCInfo(lcStation).noquote() << turn.detail << "refused:" << refusal->text;
        return;
    }
    turns_.Put(this, [this, turn] { engine_.TurnTo(turn); });
}

double RotorDatagramServer::azimuth() const {
    return core::StepsToDegrees(state_.StepCounter, state_.DegreesPerStep, 1);
}

void RotorDatagramServer::SendHeading() {
    if (protocol_ != Protocol::Logger || state_.StepsPer360 <= 0)
        return;
    headingSocket_.writeDatagram(LoggerRotorHeading(settings_.rotor, azimuth()),
                                 settings_.headingTo, settings_.headingPort);
}

} // namespace station
