// Reading the rig over CAT: its frequency, receive/transmit status and transmit state, the status
// blocks of the rigs that answer with one, and the S meter. Each reading is a chain of requests
// on the line's queue, each step going on from the reply to the one before.
#include "core/TextRules.h"
#include "rig/CatCodec.h"
#include "rig/CatControl.h"
#include "rig/RigLogging.h"

namespace rig {

void CatControl::beginReading() {
    busy_ = true;
    reading_ = true;
}

void CatControl::endReading() {
    busy_ = false;
    reading_ = false;
    // The commands asked for meanwhile go now, in their order, then a close asked for.
    for (const auto& command : std::exchange(afterReading_, {}))
        command();
    if (closeRequested_)
        closeNow();
}

void CatControl::ReadRigFrequency(Told told) {
    readRig(ReadKind::Whole, std::move(told));
}

void CatControl::CheckRigFrequency(Told told) {
    readRig(ReadKind::Check, std::move(told));
}

void CatControl::readRig(ReadKind kind, Told told) {
    if (busy_) {
        RigReading refused;
        refused.busy = true;
        told(refused);
        return;
    }
    if (!portOpen()) {
        told(RigReading{});
        return;
    }
    beginReading();
    const auto reading = std::make_shared<RigReading>();
    // The reading ends once the rig has settled after a mode it was sent back.
    Then finish = [this, reading, told = std::move(told)] {
        exchanges_.inTurn([this, reading, told] {
            catFrequency_ = reading->kHz.value_or(0);
            endReading();
            emit changed();
            told(*reading);
        });
    };
    const RigCaps& rig = caps();
    if (!rig.sendsFrames()) {
        ShowFrequency(0);
        finish();
        return;
    }
    switch (rig.readScheme) {
    case ReadScheme::BcdAndStatus:
        readBcdAndStatus(rig, reading, kind, std::move(finish));
        break;
    case ReadScheme::Block19:
        readBlock19(rig, reading, std::move(finish));
        break;
    case ReadScheme::StatusBlock75:
        readStatusBlock75(rig, reading, std::move(finish));
        break;
    }
}

void CatControl::readBcdFrequency(const RigCaps& rig, const Reading& reading, Found then) {
    ask(*rig.readFrequency, rig.frequencyReply.length, [this, &rig, reading, then](auto& reply) {
        logReply(reply, QString::fromLatin1(rig.frequencyReply.logName));
        const auto decoded = DecodeBcdFrequencyReply(rig, reply.bytes);
        if (!decoded) {
            ShowFrequency(0);
            then(false);
            return;
        }
        reading->kHz = static_cast<float>(core::RoundHalfEven(decoded->kHz));
        reading->modeCode = decoded->modeCode;
        ShowRigMode(decoded->modeCode);
        then(true);
    });
}

void CatControl::readBcdAndStatus(const RigCaps& rig, const Reading& reading, ReadKind kind,
                                  Then done) {
    if (pttOn_) { // the transmit status, with the SWR and the inhibit bit
        readBcdFrequency(rig, reading, [this, &rig, reading, done](bool) {
            readRxTxStatus(rig, reading, [done](bool) { done(); });
        });
        return;
    }
    // A new frequency is checked at once: the check right after the reading that found it reads
    // the frequency alone, and the turn that may follow starts on the transmit state read just
    // before it. Later, or after our PTT was switched, the check is a whole reading.
    const std::optional<CheckableTransmit> checkable = std::exchange(checkableTransmit_, {});
    if (kind == ReadKind::Check && checkable &&
        platform_.steadyMs() - checkable->atMs <= CheckableTransmitAgeMs) {
        readBcdFrequency(rig, reading, [reading, checkable, done](bool found) {
            if (found)
                reading->transmitting = checkable->transmitting;
            done();
        });
        return;
    }
    // The statuses come first, so that the frequency, which may be new, is the last frame. Until
    // a frequency is read (after opening, after a failed reading) it comes first: its reply is
    // as long as the request, so a line that gives the request back is recognised by it.
    const bool frequencyFirst = catFrequency_ == 0;
    Then statuses = [this, &rig, reading, frequencyFirst, done] {
        readRxTxStatus(rig, reading, [this, &rig, reading, frequencyFirst, done](bool answered) {
            if (answered)
                readAfterReceiveStatus(rig, reading, frequencyFirst, done);
            else
                done();
        });
    };
    if (frequencyFirst) // the statuses after a failed one are still read
        readBcdFrequency(rig, reading, [statuses](bool) { statuses(); });
    else
        statuses();
}

void CatControl::readAfterReceiveStatus(const RigCaps& rig, const Reading& reading,
                                        bool frequencyFirst, Then done) {
    const auto checkable = [this, reading, done](bool found) {
        if (found)
            checkableTransmit_ = CheckableTransmit{reading->transmitting, platform_.steadyMs()};
        done();
    };
    const auto last = [this, &rig, reading, frequencyFirst, checkable] {
        if (frequencyFirst)
            checkable(reading->kHz.has_value());
        else
            readBcdFrequency(rig, reading, checkable);
    };
    if (!txStatusInReceive_) {
        last();
        return;
    }
    readTransmitState(rig, reading, [this, reading, done, last](bool told) {
        if (told) {
            last();
            return;
        }
        distrust(*reading);
        done();
    });
}

void CatControl::distrust(RigReading& reading) {
    reading.kHz.reset();
    reading.modeCode.reset();
    ShowFrequency(0);
}

void CatControl::readRxTxStatus(const RigCaps& rig, const Reading& reading, Found then) {
    // The reply is read as the status asked for, whatever our PTT did meanwhile.
    const bool keyed = pttOn_;
    const CatCommand& request = keyed ? *rig.readTxStatus : *rig.readRxStatus;
    ask(request, rig.statusReply->length, [this, &rig, reading, keyed, then](auto& reply) {
        logReply(reply, QString::fromLatin1(rig.statusReply->logName));
        setSwrState(-1);
        if (reply.bytes.isEmpty()) {
            // Silence is no reading: nothing is sent (a missed reply must not switch the rig
            // off), and the frequency read before it is not trusted.
            emit sMeterRead(0);
            distrust(*reading);
            then(false);
            return;
        }
        const RxTxStatus status = DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0]));
        const auto sMeter = static_cast<float>(status.sMeter);
        emit sMeterRead(sMeter);
        if (!keyed) {
            reading->sMeter = sMeter;
            then(true);
            return;
        }
        reading->transmitting = !status.transmitInhibit;
        if (status.transmitInhibit)
            emit transmitInhibited();
        else
            setSwrState(status.highSwr ? 1 : 0);
        then(true);
    });
}

