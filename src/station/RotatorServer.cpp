#include "station/RotatorServer.h"

#include "core/Degrees.h"
#include "core/VersionTexts.h"
#include "engine/NetworkTurns.h"
#include "station/StationLogging.h"

#include <QPointer>
#include <QTcpSocket>
#include <cmath>

namespace station {

using core::Long;

namespace {

constexpr double LowestElevation = 0;
constexpr double HighestElevation = 90;

QByteArray Degrees(double degrees, int decimals) {
    return QByteArray::number(degrees, 'f', decimals);
}

} // namespace

RotatorServer::RotatorServer(core::ProgramState& state, engine::Engine& engine,
                             engine::NetworkTurns& turns, platform::Platform& platform,
                             QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine), turns_(turns),
      checkTimer_(platform.createTimer([this] { dropUnwanted(); })) {
    connect(&server_, &QTcpServer::newConnection, this, &RotatorServer::accept);
}

RotatorServer::~RotatorServer() = default;

bool RotatorServer::Listen(const QHostAddress& address, quint16 port, QString* error) {
    Close();
    if (!server_.listen(address, port)) {
        if (error)
            *error = server_.errorString();
        return false;
    }
    qCInfo(lcStation) << "rotctld server listens on" << address.toString() << server_.serverPort();
    emit listeningChanged(true);
    return true;
}

void RotatorServer::Close() {
    turns_.Drop(this);
    const bool was = server_.isListening();
    server_.close();
    checkTimer_->stop();
    for (RotctldSession* session : sessions())
        session->close();
    if (was)
        emit listeningChanged(false);
}

void RotatorServer::accept() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (clients_ >= MaxClients && !makeRoom()) {
            if (const int refused = refusedLog_.count(platform_.steadyMs()))
                qCWarning(lcStation).noquote()
                    << "rotctld server: more than" << MaxClients << "clients,"
                    << (refused == 1 ? QStringLiteral("one") : QString::number(refused))
                    << "refused";
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++clients_;
        auto* session = new RotctldSession(socket, *this, platform_, this);
        connect(session, &RotctldSession::closed, this, [this] {
            // Without clients nothing is looked after: a station waiting for one does not wake.
            if (--clients_ == 0)
                checkTimer_->stop();
        });
        if (!checkTimer_->isActive())
            checkTimer_->start(CheckEveryMs);
    }
}

QList<RotctldSession*> RotatorServer::sessions() const {
    return findChildren<RotctldSession*>(Qt::FindDirectChildrenOnly);
}

bool RotatorServer::makeRoom() {
    RotctldSession* quietest = nullptr;
    for (RotctldSession* session : sessions()) {
        if (!session->closing() && (!quietest || session->quietMs() > quietest->quietMs()))
            quietest = session;
    }
    if (!quietest || quietest->quietMs() < EvictQuietMs)
        return false;
    quietest->drop(QStringLiteral("quiet for %1 s while a new client waits")
                       .arg(quietest->quietMs() / 1000, 0, 'f', 0));
    return clients_ < MaxClients;
}

void RotatorServer::dropUnwanted() {
    for (RotctldSession* session : sessions()) {
        if (const QString why = session->unwanted(); !why.isEmpty())
            session->drop(why);
    }
}

QByteArray RotatorServer::Answer(const RotctldRequest& request) {
    if (!request.valid)
        return RotctldReply(request, RotctldInvalidParameter);
    switch (request.command) {
    case RotctldCommand::SetPos:
        return RotctldReply(request, setPosition(request));
    case RotctldCommand::GetPos:
        if (state_.StepsPer360 <= 0)
            return RotctldReply(request, RotctldNotAvailable);
        return RotctldReply(
            request, RotctldOk,
            {{"Azimuth",
              Degrees(core::StepsToDegrees(state_.StepCounter, state_.DegreesPerStep, 2), 2)},
             {"Elevation", Degrees(0, 2)}});
    case RotctldCommand::Park:
        return RotctldReply(request, park());
    case RotctldCommand::Move:
        return RotctldReply(request, move(request));
    case RotctldCommand::Stop:
        turns_.Stop();
        return RotctldReply(request, RotctldOk);
    case RotctldCommand::GetStatus:
        return RotctldReply(request, RotctldOk, {{"Status flags", statusFlags()}});
    case RotctldCommand::GetInfo:
        return RotctldReply(request, RotctldOk,
                            {{"Info", QByteArray("Ventrolo ") + core::VersionText.toUtf8()}});
    case RotctldCommand::DumpState: {
        const double lowest = core::StepsToDegrees(state_.MinPosition, state_.DegreesPerStep, 2);
        const double highest = core::StepsToDegrees(state_.MaxPosition, state_.DegreesPerStep, 2);
        return RotctldReply(request, RotctldOk,
                            {{"rotctld Protocol Ver", "1", ""},
                             {"Rotor Model", "2", ""},
                             {"Minimum Azimuth", Degrees(lowest, 6), "min_az="},
                             {"Maximum Azimuth", Degrees(highest, 6), "max_az="},
                             {"Minimum Elevation", Degrees(LowestElevation, 6), "min_el="},
                             {"Maximum Elevation", Degrees(HighestElevation, 6), "max_el="},
                             {"South Zero", "0", "south_zero="},
                             {"", "Az", "rot_type="},
                             {"", "", "done"}});
    }
    default:
        return RotctldReply(request, RotctldNotImplemented);
    }
}

