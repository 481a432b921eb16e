#pragma once

#include "rig/RigReading.h"
#include "rig/SerialLink.h"
#include "rig/SwrMeter.h"

#include <QObject>
#include <QString>
#include <QStringList>
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

    // --- readings ---
    // Asks for the frequency (with mode, S-meter and transmit state as the rig reports them);
    // readingArrived() answers. False, and no answer, while an exchange is under way.
    virtual bool requestReading() = 0;
    // Whether readings tell the rig's transmit state (the FT-757GXII's do not).
    virtual bool reportsTransmit() const = 0;
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
    // The rig's SWR meter and power setting; nullptr where the link reads no SWR.
    virtual SwrMeter* swrMeter() { return nullptr; }

    // --- commands ---
    // Whether the link can set the rig's frequency, mode and PTT at all (one that only listens
    // to another program cannot).
    virtual bool canSetRig() const { return true; }
    // Whether the rig may be sent this frequency (kHz).
    virtual bool frequencyValid(double kHz) const = 0;
    virtual CatResult setFrequency(float kHz) = 0;
    // Mode button index 1..modeNames().size(); the selection stays while the link is closed.
    virtual CatResult setMode(int index) = 0;
    // Never refused: the PTT can always be released.
    virtual CatResult setPtt(bool on) = 0;
    // The rig's dial lock, where the program can set it.
    virtual bool hasDialLock() const = 0;
    virtual CatResult setDialLock(bool on) = 0;
    // A power switch the program works (the FT-817's).
    virtual bool hasPowerSwitch() const = 0;
    virtual void togglePower() = 0;

    // --- what the window shows ---
    // The frequency label: "7050 kHz", or "-----.- kHz" without a reading.
    virtual QString frequencyText() const = 0;
    virtual void showFrequency(float kHz) = 0;
    virtual float sMeter() const = 0;
    virtual void resetSMeter() = 0;
    // -1 unknown, 0 low SWR, 1 high SWR (while transmitting).
    virtual int swrState() const = 0;
    virtual void resetSwrState() = 0;
    virtual bool dialLocked() const = 0;
    virtual bool pttOn() const = 0;
    virtual bool powerOn() const = 0;
    // The mode buttons' names in order; the selected one (1..), 0 for none.
    virtual QStringList modeNames() const = 0;
    virtual int modeIndex() const = 0;
    // Selects, without sending, the button whose mode code is code; false when none has it.
    virtual bool selectModeByCode(int code) = 0;

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
    // Something shown changed.
    void changed();
    // The rig's power was switched by the program.
    void powerSwitched(bool on);
};

} // namespace rig