void CatControl::readTransmitState(const RigCaps& rig, const Reading& reading, Found then) {
    // The transmit status tells whether the rig transmits although our PTT is off (its own PTT
    // pressed). A rig that leaves it unanswered right after its receive status, several times in
    // a row, does not answer it while receiving, and is not asked again; a single lost reply is
    // no reading.
    ask(*rig.readTxStatus, rig.statusReply->length, [this, &rig, reading, then](auto& reply) {
        logReply(reply, QString::fromLatin1(rig.statusReply->logName));
        if (!reply.bytes.isEmpty()) {
            silentTransmitStatuses_ = 0;
            reading->transmitting =
                !DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0])).transmitInhibit;
            then(true);
            return;
        }
        if (++silentTransmitStatuses_ < SilentTransmitStatusesLearned) {
            then(false);
            return;
        }
        txStatusInReceive_ = false;
        qCInfo(lcRig) << "the rig does not answer its transmit status while receiving: its own "
                         "transmitting is not seen";
        then(true);
    });
}

void CatControl::ReadTransmitState(Told told) {
    RigReading reading;
    reading.transmitOnly = true;
    if (busy_) {
        reading.busy = true;
        told(reading);
        return;
    }
    const RigCaps& rig = caps();
    if (!portOpen() || !transmitReported()) {
        told(reading);
        return;
    }
    beginReading();
    const auto transmitOnly = std::make_shared<RigReading>(reading);
    Then finish = [this, transmitOnly, told = std::move(told)] {
        endReading();
        emit changed();
        told(*transmitOnly);
    };
    if (!rig.readTxStatus) {
        readFt840Status(rig, transmitOnly, std::move(finish));
        return;
    }
    ask(*rig.readTxStatus, rig.statusReply->length,
        [this, &rig, transmitOnly, finish](auto& reply) {
            logReply(reply, QString::fromLatin1(rig.statusReply->logName));
            if (!reply.bytes.isEmpty())
                transmitOnly->transmitting =
                    !DecodeRxTxStatus(static_cast<std::uint8_t>(reply.bytes[0])).transmitInhibit;
            finish();
        });
}

