#pragma once

#include "platform/Platform.h"
#include "rig/CatLog.h"
#include "rig/RigConnection.h"
#include "rig/RigctldAddress.h"

#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QPointer>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>

class QNetworkReply;

namespace rig {

// The rig through flrig, which owns the rig's port and shares it with the station's digital-mode
// programs: XML-RPC over HTTP, one POST a call ("rig.get_vfo" the frequency in Hz as text,
// "rig.get_mode", "rig.get_ptt", "rig.get_smeter" 0..100; "rig.set_vfo", "rig.set_mode",
// "rig.set_ptt" to set them; "rig.get_modes" the rig's modes, asked on every connection).
//
// Nothing here waits: calls go out one after the other and each answer is taken as it arrives,
// within ReplyLimitMs. A server that is not there, goes silent, answers with something other
// than XML-RPC or drops the connection gives readings without a frequency (so nothing moves);
// it is then tried again after ReconnectMs, ever less often up to every LongestReconnectMs, its
// failure logged once until it answers again. A fault answer only makes that call go unanswered.
class FlrigRig final : public RigConnection {
    Q_OBJECT

public:
    static constexpr int ReplyLimitMs = 1500;
    static constexpr int ReconnectMs = 2000;
    static constexpr int LongestReconnectMs = 32000;
    static constexpr int DefaultPort = 12345;
    static RigctldAddress defaultAddress() { return {QStringLiteral("127.0.0.1"), DefaultPort}; }

    // log, where given, shows every call and its answer.
    explicit FlrigRig(platform::Platform& platform, CatLog* log = nullptr,
                      QObject* parent = nullptr);
    ~FlrigRig() override;

    // Takes effect at the next opening.
    void setAddress(const RigctldAddress& address) { address_ = address; }
    const RigctldAddress& address() const { return address_; }
    // The server answered the last call.
    bool connected() const { return open_ && online_; }

    // The port number is the server's own (address()); open() starts asking and succeeds.
    LinkOpenResult open(int port) override;
    void close() override;
    bool isOpen() const override { return open_; }
    QString lineText() const override;
    QString rigName() const override { return QStringLiteral("flrig"); }
    // The modes flrig names for its rig (the first ten), or those it has reported.
    LinkCapabilities capabilities() const override;

    bool requestReading() override;
    bool requestSMeter() override;
    // "rig.get_ptt" alone.
    bool requestTransmitState() override;

    bool frequencyValid(double kHz) const override;
    CatResult setFrequency(float kHz) override;
    CatResult setMode(int index) override;
    CatResult setPtt(bool on) override;

private:
    // The answer's value; nullopt when none came (a fault, or the server failed).
    using Done = std::function<void(const std::optional<QVariant>&)>;
    struct Call {
        QString method;
        QVariantList params;
        Done done;
    };

    // Queues a call; false when the server is not answering.
    bool call(const QString& method, const QVariantList& params, Done done);
    // Asks for the rig's modes: an answer of any kind shows the server is there.
    void connectToServer();
    QNetworkRequest request() const;
    void sendNext();
    void replied(QNetworkReply* reply);
    // The server is given up (queued calls answered with nothing) and asked again later.
    void fail(const QString& why);
    void answered();
    void noteMode(const QString& mode);
    void log(const QString& text, CatDirection direction);

    platform::Platform& platform_;
    CatLog* log_;
    QNetworkAccessManager network_;
    RigctldAddress address_ = defaultAddress();
    QPointer<QNetworkReply> inFlight_;
    std::deque<Call> calls_;
    std::unique_ptr<platform::Timer> replyLimit_;
    std::unique_ptr<platform::Timer> reconnect_;
    int reconnectMs_ = ReconnectMs;
    QString lastFailure_; // logged; empty once the server has answered
    bool open_ = false;
    bool online_ = false;
    // Our PTT was released while the server could not hear it: told once it is back.
    bool pttReleaseOwed_ = false;
    // The rig's program as the record of a PTT we keyed names it.
    QString keyedLine() const;
    QStringList modes_;
    bool modesNamedByServer_ = false;
};

} // namespace rig
