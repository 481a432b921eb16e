#pragma once

#include "rig/CatControl.h"
#include "rig/SwrMeter.h"

namespace rig {

// The Yaesu rigs' high-SWR bit (in the transmit status of the FT-817 family and the FT-847,
// in the FT-840's status flags) as a meter of two levels: 1 for low, HighSwr for high. Their
// CAT cannot set the transmit power: a tune is refused before anything is keyed, except on the
// 5 W FT-817/818, which is tuned at its own setting.
class CatSwrMeter final : public SwrMeter {
public:
    explicit CatSwrMeter(CatControl& cat) : cat_(cat) {}

    // Whether the model reports the bit at all.
    bool offered() const;

    QString powerUnsettable() const override;
    std::optional<double> mostPowerW() const override;
    void readSwr(Value done) override;
    void readPower(Value done) override { done(std::nullopt); }
    void setPower(double, Done done) override { done(false); }

private:
    CatControl& cat_;
};

} // namespace rig
