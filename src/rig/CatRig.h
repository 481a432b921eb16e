#pragma once

#include "rig/CatControl.h"
#include "rig/CatSwrMeter.h"
#include "rig/RigConnection.h"

namespace rig {

// The Yaesu CAT link as a RigConnection: CatControl on whichever serial link it has (a real
// port or the simulated rig), for the model in state.RigModel. Readings are told from the event
// loop once their exchanges on the line are over (at once when nothing could be asked), as the
// other links tell theirs.
class CatRig final : public RigConnection {
    Q_OBJECT

public:
    explicit CatRig(CatControl& cat, QObject* parent = nullptr);

    LinkOpenResult open(int port) override;
    void close() override;
    // Also while a lost line waits to be reopened.
    bool isOpen() const override { return cat_.linkKept(); }
    // "4800,N,8,2", with " - no connection" while a lost line waits.
    QString lineText() const override;
    QString rigName() const override { return cat_.caps().name; }
    // The model's (state.RigModel), read afresh: the model is chosen while the link is closed.
    LinkCapabilities capabilities() const override;

    bool requestReading() override;
    bool requestFrequencyCheck() override;
    bool requestSMeter() override;
    bool requestTransmitState() override;
    SwrMeter* swrMeter() override { return swr_.offered() ? &swr_ : nullptr; }

    bool frequencyValid(double kHz) const override { return cat_.caps().frequencyValid(kHz); }
    CatResult setFrequency(float kHz) override { return cat_.SetRigFrequency(kHz); }
    CatResult setMode(int index) override { return cat_.SetRigMode(index); }
    CatResult setPtt(bool on) override { return on ? cat_.PttOn() : cat_.PttOff(); }
    CatResult setDialLock(bool on) override { return cat_.RigLock(on); }
    void togglePower() override { cat_.ToggleFT817Power(); }

    bool selectModeByCode(int code) override;

private:
    // One exchange of readings, told through readingArrived() when it is over.
    bool answer(void (CatControl::*read)(CatControl::Told));

    CatControl& cat_;
    CatSwrMeter swr_{cat_};
    bool reading_ = false;   // a reading is under way
    bool inhibited_ = false; // the rig refused to transmit during it
};

} // namespace rig
