#include "rig/CivRig.h"

#include "core/TextRules.h"
#include "rig/CivFrame.h"
#include "rig/RigLogging.h"

#include <algorithm>
#include <cmath>

namespace rig {

namespace {

constexpr char ReadFrequency = 0x03;
constexpr char ReadMode = 0x04;
constexpr char SetFrequency = 0x05;
constexpr char SetMode = 0x06;
constexpr char AnnouncedFrequency = 0x00;
constexpr char AnnouncedMode = 0x01;
const QByteArray Transmit = QByteArray::fromHex("1c00");
const QByteArray SMeter = QByteArray::fromHex("1502");
const QByteArray SwrMeterRead = QByteArray::fromHex("1512");
// The SWR meter reads 0048 at 1.5, 0080 at 2.0, 0120 at 3.0: from 2.0 on the SWR is high.
constexpr int HighSwrLevel = 80;
// The S-meter reads 0000 at S0, 0120 at S9 and 0241 at S9+60 dB; the meter shows S0..S9 and up
// to S9+60 dB (15) in 10 dB steps, as the Yaesu rigs report it.
float SUnits(int level) {
    const double s = level <= 120 ? level * 9.0 / 120 : 9 + (level - 120) * 6.0 / 121;
    return static_cast<float>(std::clamp(std::round(s), 0.0, 15.0));
}

} // namespace

CivRig::CivRig(platform::Platform& platform, SerialLink& serial, CatLog& log, QObject* parent)
    : SerialRig(platform, serial, log, parent), model_(&CivModels().front()),
      address_(model_->address) {}

CivRig::~CivRig() {
    close();
}

void CivRig::setSettings(const CivSettings& settings) {
    const CivModel* model = FindCivModel(settings.model);
    model_ = model ? model : &CivModels().front();
    address_ = UsableCivAddress(settings.address) ? settings.address : model_->address;
    baud_ = KnownBaudRate(settings.baud) ? settings.baud : CivSettings{}.baud;
    emit capabilitiesChanged();
}

QString CivRig::settingsText() const {
    return QString::number(baud_) + QStringLiteral(",N,8,1");
}

std::optional<QByteArray> CivRig::takeMessage(QByteArray& received) {
    return civ::TakeFrame(received);
}

int CivRig::longestReply() const {
    // Our frame's echo and the longest reply (the frequency: 11 bytes).
    return 12 + 11;
}

// --- commands ---

bool CivRig::command(const QByteArray& body, int echoed, const QString& name,
                     std::function<void(const std::optional<QByteArray>&)> done) {
    const QByteArray asked = body.left(echoed);
    Command sent;
    sent.message = civ::Encode(address_, CivControllerAddress, body);
    sent.name = name;
    sent.match = [this, asked](const QByteArray& message) {
        if (message.size() == 1 && message.at(0) == civ::Jam)
            return Verdict::Again;
        const std::optional<civ::Frame> frame = civ::Decode(message);
        if (frame)
            heard(*frame);
        // Our own frame coming back on the bus, another station's traffic, news.
        if (!frame || frame->from != address_ || frame->to != CivControllerAddress)
            return Verdict::Other;
        const bool okOrNg = frame->body.size() == 1 &&
                            (frame->body.at(0) == civ::Ok || frame->body.at(0) == civ::Ng);
        return okOrNg || frame->body.startsWith(asked) ? Verdict::Reply : Verdict::Other;
    };
    sent.done = [asked, done = std::move(done)](const std::optional<QByteArray>& reply) {
        const std::optional<civ::Frame> frame =
            reply ? civ::Decode(*reply) : std::optional<civ::Frame>();
        if (!frame || frame->body == QByteArray(1, civ::Ng)) {
            done(std::nullopt);
            return;
        }
        done(frame->body == QByteArray(1, civ::Ok) ? QByteArray() : frame->body.mid(asked.size()));
    };
    return send(std::move(sent));
}

std::optional<float> CivRig::kHzOf(const QByteArray& bcd) const {
    const std::optional<std::int64_t> hz = civ::FrequencyHz(bcd);
    if (!hz || *hz <= 0 || model_->bands.empty() || *hz / 1000.0 > model_->bands.back().highKHz)
        return std::nullopt;
    const auto kHz = static_cast<float>(core::RoundHalfEven(double(*hz) / 1000));
    return kHz > 0 ? std::optional<float>(kHz) : std::nullopt;
}

void CivRig::readTransmit(std::function<void(std::optional<bool>)> done) {
    const auto answer = [done](const std::optional<QByteArray>& data) {
        if (!data || data->size() != 1 || (data->at(0) != 0 && data->at(0) != 1))
            done(std::nullopt);
        else
            done(data->at(0) == 1);
    };
    if (!command(Transmit, 2, QStringLiteral("Ask Tx Status"), answer))
        done(std::nullopt);
}

void CivRig::readFrequency(std::shared_ptr<RigReading> reading, std::function<void()> then) {
    const bool asked = command(QByteArray(1, ReadFrequency), 1, QStringLiteral("Ask Freq"),
                               [this, reading, then](const std::optional<QByteArray>& data) {
                                   reading->kHz = data ? kHzOf(*data) : std::nullopt;
                                   then();
                               });
    if (!asked)
        then();
}

bool CivRig::requestFrequencyCheck() {
    return gatherReading({}, [this](auto reading, auto finish) {
        readFrequency(reading, [] {});
        readTransmit([reading, finish](std::optional<bool> transmitting) {
            reading->transmitting = transmitting;
            finish();
        });
    });
}

bool CivRig::requestReading() {
    return gatherReading({}, [this](auto reading, auto finish) {
        // Commands queue: the mode and transmit reads go out as soon as the frequency is read.
        readFrequency(reading, [] {});
        (void)command(QByteArray(1, ReadMode), 1, QStringLiteral("Ask Mode"),
                      [this, reading](const std::optional<QByteArray>& data) {
                          if (!data || data->isEmpty())
                              return;
                          reading->modeCode = std::uint8_t(data->at(0));
                          (void)selectModeByCode(std::uint8_t(data->at(0)));
                      });
        readTransmit([this, reading, finish](std::optional<bool> transmitting) {
            reading->transmitting = transmitting;
            if (!transmitting.value_or(false) || !model_->hasSwrMeter) {
                if (transmitting)
                    emit swrStateRead(-1);
                finish();
                return;
            }
            const bool asked =
                command(SwrMeterRead, 2, QStringLiteral("Ask SWR"),
                        [this, finish](const std::optional<QByteArray>& data) {
                            if (const auto level = data ? civ::Level(*data) : std::nullopt)
                                emit swrStateRead(*level >= HighSwrLevel ? 1 : 0);
                            finish();
                        });
            if (!asked)
                finish();
        });
    });
}

bool CivRig::requestSMeter() {
    const auto answer = [this](const std::optional<QByteArray>& data) {
        std::optional<float> value;
        if (const auto level = data ? civ::Level(*data) : std::nullopt)
            value = SUnits(*level);
        deliver([this, value] { emit sMeterArrived(value); });
    };
    if (!command(SMeter, 2, QStringLiteral("Ask Smeter"), answer))
        answer(std::nullopt);
    return true;
}

bool CivRig::sendFrequency(std::int64_t hz) {
    return command(SetFrequency + civ::FrequencyBytes(hz), 1, QStringLiteral("Set freq"),
                   [hz](const std::optional<QByteArray>& data) {
                       if (!data)
                           qCWarning(lcRig) << "the rig did not take" << hz << "Hz";
                   });
}

bool CivRig::sendMode(int code) {
    // Without a filter byte the rig takes the mode's default filter.
    return command(QByteArray(1, SetMode) + char(code), 1, QStringLiteral("Set mode"),
                   [](const std::optional<QByteArray>&) {});
}

CatResult CivRig::setPtt(bool on) {
    if (!on) {
        pttOn_ = false;
        emit pttSwitched(false);
        return releasePtt() ? CatResult::Sent : CatResult::NotSent;
    }
    // Recorded before the rig is keyed: a run that ends keyed is released at the next opening.
    recordKeyed();
    // A rig that refuses to transmit (out of its bands, TX inhibited) says NG.
    const bool sent = command(Transmit + char(1), 2, QStringLiteral("Set PTT"),
                              [this](const std::optional<QByteArray>& data) {
                                  if (!data)
                                      keyRefused();
                              });
    if (!sent) {
        if (released_)
            recordReleased(); // none of ours stays keyed
        return CatResult::NotSent;
    }
    pttOn_ = true;
    released_ = false;
    emit pttSwitched(true);
    return CatResult::Sent;
}

std::vector<SerialRig::Mode> CivRig::modes() const {
    return ModesOf(model_->modes);
}

// --- what the rig tells by itself ---

void CivRig::unsolicited(const QByteArray& message) {
    const std::optional<civ::Frame> frame = civ::Decode(message);
    if (frame)
        heard(*frame);
    if (!frame || frame->from != address_ ||
        (frame->to != civ::Broadcast && frame->to != CivControllerAddress))
        return;
    if (frame->command() == AnnouncedMode && frame->body.size() >= 2) {
        (void)selectModeByCode(std::uint8_t(frame->body.at(1)));
        emit changed();
        return;
    }
    if (frame->command() != AnnouncedFrequency)
        return;
    RigReading reading;
    reading.kHz = kHzOf(frame->body.mid(1));
    if (reading.kHz)
        deliver([this, reading] { emit readingAnnounced(reading); });
}

bool CivRig::releasePtt() {
    return command(Transmit + char(0), 2, QStringLiteral("Set PTT"),
                   [this](const std::optional<QByteArray>& data) {
                       if (data && !pttOn_) {
                           released_ = true;
                           recordReleased();
                       }
                   });
}

void CivRig::heard(const civ::Frame& frame) {
    if (frame.from == address_) {
        rigHeard_ = true;
        return;
    }
    const bool toUs = frame.to == civ::Broadcast || frame.to == CivControllerAddress;
    if (rigHeard_ || strangerTold_ || !toUs || frame.from == CivControllerAddress ||
        frame.from == civ::Broadcast)
        return;
    strangerTold_ = true;
    const auto hex = [](std::uint8_t address) {
        return QStringLiteral("%1").arg(address, 2, 16, QLatin1Char('0')).toUpper();
    };
    qCWarning(lcRig).noquote()
        << QStringLiteral(
               "a rig at CI-V address %1 talks on the bus while none answers at %2, "
               "the address set: if that rig is yours, give its address as %1 ([civ] address=%1)")
               .arg(hex(frame.from), hex(address_));
}

void CivRig::greet() {
    rigHeard_ = false;
    strangerTold_ = false;
    // Our PTT was released while the line was down, or a run ended with it keyed: the rig
    // learns it now. A PTT we never keyed is the operator's and stays.
    if ((!released_ || leftKeyed()) && !pttOn_) {
        if (released_)
            qCInfo(lcRig).noquote()
                << "the PTT left keyed on" << serial_.description() << "is released";
        (void)releasePtt();
    }
}

void CivRig::farewell() {
    // Written at once, before the line closes: nothing waits for the reply.
    if (!released_) {
        const QByteArray release = civ::Encode(address_, CivControllerAddress, Transmit + char(0));
        logMessage(release, CatDirection::Transmit, QStringLiteral("Set PTT"));
        released_ = serial_.write(release);
        if (released_)
            recordReleased();
    }
}

} // namespace rig
