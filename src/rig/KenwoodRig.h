#pragma once

#include "rig/KenwoodModel.h"
#include "rig/SerialRig.h"

namespace rig {

// A transceiver of the Kenwood family (Kenwood, Elecraft, Yaesu's current rigs) on its CAT
// port. Opening turns the rig's auto-information on, so that the frequency it reports unasked
// (FA, IF) is told at once through readingAnnounced(); polling goes on as the check. Closing
// turns it off again. A busy rig's "?;" is asked again; "E;" and "O;" give no reading.
// Where the model reads its SWR meter, the SWR tune has it, with the power in watts by PC.
class KenwoodRig final : public SerialRig {
    Q_OBJECT

public:
    KenwoodRig(platform::Platform& platform, SerialLink& serial, CatLog& log,
               QObject* parent = nullptr);
    ~KenwoodRig() override;

    // The model and the baud rate (0: the model's own); taken at the next opening.
    void setModel(const QString& name, int baud);
    const KenwoodModel& model() const { return *model_; }

    QString rigName() const override { return model_->name; }

    // IF (frequency, mode and, where it tells it, transmit), then TX where IF does not.
    bool requestReading() override;
    bool requestSMeter() override;

    // SwrMeter (KenwoodSwr.cpp): the meter's own scale, 1 at its foot and HighSwr at the
    // model's high mark; PC in whole watts.
    void readSwr(Value done) override;
    void readPower(Value done) override;
    void setPower(double watts, Done done) override;

    CatResult setPtt(bool on) override;

protected:
    const std::vector<Band>& bands() const override { return model_->bands; }
    std::vector<Mode> modes() const override;
    bool readsSwr() const override { return !model_->swr.read.isEmpty(); }
    bool sendFrequency(std::int64_t hz) override;
    bool sendMode(int code) override;
    void readTransmit(std::function<void(std::optional<bool>)> done) override;
    QString settingsText() const override;
    std::optional<QByteArray> takeMessage(QByteArray& received) override;
    int longestReply() const override { return 40; }
    void unsolicited(const QByteArray& message) override;
    void greet() override;
    void farewell() override;
    void logMessage(const QByteArray& message, CatDirection direction,
                    const QString& name) override;

private:
    struct Info {
        std::optional<float> kHz;
        std::optional<char> mode;
        std::optional<bool> transmitting;
    };
    // A read: done gets the answer's parameters after prefix, nullopt for an error, no answer
    // or a lost line.
    bool read(const QByteArray& command, const QByteArray& prefix, const QString& name,
              std::function<void(const std::optional<QByteArray>& parameters)> done);
    // A set command (the rig does not answer it); written runs once it is on the line. False
    // when the line is down.
    bool set(const QByteArray& command, const QString& name, std::function<void()> written = {});
    bool releasePtt();
    void readInfo(std::function<void(const Info&)> done);
    // Whole kHz of an answer's digits; nullopt where it cannot be true.
    std::optional<float> kHzOf(const QByteArray& digits) const;
    std::optional<Info> parseInfo(const QByteArray& parameters) const;
    std::optional<int> meterValue(const KenwoodModel::Meter& meter,
                                  const QByteArray& parameters) const;

    const KenwoodModel* model_;
    int baud_ = 0;
    // Whether our last PTT release went out (or we never keyed): until then it is sent again
    // when the line comes back, and at closing.
    bool released_ = true;
};

} // namespace rig
