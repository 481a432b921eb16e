#include "rig/SerialRig.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/RigLogging.h"
#include "rig/SerialSettings.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace rig {

SerialRig::SerialRig(platform::Platform& platform, SerialLink& serial, CatLog& log, QObject* parent)
    : RigConnection(parent), platform_(platform), serial_(serial), log_(log),
      reader_(platform_.createTimer([this] { takeReceived(); })),
      replyLimit_(platform_.createTimer([this] { replyLimitReached(); })),
      reopener_(platform_.createTimer([this] { reopen(); })) {}

SerialRig::~SerialRig() = default;

QString SerialRig::lineText() const {
    QString text = settingsText();
    if (open_ && !serial_.isOpen())
        text += QStringLiteral(" - no connection");
    return text;
}

// --- the line ---

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
    received_.clear();
    port_ = port;
    open_ = true;
    reopenMs_ = ReopenMs;
    // Replies are taken as they arrive where the line tells; the reader is the fallback.
    serial_.onArrival([this] { takeReceived(); });
    reader_->start(ReadEveryMs);
    greet();
    emit changed();
    return opened;
}

void SerialRig::close() {
    if (!open_)
        return;
    if (serial_.isOpen())
        farewell(); // our PTT released, the rig's own reports off
    pttOn_ = false;
    open_ = false;
    serial_.onArrival({});
    reader_->stop();
    replyLimit_->stop();
    reopener_->stop();
    serial_.close();
    answerAll();
    gathering_ = false;
    emit closed();
    emit changed();
}

void SerialRig::lineLost(const QString& why) {
    if (!serial_.isOpen())
        return;
    qCWarning(lcRig).noquote() << "the rig's line" << serial_.description() << why
                               << "- reopened ever less often, up to every"
                               << LongestReopenMs / 1000 << "s";
    serial_.close();
    replyLimit_->stop();
    answerAll();
    reopener_->start(reopenMs_);
    emit changed();
}

void SerialRig::reopen() {
    reopener_->stop();
    if (!open_ || serial_.isOpen())
        return;
    if (!serial_.open(port_, settingsText()).ok) {
        reopenMs_ = std::min(2 * reopenMs_, LongestReopenMs);
        reopener_->start(reopenMs_);
        return;
    }
    qCInfo(lcRig) << "the rig's line" << serial_.description() << "is back";
    (void)serial_.setDtr(false);
    (void)serial_.setRts(false);
    serial_.discardInput();
    received_.clear();
    reopenMs_ = ReopenMs;
    // Our PTT was released while the line was down: the rig learns it now.
    greet();
    emit changed();
}

void SerialRig::answerAll() {
    std::deque<Command> unanswered;
    unanswered.swap(commands_);
    onLine_ = false;
    againDue_ = false;
    for (Command& command : unanswered)
        command.done(std::nullopt);
}

// --- commands and replies ---

bool SerialRig::send(Command command) {
    if (!connected())
        return false;
    commands_.push_back(std::move(command));
    if (!onLine_)
        sendFront();
    return true;
}

double SerialRig::replyLimitMs(const Command& command) const {
    const SerialSettings line = ParseSerialSettings(settingsText()).value_or(SerialSettings{});
    return line.wireTimeMs(int(command.message.size()) + longestReply()) + LatencyMs;
}

void SerialRig::sendFront() {
    while (!commands_.empty() && connected()) {
        Command& front = commands_.front();
        logMessage(front.message, CatDirection::Transmit, front.name);
        ++front.sent;
        ++written_;
        if (!serial_.write(front.message)) {
            lineLost(QStringLiteral("cannot be written"));
            return;
        }
        if (front.match) {
            onLine_ = true;
            replyLimit_->start(int(std::ceil(replyLimitMs(front))));
            return;
        }
        Command answered = std::move(front);
        commands_.pop_front();
        answered.done(QByteArray());
    }
}

void SerialRig::finishFront(const std::optional<QByteArray>& reply) {
    replyLimit_->stop();
    onLine_ = false;
    againDue_ = false;
    Command answered = std::move(commands_.front());
    commands_.pop_front();
    answered.done(reply);
    if (!onLine_)
        sendFront();
}

void SerialRig::replyLimitReached() {
    if (!onLine_ || commands_.empty())
        return;
    if (std::exchange(againDue_, false)) {
        replyLimit_->stop();
        onLine_ = false;
        sendFront();
        return;
    }
    // A reply that came just now still counts; what came of one is not joined to the next.
    const std::uint64_t waiting = written_;
    takeReceived();
    if (onLine_ && written_ == waiting) {
        received_.clear();
        finishFront(std::nullopt);
    }
}

void SerialRig::takeReceived() {
    if (!serial_.isOpen())
        return;
    if (serial_.bytesWaiting() > 0)
        received_ += serial_.readAll();
    while (std::optional<QByteArray> message = takeMessage(received_)) {
        logMessage(*message, CatDirection::Receive, {});
        const Verdict verdict = onLine_ ? commands_.front().match(*message) : Verdict::Other;
        switch (verdict) {
        case Verdict::Reply:
            finishFront(*message);
            break;
        case Verdict::Again:
            // A busy rig, a bus that another station used: a moment later.
            if (commands_.front().sent >= Tries) {
                finishFront(std::nullopt);
            } else {
                againDue_ = true;
                replyLimit_->start(AgainAfterMs);
            }
            break;
        case Verdict::Other:
            unsolicited(*message);
            break;
        }
        if (!serial_.isOpen())
            return;
    }
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
