#pragma once

#include "vna/LoopModel.h"
#include "vna/Vna.h"

namespace platform {
class Platform;
}

namespace vna {

// A VNA without hardware: it measures the modelled loop at the speed of a NanoVNA-H4 (about
// 1.1 s for 201 points), waiting on the platform's clock with the event loop running.
class SimulatedVna final : public Vna {
public:
    SimulatedVna(platform::Platform& platform, LoopModel& loop);

    Result<VnaIdentity> open() override;
    Result<Sweep> sweep(const SweepRequest& request) override;
    void close() override { open_ = false; }
    void abort() override { aborted_ = true; }
    QString description() const override { return QStringLiteral("Simulated VNA"); }

    // How long a sweep of points takes, ms.
    static double SweepMs(int points);

private:
    platform::Platform& platform_;
    LoopModel& loop_;
    bool open_ = false;
    bool aborted_ = false;
};

} // namespace vna
