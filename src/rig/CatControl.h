#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/CatLog.h"
#include "rig/KeyedRecord.h"
#include "rig/LengthReply.h"
#include "rig/RigCaps.h"
#include "rig/RigReading.h"
#include "rig/SerialExchanges.h"
#include "rig/SerialLink.h"
#include "rig/SerialSettings.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace rig {

// Settling time after lock, mode, wake-up and power frames, in ms.
inline constexpr double FrameSettleMs = 50;
// Settling time after switching the FT-817 on, before its lock is released, in ms.
inline constexpr double PowerOnSettleMs = 200;
// Silent transmit statuses in a row, each right after an answered receive status, that show an
// FT-817-family rig which does not answer it while receiving.
inline constexpr int SilentTransmitStatusesLearned = 3;
// How soon after an FT-817 reading the check of its frequency may take its transmit state.
inline constexpr double CheckableTransmitAgeMs = 100;

// The CAT operations of the rig link on top of the model's record and a SerialLink, for the
// model in state.RigModel, with every frame and reply handed to the CAT log. Also keeps the rig
// state that the table window shows (frequency label, S-meter, SWR, lock check box, PTT and
// FT-817 power buttons, mode index). Polling, the PTT watchdog, following and turning belong to
// the caller.
//
// A line that cannot be written is lost: it is closed, operations send nothing and readings
// carry nothing, and it is reopened by itself, ever less often, until it is back or the user
// closes it.
//
// Readings and commands are turns on the line's queue (SerialExchanges): nothing waits. A reading
// is told when its last reply came or its time was up. A command is written at once when nothing is
// ahead of it, else in its turn (told as sent); the settling some frames need (FrameSettleMs,
// PowerOnSettleMs) rests the line, and what is asked for next, a reading's end among it, comes
// when the rig has settled. What waits for its turn when the link closes is not sent. The PTT
// never waits for a rest or a turn. busy() holds from the
// start of a reading to its end: a second read is refused (RigReading::busy); a command is sent
// when the reading ends (refused as CatResult::Busy while the rig sends a reply longer than
// LongReplyAboveMs); the PTT still acts (its frame goes as soon as the request on the line is
// answered). A ClosePort releases the PTT at once; it closes when a long reply under way has come,
// else at once, the reading cut short and told with nothing. Destroyed during a reading, it tells
// nothing more.
class CatControl : public QObject {
    Q_OBJECT
public:
    // The record of our PTT is kept in programDirectory (none without one).
    CatControl(core::ProgramState& state, platform::Platform& platform, CatLog& log,
               SerialLink& link, const QString& programDirectory = {});
    ~CatControl() override;

    // --- the link ---
    // Changes the link (the real port or the simulated rig); an open link is closed first.
    // False, and nothing changes, while a long reply comes (a reading of short exchanges is cut
    // short).
    bool setLink(SerialLink& link);
    // The line is up.
    bool portOpen() const { return link_->isOpen(); }
    // Opened and not closed: also while a lost line waits to be reopened.
    bool linkKept() const { return portOpen() || exchanges_.lost(); }
    bool lineLost() const { return exchanges_.lost(); }
    bool busy() const { return busy_; }
    // Nothing waits for its turn on the line, and the rig has settled after the last command.
    bool lineIdle() const { return exchanges_.free(); }
    Model model() const { return ToModel(state_.RigModel); }
    const RigCaps& caps() const { return Caps(model()); }
    // Line settings for state.BaudRate and the model, "4800,N,8,2".
    QString SettingsText() const { return caps().settingsText(state_.BaudRate); }
    // Opens COM<port> with SettingsText(); an open link is closed first. DTR and RTS go low at
    // once (the FT-757GXII keeps RTS, which its interface needs), then the FT-847 is switched
    // to CAT and a PTT that our own record says a run left keyed on this line is released;
    // the rig's PTT is not touched otherwise. On failure the user gets the "Function
    // ComPortOpen" message with the system's reason and the link stays closed.
    LinkOpenResult OpenPort(int port);
    // Releases our PTT first when it is on (the PTT-off frame, or DTR low on the FT-757GXII),
    // switches the FT-847 out of CAT, drops RTS and DTR and closes the link; the
    // frequency label shows no frequency and the FT-817 button reads off. A reading of short
    // exchanges under way is cut short, told with nothing. While a reply longer than
    // LongReplyAboveMs comes, only the PTT is released now and the rest follows when the reading
    // ends: the result is then false.
    bool ClosePort();

