#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace rig {

// The rig's SWR meter and transmit power, as far as a link reaches them: what the SWR tune
// needs beside the link's readings and commands. Every request is answered exactly once,
// before it returns or later (a link that gives up answers nullopt or false).
class SwrMeter {
public:
    using Value = std::function<void(std::optional<double>)>;
    using Done = std::function<void(bool)>;

    virtual ~SwrMeter() = default;

    // Why the link cannot set the transmit power in watts; empty where it can. A link that
    // cannot is never keyed for a tune: the carrier's power would be unknown.
    virtual QString powerUnsettable() const { return {}; }
    // Where the power cannot be set: the most the rig can transmit at all, in W, when that is
    // small (a 5 W portable); a rig that cannot exceed the tune's limit is tuned at its own
    // setting.
    virtual std::optional<double> mostPowerW() const { return std::nullopt; }
    // The SWR while the rig transmits: 1.0 and up; a meter that knows only low and high
    // answers 1 or HighSwr.
    virtual void readSwr(Value done) = 0;
    // The transmit power setting in watts.
    virtual void readPower(Value done) = 0;
    virtual void setPower(double watts, Done done) = 0;

    // What a two-level meter answers for high SWR.
    static constexpr double HighSwr = 3.0;
};

} // namespace rig
