#include "station/RotatorServer.h"

#include "core/Degrees.h"
#include "core/VersionTexts.h"
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
                             platform::Platform& platform, QObject* parent)
    : QObject(parent), state_(state), platform_(platform), engine_(engine),
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
    pendingTurn_.reset();
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
            qCWarning(lcStation) << "rotctld server: more than" << MaxClients
                                 << "clients, one refused";
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
        pendingTurn_.reset();
        engine_.StopTurning();
        return RotctldReply(request, RotctldOk);
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

int RotatorServer::setPosition(const RotctldRequest& request) {
    if (request.elevation < LowestElevation || request.elevation > HighestElevation)
        return RotctldInvalidParameter;
    if (state_.StepsPer360 <= 0)
        return RotctldNotAvailable;
    const Long target = core::DegreesToSteps(request.azimuth, state_.DegreesPerStep);
    if (target < state_.MinPosition || target > state_.MaxPosition)
        return RotctldInvalidParameter;
    return requestTurn({target, engine::TurnOrigin::Network}) ? RotctldOk : RotctldRejected;
}

int RotatorServer::park() {
    Long target = state_.MinPosition;
    if (parkAzimuth_) {
        if (state_.StepsPer360 <= 0)
            return RotctldNotAvailable;
        target = core::DegreesToSteps(*parkAzimuth_, state_.DegreesPerStep);
        if (target < state_.MinPosition || target > state_.MaxPosition) {
            qCWarning(lcStation) << "rotctld park azimuth" << *parkAzimuth_
                                 << "lies beyond the limits; the stepper stays";
            return RotctldInvalidParameter;
        }
    }
    return requestTurn({target, engine::TurnOrigin::Network}) ? RotctldOk : RotctldRejected;
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
    return requestTurn(
               {limit, engine::TurnOrigin::Network, delayMs, delayMs ? Ramp::Off : Ramp::AsSet})
               ? RotctldOk
               : RotctldRejected;
}

bool RotatorServer::requestTurn(const engine::TurnRequest& turn) {
    if (!engine_.admits(engine::TurnOrigin::Network))
        return false;
    pendingTurn_ = turn;
    if (driving_) {
        // The turn under way ends; drive() goes on with the new one.
        engine_.StopTurning();
        return true;
    }
    if (!driveQueued_) {
        driveQueued_ = true;
        QMetaObject::invokeMethod(this, &RotatorServer::drive, Qt::QueuedConnection);
    }
    return true;
}

void RotatorServer::drive() {
    driveQueued_ = false;
    if (driving_)
        return;
    driving_ = true;
    const QPointer<RotatorServer> alive(this);
    while (pendingTurn_) {
        const engine::TurnRequest turn = *pendingTurn_;
        pendingTurn_.reset();
        engine_.StopTurning();
        engine_.TurnTo(turn);
        if (!alive)
            return;
    }
    driving_ = false;
}

} // namespace station
