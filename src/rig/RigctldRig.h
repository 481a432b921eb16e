#pragma once

#include "platform/Platform.h"
#include "rig/RigConnection.h"
#include "rig/RigctldAddress.h"

#include <QByteArray>
#include <QList>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>

class QTcpSocket;

namespace rig {

// The rig through a rigctld daemon on the network, which owns the rig's port and shares it with
// the station's other programs: its text protocol over TCP, one command a line ("f" frequency,
// "m" mode, "t" PTT, "l STRENGTH" the S-meter; "F", "M", "T" to set them), answered in order.
// For the SWR tune: "l SWR", and the power as "l RFPOWER" / "L RFPOWER" (0..1 of the rig's
// most) with the daemon's "\power2mW" for the watts of its most.
//
// A daemon started with --vfo wants the VFO named in every rig command ("f currVFO"): asked at
// each connection ("\chk_vfo"), the commands asked meanwhile going out once it has answered.
//
// Nothing here waits: commands go out at once and their replies are taken as they arrive, each
// within ReplyLimitMs. A daemon that is not there, goes silent, talks nonsense or drops the
// connection gives readings without a frequency (so nothing moves); the connection is then
// dropped and made again after ReconnectMs for as long as the link is open. A daemon that keeps
// failing is tried ever less often, up to every LongestReconnectMs, and its failure is logged
// once, until it answers again.
class RigctldRig final : public RigConnection, public SwrMeter {
    Q_OBJECT

public:
    static constexpr int ReplyLimitMs = 1500;
    static constexpr int ReconnectMs = 2000;
    static constexpr int LongestReconnectMs = 32000;

    explicit RigctldRig(platform::Platform& platform, QObject* parent = nullptr);
    ~RigctldRig() override;

    // Takes effect at the next opening.
    void setAddress(const RigctldAddress& address) { address_ = address; }
    const RigctldAddress& address() const { return address_; }
    bool connected() const;

    // The port number is the daemon's own (address()); open() starts connecting and succeeds.
    LinkOpenResult open(int port) override;
    void close() override;
    bool isOpen() const override { return open_; }
    QString lineText() const override;
    QString rigName() const override { return QStringLiteral("rigctld"); }
    // Reports transmit until the daemon says its rig cannot read the PTT ("t" answered
    // "RPRT -11" or -4, not available or not implemented): such a rig is read as one that does
    // not report transmit, rather than as one that went silent, which would stop every turn.
    LinkCapabilities capabilities() const override;

    bool requestReading() override;
    bool requestSMeter() override;
    // "t" alone.
    bool requestTransmitState() override;
    SwrMeter* swrMeter() override { return this; }

    // SwrMeter (RigctldSwr.cpp)
    void readSwr(Value done) override;
    // Learns the rig's most power as well, which setPower needs.
    void readPower(Value done) override;
    void setPower(double watts, Done done) override;

    bool frequencyValid(double kHz) const override;
    CatResult setFrequency(float kHz) override;
    CatResult setMode(int index) override;
    CatResult setPtt(bool on) override;

private:
    // A command on its way: the reply lines it takes ("RPRT n" ends any reply early) and what
    // to do with them (an empty list: no reply came).
    struct Pending {
        int lines;
        std::function<void(const QList<QByteArray>&)> done;
        QList<QByteArray> reply;
    };

    void connectToDaemon();
    // Sends a command line; false when not connected.
    bool send(const QByteArray& line, int replyLines,
              std::function<void(const QList<QByteArray>&)> done);
    // The line as the daemon takes it: with the VFO named when it runs with --vfo.
    QByteArray forDaemon(const QByteArray& line) const;
    void readLines();
    void replyLimitReached();
    // The connection is given up (answered pendings with nothing) and made again later.
    void dropConnection(const QString& why);
    void connectionMade();
    // The transmit state of a "t" reply; learns from it whether the rig can tell at all.
    std::optional<bool> transmitOf(const QList<QByteArray>& reply);

    platform::Platform& platform_;
    RigctldAddress address_;
    QPointer<QTcpSocket> socket_;
    std::unique_ptr<platform::Timer> replyLimit_;
    std::unique_ptr<platform::Timer> reconnect_;
    int reconnectMs_ = ReconnectMs;
    QString lastFailure_; // logged; empty once the daemon has answered
    std::deque<Pending> pending_;
    bool open_ = false;
    bool pttReadable_ = true;
    // Whether the daemon runs with --vfo, once it has said; the lines sent before wait.
    std::optional<bool> vfoMode_;
    QList<QByteArray> unwritten_;
    // Our PTT was released while the daemon could not hear it: told once it is back.
    bool pttReleaseOwed_ = false;
    // The rig's program as the record of a PTT we keyed names it.
    QString keyedLine() const;
    // The dial and mode as last read or set: the daemon converts the power at them.
    float dialKHz_ = 0;
    int modeIndex_ = 0;
    double maxPowerW_ = 0; // the rig's most, as the daemon last told it; 0 unknown
};

} // namespace rig
