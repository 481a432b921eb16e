#pragma once

#include "core/ProgramState.h"
#include "platform/Platform.h"
#include "rig/RigEmulator.h"
#include "rig/SerialLink.h"
#include "rig/SerialSettings.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace rig {

// A transceiver on the other end of a serial line, without hardware: frames reach the emulated
// rig after their wire time at the opened baud rate, and its replies come back byte by byte
// after the rig's latency, all on the platform's clock (virtual in tests, real in the program).
// Waiting for bytes lets that clock run without serving events, as a real port does; opening
// raises RTS and DTR, as a real port does on Linux.
//
// Controls for tests and for a user trying rig following without a transceiver:
//   rig()                the front panel: dial, mode, S-meter, lock, SWR, its own PTT, power
//   followModelOf        each opening makes the rig the model chosen in the program
//   setLatencyMs         time from the end of a frame to the first reply byte
//   turnDialAt           the dial turned at a moment: a frame that reaches the rig later finds it
//   keyAt                its own PTT pressed or released at a moment, in the same way
//   setSilent            the cable is unplugged: frames vanish, nothing comes back
//   setEcho              a level converter that gives every byte sent back at once
//   replaceNextReply     the next reply (to a frame with this opcode) is these bytes instead
//   failNextOpen         the next open fails with this error
//   failWrites           writes fail, as on a device that was pulled out
//   written(), rts(), dtr(), settings()   what the program did to the line
class SimulatedRig final : public SerialLink {
public:
    explicit SimulatedRig(platform::Platform& platform, Model model = Model::Ft817);

    // From now on each open() emulates the model in state.RigModel, so the rig is always the
    // one the user has chosen.
    void followModelOf(const core::ProgramState& state) { followed_ = &state; }
    RigEmulator& rig() { return rig_; }
    const RigEmulator& rig() const { return rig_; }
    void setLatencyMs(double ms) { latencyMs_ = ms; }
    void turnDialAt(double atMs, double kHz) { dialTurn_ = DialTurn{atMs, kHz}; }
    void keyAt(double atMs, bool on) { keying_ = Keying{atMs, on}; }
    void setSilent(bool silent) { silent_ = silent; }
    void setEcho(bool echo) { echo_ = echo; }
    void replaceNextReply(const QByteArray& bytes, std::optional<std::uint8_t> opcode = {}) {
        replacement_ = bytes;
        replacementOpcode_ = opcode;
    }
    void failNextOpen(const QString& error) { openError_ = error; }
    void failWrites(bool fail) { failWrites_ = fail; }

    const QByteArray& written() const { return written_; }
    bool rts() const { return rts_; }
    bool dtr() const { return dtr_; }
    std::optional<SerialSettings> settings() const { return settings_; }

    // SerialLink
    LinkOpenResult open(int port, const QString& settings) override;
    void close() override;
    bool isOpen() const override { return settings_.has_value(); }
    QString description() const override;
    bool setRts(bool on) override;
    bool setDtr(bool on) override;
    qint64 bytesWaiting() override;
    void discardInput() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;
    // Told as each byte from the rig arrives, on the platform's clock.
    void onArrival(std::function<void()> arrived) override;

private:
    struct Arrival {
        double atMs;
        char byte;
    };
    // Puts a reply on the line from the rig, starting at startMs.
    void sendReply(const QByteArray& reply, double startMs);
    qint64 arrived() const;
    // Sets the arrival timer for the next byte still on its way.
    void awaitNextArrival();

    platform::Platform& platform_;
    const core::ProgramState* followed_ = nullptr;
    RigEmulator rig_;
    double latencyMs_ = 10;
    bool silent_ = false;
    bool echo_ = false;
    struct DialTurn {
        double atMs;
        double kHz;
    };
    std::optional<DialTurn> dialTurn_;
    struct Keying {
        double atMs;
        bool on;
    };
    std::optional<Keying> keying_;
    std::optional<QByteArray> replacement_;
    std::optional<std::uint8_t> replacementOpcode_;
    QString openError_;
    bool failWrites_ = false;

    std::optional<SerialSettings> settings_; // set while open
    bool rts_ = false;
    bool dtr_ = false;
    QByteArray written_;
    double toRigFreeAtMs_ = 0;     // when the line to the rig can take the next byte
    double fromRigFreeAtMs_ = 0;   // when the rig can start sending the next byte
    std::deque<Arrival> incoming_; // bytes from the rig, in order of arrival
    std::function<void()> arrivalListener_;
    std::unique_ptr<platform::Timer> arrivalTimer_;
};

} // namespace rig
