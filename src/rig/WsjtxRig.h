#pragma once

#include "platform/Platform.h"
#include "rig/CatLog.h"
#include "rig/RigConnection.h"
#include "rig/WsjtxAddress.h"

#include <QByteArray>
#include <QPointer>
#include <QSet>
#include <QUdpSocket>
#include <memory>
#include <optional>

namespace rig {

// The rig as WSJT-X or JTDX tell of it: the link listens to the datagrams they send to their
// UDP server (WsjtxMessage) and sends nothing, so it reads the dial and the transmit state but
// cannot set the frequency, the mode or the PTT.
//
// A Status tells the dial frequency, the mode and whether the program transmits; it is sent on
// every change, so it holds as long as the program is heard. The program is heard while a
// heartbeat (every 15 s) or a status came within LostAfterMs: two heartbeats missed, with 5 s
// to spare for a busy network. Unheard, or closed with its Close message, it gives readings
// without a frequency, so nothing moves. Only the instances the address names (by their Id) are
// heard; of those the link follows the first it hears and ignores the others until that one is
// lost. A change of the transmit state is told at once through readingAnnounced()
// (transmitOnly). The one thing it sends is Halt Tx, to the address the program is heard from.
class WsjtxRig final : public RigConnection {
    Q_OBJECT

public:
    static constexpr int LostAfterMs = 35000;

    // log, where given, shows one line per status.
    explicit WsjtxRig(platform::Platform& platform, CatLog* log = nullptr,
                      QObject* parent = nullptr);
    ~WsjtxRig() override;

    // Takes effect at the next opening.
    void setAddress(const WsjtxAddress& address) { address_ = address; }
    const WsjtxAddress& address() const { return address_; }
    // A heartbeat or status came within LostAfterMs.
    bool heard() const;
    // The last status: "Enable Tx" on, or transmitting.
    bool txEnabled() const { return statusHeard_ && txEnabled_; }
    bool transmitsNow() const { return statusHeard_ && transmitting_; }
    // Halt Tx for its automatic transmissions (the operator's own Tune stays on), sent to the
    // program followed where it is heard from; false when none is heard.
    bool HaltAutoTx();

    // Listens on the port (and joins the group); on failure the user is told why.
    LinkOpenResult open(int port) override;
    void close() override;
    bool isOpen() const override { return socket_ != nullptr; }
    QString lineText() const override;
    QString rigName() const override { return QStringLiteral("WSJT-X"); }
    // Sets nothing; the modes are those the program has been in (the first ten).
    LinkCapabilities capabilities() const override;

    // Answered from the last status, outside the request.
    bool requestReading() override;
    bool requestSMeter() override;
    bool requestTransmitState() override;

    bool frequencyValid(double kHz) const override;
    CatResult setFrequency(float) override { return CatResult::NotSent; }
    CatResult setMode(int) override { return CatResult::NotSent; }
    // Nothing to release: the PTT is never ours.
    CatResult setPtt(bool) override { return CatResult::NotSent; }

private:
    void readDatagrams();
    void lost();
    RigReading reading(bool transmitOnly) const;
    void deliver(const RigReading& reading);

    platform::Platform& platform_;
    CatLog* log_;
    WsjtxAddress address_;
    QPointer<QUdpSocket> socket_;
    std::unique_ptr<platform::Timer> lostTimer_;
    QByteArray followed_; // the id of the program heard; empty: none
    double heardAtMs_ = 0;
    bool statusHeard_ = false;
    float kHz_ = 0; // 0: the status gave no frequency
    bool transmitting_ = false;
    bool txEnabled_ = false;
    QHostAddress peer_; // where the program followed sends from
    quint16 peerPort_ = 0;
    quint32 peerSchema_ = 2;
    std::optional<bool> announcedTransmitting_; // since the program was heard
    bool damagedLogged_ = false;
    QSet<QByteArray> ignored_; // the Ids of instances not followed, logged once each
    QStringList modes_;
};

} // namespace rig
