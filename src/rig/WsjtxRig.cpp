#include "rig/WsjtxRig.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/RigLogging.h"
#include "rig/WsjtxMessage.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <utility>

namespace rig {

namespace {

constexpr int ModeButtons = 10;
constexpr double HighestKHz = 1e7;

float DialKHz(quint64 hz) {
    if (hz == 0 || double(hz) / 1000 > HighestKHz)
        return 0;
    return static_cast<float>(core::RoundHalfEven(double(hz) / 1000));
}

} // namespace

WsjtxRig::WsjtxRig(platform::Platform& platform, CatLog* log, QObject* parent)
    : RigConnection(parent), platform_(platform), log_(log),
      lostTimer_(platform_.createTimer([this] { lost(); })) {}

WsjtxRig::~WsjtxRig() {
    close();
}

bool WsjtxRig::heard() const {
    return socket_ && !followed_.isEmpty() && platform_.steadyMs() - heardAtMs_ <= LostAfterMs;
}

QString WsjtxRig::lineText() const {
    QString text = QStringLiteral("WSJT-X UDP ") + address_.text();
    if (socket_ && !heard())
        text += QStringLiteral(" - not heard");
    return text;
}

// --- listening ---

LinkOpenResult WsjtxRig::open(int /*port*/) {
    if (socket_)
        close();
    auto* socket = new QUdpSocket(this);
    const auto port = static_cast<quint16>(address_.port);
    bool listening = false;
    if (address_.group.isEmpty()) {
        listening = socket->bind(QHostAddress::LocalHost, port);
    } else {
        // Other programs listen to the group on the same port.
        const QHostAddress group(address_.group);
        listening =
            socket->bind(group.protocol() == QAbstractSocket::IPv6Protocol ? QHostAddress::AnyIPv6
                                                                           : QHostAddress::AnyIPv4,
                         port, QUdpSocket::ShareAddress | QUdpSocket::ReuseAddressHint) &&
            socket->joinMulticastGroup(group);
    }
    if (!listening) {
        const QString error = QStringLiteral("Cannot listen for WSJT-X on UDP ") + address_.text() +
                              QStringLiteral(": ") + socket->errorString();
        delete socket;
        qCWarning(lcRig).noquote() << error;
        platform_.messageBox(error, core::MessageTitle(), platform::Icon::Critical,
                             platform::Buttons::Ok);
        return {false, error};
    }
    socket_ = socket;
    connect(socket, &QUdpSocket::readyRead, this, &WsjtxRig::readDatagrams);
    damagedLogged_ = false;
    ignored_.clear();
    qCInfo(lcRig) << "listening for WSJT-X on UDP" << address_.text();
    emit changed();
    return {true, {}};
}

bool WsjtxRig::HaltAutoTx() {
    if (!socket_ || followed_.isEmpty() || peerPort_ == 0)
        return false;
    const QByteArray datagram = EncodeWsjtxHaltTx(followed_, true, peerSchema_);
    if (socket_->writeDatagram(datagram, peer_, peerPort_) != datagram.size()) {
        qCWarning(lcRig) << "Halt Tx could not be sent to" << followed_ << socket_->errorString();
        return false;
    }
    qCInfo(lcRig) << "sent Halt Tx to" << followed_ << "for a turn";
    return true;
}

void WsjtxRig::close() {
    if (!socket_)
        return;
    // Closed now, so that the port can be listened on again at once; deleted outside its own
    // handlers.
    QUdpSocket* socket = socket_;
    socket_.clear();
    disconnect(socket, nullptr, this, nullptr);
    socket->close();
    socket->deleteLater();
    lostTimer_->stop();
    followed_.clear();
    statusHeard_ = false;
    announcedTransmitting_.reset();
    emit closed();
    emit changed();
}

void WsjtxRig::readDatagrams() {
    while (socket_ && socket_->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_->receiveDatagram();
        const std::optional<WsjtxMessage> message = DecodeWsjtxDatagram(datagram.data());
        if (!message) {
            if (!std::exchange(damagedLogged_, true))
                qCWarning(lcRig) << "ignored a datagram on UDP" << address_.text()
                                 << "that is not WSJT-X's (told once)";
            continue;
        }
        if (message->type == WsjtxMessage::Type::Other)
            continue;
        // Another instance (a second WSJT-X with its own rig) never takes the link.
        if (!address_.ids.contains(QString::fromUtf8(message->id))) {
            if (!ignored_.contains(message->id)) {
                ignored_.insert(message->id);
                qCInfo(lcRig).noquote()
                    << QStringLiteral("ignored the datagrams of \"%1\" on UDP %2: [wsjtx] id= "
                                      "names the instances followed (%3)")
                           .arg(QString::fromUtf8(message->id), address_.text(),
                                address_.ids.join(QLatin1Char(',')));
            }
            continue;
        }
        if (!followed_.isEmpty() && message->id != followed_)
            continue;
        if (message->type == WsjtxMessage::Type::Close) {
            if (!followed_.isEmpty())
                lost();
            continue;
        }
        if (followed_.isEmpty()) {
            followed_ = message->id;
            qCInfo(lcRig) << "hearing" << followed_ << "on UDP" << address_.text();
        }
        heardAtMs_ = platform_.steadyMs();
        lostTimer_->start(LostAfterMs);
        peer_ = datagram.senderAddress();
        peerPort_ = static_cast<quint16>(datagram.senderPort());
        peerSchema_ = message->schema;
        std::optional<float> toldKHz;
        if (message->type == WsjtxMessage::Type::Status) {
            statusHeard_ = true;
            kHz_ = DialKHz(message->dialHz);
            if (kHz_ > 0)
                toldKHz = kHz_;
            transmitting_ = message->transmitting;
            txEnabled_ = message->txEnabled;
            // The transmit state is told at once: a turn under way stops without waiting for
            // the next read.
            if (std::exchange(announcedTransmitting_, transmitting_) != transmitting_) {
                QMetaObject::invokeMethod(
                    this, [this, news = reading(true)] { emit readingAnnounced(news); },
                    Qt::QueuedConnection);
            }
            int modeIndex = 0;
            if (!message->mode.isEmpty()) {
                if (!modes_.contains(message->mode) && modes_.size() < ModeButtons) {
                    modes_ << message->mode;
                    emit capabilitiesChanged();
                }
                modeIndex = int(modes_.indexOf(message->mode)) + 1;
            }
            emit modeSelected(modeIndex);
            if (log_)
                log_->logText(
                    QStringLiteral("%1 status %2 Hz %3%4%5")
                        .arg(QString::fromUtf8(message->id))
                        .arg(message->dialHz)
                        .arg(message->mode)
                        .arg(message->txEnabled ? QStringLiteral(" Tx enabled") : QString())
                        .arg(message->transmitting ? QStringLiteral(" transmitting") : QString()),
                    CatDirection::Receive);
        }
        // Status and heartbeat are the program's announcements: a quiet dial still sends them.
        emit heardUnasked(toldKHz);
        emit changed();
    }
}

void WsjtxRig::lost() {
    lostTimer_->stop();
    if (followed_.isEmpty())
        return;
    qCWarning(lcRig) << followed_ << "on UDP" << address_.text()
                     << "is no longer heard: no frequency until it is";
    followed_.clear();
    statusHeard_ = false;
    announcedTransmitting_.reset();
    emit changed();
}

// --- readings ---

RigReading WsjtxRig::reading(bool transmitOnly) const {
    RigReading reading;
    reading.transmitOnly = transmitOnly;
    if (heard() && statusHeard_) {
        if (!transmitOnly && kHz_ > 0)
            reading.kHz = kHz_;
        reading.transmitting = transmitting_;
    }
    return reading;
}

void WsjtxRig::deliver(const RigReading& reading) {
    QMetaObject::invokeMethod(
        this, [this, reading] { emit readingArrived(reading); }, Qt::QueuedConnection);
}

bool WsjtxRig::requestReading() {
    deliver(reading(false));
    return true;
}

bool WsjtxRig::requestTransmitState() {
    deliver(reading(true));
    return true;
}

bool WsjtxRig::requestSMeter() {
    QMetaObject::invokeMethod(
        this, [this] { emit sMeterArrived(std::nullopt); }, Qt::QueuedConnection);
    return true;
}

LinkCapabilities WsjtxRig::capabilities() const {
    LinkCapabilities caps;
    caps.canSetRig = false;
    caps.modeNames = modes_;
    return caps;
}

bool WsjtxRig::frequencyValid(double kHz) const {
    return kHz > 0 && kHz <= HighestKHz;
}

} // namespace rig
