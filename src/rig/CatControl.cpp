#include "rig/CatControl.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/CatCodec.h"
#include "rig/RigLogging.h"

namespace rig {

namespace {

const QString NoFrequencyText = QStringLiteral("-----.- kHz");
const QString CrLf = QStringLiteral("\r\n");

} // namespace

CatControl::CatControl(core::ProgramState& state, platform::Platform& platform, CatLog& log,
                       SerialLink& link)
    : state_(state), platform_(platform), log_(log), link_(&link), frequencyText_(NoFrequencyText) {
}

const CatCommandTable* CatControl::table() const {
    return CommandTable(model());
}

// --- the link ---

void CatControl::setLink(SerialLink& link) {
    if (&link == link_)
        return;
    if (portOpen())
        ClosePort();
    link_ = &link;
}

bool CatControl::OpenPort(int port) {
    if (portOpen())
        ClosePort();
    const LinkOpenResult opened = link_->open(port, SettingsText());
    if (!opened.ok) {
        platform_.messageBox(QStringLiteral("Function ComPortOpen") + CrLf + opened.error,
                             core::MessageTitle(), platform::Icon::Critical);
        return false;
    }
    line_ = ParseSerialSettings(SettingsText()).value_or(SerialSettings{});
    paceMs_ = 0;
    linesNoted_ = false;
    failureTold_ = false;
    const bool rts = link_->setRts(false);
    const bool dtr = link_->setDtr(false);
    if (!rts || !dtr)
        noteLinesMissing();
    return true;
}

void CatControl::ClosePort() {
    if (portOpen()) {
        if (pttOn_)
            PttOff();
        (void)link_->setRts(false); // lines a device lacks were noted at opening
        (void)link_->setDtr(false);
        link_->close();
    }
    ft817On_ = false;
    ShowFrequency(0);
}

void CatControl::noteLinesMissing() {
    if (linesNoted_)
        return;
    linesNoted_ = true;
    const QString note =
        link_->description() + QStringLiteral(" has no RTS/DTR lines; going on without them");
    qCInfo(lcRig).noquote() << note;
    log_.TerminalWrite(note + CrLf, false);
}

// --- exchanges ---

bool CatControl::send(const Frame& frame, const char* name) {
    const QByteArray bytes = FrameBytes(frame);
    log_.logBytes(bytes, CatDirection::Transmit, QString::fromLatin1(name));
    if (link_->write(bytes))
        return true;
    if (!failureTold_) {
        failureTold_ = true;
        const QString error = QStringLiteral("Cannot write to ") + link_->description();
        qCWarning(lcRig).noquote() << error;
        emit linkFailed(error);
    }
    return false;
}

bool CatControl::command(const CatCommand& command) {
    if (command.answerLength == 0)
        return send(command.frame, command.logName);
    // The acknowledgement is taken here, so that it cannot be mistaken for the reply to the
    // next request.
    link_->discardInput();
    if (!send(command.frame, command.logName))
        return false;
    logReply(awaitReply(command.answerLength), QString());
    return true;
}

CatControl::Reply CatControl::ask(const CatCommand& request, int replyLength) {
    // Bytes still waiting belong to an earlier request (a reply that came too late).
    link_->discardInput();
    if (!send(request.frame, request.logName))
        return {};
    return awaitReply(replyLength);
}

CatControl::Reply CatControl::awaitReply(int replyLength) {
    // First byte: the request's wire time, the rig's latency and the byte itself. Then the
    // rest of the reply at the rig's pace. A silent rig costs only the first wait.
    const double firstByteMs = line_.wireTimeMs(5 + 1) + RigLatencyMarginMs;
    const double restMs =
        line_.wireTimeMs(replyLength - 1) + paceMs_ * (replyLength - 1) + RigLatencyMarginMs;
    if (link_->waitForBytes(1, firstByteMs))
        (void)link_->waitForBytes(replyLength, restMs); // short replies are judged below
    Reply reply;
    reply.bytes = link_->readAll();
    reply.complete = reply.bytes.size() == replyLength;
    return reply;
}

void CatControl::logReply(const Reply& reply, const QString& name) {
    if (reply.bytes.isEmpty())
        return;
    log_.logBytes(reply.bytes, CatDirection::Receive,
                  reply.complete ? name : QStringLiteral("Just%1 Bytes").arg(reply.bytes.size()));
}

void CatControl::settle(double ms) {
    platform_.waitMs(ms, false);
}

// --- operations ---

bool CatControl::SetRigFrequency(float kHz) {
    const CatCommandTable* commands = table();
    if (!portOpen() || !commands || (model() == Model::Ft817 && !ft817On_))
        return false;
    const std::optional<Frame> frame =
        FrequencyValid(model(), kHz) ? SetFrequencyFrame(*commands, kHz) : std::nullopt;
    if (!frame) {
        platform_.beep();
        return false;
    }
    return send(*frame, commands->setFrequencyName);
}

float CatControl::ReadRigFrequency() {
    if (!portOpen())
        return 0;
    float kHz = 0;
    if (const CatCommandTable* commands = table()) {
        switch (commands->readScheme) {
        case ReadScheme::BcdAndStatus:
            kHz = readBcdAndStatus(*commands);
            break;
        case ReadScheme::Block19:
            kHz = readBlock19(*commands);
            break;
        case ReadScheme::StatusBlock75:
            kHz = readStatusBlock75(*commands);
            break;
        }
    } else {
        ShowFrequency(0);
    }
    catFrequency_ = kHz;
    emit changed();
    return kHz;
}

float CatControl::readBcdAndStatus(const CatCommandTable& commands) {
    const Reply reply = ask(commands.readFrequency, commands.frequencyReply.length);
    logReply(reply, QString::fromLatin1(commands.frequencyReply.logName));
    float kHz = 0;
    if (const auto decoded = DecodeBcdFrequencyReply(commands, reply.bytes)) {
        kHz = static_cast<float>(core::RoundHalfEven(decoded->kHz));
        ShowRigMode(decoded->modeCode);
    } else {
        ShowFrequency(0);
    }
    readRxTxStatus(commands);
    return kHz;
}

void CatControl::readRxTxStatus(const CatCommandTable& commands) {
    const CatCommand& request = pttOn_ ? *commands.readTxStatus : *commands.readRxStatus;
    const Reply reply = ask(request, commands.statusReply->length);
    logReply(reply, QString::fromLatin1(commands.statusReply->logName));
    if (reply.bytes.isEmpty()) {
        // Silence: an FT-817 that was on has been switched off at the rig.
        sMeterValue_ = 0;
        swrState_ = -1;
        if (ft817On_)
            ToggleFT817Power();
        return;
    }
    if (!reply.complete) {
        swrState_ = -1;
        return;
    }
    const RxTxStatus status = DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0]));
    sMeterValue_ = static_cast<float>(status.sMeter);
    if (!pttOn_) {
        swrState_ = -1;
    } else if (status.transmitInhibit) {
        swrState_ = -1;
        emit transmitInhibited();
    } else {
        swrState_ = status.highSwr ? 1 : 0;
    }
}