    // --- operations ---
    // Sends the frequency (kHz). NotSent: link closed, a model without frames, a rig with a
    // power switch switched off. OutOfRange (with a beep): outside the model's bands.
    CatResult SetRigFrequency(float kHz);
    // A reading, told once: at once when nothing can be asked (the link closed, a model
    // without frames; refused with busy set while busy()), else when its exchanges are over.
    using Told = std::function<void(const RigReading& reading)>;
    // Reads frequency (and mode, status, S-meter, lock as the model has them). The frequency
    // also becomes CatFrequency (0 without a reading, and the label then shows "-----.- kHz").
    // Nothing is sent, and nothing changes, while the link is closed. The FT-817 family reads
    // its statuses first and the frequency last; a silent status leaves no frequency.
    void ReadRigFrequency(Told told);
    // The read that checks a new frequency. On the FT-817 family, right after a reading (within
    // CheckableTransmitAgeMs, our PTT not switched), it is the frequency alone with the transmit
    // state that reading found; otherwise, and on other models, the whole reading.
    void CheckRigFrequency(Told told);
    // Reads the transmit state alone, in one short exchange: the transmit status (the BCD
    // models) or the status flags (FT-840). The reading has transmitOnly set; its transmitting
    // is nullopt when the rig did not answer or cannot tell (see transmitReported()).
    void ReadTransmitState(Told told);
    // Whether the rig tells its transmit state: a model with a status read, unless it is one
    // that does not answer its transmit status while receiving (found at the first readings).
    bool transmitReported() const;
    // Reads the S-meter alone (the receive status on the BCD models); nullopt when no
    // reading came, at once while busy() or closed.
    void ReadSMeter(std::function<void(std::optional<float>)> told);
    // Selects mode button index (1..10) and sends its code. An index without a code for the
    // model (beyond its list, or the FT-817's WFM, which CAT cannot set) changes nothing. The
    // selection is kept while the link is closed.
    CatResult SetRigMode(int index);
    // PTT button on / off, and the PTT frame (or, on the FT-757GXII, DTR with RTS held on).
    // Never refused as busy: the PTT must always be releasable.
    CatResult PttOn();
    CatResult PttOff();
    // The dial lock check box and its frame; NotSent, and no change, for a model without a dial
    // lock by CAT.
    CatResult RigLock(bool on);
    // The power button of a rig with a power switch (the FT-817): switches on (and releases the
    // lock) or off; other models, and while busy(), nothing.
    void ToggleFT817Power();
    // The delay frame of a rig that paces its replies (the FT-757GXII).
    CatResult SendCatDelay();
    // Tells what the rig's display reads (frequencyShown), 0 for none.
    void ShowFrequency(float kHz);

    // --- the rig as the link keeps it ---
    float CatFrequency() const { return catFrequency_; }
    // -1 unknown (label hidden), 0 low SWR, 1 high SWR.
    core::Integer SwrState() const { return swrState_; }
    core::Integer RigModeIndex() const { return rigModeIndex_; }
    // Selects a mode button without sending (the window restoring state.RigModeCode).
    void setRigModeIndex(core::Integer index);
    bool pttOn() const { return pttOn_; }
    bool ft817On() const { return ft817On_; }
    // Where frames and replies are shown; the other links on the serial port use it too.
    CatLog& log() { return log_; }

signals:
    // Something of the link changed (its line, an exchange ended).
    void changed();
    // The rig reports it is not transmitting while the PTT is on (transmit inhibit): the owner
    // of the PTT switches it off.
    void transmitInhibited();
    // SwitchFT817 sent its frames: the interpolation labels are reset, and after switching on
    // polling resumes.
    void ft817PowerSwitched(bool on);
    // The link was closed by its owner (at once, or when the exchange that held it ended).
    void portClosed();
    // What the rig shows as the link learns it: our PTT, the mode button, the dial lock, the
    // S-meter, the SWR state and what its display reads in kHz (0: none read).
    void pttSwitched(bool on);
    void modeSelected(int index);
    void dialLockSwitched(bool on);
    void sMeterRead(float value);
    void swrStateRead(int state);
    void frequencyShown(float kHz);

private:
    // Marks a command with the rig under way; the outermost one runs a close asked for
    // meanwhile.
    class Exchange;
    using Reply = ExchangeReply;
    using Then = std::function<void()>;
    using Found = std::function<void(bool found)>;
    using Reading = std::shared_ptr<RigReading>;

