#include "rig/CatControl.h"

#include "core/TextRules.h"
#include "core/VersionTexts.h"
#include "rig/CatCodec.h"
#include "rig/CatControlExchange.h"
#include "rig/RigLogging.h"

#include <algorithm>

namespace rig {

namespace {

using core::CrLf;
QString CannotWrite(const SerialLink& link) {
    return QStringLiteral("Cannot write to ") + link.description();
}

} // namespace

CatControl::CatControl(core::ProgramState& state, platform::Platform& platform, CatLog& log,
                       SerialLink& link, const QString& programDirectory)
    : state_(state), platform_(platform), log_(log), link_(&link),
      exchanges_(platform, link,
                 [this](const QByteArray& bytes, const QString& name) {
                     return sendBytes(bytes, name) == CatResult::Sent;
                 }),
      keyedRecord_(programDirectory) {
    exchanges_.onLost([this] {
        catFrequency_ = 0;
        emit changed();
    });
    exchanges_.onReopened([this] { reopened(); });
}

CatControl::~CatControl() = default;

// --- the link ---

bool CatControl::setLink(SerialLink& link) {
    if (refusesCommands())
        return false;
    if (&link != link_) {
        if (linkKept())
            ClosePort();
        link_ = &link;
        exchanges_.setLink(link);
    }
    return true;
}

LinkOpenResult CatControl::OpenPort(int port) {
    if (refusesCommands())
        return {false, QStringLiteral("The rig is still answering a request.")};
    if (linkKept())
        ClosePort();
    setPttOn(false); // the button may have been pressed while the port was closed
    const LinkOpenResult opened = link_->open(port, SettingsText());
    if (!opened.ok) {
        platform_.messageBox(QStringLiteral("Function ComPortOpen") + CrLf + opened.error,
                             core::MessageTitle(), platform::Icon::Critical);
        return opened;
    }
    exchanges_.start(port, SettingsText());
    startLine();
    // A line that fails at once is not taken for one to reopen: the opening failed.
    if (!portOpen()) {
        exchanges_.close();
        return {false, CannotWrite(*link_)};
    }
    return opened;
}

void CatControl::startLine() {
    // Opening raises DTR and RTS, and DTR keys an FT-757GXII: both go low before anything else,
    // but for the RTS that the FT-757GXII's interface takes its supply from.
    const bool dtr = link_->setDtr(false);
    const bool rts = link_->setRts(caps().pttOnLines());
    linesNoted_ = false;
    txStatusInReceive_ = true;
    silentTransmitStatuses_ = 0;
    catFrequency_ = 0;
    checkableTransmit_.reset();
    if (!rts || !dtr)
        noteLinesMissing();
    Exchange exchange(*this);
    const RigCaps& rig = caps();
    if (rig.catOn)
        (void)command(*rig.catOn);
    // Only a PTT that we keyed and never released (a run that ended keyed) is released: the
    // operator may be transmitting on the rig's own PTT. Lowering DTR above released the
    // FT-757GXII's.
    const QString line = link_->description();
    if (pttOn_ || keyedRecord_.leftKeyed(line)) {
        qCInfo(lcRig).noquote() << "the PTT left keyed on" << line << "is released";
        setPttOn(false);
        if (!rig.pttOff || commandNow(rig.pttOff->frame, rig.pttOff->logName,
                                      rig.pttOff->acknowledged) == CatResult::Sent)
            keyedRecord_.released();
    }
}

void CatControl::reopened() {
    startLine();
    if (portOpen())
        (void)sendCatDelay();
    ShowFrequency(0);
}

bool CatControl::ClosePort() {
    // A reading of short exchanges is cut short (told with nothing); a long reply is waited for.
    const bool cutShort = reading_ && !exchanges_.longReplyOnLine();
    const bool deferred = busy_ && !cutShort;
    exchanges_.forgetLoss();
    {
        Exchange exchange(*this);
        if (portOpen() && pttOn_)
            (void)sendPtt(false);
        setPttOn(false);
        closeRequested_ = true;
    } // the outermost exchange closes now; else the running one closes when it ends
    if (cutShort) {
        abandoning_ = true;
        exchanges_.abandon(); // the reading ends, and with it the link
        abandoning_ = false;
    }
    if (deferred)
        emit changed();
    return !deferred;
}

void CatControl::closeNow() {
    // A close asked for from a signal emitted below is this one.
    busy_ = true;
    if (portOpen()) {
        if (const RigCaps& rig = caps(); rig.catOff)
            (void)send(rig.catOff->frame, rig.catOff->logName);
        (void)link_->setDtr(false); // lines a device lacks were noted at opening
        (void)link_->setRts(false);
        link_->close();
        emit portClosed();
    }
    exchanges_.close();
    busy_ = false;
    closeRequested_ = false;
    setPttOn(false);
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

CatResult CatControl::send(const Frame& frame, const char* name) {
    return sendBytes(FrameBytes(frame), QString::fromLatin1(name));
}

CatResult CatControl::sendBytes(const QByteArray& bytes, const QString& name) {
    // Written before it is logged: a log file that fails is reported, and a PTT-off frame must
    // not wait for that.
    const bool written = link_->write(bytes);
    log_.logBytes(bytes, CatDirection::Transmit, name);
    if (written)
        return CatResult::Sent;
    if (!closeRequested_)
        exchanges_.lose(QStringLiteral("cannot be written"));
    return CatResult::WriteFailed;
}

CatResult CatControl::commandNow(const Frame& frame, const char* name, bool acknowledged) {
    const CatResult result = send(frame, name);
    exchanges_.commandWritten(acknowledged);
    return result;
}

CatResult CatControl::command(const Frame& frame, const char* name, bool acknowledged) {
    if (exchanges_.free())
        return commandNow(frame, name, acknowledged);
    // A reading cut short by a close sends nothing more.
    exchanges_.inTurn([this, frame, name, acknowledged] {
        if (!abandoning_ && portOpen())
            (void)commandNow(frame, name, acknowledged);
    });
    return CatResult::Sent;
}

void CatControl::ask(const CatCommand& request, int replyLength,
                     std::function<void(const Reply&)> then) {
    if (abandoning_) {
        then(Reply{});
        return;
    }
    exchanges_.ask(FrameBytes(request.frame), QString::fromLatin1(request.logName),
                   std::make_shared<LengthReply>(replyLength, std::move(then)));
}

void CatControl::logReply(const Reply& reply, const QString& name) {
    if (reply.received.isEmpty())
        return;
    log_.logBytes(reply.received, CatDirection::Receive,
                  reply.complete ? name
                                 : QStringLiteral("Just%1 Bytes").arg(reply.received.size()));
}

void CatControl::settle(double ms) {
    // The line rests from the frame before on: what is asked for next, a reading's end among
    // it, waits without holding anything else up.
    exchanges_.inTurn([this, ms] { exchanges_.restFor(ms); });
}

// --- operations ---

CatResult CatControl::SetRigFrequency(float kHz) {
    const RigCaps& rig = caps();
    if (!portOpen() || !rig.sendsFrames() || (rig.hasPowerSwitch() && !ft817On_))
        return CatResult::NotSent;
    if (refusesCommands())
        return CatResult::Busy;
    const std::optional<Frame> frame =
        rig.frequencyValid(kHz) ? SetFrequencyFrame(rig, kHz) : std::nullopt;
    if (!frame) {
        platform_.beep();
        return CatResult::OutOfRange;
    }
    const char* name = rig.setFrequencyName;
    return afterReading([this, frame = *frame, name] {
        return portOpen() ? command(frame, name) : CatResult::NotSent;
    });
}

bool CatControl::refusesCommands() const {
    return busy_ && (!reading_ || exchanges_.longReplyOnLine());
}

CatResult CatControl::afterReading(std::function<CatResult()> send) {
    if (!reading_) {
        Exchange exchange(*this);
        return send();
    }
    afterReading_.push_back([this, send = std::move(send)] {
        Exchange exchange(*this);
        (void)send();
    });
    return CatResult::Sent;
}

CatResult CatControl::SetRigMode(int index) {
    if (refusesCommands())
        return CatResult::Busy;
    const RigCaps& rig = caps();
    if (reading_ &&
        (index < 1 || index > static_cast<int>(rig.modes.size()) || !rig.modes[index - 1].sent))
        return CatResult::NotSent;
    return afterReading([this, index] { return setMode(index); });
}

CatResult CatControl::setMode(int index) {
    const RigCaps& rig = caps();
    if (!rig.sendsFrames() || index < 1 || index > static_cast<int>(rig.modes.size()) ||
        !rig.modes[index - 1].sent)
        return CatResult::NotSent;
    const RigMode& mode = rig.modes[index - 1];
    setModeIndex(static_cast<core::Integer>(index));
    // The configuration keeps the code by which the mode button is found again.
    state_.RigModeCode = static_cast<core::Integer>(mode.code.value_or(*mode.sent));
    CatResult result = CatResult::NotSent;
    if (portOpen()) {
        result = command(SetModeFrame(rig, *mode.sent), "Set mode");
        if (result == CatResult::Sent)
            settle(FrameSettleMs);
    }
    emit changed();
    return result;
}

void CatControl::ShowRigMode(int code) {
    const int index = caps().modeIndexForCode(code);
    if (index != 0 && index != rigModeIndex_)
        (void)setMode(index);
}

void CatControl::setRigModeIndex(core::Integer index) {
    setModeIndex(index);
    emit changed();
}

CatResult CatControl::PttOn() {
    Exchange exchange(*this);
    setPttOn(true);
    const CatResult result = sendPtt(true);
    emit changed();
    return result;
}

CatResult CatControl::PttOff() {
    Exchange exchange(*this);
    const CatResult result = sendPtt(false);
    setPttOn(false);
    emit changed();
    return result;
}

CatResult CatControl::sendPtt(bool on) {
    checkableTransmit_.reset(); // the transmit state read before is no longer the rig's
    const RigCaps& rig = caps();
    if (!rig.sendsFrames() || !portOpen())
        return CatResult::NotSent;
    // Recorded before the rig is keyed, so that a run ending keyed is known at the next
    // opening; forgotten once the release went out.
    if (on)
        (void)keyedRecord_.keyed(link_->description());
    if (!rig.pttOn) {
        setPttLines(on);
        if (!on)
            keyedRecord_.released();
        return CatResult::Sent;
    }
    const auto write = [this, on] {
        const RigCaps& model = caps();
        const CatCommand& ptt = on ? *model.pttOn : *model.pttOff;
        const CatResult result = commandNow(ptt.frame, ptt.logName, ptt.acknowledged);
        if (!on && result == CatResult::Sent)
            keyedRecord_.released();
        return result;
    };
    // A frame in the middle of a request would spoil its reply: it goes once that is answered.
    if (exchanges_.onLine()) {
        exchanges_.whenLineFree([write] { (void)write(); });
        return CatResult::Sent;
    }
    return write();
}

void CatControl::setPttLines(bool transmit) {
    // DTR keys the rig: it is released first and keyed last, with RTS (the interface's supply)
    // on.
    bool set = transmit || link_->setDtr(false);
    set = link_->setRts(true) && set;
    if (transmit)
        set = link_->setDtr(true) && set;
    if (!set)
        noteLinesMissing();
    log_.TerminalWrite(transmit ? QStringLiteral("RTS=on DTR=on") + CrLf
                                : QStringLiteral("RTS=on DTR=off") + CrLf,
                       false);
}

CatResult CatControl::RigLock(bool on) {
    if (refusesCommands())
        return CatResult::Busy;
    if (!caps().hasDialLock())
        return CatResult::NotSent;
    return afterReading([this, on] { return rigLock(on); });
}

CatResult CatControl::rigLock(bool on) {
    const RigCaps& rig = caps();
    if (!rig.hasDialLock())
        return CatResult::NotSent;
    emit dialLockSwitched(on);
    CatResult result = CatResult::NotSent;
    if (portOpen()) {
        result = command(on ? *rig.lockOn : *rig.lockOff);
        if (result == CatResult::Sent)
            settle(FrameSettleMs);
    }
    emit changed();
    return result;
}

void CatControl::SwitchFT817(bool on) {
    const RigCaps& rig = caps();
    if (!rig.hasPowerSwitch() || !portOpen())
        return;
    // The PTT is released before anything else goes to the rig.
    if (pttOn_)
        (void)sendPtt(false);
    setPttOn(false);
    if (rig.wakeUp && command(*rig.wakeUp) == CatResult::Sent)
        settle(FrameSettleMs);
    if (command(on ? *rig.powerOn : *rig.powerOff) == CatResult::Sent)
        settle(FrameSettleMs);
    emit changed();
    emit ft817PowerSwitched(on);
}

void CatControl::ToggleFT817Power() {
    if (!caps().hasPowerSwitch() || refusesCommands())
        return;
    (void)afterReading([this] {
        toggleFt817Power();
        return CatResult::Sent;
    });
}

void CatControl::toggleFt817Power() {
    if (!ft817On_) {
        SwitchFT817(true);
        ft817On_ = true;
        emit dialLockSwitched(false);
        if (portOpen())
            settle(PowerOnSettleMs);
        // The wake-up frame is the lock-on frame of a rig that was on already.
        (void)rigLock(false);
    } else {
        SwitchFT817(false);
        ft817On_ = false;
    }
    emit changed();
}

CatResult CatControl::SendCatDelay() {
    const RigCaps& rig = caps();
    if (!portOpen() || !rig.catDelay)
        return CatResult::NotSent;
    if (busy_)
        return CatResult::Busy;
    Exchange exchange(*this);
    return sendCatDelay();
}

CatResult CatControl::sendCatDelay() {
    const RigCaps& rig = caps();
    if (!rig.catDelay)
        return CatResult::NotSent;
    const CatResult result = command(*rig.catDelay);
    if (result == CatResult::Sent)
        exchanges_.setPaceMs(rig.catDelay->frame[3]);
    return result;
}

void CatControl::ShowFrequency(float kHz) {
    emit frequencyShown(kHz);
    emit changed();
}

} // namespace rig
