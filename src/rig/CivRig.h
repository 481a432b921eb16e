#pragma once

#include "rig/CivFrame.h"
#include "rig/CivModel.h"
#include "rig/SerialRig.h"
#include "rig/SerialRigSettings.h"

namespace rig {

// An Icom transceiver on its CI-V bus: the rig at its address, we at E0. The bus is one wire,
// so every frame we send comes back to us first and is passed over; a collision is sent again.
// With the rig's CI-V transceive on, the frequency it announces (command 00, to all or to us)
// is told at once through readingAnnounced(); polling goes on as the check. On a model with the
// SWR meter the SWR tune has it, with the RF power level (14 0A) in watts of the model's most.
class CivRig final : public SerialRig {
    Q_OBJECT

public:
    CivRig(platform::Platform& platform, SerialLink& serial, CatLog& log,
           QObject* parent = nullptr);
    ~CivRig() override;

    // The model, the rig's address and the baud rate; taken at the next opening.
    void setSettings(const CivSettings& settings);
    const CivModel& model() const { return *model_; }
    std::uint8_t address() const { return address_; }

    // "IC-7300".
    QString rigName() const override { return model_->name; }

    // Frequency (03), mode (04) and transmit state (1C 00); while transmitting, on a rig with
    // the meter, the SWR meter (15 12) too.
    bool requestReading() override;
    bool requestFrequencyCheck() override;
    bool requestSMeter() override;

    // SwrMeter (CivSwr.cpp)
    void readSwr(Value done) override;
    void readPower(Value done) override;
    void setPower(double watts, Done done) override;

    CatResult setPtt(bool on) override;

protected:
    const std::vector<Band>& bands() const override { return model_->bands; }
    std::vector<Mode> modes() const override;
    bool readsSwr() const override { return model_->hasSwrMeter; }
    bool sendFrequency(std::int64_t hz) override;
    bool sendMode(int code) override;
    void readTransmit(std::function<void(std::optional<bool>)> done) override;
    QString settingsText() const override;
    std::optional<QByteArray> takeMessage(QByteArray& received) override;
    int longestReply() const override;
    void unsolicited(const QByteArray& message) override;
    void greet() override;
    void farewell() override;

private:
    // A command to the rig (its body: command, sub command, data); done gets the data of the
    // rig's reply after the command and sub command echoed (empty for FB), nullopt for FA
    // (refused), no reply or a lost line.
    bool command(const QByteArray& body, int echoed, const QString& name,
                 std::function<void(const std::optional<QByteArray>& data)> done);
    // A frequency from five BCD bytes, in whole kHz; nullopt where it cannot be true.
    std::optional<float> kHzOf(const QByteArray& bcd) const;
    // Reads the frequency into reading, then calls then.
    void readFrequency(std::shared_ptr<RigReading> reading, std::function<void()> then);

    const CivModel* model_;
    std::uint8_t address_;
    int baud_ = 19200;
    // Sends the PTT release; false when the line is down.
    bool releasePtt();
    // Notes who sent a frame to us or to all: while the rig at our address has not been heard
    // since the line opened, another rig talking is told once, as the likely wrong address.
    void heard(const civ::Frame& frame);
    bool rigHeard_ = false;
    bool strangerTold_ = false;
    // Whether the rig took our last PTT release (or was never keyed by us): until then it is
    // told again when the line comes back, and at closing.
    bool released_ = true;
};

} // namespace rig
