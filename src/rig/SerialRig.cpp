#include "rig/SerialRig.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/RigLogging.h"
#include "rig/SerialSettings.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rig {

// A command's reply among the messages the rig sends: the first one its match takes for it;
// what it does not take the rig said unasked. None within the wire time of the command and of
// the protocol's longest reply plus the rig's latency: no reply.
class SerialRig::MessageReply final : public ReplyTaker {
public:
    MessageReply(SerialRig& rig, Command command) : rig_(rig), command_(std::move(command)) {}

    double written(const QByteArray& request, const LineTraits&, double nowMs) override {
        const SerialSettings line =
            ParseSerialSettings(rig_.settingsText()).value_or(SerialSettings{});
        return nowMs + line.wireTimeMs(int(request.size()) + rig_.longestReply()) +
               RigLatencyMarginMs;
    }
    Step take(QByteArray& received, LineTraits&, double nowMs, double& deadlineMs) override {
        while (std::optional<QByteArray> message = rig_.takeMessage(received)) {
            rig_.logMessage(*message, CatDirection::Receive, {});
            switch (command_.match(*message)) {
            case Verdict::Reply:
                reply_ = *message;
                return Step::Whole;
            case Verdict::Again:
                return Step::Again;
            case Verdict::Other:
                rig_.unsolicited(*message);
                break;
            }
            if (!rig_.serial_.isOpen())
                return Step::Waiting;
        }
        if (nowMs < deadlineMs)
            return Step::Waiting;
        // What came of a reply is not joined to the next.
        received.clear();
        return Step::Whole;
    }
    void answer() override { command_.done(reply_); }
    void nothing() override { command_.done(std::nullopt); }

private:
    SerialRig& rig_;
    Command command_;
    std::optional<QByteArray> reply_;
};

SerialRig::SerialRig(platform::Platform& platform, SerialLink& serial, CatLog& log, QObject* parent)
    : RigConnection(parent), platform_(platform), serial_(serial), log_(log),
      exchanges_(platform, serial, [this](const QByteArray& message, const QString& name) {
          logMessage(message, CatDirection::Transmit, name);
          return serial_.write(message);
      }) {
    exchanges_.listen([this](QByteArray& received) { hearUnasked(received); });
    exchanges_.onLost([this] { emit changed(); });
    exchanges_.onReopened([this] { reopened(); });
}

SerialRig::~SerialRig() = default;

QString SerialRig::lineText() const {
    QString text = settingsText();
    if (open_ && !serial_.isOpen())
        text += QStringLiteral(" - no connection");
    return text;
}

// --- the line ---

void SerialRig::recordKeyed() {
    (void)keyedRecord_.keyed(serial_.description());
}

void SerialRig::recordReleased() {
    keyedRecord_.released();
}

bool SerialRig::leftKeyed() const {
    return keyedRecord_.leftKeyed(serial_.description());
}

LinkOpenResult SerialRig::open(int port) {
    if (open_)
        close();
    const LinkOpenResult opened = serial_.open(port, settingsText());
    if (!opened.ok) {
        platform_.messageBox(QStringLiteral("Function ComPortOpen\r\n") + opened.error,
                             core::MessageTitle(), platform::Icon::Critical);
        return opened;
    }
    // Some rigs key on a modem line of their USB port (a menu setting): both low, so that
    // opening never transmits.
    (void)serial_.setDtr(false);
    (void)serial_.setRts(false);
    serial_.discardInput();
    open_ = true;
    exchanges_.start(port, settingsText());
    greet();
    emit changed();
    return opened;
}

void SerialRig::reopened() {
    (void)serial_.setDtr(false);
    (void)serial_.setRts(false);
    serial_.discardInput();
    // Our PTT was released while the line was down: the rig learns it now.
    greet();
    emit changed();
}

void SerialRig::close() {
    if (!open_)
        return;
    if (serial_.isOpen())
        farewell(); // our PTT released, the rig's own reports off
    pttOn_ = false;
    open_ = false;
    serial_.close();
    // What waits is answered with nothing.
    exchanges_.abandon();
    exchanges_.close();
    gathering_ = false;
    emit closed();
    emit changed();
}

void SerialRig::hearUnasked(QByteArray& received) {
    while (std::optional<QByteArray> message = takeMessage(received)) {
        logMessage(*message, CatDirection::Receive, {});
        unsolicited(*message);
        if (!serial_.isOpen())
            return;
    }
}

// --- commands and replies ---

bool SerialRig::send(Command command) {
    if (!connected())
        return false;
    const QByteArray message = command.message;
    const QString name = command.name;
    if (command.match) {
        exchanges_.ask(message, name, std::make_shared<MessageReply>(*this, std::move(command)));
        return true;
    }
    exchanges_.send(message, name, [done = std::move(command.done)](bool written) {
        done(written ? std::optional<QByteArray>(QByteArray()) : std::nullopt);
    });
    return true;
}

bool SerialRig::requestTransmitState() {
    RigReading transmitOnly;
    transmitOnly.transmitOnly = true;
    return gatherReading(transmitOnly, [this](auto reading, auto finish) {
        readTransmit([reading, finish](std::optional<bool> transmitting) {
            reading->transmitting = transmitting;
            finish();
        });
    });
}

LinkCapabilities SerialRig::capabilities() const {
    LinkCapabilities caps;
    caps.swrMeter = readsSwr();
    for (const Mode& mode : modes())
        caps.modeNames << mode.name;
    return caps;
}

CatResult SerialRig::setFrequency(float kHz) {
    if (!frequencyValid(kHz)) {
        platform_.beep();
        return CatResult::OutOfRange;
    }
    return sendFrequency(std::llround(double(kHz) * 1000)) ? CatResult::Sent : CatResult::NotSent;
}

CatResult SerialRig::setMode(int index) {
    const std::vector<Mode> all = modes();
    if (index < 1 || index > int(all.size()))
        return CatResult::NotSent;
    emit modeSelected(index);
    return sendMode(all[std::size_t(index - 1)].code) ? CatResult::Sent : CatResult::NotSent;
}

bool SerialRig::selectModeByCode(int code) {
    const std::vector<Mode> all = modes();
    const auto at = std::find_if(all.begin(), all.end(),
                                 [code](const Mode& mode) { return mode.code == code; });
    if (at == all.end())
        return false;
    emit modeSelected(int(at - all.begin()) + 1);
    return true;
}

bool SerialRig::selectStoredMode(int, const QString& name) {
    const auto plain = [](QString text) { return text.remove(QLatin1Char('-')).toUpper(); };
    const std::vector<Mode> all = modes();
    const auto at = std::find_if(all.begin(), all.end(),
                                 [&](const Mode& mode) { return plain(mode.name) == plain(name); });
    if (name.isEmpty() || at == all.end())
        return false;
    emit modeSelected(int(at - all.begin()) + 1);
    return true;
}

bool SerialRig::frequencyValid(double kHz) const {
    return std::any_of(bands().begin(), bands().end(), [kHz](const Band& band) {
        return kHz >= band.lowKHz && kHz <= band.highKHz;
    });
}

void SerialRig::logMessage(const QByteArray& message, CatDirection direction, const QString& name) {
    log_.logBytes(message, direction, name);
}

} // namespace rig
