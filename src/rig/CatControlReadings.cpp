// Reading the rig over CAT: its frequency, receive/transmit status and transmit state, the status
// blocks of the rigs that answer with one, and the S meter.
#include "core/TextRules.h"
#include "rig/CatCodec.h"
#include "rig/CatControl.h"
#include "rig/CatControlExchange.h"
#include "rig/RigLogging.h"

namespace rig {

RigReading CatControl::ReadRigFrequency() {
    return readRig(ReadKind::Whole);
}

RigReading CatControl::CheckRigFrequency() {
    return readRig(ReadKind::Check);
}

RigReading CatControl::readRig(ReadKind kind) {
    RigReading reading;
    if (busy_) {
        reading.busy = true;
        return reading;
    }
    if (!portOpen())
        return reading;
    {
        Exchange exchange(*this);
        if (const RigCaps& rig = caps(); rig.sendsFrames()) {
            switch (rig.readScheme) {
            case ReadScheme::BcdAndStatus:
                readBcdAndStatus(rig, reading, kind);
                break;
            case ReadScheme::Block19:
                readBlock19(rig, reading);
                break;
            case ReadScheme::StatusBlock75:
                readStatusBlock75(rig, reading);
                break;
            }
        } else {
            ShowFrequency(0);
        }
        catFrequency_ = reading.kHz.value_or(0);
    }
    emit changed();
    return reading;
}

bool CatControl::readBcdFrequency(const RigCaps& rig, RigReading& reading) {
    const Reply reply = ask(*rig.readFrequency, rig.frequencyReply.length);
    logReply(reply, QString::fromLatin1(rig.frequencyReply.logName));
    const auto decoded = DecodeBcdFrequencyReply(rig, reply.bytes);
    if (!decoded) {
        ShowFrequency(0);
        return false;
    }
    reading.kHz = static_cast<float>(core::RoundHalfEven(decoded->kHz));
    reading.modeCode = decoded->modeCode;
    ShowRigMode(decoded->modeCode);
    return true;
}

void CatControl::readBcdAndStatus(const RigCaps& rig, RigReading& reading, ReadKind kind) {
    if (pttOn_) { // the transmit status, with the SWR and the inhibit bit
        readBcdFrequency(rig, reading);
        readRxTxStatus(rig, reading);
        return;
    }
    // A new frequency is checked at once: the check right after the reading that found it reads
    // the frequency alone, and the turn that may follow starts on the transmit state read just
    // before it. Later, or after our PTT was switched, the check is a whole reading.
    const std::optional<CheckableTransmit> checkable = std::exchange(checkableTransmit_, {});
    if (kind == ReadKind::Check && checkable &&
        platform_.steadyMs() - checkable->atMs <= CheckableTransmitAgeMs) {
        if (readBcdFrequency(rig, reading))
            reading.transmitting = checkable->transmitting;
        return;
    }
    // The statuses come first, so that the frequency, which may be new, is the last frame. Until
    // a frequency is read (after opening, after a failed reading) it comes first: its reply is
    // as long as the request, so a line that gives the request back is recognised by it.
    const bool frequencyFirst = catFrequency_ == 0;
    if (frequencyFirst)
        readBcdFrequency(rig, reading); // the statuses after a failed one are still read
    if (!readRxTxStatus(rig, reading))
        return;
    if (txStatusInReceive_ && !readTransmitState(rig, reading)) {
        distrust(reading);
        return;
    }
    if (frequencyFirst ? reading.kHz.has_value() : readBcdFrequency(rig, reading))
        checkableTransmit_ = CheckableTransmit{reading.transmitting, platform_.steadyMs()};
}

void CatControl::distrust(RigReading& reading) {
    reading.kHz.reset();
    reading.modeCode.reset();
    ShowFrequency(0);
}

bool CatControl::readRxTxStatus(const RigCaps& rig, RigReading& reading) {
    const CatCommand& request = pttOn_ ? *rig.readTxStatus : *rig.readRxStatus;
    const Reply reply = ask(request, rig.statusReply->length);
    logReply(reply, QString::fromLatin1(rig.statusReply->logName));
    setSwrState(-1);
    if (reply.bytes.isEmpty()) {
        // Silence is no reading: nothing is sent (a missed reply must not switch the rig off),
        // and the frequency read before it is not trusted.
        emit sMeterRead(0);
        distrust(reading);
        return false;
    }
    const RxTxStatus status = DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0]));
    const auto sMeter = static_cast<float>(status.sMeter);
    emit sMeterRead(sMeter);
    if (!pttOn_) {
        reading.sMeter = sMeter;
        return true;
    }
    reading.transmitting = !status.transmitInhibit;
    if (status.transmitInhibit)
        emit transmitInhibited();
    else
        setSwrState(status.highSwr ? 1 : 0);
    return true;
}