    void closeNow();
    void setPttOn(bool on) {
        pttOn_ = on;
        emit pttSwitched(on);
    }
    void setModeIndex(core::Integer index) {
        rigModeIndex_ = index;
        emit modeSelected(int(index));
    }
    void setSwrState(core::Integer state) {
        swrState_ = state;
        emit swrStateRead(int(state));
    }
    // The line was just opened or reopened: lines low, the FT-847 to CAT, a PTT left keyed
    // released.
    void startLine();
    // The line is back after it was lost: started as an opened one.
    void reopened();
    // Writes one frame, then logs it; WriteFailed (and the line lost) when the write failed.
    CatResult send(const Frame& frame, const char* name);
    CatResult sendBytes(const QByteArray& bytes, const QString& name);
    // A command written now: what the rig answers to it (or the line echoes) is let in and
    // dropped before the next request.
    CatResult commandNow(const Frame& frame, const char* name, bool acknowledged);
    // A command in its turn: written now when nothing is ahead of it, else queued (told as sent;
    // a write that then fails loses the line).
    CatResult command(const Frame& frame, const char* name, bool acknowledged = false);
    CatResult command(const CatCommand& c) { return command(c.frame, c.logName, c.acknowledged); }
    // Sends a request and hands its reply to then.
    void ask(const CatCommand& request, int replyLength, std::function<void(const Reply&)> then);
    // Logs what arrived: under name when it is complete, else "Just<n> Bytes".
    void logReply(const Reply& reply, const QString& name);
    // The rig settles for ms after the frame before: the next turn waits.
    void settle(double ms);
    CatResult sendPtt(bool on);
    CatResult sendCatDelay();
    // The FT-757GXII's PTT on its lines, with the text the CAT log shows for it.
    void setPttLines(bool transmit);
    void noteLinesMissing();
    // The operations without the busy() check, for use within an exchange.
    CatResult setMode(int index);
    CatResult rigLock(bool on);
    void toggleFt817Power();
    // A rig with a power switch: the PTT is released, then the wake-up and the power frame.
    void SwitchFT817(bool on);
    // Selects, and sends back, the mode whose button code is this reply byte, when it is not
    // the selected one already.
    void ShowRigMode(int code);

    // A reading from start to end: busy() meanwhile; then the commands and a close asked for
    // meanwhile.
    void beginReading();
    void endReading();
    // Whether a command is refused as busy: within another command, or while the rig sends a
    // long reply (a command would go seconds late).
    bool refusesCommands() const;
    // Sends now, or, while a reading is under way, once it has ended (told as sent).
    CatResult afterReading(std::function<CatResult()> send);
    enum class ReadKind { Whole, Check };
    void readRig(ReadKind kind, Told told);
    void readBcdAndStatus(const RigCaps& rig, const Reading& reading, ReadKind kind, Then done);
    // After the receive status: the transmit state where the rig tells it, then the frequency.
    void readAfterReceiveStatus(const RigCaps& rig, const Reading& reading, bool frequencyFirst,
                                Then done);
    // A status that stayed silent: the frequency read before it is no reading.
    void distrust(RigReading& reading);
    // The frequency and mode reply; false when none came.
    void readBcdFrequency(const RigCaps& rig, const Reading& reading, Found then);
    void readBlock19(const RigCaps& rig, const Reading& reading, Then done);
    void readStatusBlock75(const RigCaps& rig, const Reading& reading, Then done);
    // The receive status (our PTT off) or the transmit status (on); false when the rig was
    // silent.
    void readRxTxStatus(const RigCaps& rig, const Reading& reading, Found then);
    // False when the rig was silent and is not yet taken for one that never answers.
    void readTransmitState(const RigCaps& rig, const Reading& reading, Found then);
    void readFt840Status(const RigCaps& rig, const Reading& reading, Then then);
    void readMeterFrame(const RigCaps& rig, const Reading& reading, Then then);

    core::ProgramState& state_;
    platform::Platform& platform_;
    CatLog& log_;
    SerialLink* link_;

    SerialExchanges exchanges_;
    bool linesNoted_ = false; // the missing RTS/DTR lines were logged for this opening
    KeyedRecord keyedRecord_;
    bool txStatusInReceive_ = true;  // the rig answers its transmit status while receiving
    int silentTransmitStatuses_ = 0; // in a row, right after an answered receive status
    bool busy_ = false;
    bool reading_ = false;    // a reading's exchanges are under way
    bool abandoning_ = false; // the reading is being cut short: its requests get nothing
    std::vector<std::function<void()>> afterReading_;
    bool closeRequested_ = false;

    float catFrequency_ = 0;
    struct CheckableTransmit {
        std::optional<bool> transmitting;
        double atMs;
    };
    std::optional<CheckableTransmit> checkableTransmit_; // found by the last FT-817 reading
    core::Integer swrState_ = -1;
    core::Integer rigModeIndex_ = 0;
    bool pttOn_ = false;
    bool ft817On_ = false;
};

} // namespace rig
