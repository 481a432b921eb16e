#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/CatCommandTable.h"
#include "rig/CatLog.h"
#include "rig/SerialLink.h"
#include "rig/SerialSettings.h"

#include <QObject>
#include <QString>

namespace rig {

// Time a reply may take beyond the wire time of the request and of the reply itself: the rig's
// processing (a few ms to a few tens of ms on these transceivers) plus the delivery latency of
// a USB serial adapter in each direction (up to 16 ms each), with headroom. Long enough that a
// working rig is never taken for a silent one (which would, for the FT-817, switch it off),
// short enough that a silent rig holds the window for about a tenth of a second per request.
inline constexpr double RigLatencyMarginMs = 100;
// Settling time after lock, mode, wake-up and power frames, in ms.
inline constexpr double FrameSettleMs = 50;
// Settling time after switching the FT-817 on, before its lock is released, in ms.
inline constexpr double PowerOnSettleMs = 200;

// The CAT operations of the rig link on top of the command tables and a SerialLink, for the
// model in state.RigModel, with every frame and reply handed to the CAT log. Also owns the rig
// state that the table window shows (frequency label, S-meter, SWR, lock check box, PTT and
// FT-817 power buttons, mode index).
//
// Every operation does nothing while the link is closed (state changes aside, see each one).
// No operation runs the event loop: its waits (the settling times above and the bounded reply
// waits) only let time pass, so no timer or click can interleave frames. A reply wait gives up
// when the first byte has not come within the wire time of the request and one byte plus
// RigLatencyMarginMs, or the rest not within its own wire time (plus the FT-757GXII's pacing
// between bytes) plus RigLatencyMarginMs. Bytes left from a late reply are discarded before the
// next request, and the FT-817's one-byte acknowledgements are taken with their command.
class CatControl : public QObject {
    Q_OBJECT
public:
    CatControl(core::ProgramState& state, platform::Platform& platform, CatLog& log,
               SerialLink& link);

    // --- the link ---
    // Changes the link (the real port or the simulated rig); an open link is closed first.
    void setLink(SerialLink& link);
    SerialLink& link() const { return *link_; }
    bool portOpen() const { return link_->isOpen(); }
    Model model() const { return ToModel(state_.RigModel); }
    // Line settings for state.BaudRate and the model, "4800,N,8,2".
    QString SettingsText() const { return SerialSettingsText(model(), state_.BaudRate); }
    // Opens COM<port> with SettingsText(), RTS and DTR off. On failure the user gets the
    // "Function ComPortOpen" message with the system's reason, the link stays closed and the
    // result is false.
    bool OpenPort(int port);
    // Releases a PTT left on, drops RTS and DTR and closes the link; the frequency label shows
    // no frequency and the FT-817 button reads off.
    void ClosePort();

    // --- operations ---
    // Sends the frequency (kHz). Not sent: link closed, a model without frames, an FT-817
    // switched off, or (with a beep) a frequency outside the model's bands. True when sent.
    bool SetRigFrequency(float kHz);
    // Reads frequency (and mode, status, S-meter, lock as the model has them) and returns the
    // frequency in whole kHz, which also becomes CatFrequency; 0 when no valid reply came
    // (silence, a short or damaged reply), and the label then shows "-----.- kHz". Returns 0
    // without any change while the link is closed.
    float ReadRigFrequency();
    // Reads the S-meter alone (the receive status on the FT-817 and FT-847) and returns
    // SMeterValue.
    float ReadSMeter();
    // Selects mode button index (1..10) and sends its code; an index without a code for the
    // model changes nothing. The selection is kept while the link is closed.
    void SetRigMode(int index);
    // Selects, and sends back, the mode whose button code is this reply byte, when it is not
    // the selected one already.
    void ShowRigMode(int code);
    // PTT button on / off, and the PTT frame (or, on the FT-757GXII, DTR with RTS held on).
    void PttOn();
    void PttOff();
    // The dial lock check box and its frame.
    void RigLock(bool on);
    // FT-817 only: the PTT button reads off, then the wake-up and the power frame.
    void SwitchFT817(bool on);
    // The FT-817 power button: switches on (and releases the lock) or off.
    void ToggleFT817Power();
    // FT-757GXII only: the delay frame (the rig then paces its reply bytes).
    void SendCatDelay();
    // The frequency label: the number (no blanks) + " kHz", or "-----.- kHz" for 0.
    void ShowFrequency(float kHz);