bool CatControl::readTransmitState(const RigCaps& rig, RigReading& reading) {
    // The transmit status tells whether the rig transmits although our PTT is off (its own PTT
    // pressed). A rig that leaves it unanswered right after its receive status, several times in
    // a row, does not answer it while receiving, and is not asked again; a single lost reply is
    // no reading.
    const Reply reply = ask(*rig.readTxStatus, rig.statusReply->length);
    logReply(reply, QString::fromLatin1(rig.statusReply->logName));
    if (!reply.bytes.isEmpty()) {
        silentTransmitStatuses_ = 0;
        reading.transmitting =
            !DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0])).transmitInhibit;
        return true;
    }
    if (++silentTransmitStatuses_ < SilentTransmitStatusesLearned)
        return false;
    txStatusInReceive_ = false;
    qCInfo(lcRig) << "the rig does not answer its transmit status while receiving: its own "
                     "transmitting is not seen";
    return true;
}

RigReading CatControl::ReadTransmitState() {
    RigReading reading;
    reading.transmitOnly = true;
    if (busy_) {
        reading.busy = true;
        return reading;
    }
    const RigCaps& rig = caps();
    if (!portOpen() || !transmitReported())
        return reading;
    {
        Exchange exchange(*this);
        if (rig.readTxStatus) {
            const Reply reply = ask(*rig.readTxStatus, rig.statusReply->length);
            logReply(reply, QString::fromLatin1(rig.statusReply->logName));
            if (!reply.bytes.isEmpty())
                reading.transmitting =
                    !DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0])).transmitInhibit;
        } else {
            readFt840Status(rig, reading);
        }
    }
    emit changed();
    return reading;
}

bool CatControl::transmitReported() const {
    const RigCaps& rig = caps();
    return rig.readTxStatus ? txStatusInReceive_ || pttOn_ : rig.readRxStatus.has_value();
}

void CatControl::readBlock19(const RigCaps& rig, RigReading& reading) {
    const Reply reply = ask(*rig.readFrequency, rig.frequencyReply.length);
    logReply(reply, QStringLiteral(" Freq%1 Bytes").arg(reply.received.size()));
    if (const std::optional<double> decoded = DecodeBlockFrequency(rig, reply.bytes)) {
        ShowFrequency(static_cast<float>(core::RoundHalfEven(*decoded, 2)));
        reading.kHz = static_cast<float>(core::RoundHalfEven(*decoded));
        readFt840Status(rig, reading);
        readMeterFrame(rig, reading);
    } else {
        ShowFrequency(0);
    }
    // While transmitting the status is read even after a failed read: the transmit-inhibit
    // check must not wait for a good reply.
    if (pttOn_)
        readFt840Status(rig, reading);
}

void CatControl::readFt840Status(const RigCaps& rig, RigReading& reading) {
    const Reply reply = ask(*rig.readRxStatus, rig.statusReply->length);
    logReply(reply, QString::fromLatin1(rig.statusReply->logName));
    const std::optional<Ft840Status> status =
        reply.complete ? DecodeFt840Status(reply.bytes) : std::nullopt;
    setSwrState(-1);
    if (!status)
        return;
    emit dialLockSwitched(status->locked);
    reading.transmitting = status->transmitting;
    if (!pttOn_)
        return;
    if (!status->keyed)
        emit transmitInhibited();
    else
        setSwrState(status->highSwr ? 1 : 0);
}

void CatControl::readStatusBlock75(const RigCaps& rig, RigReading& reading) {
    const Reply reply = ask(*rig.readFrequency, rig.frequencyReply.length);
    logReply(reply, QStringLiteral("%1 Bytes").arg(reply.received.size()));
    if (const std::optional<double> decoded = DecodeBlockFrequency(rig, reply.bytes)) {
        ShowFrequency(static_cast<float>(core::RoundHalfEven(*decoded, 2)));
        reading.kHz = static_cast<float>(core::RoundHalfEven(*decoded));
        emit dialLockSwitched(StatusBlockLocked(reply.bytes));
    } else {
        ShowFrequency(0);
    }
    readMeterFrame(rig, reading);
}

void CatControl::readMeterFrame(const RigCaps& rig, RigReading& reading) {
    const Reply reply = ask(*rig.readSMeter, rig.sMeterReply->length);
    logReply(reply, QString::fromLatin1(rig.sMeterReply->logName));
    // Only the first byte is used, so a reply shorter than expected still gives it.
    if (reply.bytes.isEmpty())
        return;
    const auto value = static_cast<std::uint8_t>(reply.bytes[0]);
    if (value <= rig.sMeterMax) {
        reading.sMeter = value;
        emit sMeterRead(value);
    }
}

std::optional<float> CatControl::ReadSMeter() {
    const RigCaps& rig = caps();
    if (busy_ || !portOpen() || !rig.sendsFrames())
        return std::nullopt;
    RigReading reading;
    {
        Exchange exchange(*this);
        if (rig.readSMeter)
            readMeterFrame(rig, reading);
        else
            readRxTxStatus(rig, reading);
    }
    emit changed();
    return reading.sMeter;
}

} // namespace rig