float CatControl::readBlock19(const CatCommandTable& commands) {
    const Reply reply = ask(commands.readFrequency, commands.frequencyReply.length);
    logReply(reply, QStringLiteral(" Freq%1 Bytes").arg(reply.bytes.size()));
    float kHz = 0;
    if (const std::optional<double> decoded = DecodeBlockFrequency(commands, reply.bytes)) {
        ShowFrequency(static_cast<float>(core::RoundHalfEven(*decoded, 2)));
        kHz = static_cast<float>(core::RoundHalfEven(*decoded));
        readFt840Status(commands);
        readMeterFrame(commands);
    } else {
        ShowFrequency(0);
    }
    // While transmitting the status is read even after a failed read: the transmit-inhibit
    // check must not wait for a good reply.
    if (pttOn_)
        readFt840Status(commands);
    return kHz;
}

void CatControl::readFt840Status(const CatCommandTable& commands) {
    const Reply reply = ask(*commands.readRxStatus, commands.statusReply->length);
    logReply(reply, QString::fromLatin1(commands.statusReply->logName));
    const std::optional<Ft840Status> status =
        reply.complete ? DecodeFt840Status(reply.bytes) : std::nullopt;
    if (!status) {
        swrState_ = -1;
        return;
    }
    lockChecked_ = status->locked;
    if (!pttOn_) {
        swrState_ = -1;
    } else if (!status->transmitting) {
        swrState_ = -1;
        emit transmitInhibited();
    } else {
        swrState_ = status->highSwr ? 1 : 0;
    }
}

float CatControl::readStatusBlock75(const CatCommandTable& commands) {
    const Reply reply = ask(commands.readFrequency, commands.frequencyReply.length);
    logReply(reply, QStringLiteral("%1 Bytes").arg(reply.bytes.size()));
    float kHz = 0;
    if (const std::optional<double> decoded = DecodeBlockFrequency(commands, reply.bytes)) {
        ShowFrequency(static_cast<float>(core::RoundHalfEven(*decoded, 2)));
        kHz = static_cast<float>(core::RoundHalfEven(*decoded));
        lockChecked_ = StatusBlockLocked(reply.bytes);
    } else {
        ShowFrequency(0);
    }
    readMeterFrame(commands);
    return kHz;
}

