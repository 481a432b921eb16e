#pragma once

#include "platform/Platform.h"
#include "rig/Band.h"
#include "rig/CatLog.h"
#include "rig/RigConnection.h"
#include "rig/SerialExchanges.h"
#include "rig/SerialLink.h"
#include "rig/SwrMeter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace rig {

// A transceiver that talks in messages on the serial line (Icom's CI-V frames, the ASCII
// commands of the Kenwood family) and tells of its own changes unasked. Nothing waits: on the
// serial links' one queue (SerialExchanges) one command at a time is on the line, its reply is
// taken as it arrives, within the wire time of command and reply plus the rig's latency; what the
// rig sends unasked is handed to unsolicited(). A line that cannot be written is lost: every
// command waiting is answered with nothing, readings carry no frequency (so nothing moves), and the
// line is reopened by itself. Where the model reads its SWR meter (readsSwr()), the SWR tune has
// it, with the power the derived link reads and sets.
class SerialRig : public RigConnection, public SwrMeter {
    Q_OBJECT

public:
    SerialRig(platform::Platform& platform, SerialLink& serial, CatLog& log,
              QObject* parent = nullptr);
    // Derived links close in their own destructor: closing says goodbye to the rig.
    ~SerialRig() override;

    LinkOpenResult open(int port) override;
    void close() override;
    bool isOpen() const override { return open_; }
    // Whether the line is up (false while a lost line waits to be reopened).
    bool connected() const { return open_ && serial_.isOpen(); }
    // "19200,N,8,1", with " - no connection" while a lost line waits.
    QString lineText() const override;

    // The rig's transmit read alone.
    bool requestTransmitState() override;
    // The model's modes; the SWR meter where the model reads it.
    LinkCapabilities capabilities() const override;
    SwrMeter* swrMeter() override { return readsSwr() ? this : nullptr; }
    // Within one of the rig's bands.
    bool frequencyValid(double kHz) const override;
    // Out of the rig's bands: the beep, and nothing sent.
    CatResult setFrequency(float kHz) override;
    CatResult setMode(int index) override;
    bool selectModeByCode(int code) override;
    // The stored code is a Yaesu model's: the mode of the same name is selected ("CWR" is
    // "CW-R").
    bool selectStoredMode(int code, const QString& name) override;

protected:
    // What a received message is to the command on the line.
    enum class Verdict {
        Other, // not its reply (an echo, news the rig sends unasked)
        Reply, // its reply, also a refusal
        Again, // the rig could not take it (busy, a collision on the bus): sent again
    };
    struct Command {
        QByteArray message;
        QString name; // for the CAT log
        // Empty: the rig does not answer this command.
        std::function<Verdict(const QByteArray& message)> match;
        // The reply; nullopt when none came in time or the line was lost.
        std::function<void(const std::optional<QByteArray>& reply)> done;
    };

    // One reading gathered by the protocol's exchanges; told at once, as asked, without the line.
    bool gatherReading(const RigReading& asked, const Gather& gather) {
        return RigConnection::gatherReading(asked, connected(), gather);
    }
    // Queues a command; false, and done never called, when the line is not up.
    bool send(Command command);

    // --- what the protocol and the model give ---
    virtual const std::vector<Band>& bands() const = 0;
    // The mode buttons, each with the rig's code for its mode.
    struct Mode {
        QString name;
        int code;
    };
    virtual std::vector<Mode> modes() const = 0;
    // A model's table of modes, each with a name and a code.
    template <typename ModelMode>
    static std::vector<Mode> ModesOf(const std::vector<ModelMode>& table) {
        std::vector<Mode> modes;
        for (const ModelMode& mode : table)
            modes.push_back({mode.name, mode.code});
        return modes;
    }
    // Whether the model's SWR meter is read.
    virtual bool readsSwr() const = 0;
    // Send the frequency (Hz) or the mode of code; false when the line is down.
    virtual bool sendFrequency(std::int64_t hz) = 0;
    virtual bool sendMode(int code) = 0;
    // The rig's transmit state; nullopt when it did not say.
    virtual void readTransmit(std::function<void(std::optional<bool>)> done) = 0;
    // "19200,N,8,1".
    virtual QString settingsText() const = 0;
    // Takes the next whole message from the front of received, dropping what cannot begin one;
    // nullopt while none is whole.
    virtual std::optional<QByteArray> takeMessage(QByteArray& received) = 0;
    // The longest reply the protocol's commands get, bytes.
    virtual int longestReply() const = 0;
    virtual void unsolicited(const QByteArray& message) = 0;
    // The line is up (opened, or reopened after a loss): the rig is set to talk.
    virtual void greet() {}
    // The link closes: what the rig is told last, sent at once.
    virtual void farewell() {}
    // A message in the CAT log.
    virtual void logMessage(const QByteArray& message, CatDirection direction, const QString& name);

    // Our PTT is about to key the rig on this line / its release went out.
    void recordKeyed();
    void recordReleased();
    // A run ended with our PTT keyed on this line (the record left behind).
    bool leftKeyed() const;

    platform::Platform& platform_;
    SerialLink& serial_;
    CatLog& log_;

private:
    // A command's reply: the first message it matches.
    class MessageReply;
    // Hands every whole message received to unsolicited().
    void hearUnasked(QByteArray& received);
    // The line is up again after it was lost.
    void reopened();

    SerialExchanges exchanges_;
    bool open_ = false;
};

} // namespace rig
