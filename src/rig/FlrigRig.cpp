#include "rig/FlrigRig.h"

#include "core/TextRules.h"
#include "rig/RigLogging.h"
#include "rig/XmlRpc.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace rig {

namespace {

// The mode buttons the window has.
constexpr int ModeButtons = 10;
// Highest frequency the link sends, kHz (flrig knows the rig's own bands).
constexpr double HighestKHz = 1e7;
// Longer than any answer of a rig server: the rest is not waited for.
constexpr qint64 LongestReply = 64 * 1024;

std::optional<double> Number(const std::optional<QVariant>& value) {
    if (!value)
        return std::nullopt;
    bool number = false;
    const double result = value->toString().trimmed().toDouble(&number);
    return number && std::isfinite(result) ? std::optional<double>(result) : std::nullopt;
}

// rig.get_vfo: Hz as text.
std::optional<float> ParseKHz(const std::optional<QVariant>& value) {
    const std::optional<double> hz = Number(value);
    if (!hz || *hz <= 0 || *hz / 1000 > HighestKHz)
        return std::nullopt;
    const auto kHz = static_cast<float>(core::RoundHalfEven(*hz / 1000));
    return kHz > 0 ? std::optional<float>(kHz) : std::nullopt;
}

std::optional<bool> ParsePtt(const std::optional<QVariant>& value) {
    if (value && value->typeId() == QMetaType::Bool)
        return value->toBool();
    const std::optional<double> ptt = Number(value);
    if (!ptt || (*ptt != 0 && *ptt != 1))
        return std::nullopt;
    return *ptt == 1;
}

// flrig's meter runs 0..100 over the rig's whole scale; the window's meter shows S0..S9+60 dB
// (0..15) as the Yaesu rigs report it.
std::optional<float> ParseSMeter(const std::optional<QVariant>& value) {
    const std::optional<double> meter = Number(value);
    if (!meter)
        return std::nullopt;
    return static_cast<float>(std::clamp(*meter, 0.0, 100.0) * 15 / 100);
}

QString Shown(const QVariant& value) {
    if (value.typeId() == QMetaType::QVariantList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace

FlrigRig::FlrigRig(platform::Platform& platform, CatLog* log, QObject* parent)
    : RigConnection(parent), platform_(platform), log_(log),
      replyLimit_(platform_.createTimer([this] {
          replyLimit_->stop();
          fail(QStringLiteral("did not answer in time"));
      })),
      reconnect_(platform_.createTimer([this] {
          reconnect_->stop();
          if (open_ && !online_ && calls_.empty())
              connectToServer();
      })) {
    // The server is on the station's own network: no proxy stands between.
    network_.setProxy(QNetworkProxy::NoProxy);
    network_.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

FlrigRig::~FlrigRig() {
    close();
}

QString FlrigRig::lineText() const {
    QString text = QStringLiteral("flrig ") + address_.text();
    if (open_ && !online_)
        text += QStringLiteral(" - no connection");
    return text;
}

void FlrigRig::log(const QString& text, CatDirection direction) {
    if (log_)
        log_->logText(text, direction);
}

// --- the connection ---

LinkOpenResult FlrigRig::open(int /*port*/) {
    if (open_)
        close();
    open_ = true;
    online_ = false;
    reconnectMs_ = ReconnectMs;
    lastFailure_.clear();
    qCInfo(lcRig) << "asking flrig at" << address_.text();
    connectToServer();
    return {true, {}};
}

void FlrigRig::close() {
    if (!open_)
        return;
    if (pttOn_ && online_) {
        // The release goes out on its own, past the calls given up below.
        pttOn_ = false;
        QNetworkRequest request = this->request();
        request.setTransferTimeout(ReplyLimitMs);
        log(QStringLiteral("rig.set_ptt 0"), CatDirection::Transmit);
        QNetworkReply* release =
            network_.post(request, XmlRpcCall(QStringLiteral("rig.set_ptt"), {0}));
        connect(release, &QNetworkReply::finished, release, &QObject::deleteLater);
    }
    pttOn_ = false;
    open_ = false;
    online_ = false;
    reconnect_->stop();
    fail({});
    emit closed();
    emit changed();
}

void FlrigRig::connectToServer() {
    calls_.push_back({QStringLiteral("rig.get_modes"), {}, [this](const auto& value) {
                          if (!value || value->typeId() != QMetaType::QVariantList)
                              return;
                          QStringList modes;
                          for (const QString& mode : value->toStringList())
                              if (!mode.trimmed().isEmpty() && modes.size() < ModeButtons)
                                  modes << mode.trimmed();
                          if (modes.isEmpty())
                              return;
                          modes_ = modes;
                          emit capabilitiesChanged();
                          modesNamedByServer_ = true;
                          emit changed();
                      }});
    sendNext();
}

QNetworkRequest FlrigRig::request() const {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address_.host);
    url.setPort(address_.port);
    url.setPath(QStringLiteral("/RPC2"));
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml"));
    return request;
}

bool FlrigRig::call(const QString& method, const QVariantList& params, Done done) {
    if (!connected())
        return false;
    calls_.push_back({method, params, std::move(done)});
    sendNext();
    return true;
}

void FlrigRig::sendNext() {
    if (inFlight_ || calls_.empty())
        return;
    const Call& next = calls_.front();
    QStringList shown{next.method};
    for (const QVariant& param : next.params)
        shown << param.toString();
    log(shown.join(QLatin1Char(' ')), CatDirection::Transmit);
    QNetworkReply* reply = network_.post(request(), XmlRpcCall(next.method, next.params));
    inFlight_ = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { replied(reply); });
    connect(reply, &QNetworkReply::downloadProgress, this, [this, reply](qint64 received) {
        if (reply == inFlight_ && received > LongestReply)
            fail(QStringLiteral("sent an answer without end"));
    });
    replyLimit_->start(ReplyLimitMs);
}

void FlrigRig::replied(QNetworkReply* reply) {
    reply->deleteLater();
    if (reply != inFlight_)
        return;
    inFlight_.clear();
    replyLimit_->stop();
    if (reply->error() != QNetworkReply::NoError) {
        fail(reply->errorString());
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 200) {
        fail(QStringLiteral("answered HTTP %1").arg(status));
        return;
    }
    const XmlRpcReply parsed = ParseXmlRpcReply(reply->readAll());
    if (parsed.kind == XmlRpcReply::Kind::Malformed) {
        fail(QStringLiteral("answered with something other than XML-RPC"));
        return;
    }
    Call answeredCall = std::move(calls_.front());
    calls_.pop_front();
    answered();
    if (parsed.ok()) {
        log(answeredCall.method + QLatin1Char(' ') + Shown(parsed.value), CatDirection::Receive);
        answeredCall.done(parsed.value);
    } else {
        log(answeredCall.method + QStringLiteral(" fault ") + parsed.fault, CatDirection::Receive);
        qCDebug(lcRig) << "flrig has no answer to" << answeredCall.method << parsed.fault;
        answeredCall.done(std::nullopt);
    }
    sendNext();
}

void FlrigRig::answered() {
    // The server answers: a later failure is told again and retried soon.
    if (!lastFailure_.isEmpty())
        qCInfo(lcRig) << "flrig at" << address_.text() << "answers again";
    lastFailure_.clear();
    reconnectMs_ = ReconnectMs;
    if (online_)
        return;
    online_ = true;
    if (releaseOwedTo(keyedLine(), pttReleaseOwed_) &&
        call(QStringLiteral("rig.set_ptt"), {0}, [](const auto&) {})) {
        if (!pttReleaseOwed_)
            qCInfo(lcRig) << "the PTT left keyed through flrig at" << address_.text()
                          << "is released";
        pttReleaseOwed_ = false;
        keyedRecord_.released();
    }
    emit changed();
}

void FlrigRig::fail(const QString& why) {
    if (!why.isEmpty() && why != lastFailure_)
        qCWarning(lcRig).noquote()
            << "flrig at" << address_.text() << why << "- tried again ever less often, up to every"
            << LongestReconnectMs / 1000 << "s";
    if (!why.isEmpty())
        lastFailure_ = why;
    const bool wasOnline = online_;
    online_ = false;
    replyLimit_->stop();
    if (QNetworkReply* reply = inFlight_) {
        inFlight_.clear();
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
    std::deque<Call> unanswered;
    unanswered.swap(calls_);
    for (Call& given : unanswered)
        given.done(std::nullopt);
    if (open_) {
        reconnect_->start(reconnectMs_);
        reconnectMs_ = std::min(2 * reconnectMs_, LongestReconnectMs);
    }
    if (wasOnline)
        emit changed();
}

// --- readings ---

bool FlrigRig::requestReading() {
    return gatherReading({}, connected(), [this](auto reading, auto finish) {
        (void)call(QStringLiteral("rig.get_vfo"), {},
                   [reading](const auto& value) { reading->kHz = ParseKHz(value); });
        (void)call(QStringLiteral("rig.get_mode"), {}, [this](const auto& value) {
            if (value)
                noteMode(value->toString().trimmed());
        });
        (void)call(QStringLiteral("rig.get_ptt"), {}, [reading, finish](const auto& value) {
            reading->transmitting = ParsePtt(value);
            finish();
        });
    });
}

bool FlrigRig::requestTransmitState() {
    RigReading transmitOnly;
    transmitOnly.transmitOnly = true;
    return gatherReading(transmitOnly, connected(), [this](auto reading, auto finish) {
        (void)call(QStringLiteral("rig.get_ptt"), {}, [reading, finish](const auto& value) {
            reading->transmitting = ParsePtt(value);
            finish();
        });
    });
}

bool FlrigRig::requestSMeter() {
    const auto answer = [this](std::optional<float> value) {
        deliver([this, value] { emit sMeterArrived(value); });
    };
    if (!call(QStringLiteral("rig.get_smeter"), {},
              [answer](const auto& value) { answer(ParseSMeter(value)); }))
        answer(std::nullopt);
    return true;
}

void FlrigRig::noteMode(const QString& mode) {
    if (mode.isEmpty())
        return;
    // Without the server's list the buttons show the modes the rig has been in.
    if (!modes_.contains(mode) && !modesNamedByServer_ && modes_.size() < ModeButtons) {
        modes_ << mode;
        emit capabilitiesChanged();
        emit changed();
    }
    emit modeSelected(int(modes_.indexOf(mode)) + 1);
}

// --- commands ---

bool FlrigRig::frequencyValid(double kHz) const {
    return kHz > 0 && kHz <= HighestKHz;
}

CatResult FlrigRig::setFrequency(float kHz) {
    if (!frequencyValid(kHz)) {
        platform_.beep();
        return CatResult::OutOfRange;
    }
    const double hz = std::round(double(kHz) * 1000);
    const bool sent = call(QStringLiteral("rig.set_vfo"), {hz}, [hz](const auto& value) {
        if (!value)
            qCWarning(lcRig) << "flrig did not take the frequency" << hz << "Hz";
    });
    return sent ? CatResult::Sent : CatResult::NotSent;
}

CatResult FlrigRig::setMode(int index) {
    if (index < 1 || index > modes_.size())
        return CatResult::NotSent;
    emit modeSelected(index);
    const QString mode = modes_[index - 1];
    const bool sent = call(QStringLiteral("rig.set_mode"), {mode}, [mode](const auto& value) {
        if (!value)
            qCWarning(lcRig) << "flrig did not take the mode" << mode;
    });
    return sent ? CatResult::Sent : CatResult::NotSent;
}

QString FlrigRig::keyedLine() const {
    return QStringLiteral("flrig ") + address_.text();
}

CatResult FlrigRig::setPtt(bool on) {
    return switchPttBy(on, pttReleaseOwed_, keyedLine(), [this](bool key) {
        // A rig that flrig cannot key does not transmit although our PTT is on.
        return call(QStringLiteral("rig.set_ptt"), {key ? 1 : 0}, [this, key](const auto& value) {
            if (key && !value)
                keyRefused();
        });
    });
}

LinkCapabilities FlrigRig::capabilities() const {
    LinkCapabilities caps;
    caps.modeNames = modes_;
    return caps;
}

} // namespace rig
