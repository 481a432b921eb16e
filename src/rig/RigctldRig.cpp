#include "rig/RigctldRig.h"

#include "core/TextRules.h"
#include "rig/RigLogging.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <utility>

namespace rig {

namespace {

// The buttons' modes in rigctld's names; the first ten a transceiver is most often set to.
const std::array<QString, 10> ModeNames{QStringLiteral("LSB"),    QStringLiteral("USB"),
                                        QStringLiteral("CW"),     QStringLiteral("CWR"),
                                        QStringLiteral("AM"),     QStringLiteral("FM"),
                                        QStringLiteral("RTTY"),   QStringLiteral("RTTYR"),
                                        QStringLiteral("PKTLSB"), QStringLiteral("PKTUSB")};
// Highest frequency the link sends, kHz (the daemon knows the rig's own bands).
constexpr double HighestKHz = 1e7;
// Longer than any reply line: a daemon that sends one is not a daemon.
constexpr qint64 LongestLine = 4096;

using Reply = QList<QByteArray>;

bool Reported(const Reply& reply) {
    return !reply.isEmpty() && reply.first().startsWith("RPRT ");
}

// The reply of a command that sets something: "RPRT 0".
bool Succeeded(const Reply& reply) {
    return reply.size() == 1 && reply.first() == "RPRT 0";
}

std::optional<float> ParseKHz(const Reply& reply) {
    if (reply.size() != 1 || Reported(reply))
        return std::nullopt;
    bool number = false;
    const double hz = reply.first().toDouble(&number);
    if (!number || !std::isfinite(hz) || hz <= 0 || hz / 1000 > HighestKHz)
        return std::nullopt;
    const auto kHz = static_cast<float>(core::RoundHalfEven(hz / 1000));
    return kHz > 0 ? std::optional<float>(kHz) : std::nullopt;
}

std::optional<bool> ParsePtt(const Reply& reply) {
    if (reply.size() != 1 || Reported(reply))
        return std::nullopt;
    bool number = false;
    const int ptt = reply.first().toInt(&number);
    // 1 keyed, 2 keyed by the microphone, 3 keyed for data.
    if (!number || ptt < 0 || ptt > 3)
        return std::nullopt;
    return ptt != 0;
}

// rigctld's signal strength is in dB over S9; the meter shows S0..S9 in 6 dB steps and up to
// S9+60 dB (15) in 10 dB steps, as the Yaesu rigs report it.
std::optional<float> ParseSMeter(const Reply& reply) {
    if (reply.size() != 1 || Reported(reply))
        return std::nullopt;
    bool number = false;
    const double dB = reply.first().toDouble(&number);
    if (!number || !std::isfinite(dB))
        return std::nullopt;
    const double s = dB <= 0 ? 9 + dB / 6 : 9 + dB / 10;
    return static_cast<float>(std::clamp(std::round(s), 0.0, 15.0));
}

} // namespace

RigctldRig::RigctldRig(platform::Platform& platform, QObject* parent)
    : RigConnection(parent), platform_(platform),
      replyLimit_(platform_.createTimer([this] { replyLimitReached(); })),
      reconnect_(platform_.createTimer([this] {
          reconnect_->stop();
          if (open_ && !socket_)
              connectToDaemon();
      })) {}

RigctldRig::~RigctldRig() {
    close();
}

bool RigctldRig::connected() const {
    return socket_ && socket_->state() == QAbstractSocket::ConnectedState;
}

QString RigctldRig::lineText() const {
    QString text = QStringLiteral("rigctld ") + address_.text();
    if (open_ && !connected())
        text += QStringLiteral(" - no connection");
    return text;
}

// --- the connection ---

LinkOpenResult RigctldRig::open(int /*port*/) {
    if (open_)
        close();
    open_ = true;
    reconnectMs_ = ReconnectMs;
    lastFailure_.clear();
    connectToDaemon();
    return {true, {}};
}

void RigctldRig::close() {
    if (!open_)
        return;
    if (pttOn_)
        (void)setPtt(false);
    open_ = false;
    reconnect_->stop();
    replyLimit_->stop();
    if (QTcpSocket* socket = socket_) {
        // What is written (the PTT released) still goes out; then the socket goes.
        socket_.clear();
        disconnect(socket, nullptr, this, nullptr);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(ReplyLimitMs, socket, &QObject::deleteLater);
        socket->disconnectFromHost();
    }
    std::deque<Pending> unanswered;
    unanswered.swap(pending_);
    for (Pending& command : unanswered)
        command.done({});
    dialKHz_ = 0;
    emit closed();
    emit changed();
}

void RigctldRig::connectToDaemon() {
    auto* socket = new QTcpSocket(this);
    socket_ = socket;
    connect(socket, &QTcpSocket::connected, this, &RigctldRig::connectionMade);
    connect(socket, &QTcpSocket::readyRead, this, &RigctldRig::readLines);
    connect(socket, &QTcpSocket::disconnected, this,
            [this] { dropConnection(QStringLiteral("closed by the daemon")); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket] {
        if (socket == socket_)
            dropConnection(socket->errorString());
    });
    if (lastFailure_.isEmpty())
        qCInfo(lcRig) << "connecting to rigctld at" << address_.text();
    // A connection too is given its time.
    replyLimit_->start(ReplyLimitMs);
    socket->connectToHost(address_.host, static_cast<quint16>(address_.port));
}

void RigctldRig::connectionMade() {
    replyLimit_->stop();
    if (!std::exchange(pttReadable_, true)) // the daemon may serve another rig now
        emit capabilitiesChanged();
    if (lastFailure_.isEmpty())
        qCInfo(lcRig) << "connected to rigctld at" << address_.text();
    vfoMode_.reset();
    unwritten_.clear();
    socket_->write("\\chk_vfo\n");
    pending_.push_back({1,
                        [this](const Reply& reply) {
                            if (!socket_)
                                return;
                            vfoMode_ = reply.size() == 1 &&
                                       (reply.first() == "1" || reply.first() == "CHKVFO 1");
                            if (*vfoMode_)
                                qCInfo(lcRig) << "rigctld at" << address_.text()
                                              << "runs with --vfo: commands name the current VFO";
                            for (const QByteArray& line : std::exchange(unwritten_, {}))
                                socket_->write(forDaemon(line) + '\n');
                        },
                        {}});
    replyLimit_->start(ReplyLimitMs);
    if (releaseOwedTo(keyedLine(), pttReleaseOwed_) && send("T 0", 1, [](const Reply&) {})) {
        if (!pttReleaseOwed_)
            qCInfo(lcRig) << "the PTT left keyed through rigctld at" << address_.text()
                          << "is released";
        pttReleaseOwed_ = false;
        keyedRecord_.released();
    }
    emit changed();
}

void RigctldRig::dropConnection(const QString& why) {
    if (!socket_)
        return;
    if (why != lastFailure_)
        qCWarning(lcRig).noquote()
            << "rigctld at" << address_.text() << why
            << "- tried again ever less often, up to every" << LongestReconnectMs / 1000 << "s";
    lastFailure_ = why;
    QTcpSocket* socket = socket_;
    socket_.clear();
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
    replyLimit_->stop();
    std::deque<Pending> unanswered;
    unanswered.swap(pending_);
    for (Pending& command : unanswered)
        command.done({});
    if (open_) {
        reconnect_->start(reconnectMs_);
        reconnectMs_ = std::min(2 * reconnectMs_, LongestReconnectMs);
    }
    emit changed();
}

void RigctldRig::replyLimitReached() {
    replyLimit_->stop();
    dropConnection(connected() ? QStringLiteral("did not answer in time")
                               : QStringLiteral("could not be reached in time"));
}

bool RigctldRig::send(const QByteArray& line, int replyLines,
                      std::function<void(const Reply&)> done) {
    if (!connected())
        return false;
    if (vfoMode_)
        socket_->write(forDaemon(line) + '\n');
    else
        unwritten_ << line;
    pending_.push_back({replyLines, std::move(done), {}});
    if (!replyLimit_->isActive())
        replyLimit_->start(ReplyLimitMs);
    return true;
}

QByteArray RigctldRig::forDaemon(const QByteArray& line) const {
    // The rig's commands are one letter; "\power2mW" and the like name no VFO.
    static const QByteArray RigCommands = "fmtlFMTL";
    if (!vfoMode_.value_or(false) || line.isEmpty() || !RigCommands.contains(line.at(0)) ||
        (line.size() > 1 && line.at(1) != ' '))
        return line;
    return line.left(1) + " currVFO" + line.mid(1);
}

void RigctldRig::readLines() {
    while (socket_ && socket_->canReadLine()) {
        const QByteArray line = socket_->readLine().trimmed();
        if (pending_.empty()) {
            dropConnection(QStringLiteral("sent what nobody asked for"));
            return;
        }
        Pending& front = pending_.front();
        front.reply << line;
        // An error report ends any reply.
        if (!line.startsWith("RPRT ") && front.reply.size() < front.lines)
            continue;
        Pending answered = std::move(front);
        pending_.pop_front();
        // The daemon answers: a later failure is told again and retried soon.
        if (!lastFailure_.isEmpty())
            qCInfo(lcRig) << "rigctld at" << address_.text() << "answers again";
        lastFailure_.clear();
        reconnectMs_ = ReconnectMs;
        if (pending_.empty())
            replyLimit_->stop();
        else
            replyLimit_->start(ReplyLimitMs);
        answered.done(answered.reply);
    }
    if (socket_ && socket_->bytesAvailable() > LongestLine)
        dropConnection(QStringLiteral("sent a line without end"));
}

// --- readings ---

bool RigctldRig::requestReading() {
    return gatherReading({}, connected(), [this](auto reading, auto finish) {
        (void)send("f", 1, [this, reading](const Reply& reply) {
            reading->kHz = ParseKHz(reply);
            dialKHz_ = reading->kHz.value_or(0);
        });
        (void)send("m", 2, [this](const Reply& reply) {
            if (reply.size() != 2)
                return;
            const auto at =
                std::find(ModeNames.begin(), ModeNames.end(), QString::fromLatin1(reply[0]));
            modeIndex_ = at == ModeNames.end() ? 0 : int(at - ModeNames.begin()) + 1;
            emit modeSelected(modeIndex_);
        });
        (void)send("t", 1, [this, reading, finish](const Reply& reply) {
            reading->transmitting = transmitOf(reply);
            finish();
        });
    });
}

bool RigctldRig::requestTransmitState() {
    if (gathering_)
        return false;
    if (!pttReadable_)
        return requestReading();
    RigReading transmitOnly;
    transmitOnly.transmitOnly = true;
    return gatherReading(transmitOnly, connected(), [this](auto reading, auto finish) {
        (void)send("t", 1, [this, reading, finish](const Reply& reply) {
            reading->transmitting = transmitOf(reply);
            finish();
        });
    });
}

std::optional<bool> RigctldRig::transmitOf(const Reply& reply) {
    if (pttReadable_ && reply.size() == 1 &&
        (reply.first() == "RPRT -11" || reply.first() == "RPRT -4")) {
        pttReadable_ = false;
        qCWarning(lcRig) << "the rig behind rigctld does not report whether it transmits: turns "
                            "cannot stop for a transmission";
        emit capabilitiesChanged();
        emit changed();
    }
    return ParsePtt(reply);
}

bool RigctldRig::requestSMeter() {
    const auto answer = [this](std::optional<float> value) {
        deliver([this, value] { emit sMeterArrived(value); });
    };
    if (!send("l STRENGTH", 1, [answer](const Reply& reply) { answer(ParseSMeter(reply)); }))
        answer(std::nullopt);
    return true;
}

// --- commands ---

bool RigctldRig::frequencyValid(double kHz) const {
    return kHz > 0 && kHz <= HighestKHz;
}

CatResult RigctldRig::setFrequency(float kHz) {
    if (!frequencyValid(kHz)) {
        platform_.beep();
        return CatResult::OutOfRange;
    }
    const auto hz = static_cast<qint64>(std::llround(double(kHz) * 1000));
    const QByteArray line = "F " + QByteArray::number(hz);
    const bool sent = send(line, 1, [line](const Reply& reply) {
        if (!Succeeded(reply))
            qCWarning(lcRig) << "rigctld refused" << line << reply;
    });
    if (sent)
        dialKHz_ = kHz;
    return sent ? CatResult::Sent : CatResult::NotSent;
}

CatResult RigctldRig::setMode(int index) {
    if (index < 1 || index > int(ModeNames.size()))
        return CatResult::NotSent;
    modeIndex_ = index;
    emit modeSelected(index);
    const QByteArray line = "M " + ModeNames[std::size_t(index - 1)].toLatin1() + " 0";
    const bool sent = send(line, 1, [line](const Reply& reply) {
        if (!Succeeded(reply))
            qCWarning(lcRig) << "rigctld refused" << line << reply;
    });
    return sent ? CatResult::Sent : CatResult::NotSent;
}

QString RigctldRig::keyedLine() const {
    return QStringLiteral("rigctld ") + address_.text();
}

CatResult RigctldRig::setPtt(bool on) {
    return switchPttBy(on, pttReleaseOwed_, keyedLine(), [this](bool key) {
        // A rig that cannot be keyed through the daemon does not transmit although our PTT is
        // on.
        return send(key ? "T 1" : "T 0", 1, [this, key](const Reply& reply) {
            if (key && !Succeeded(reply))
                keyRefused();
        });
    });
}

LinkCapabilities RigctldRig::capabilities() const {
    LinkCapabilities caps;
    caps.reportsTransmit = pttReadable_;
    caps.swrMeter = true;
    caps.modeNames = {ModeNames.begin(), ModeNames.end()};
    return caps;
}

} // namespace rig
