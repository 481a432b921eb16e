#pragma once

#include "rig/KeyedRecord.h"
#include "rig/LinkCapabilities.h"
#include "rig/RigReading.h"
#include "rig/SerialLink.h"
#include "rig/SwrMeter.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace rig {

// A transceiver as automatic tuning sees it, whatever carries the words: the Yaesu CAT link on
// a serial port or on the simulated rig (CatRig), or a rig daemon on the network. Readings are
// asked for and answered through a signal, before the request returns or later; a link that
// answers later must keep the window live meanwhile and answer every request it took, within
// its own time limit, with a reading (empty when the rig said nothing).
class RigConnection : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // --- the link ---
    // Opens the link (port 1..4 where the link has ports) and brings the rig to talk: the rig
    // switched to CAT, switched on, a PTT that we left keyed released (never the operator's).
    // On failure the user has been told why and the link stays closed. A link whose line is
    // lost later stays open and comes back by itself.
    virtual LinkOpenResult open(int port) = 0;
    // Releases the PTT first, then closes; closed() tells when the link is closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The line as the window names it after the port: "4800,N,8,1".
    virtual QString lineText() const = 0;
    // "FT817": the rig's name in captions.
    virtual QString rigName() const = 0;
    // What the link can do; capabilitiesChanged() tells when it learned more.
    virtual LinkCapabilities capabilities() const = 0;

    // --- readings ---
    // Asks for the frequency (with mode, S-meter and transmit state as the rig reports them);
    // readingArrived() answers. False, and no answer, while an exchange is under way.
    virtual bool requestReading() = 0;
    // Asks for the transmit state alone, by the rig's shortest read for it, so that it can be
    // watched while the stepper turns; readingArrived() answers with transmitOnly set (a rig
    // without such a read gives a whole reading). False as requestReading().
    virtual bool requestTransmitState() = 0;
    // Asks for what a new frequency needs before the stepper follows it: the frequency and the
    // transmit state, without mode and meters, so that it comes soonest; readingArrived()
    // answers (where the whole reading is no longer, with a whole reading). False as
    // requestReading().
    virtual bool requestFrequencyCheck() { return requestReading(); }
    // Asks for the S-meter alone; sMeterArrived() answers. False as requestReading().
    virtual bool requestSMeter() = 0;
    // The rig's SWR meter and power setting; nullptr where the link reads no SWR
    // (capabilities().swrMeter false).
    virtual SwrMeter* swrMeter() { return nullptr; }

    // --- commands ---
    // Whether the rig may be sent this frequency (kHz).
    virtual bool frequencyValid(double kHz) const = 0;
    virtual CatResult setFrequency(float kHz) = 0;
    // Mode button index 1..capabilities().modeNames.size(); the selection stays while the link
    // is closed.
    virtual CatResult setMode(int index) = 0;
    // Never refused: the PTT can always be released.
    virtual CatResult setPtt(bool on) = 0;
    // The rig's dial lock and power switch, where the program works them (capabilities()).
    virtual CatResult setDialLock(bool) { return CatResult::NotSent; }
    virtual void togglePower() {}

    // Selects, without sending, the mode button whose mode code (a Yaesu mode byte, an Icom or
    // Kenwood mode number) is code, told by modeSelected(); false when none has it. A link that
    // names its modes (a daemon, another program) has no codes: true, nothing selected.
    virtual bool selectModeByCode(int) { return true; }
    // Selects, without sending, the button of the mode the configuration keeps: code is the
    // Yaesu model's code of it, name its name there. A link with codes of its own finds it by
    // the name; false when none has it.
    virtual bool selectStoredMode(int code, const QString& name) {
        (void)name;
        return selectModeByCode(code);
    }

    // Where the record of a PTT this link keys is kept (KeyedRecord), so that the next opening
    // releases a PTT a run left keyed; without a directory none is kept.
    void keepKeyedRecordIn(const QString& programDirectory) {
        keyedRecord_ = KeyedRecord(programDirectory);
    }

