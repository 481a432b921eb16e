#include "rig/KenwoodRig.h"

#include "core/TextRules.h"
#include "rig/RigLogging.h"

#include <algorithm>
#include <cmath>

namespace rig {

namespace {

const QByteArray Busy = "?;";
const QByteArray Failed = "E;";
const QByteArray Unfinished = "O;";
const QByteArray AutoInfoOff = "AI0;";
// Longer than any answer: the terminator was lost.
constexpr qsizetype LongestMessage = 64;

bool AllDigits(const QByteArray& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

KenwoodRig::KenwoodRig(platform::Platform& platform, SerialLink& serial, CatLog& log,
                       QObject* parent)
    : SerialRig(platform, serial, log, parent), model_(&KenwoodModels().front()) {}

KenwoodRig::~KenwoodRig() {
    close();
}

void KenwoodRig::setModel(const QString& name, int baud) {
    const KenwoodModel* model = FindKenwoodModel(name);
    model_ = model ? model : &KenwoodModels().front();
    baud_ = baud;
    emit capabilitiesChanged();
}

QString KenwoodRig::settingsText() const {
    return QString::number(baud_ > 0 ? baud_ : model_->baud) + QStringLiteral(",N,8,1");
}

std::optional<QByteArray> KenwoodRig::takeMessage(QByteArray& received) {
    for (;;) {
        // A command begins with a letter or "?": line noise before it is dropped.
        qsizetype start = 0;
        while (start < received.size() &&
               !((received.at(start) >= 'A' && received.at(start) <= 'Z') ||
                 received.at(start) == '?'))
            ++start;
        received.remove(0, start);
        const qsizetype end = received.indexOf(';');
        if (end < 0) {
            if (received.size() > LongestMessage)
                received.clear();
            return std::nullopt;
        }
        QByteArray message = received.left(end + 1);
        received.remove(0, end + 1);
        // A message with a character no answer holds was garbled on the line.
        if (std::all_of(message.begin(), message.end(),
                        [](char c) { return c >= 0x20 && c < 0x7F; }))
            return message;
    }
}

void KenwoodRig::logMessage(const QByteArray& message, CatDirection direction,
                            const QString& name) {
    log_.logText(message, direction, name);
}

// --- commands ---

bool KenwoodRig::read(const QByteArray& command, const QByteArray& prefix, const QString& name,
                      std::function<void(const std::optional<QByteArray>&)> done) {
    Command sent;
    sent.message = command;
    sent.name = name;
    sent.match = [command, prefix](const QByteArray& message) {
        if (message == Busy)
            return Verdict::Again;
        if (message == Failed || message == Unfinished)
            return Verdict::Reply;
        // Our own command coming back (an interface that echoes) is no answer.
        return message != command && message.startsWith(prefix) ? Verdict::Reply : Verdict::Other;
    };
    sent.done = [prefix, done = std::move(done)](const std::optional<QByteArray>& reply) {
        if (!reply || !reply->startsWith(prefix))
            done(std::nullopt);
        else
            done(reply->mid(prefix.size(), reply->size() - prefix.size() - 1));
    };
    return send(std::move(sent));
}

bool KenwoodRig::set(const QByteArray& command, const QString& name,
                     std::function<void()> written) {
    Command sent;
    sent.message = command;
    sent.name = name;
    sent.done = [written = std::move(written)](const std::optional<QByteArray>& reply) {
        if (reply && written)
            written();
    };
    return send(std::move(sent));
}

bool KenwoodRig::releasePtt() {
    return set(model_->pttOff, QStringLiteral("Set PTT"), [this] {
        if (!pttOn_) {
            released_ = true;
            recordReleased();
        }
    });
}

std::optional<float> KenwoodRig::kHzOf(const QByteArray& digits) const {
    if (digits.size() != model_->frequencyDigits || !AllDigits(digits))
        return std::nullopt;
    const double hz = digits.toDouble();
    if (hz <= 0 || model_->bands.empty() || hz / 1000 > model_->bands.back().highKHz)
        return std::nullopt;
    const auto kHz = static_cast<float>(core::RoundHalfEven(hz / 1000));
    return kHz > 0 ? std::optional<float>(kHz) : std::nullopt;
}

std::optional<KenwoodRig::Info> KenwoodRig::parseInfo(const QByteArray& parameters) const {
    const KenwoodModel::Info& layout = model_->info;
    if (parameters.size() != layout.length)
        return std::nullopt;
    Info info;
    info.kHz = kHzOf(parameters.mid(layout.frequencyAt, model_->frequencyDigits));
    if (!info.kHz)
        return std::nullopt;
    info.mode = parameters.at(layout.modeAt);
    if (layout.transmitAt >= 0) {
        const char flag = parameters.at(layout.transmitAt);
        if (flag == '0' || flag == '1')
            info.transmitting = flag == '1';
    }
    return info;
}

std::optional<int> KenwoodRig::meterValue(const KenwoodModel::Meter& meter,
                                          const QByteArray& parameters) const {
    // Some rigs add more fields after the value.
    const QByteArray digits = parameters.left(meter.digits);
    if (digits.size() != meter.digits || !AllDigits(digits))
        return std::nullopt;
    return digits.toInt();
}

void KenwoodRig::readInfo(std::function<void(const Info&)> done) {
    const bool asked = read("IF;", "IF", QStringLiteral("Ask Status"),
                            [this, done](const std::optional<QByteArray>& parameters) {
                                done(parameters ? parseInfo(*parameters).value_or(Info{}) : Info{});
                            });
    if (!asked)
        done({});
}

void KenwoodRig::readTransmit(std::function<void(std::optional<bool>)> done) {
    if (model_->transmitRead.isEmpty()) {
        readInfo([done](const Info& info) { done(info.transmitting); });
        return;
    }
    // TX0 receiving; TX1 keyed by CAT, TX2 by the rig's own PTT.
    const bool asked = read(model_->transmitRead, "TX", QStringLiteral("Ask Tx Status"),
                            [done](const std::optional<QByteArray>& parameters) {
                                if (!parameters || parameters->size() != 1 ||
                                    !QByteArray("012").contains(parameters->at(0)))
                                    done(std::nullopt);
                                else
                                    done(parameters->at(0) != '0');
                            });
    if (!asked)
        done(std::nullopt);
}

bool KenwoodRig::requestReading() {
    return gatherReading({}, [this](auto reading, auto finish) {
        readInfo([this, reading, finish](const Info& info) {
            reading->kHz = info.kHz;
            if (info.mode && selectModeByCode(*info.mode))
                reading->modeCode = std::uint8_t(*info.mode);
            const auto withTransmit = [this, reading, finish](std::optional<bool> transmitting) {
                reading->transmitting = transmitting;
                if (!transmitting.value_or(false) || model_->swr.read.isEmpty()) {
                    if (transmitting)
                        emit swrStateRead(-1);
                    finish();
                    return;
                }
                const bool asked = read(
                    model_->swr.read, model_->swr.prefix, QStringLiteral("Ask SWR"),
                    [this, finish](const std::optional<QByteArray>& parameters) {
                        if (const auto value =
                                parameters ? meterValue(model_->swr, *parameters) : std::nullopt)
                            emit swrStateRead(*value >= model_->swr.s9OrHighSwr ? 1 : 0);
                        finish();
                    });
                if (!asked)
                    finish();
            };
            if (model_->transmitRead.isEmpty() || !info.kHz)
                withTransmit(info.transmitting);
            else
                readTransmit(withTransmit);
        });
    });
}

bool KenwoodRig::requestSMeter() {
    const KenwoodModel::Meter& meter = model_->sMeter;
    const auto answer = [this, &meter](const std::optional<QByteArray>& parameters) {
        std::optional<float> value;
        if (const auto raw = parameters ? meterValue(meter, *parameters) : std::nullopt) {
            // S0..S9 below the S9 value, S9..S9+60 dB (15) above it.
            const double s = *raw <= meter.s9OrHighSwr ? *raw * 9.0 / meter.s9OrHighSwr
                                                       : 9 + (*raw - meter.s9OrHighSwr) * 6.0 /
                                                                 (meter.full - meter.s9OrHighSwr);
            value = static_cast<float>(std::clamp(std::round(s), 0.0, 15.0));
        }
        deliver([this, value] { emit sMeterArrived(value); });
    };
    if (!read(meter.read, meter.prefix, QStringLiteral("Ask Smeter"), answer))
        answer(std::nullopt);
    return true;
}

bool KenwoodRig::sendFrequency(std::int64_t hz) {
    const QByteArray digits = QByteArray::number(hz).rightJustified(model_->frequencyDigits, '0');
    return set("FA" + digits + ';', QStringLiteral("Set freq"));
}

bool KenwoodRig::sendMode(int code) {
    return set(model_->modePrefix + char(code) + ';', QStringLiteral("Set mode"));
}

CatResult KenwoodRig::setPtt(bool on) {
    if (!on) {
        pttOn_ = false;
        emit pttSwitched(false);
        return releasePtt() ? CatResult::Sent : CatResult::NotSent;
    }
    // Recorded before the rig is keyed: a run that ends keyed is released at the next opening.
    recordKeyed();
    if (!set(model_->pttOn, QStringLiteral("Set PTT"))) {
        if (released_)
            recordReleased(); // none of ours stays keyed
        return CatResult::NotSent;
    }
    pttOn_ = true;
    released_ = false;
    emit pttSwitched(true);
    return CatResult::Sent;
}

std::vector<SerialRig::Mode> KenwoodRig::modes() const {
    return ModesOf(model_->modes);
}

// --- what the rig tells by itself ---

void KenwoodRig::unsolicited(const QByteArray& message) {
    const QByteArray parameters = message.mid(2, message.size() - 3);
    RigReading reading;
    if (message.startsWith("FA")) {
        reading.kHz = kHzOf(parameters);
    } else if (message.startsWith("IF")) {
        const std::optional<Info> info = parseInfo(parameters);
        if (!info)
            return;
        reading.kHz = info->kHz;
        reading.transmitting = info->transmitting;
        if (info->mode)
            (void)selectModeByCode(*info->mode);
    } else if (message.startsWith(model_->modePrefix) &&
               message.size() == model_->modePrefix.size() + 2) {
        (void)selectModeByCode(message.at(model_->modePrefix.size()));
        emit changed();
        return;
    }
    if (reading.kHz)
        deliver([this, reading] { emit readingAnnounced(reading); });
}

void KenwoodRig::greet() {
    (void)set(model_->autoInfoOn, QStringLiteral("Auto info on"));
    // Our PTT was released while the line was down, or a run ended with it keyed: the rig
    // learns it now. A PTT we never keyed is the operator's and stays.
    if ((!released_ || leftKeyed()) && !pttOn_) {
        if (released_)
            qCInfo(lcRig).noquote()
                << "the PTT left keyed on" << serial_.description() << "is released";
        (void)releasePtt();
    }
}

void KenwoodRig::farewell() {
    // Written at once, before the line closes: nothing answers these.
    QByteArray last = AutoInfoOff;
    if (!released_)
        last.prepend(model_->pttOff);
    logMessage(last, CatDirection::Transmit, QStringLiteral("Close"));
    if (serial_.write(last) && !released_) {
        released_ = true;
        recordReleased();
    }
}

} // namespace rig