    // --- state shown by the table window ---
    float CatFrequency() const { return catFrequency_; }
    void setCatFrequency(float kHz) { catFrequency_ = kHz; }
    const QString& frequencyText() const { return frequencyText_; }
    float SMeterValue() const { return sMeterValue_; }
    void resetSMeter();
    // -1 unknown (label hidden), 0 low SWR, 1 high SWR.
    core::Integer SwrState() const { return swrState_; }
    void resetSwrState();
    // "" / "L-SWR" (black) / "H-SWR" (red).
    QString SwrLabelText() const;
    core::Integer RigModeIndex() const { return rigModeIndex_; }
    // Selects a mode button without sending (the window restoring state.RigModeCode).
    void setRigModeIndex(core::Integer index);
    bool lockChecked() const { return lockChecked_; }
    bool pttOn() const { return pttOn_; }
    QString PttCaption() const {
        return pttOn_ ? QStringLiteral("&PTT on") : QStringLiteral("&PTT off");
    }
    bool ft817On() const { return ft817On_; }
    QString OnOffCaption() const {
        return ft817On_ ? QStringLiteral("&FT817 On") : QStringLiteral("&FT817 Off");
    }

signals:
    // Some shown state changed: the window renders it again.
    void changed();
    // The rig reports it is not transmitting while the PTT is on (transmit inhibit): the owner
    // of the PTT switches it off.
    void transmitInhibited();
    // SwitchFT817 sent its frames: the interpolation labels are reset, and after switching on
    // polling resumes.
    void ft817PowerSwitched(bool on);
    // Writing to the link failed (the device is gone); told once per opening. The owner closes
    // the port and tells the user.
    void linkFailed(const QString& error);

private:
    // What came back for a request: every byte received, and whether they are exactly the
    // expected reply length.
    struct Reply {
        QByteArray bytes;
        bool complete = false;
    };

    const CatCommandTable* table() const;
    // Logs and writes one frame; false (and linkFailed) when the write failed.
    bool send(const Frame& frame, const char* name);
    // Sends a command and takes its acknowledgement, if the rig sends one.
    bool command(const CatCommand& command);
    // Discards what is waiting, sends the request and waits for its reply.
    Reply ask(const CatCommand& request, int replyLength);
    // Waits, bounded, for a reply of replyLength bytes and takes what came.
    Reply awaitReply(int replyLength);
    // Logs what arrived: under name when it has the expected length, else "Just<n> Bytes".
    void logReply(const Reply& reply, const QString& name);
    void settle(double ms);
    // The FT-757GXII's PTT on its lines, with the text the CAT log shows for it.
    void setPttLines(bool transmit);
    void noteLinesMissing();

    float readBcdAndStatus(const CatCommandTable& table);
    float readBlock19(const CatCommandTable& table);
    float readStatusBlock75(const CatCommandTable& table);
    void readRxTxStatus(const CatCommandTable& table);
    void readFt840Status(const CatCommandTable& table);
    void readMeterFrame(const CatCommandTable& table);

    core::ProgramState& state_;
    platform::Platform& platform_;
    CatLog& log_;
    SerialLink* link_;

    SerialSettings line_;      // as opened
    int paceMs_ = 0;           // FT-757GXII pause between reply bytes, as last set
    bool linesNoted_ = false;  // the missing RTS/DTR lines were logged for this opening
    bool failureTold_ = false; // linkFailed was emitted for this opening

    float catFrequency_ = 0;
    QString frequencyText_;
    float sMeterValue_ = 0;
    core::Integer swrState_ = -1;
    core::Integer rigModeIndex_ = 0;
    bool lockChecked_ = false;
    bool pttOn_ = false;
    bool ft817On_ = false;
};

} // namespace rig