signals:
    void readingArrived(const rig::RigReading& reading);
    // The rig told a change unasked (Icom's transceive, the auto-information of the Kenwood
    // family): a reading that was not requested, confirmed by the next one as any other.
    void readingAnnounced(const rig::RigReading& reading);
    // The rig or the program spoke unasked without news to follow (WSJT-X's heartbeat, a status
    // with the same dial; kHz when it told the dial): its announcements still come.
    void heardUnasked(std::optional<float> kHz);
    void sMeterArrived(std::optional<float> value);
    // The rig does not transmit although our PTT is on.
    void transmitInhibited();
    void closed();
    // capabilities() has changed.
    void capabilitiesChanged();
    // Something about the link that is shown beside its news changed: its line or connection
    // (lineText()), what it last heard.
    void changed();

    // What the rig shows, as the link learns it from the rig and from the commands it sent:
    // our PTT keyed or released (also by the link itself, at closing or reopening); the mode
    // button (1..) set or read; the dial lock set or read; the rig's power switched by the
    // program.
    void pttSwitched(bool on);
    void modeSelected(int index);
    void dialLockSwitched(bool on);
    void powerSwitched(bool on);
    // A read of the S-meter; -1 unknown, 0 low, 1 high SWR (while transmitting); what the rig's
    // display read in kHz, where a link takes it from the rig (0: none read).
    void sMeterRead(float value);
    void swrStateRead(int state);
    void frequencyShown(float kHz);

protected:
    // One reading at a time, gathered by the link: gather fills it in and calls finish once, and
    // the reading is then told from the event loop. asked says what is asked (transmitOnly,
    // frequencyOnly). False while a reading is being gathered; while not connected the reading
    // as asked is told at once.
    using Gather =
        std::function<void(std::shared_ptr<RigReading> reading, std::function<void()> finish)>;
    bool gatherReading(const RigReading& asked, bool connected, const Gather& gather) {
        if (gathering_)
            return false;
        auto reading = std::make_shared<RigReading>(asked);
        if (!connected) {
            emit readingArrived(*reading);
            return true;
        }
        gathering_ = true;
        gather(reading, [this, reading] {
            gathering_ = false;
            deliver([this, reading] { emit readingArrived(*reading); });
        });
        return true;
    }

    // Tells listeners from the event loop, outside the handlers of the line or the network (a
    // listener may turn the stepper and run the event loop for long).
    void deliver(std::function<void()> news) {
        QMetaObject::invokeMethod(this, std::move(news), Qt::QueuedConnection);
    }
    // The rig answered our key with a refusal: told as transmit inhibited while our PTT is
    // still on.
    void keyRefused() {
        deliver([this] {
            if (pttOn_)
                emit transmitInhibited();
        });
    }

    // Our PTT switched by one request to the rig's program (line names it in the record of a
    // PTT we keyed), send(on), whose answer comes later. A release that could not be sent while
    // our PTT was on stays owed (releaseOwed) until one is.
    CatResult switchPttBy(bool on, bool& releaseOwed, const QString& line,
                          const std::function<bool(bool on)>& send) {
        if (!on) {
            const bool keyed = pttOn_;
            pttOn_ = false;
            emit pttSwitched(false);
            if (send(false)) {
                releaseOwed = false;
                keyedRecord_.released();
                return CatResult::Sent;
            }
            releaseOwed = releaseOwed || keyed;
            return CatResult::NotSent;
        }
        // Recorded before the rig is keyed: a run that ends keyed is released at the next
        // opening.
        (void)keyedRecord_.keyed(line);
        if (!send(true)) {
            if (!pttOn_ && !releaseOwed)
                keyedRecord_.released();
            return CatResult::NotSent;
        }
        pttOn_ = true;
        emit pttSwitched(true);
        return CatResult::Sent;
    }
    // Whether the rig's program, heard again or for the first time, is owed our release: one
    // that could not be sent, or a run that ended with our PTT keyed there. A PTT we never keyed
    // is the operator's and stays.
    bool releaseOwedTo(const QString& line, bool releaseOwed) const {
        return !pttOn_ && (releaseOwed || keyedRecord_.leftKeyed(line));
    }

    // The record of a PTT this link keyed (keepKeyedRecordIn()).
    KeyedRecord keyedRecord_{QString()};

    // Our PTT as this link keyed it: released at closing.
    bool pttOn_ = false;
    bool gathering_ = false; // a reading is being gathered
};

} // namespace rig