void CatControl::readMeterFrame(const CatCommandTable& commands) {
    const Reply reply = ask(*commands.readSMeter, commands.sMeterReply->length);
    logReply(reply, QString::fromLatin1(commands.sMeterReply->logName));
    if (!reply.complete)
        return;
    const auto value = static_cast<std::uint8_t>(reply.bytes[0]);
    // The FT-757GXII's meter byte counts 0..15; anything else is not a reading.
    if (model() != Model::Ft757GXII || value < 16)
        sMeterValue_ = value;
}

float CatControl::ReadSMeter() {
    const CatCommandTable* commands = table();
    if (!portOpen() || !commands)
        return sMeterValue_;
    if (commands->readSMeter)
        readMeterFrame(*commands);
    else
        readRxTxStatus(*commands);
    emit changed();
    return sMeterValue_;
}

void CatControl::SetRigMode(int index) {
    const CatCommandTable* commands = table();
    if (!commands || index < 1 || index > static_cast<int>(commands->modeCodes.size()))
        return;
    const std::uint8_t code = commands->modeCodes[index - 1];
    rigModeIndex_ = static_cast<core::Integer>(index);
    // The configuration keeps the code by which the mode button is found again.
    bool tableCode = false;
    const std::vector<ModeEntry>& modes = ModeTable(model());
    const int buttonCode =
        index <= static_cast<int>(modes.size()) ? modes[index - 1].code.toInt(&tableCode) : 0;
    state_.RigModeCode = static_cast<core::Integer>(tableCode ? buttonCode : code);
    if (portOpen() && send(SetModeFrame(*commands, code), "Set mode"))
        settle(FrameSettleMs);
    emit changed();
}

void CatControl::ShowRigMode(int code) {
    const int index = ModeIndexForCode(model(), code);
    if (index != 0 && index != rigModeIndex_)
        SetRigMode(index);
}

void CatControl::setRigModeIndex(core::Integer index) {
    rigModeIndex_ = index;
    emit changed();
}

void CatControl::PttOn() {
    pttOn_ = true;
    if (const CatCommandTable* commands = table(); commands && portOpen()) {
        if (commands->pttOn)
            (void)command(*commands->pttOn);
        else
            setPttLines(true);
    }
    emit changed();
}

void CatControl::PttOff() {
    pttOn_ = false;
    if (const CatCommandTable* commands = table(); commands && portOpen()) {
        if (commands->pttOff)
            (void)command(*commands->pttOff);
        else
            setPttLines(false);
    }
    emit changed();
}

void CatControl::setPttLines(bool transmit) {
    const bool rts = link_->setRts(true);
    const bool dtr = link_->setDtr(transmit);
    if (!rts || !dtr)
        noteLinesMissing();
    log_.TerminalWrite(transmit ? QStringLiteral("RTS=on DTR=on") + CrLf
                                : QStringLiteral("RTS=on DTR=off") + CrLf,
                       false);
}

void CatControl::RigLock(bool on) {
    lockChecked_ = on;
    const CatCommandTable* commands = table();
    if (commands && portOpen() && command(on ? commands->lockOn : commands->lockOff))
        settle(FrameSettleMs);
    emit changed();
}

void CatControl::SwitchFT817(bool on) {
    const CatCommandTable* commands = table();
    if (model() != Model::Ft817 || !commands || !portOpen())
        return;
    pttOn_ = false;
    if (command(*commands->wakeUp))
        settle(FrameSettleMs);
    if (command(on ? *commands->powerOn : *commands->powerOff))
        settle(FrameSettleMs);
    emit changed();
    emit ft817PowerSwitched(on);
}

void CatControl::ToggleFT817Power() {
    if (!ft817On_) {
        SwitchFT817(true);
        ft817On_ = true;
        lockChecked_ = false;
        if (model() == Model::Ft817 && portOpen())
            settle(PowerOnSettleMs);
        RigLock(false);
    } else {
        SwitchFT817(false);
        ft817On_ = false;
    }
    emit changed();
}

void CatControl::SendCatDelay() {
    const CatCommandTable* commands = table();
    if (!portOpen() || !commands || !commands->catDelay)
        return;
    if (command(*commands->catDelay))
        paceMs_ = commands->catDelay->frame[3];
}

void CatControl::ShowFrequency(float kHz) {
    frequencyText_ =
        kHz == 0 ? NoFrequencyText : core::PlainNumberText(kHz) + QStringLiteral(" kHz");
    emit changed();
}

void CatControl::resetSMeter() {
    sMeterValue_ = 0;
    emit changed();
}

void CatControl::resetSwrState() {
    swrState_ = -1;
    emit changed();
}

QString CatControl::SwrLabelText() const {
    switch (swrState_) {
    case 0:
        return QStringLiteral("L-SWR");
    case 1:
        return QStringLiteral("H-SWR");
    default:
        return {};
    }
}

} // namespace rig