bool CatControl::transmitReported() const {
    const RigCaps& rig = caps();
    return rig.readTxStatus ? txStatusInReceive_ || pttOn_ : rig.readRxStatus.has_value();
}

void CatControl::readBlock19(const RigCaps& rig, const Reading& reading, Then done) {
    // While transmitting the status is read even after a failed read: the transmit-inhibit
    // check must not wait for a good reply.
    Then afterwards = [this, &rig, reading, done] {
        if (pttOn_)
            readFt840Status(rig, reading, done);
        else
            done();
    };
    ask(*rig.readFrequency, rig.frequencyReply.length,
        [this, &rig, reading, afterwards](auto& reply) {
            logReply(reply, QStringLiteral(" Freq%1 Bytes").arg(reply.received.size()));
            const std::optional<double> decoded = DecodeBlockFrequency(rig, reply.bytes);
            if (!decoded) {
                ShowFrequency(0);
                afterwards();
                return;
            }
            ShowFrequency(static_cast<float>(core::RoundHalfEven(*decoded, 2)));
            reading->kHz = static_cast<float>(core::RoundHalfEven(*decoded));
            readFt840Status(rig, reading, [this, &rig, reading, afterwards] {
                readMeterFrame(rig, reading, afterwards);
            });
        });
}

void CatControl::readFt840Status(const RigCaps& rig, const Reading& reading, Then then) {
    const bool keyed = pttOn_;
    ask(*rig.readRxStatus, rig.statusReply->length,
        [this, &rig, reading, keyed, then](auto& reply) {
            logReply(reply, QString::fromLatin1(rig.statusReply->logName));
            const std::optional<Ft840Status> status =
                reply.complete ? DecodeFt840Status(reply.bytes) : std::nullopt;
            setSwrState(-1);
            if (status) {
                emit dialLockSwitched(status->locked);
                reading->transmitting = status->transmitting;
                if (keyed && !status->keyed)
                    emit transmitInhibited();
                else if (keyed)
                    setSwrState(status->highSwr ? 1 : 0);
            }
            then();
        });
}

void CatControl::readStatusBlock75(const RigCaps& rig, const Reading& reading, Then done) {
    ask(*rig.readFrequency, rig.frequencyReply.length, [this, &rig, reading, done](auto& reply) {
        logReply(reply, QStringLiteral("%1 Bytes").arg(reply.received.size()));
        if (const std::optional<double> decoded = DecodeBlockFrequency(rig, reply.bytes)) {
            ShowFrequency(static_cast<float>(core::RoundHalfEven(*decoded, 2)));
            reading->kHz = static_cast<float>(core::RoundHalfEven(*decoded));
            emit dialLockSwitched(StatusBlockLocked(reply.bytes));
        } else {
            ShowFrequency(0);
        }
        readMeterFrame(rig, reading, done);
    });
}

void CatControl::readMeterFrame(const RigCaps& rig, const Reading& reading, Then then) {
    ask(*rig.readSMeter, rig.sMeterReply->length, [this, &rig, reading, then](auto& reply) {
        logReply(reply, QString::fromLatin1(rig.sMeterReply->logName));
        // Only the first byte is used, so a reply shorter than expected still gives it.
        if (!reply.bytes.isEmpty()) {
            const auto value = static_cast<std::uint8_t>(reply.bytes[0]);
            if (value <= rig.sMeterMax) {
                reading->sMeter = value;
                emit sMeterRead(value);
            }
        }
        then();
    });
}

void CatControl::ReadSMeter(std::function<void(std::optional<float>)> told) {
    const RigCaps& rig = caps();
    if (busy_ || !portOpen() || !rig.sendsFrames()) {
        told(std::nullopt);
        return;
    }
    beginReading();
    const auto reading = std::make_shared<RigReading>();
    Then finish = [this, reading, told = std::move(told)] {
        endReading();
        emit changed();
        told(reading->sMeter);
    };
    if (rig.readSMeter)
        readMeterFrame(rig, reading, std::move(finish));
    else
        readRxTxStatus(rig, reading, [finish](bool) { finish(); });
}

} // namespace rig