QByteArray RotatorServer::statusFlags() const {
    if (!motion_ || motion_->settled())
        return {};
    if (!motion_->turning())
        return "BUSY";
    QByteArray flags = "MOVING MOVING_AZ";
    if (const int direction = motion_->direction(); direction != 0)
        flags += direction > 0 ? " MOVING_RIGHT" : " MOVING_LEFT";
    return flags;
}

int RotatorServer::setPosition(const RotctldRequest& request) {
    if (request.elevation < LowestElevation || request.elevation > HighestElevation)
        return RotctldInvalidParameter;
    return requestTurn(engine::TurnRequest::ToDegrees(request.azimuth, engine::TurnOrigin::Network)
                           .describedAs(QStringLiteral("rotctld P %1").arg(request.azimuth)));
}

int RotatorServer::park() {
    engine::TurnRequest turn =
        parkAzimuth_ ? engine::TurnRequest::ToDegrees(*parkAzimuth_, engine::TurnOrigin::Network)
                     : engine::TurnRequest{state_.MinPosition, engine::TurnOrigin::Network};
    const int code = requestTurn(turn.describedAs(QStringLiteral("rotctld K")));
    if (code == RotctldInvalidParameter && parkAzimuth_)
        qCWarning(lcStation) << "rotctld park azimuth" << *parkAzimuth_
                             << "lies beyond the limits; the stepper stays";
    return code;
}

int RotatorServer::move(const RotctldRequest& request) {
    if (request.direction != RotctldDirection::Left && request.direction != RotctldDirection::Right)
        return RotctldNotAvailable;
    const Long limit =
        request.direction == RotctldDirection::Left ? state_.MinPosition : state_.MaxPosition;
    std::optional<Long> delayMs;
    if (request.speed != RotctldSpeedAsIs) {
        // Speed 1 is the slowest delay, 100 the fastest, evenly in between.
        const double fraction = (request.speed - 1) / 99.0;
        delayMs = std::lround(
            static_cast<double>(state_.SlowestDelayMs) +
            fraction * static_cast<double>(state_.FastestDelayMs - state_.SlowestDelayMs));
    }
    // At a speed of its own the ramp is off: it would step at its own delays instead.
    using Ramp = engine::TurnRequest::Ramp;
    engine::TurnRequest turn{limit, engine::TurnOrigin::Network, delayMs,
                             delayMs ? Ramp::Off : Ramp::AsSet};
    return requestTurn(turn.describedAs(
        QStringLiteral("rotctld M %1 %2").arg(int(request.direction)).arg(request.speed)));
}

int RotatorServer::requestTurn(const engine::TurnRequest& turn) {
    using Why = engine::TurnRefusal::Why;
    if (const std::optional<engine::TurnRefusal> refusal = engine_.Refuses(turn)) {
        engine_.TellRefusal(turn, *refusal);
        switch (refusal->why) {
        case Why::NoDegreeScale:
            return RotctldNotAvailable;
        case Why::BeyondLimits:
            return RotctldInvalidParameter;
        case Why::Transmitting:
        case Why::Exiting:
        case Why::CounterByHand:
            return RotctldRejected;
        case Why::OutputUnable:
            return RotctldIoError;
        }
    }
    turns_.Put(this, [this, turn] { engine_.TurnTo(turn); });
    return RotctldOk;
}

} // namespace station
