#pragma once

#include <optional>
#include <utility>

namespace core {

// Counts the events of one kind that a peer can cause at will (a connection refused or closed
// for a newcomer) and says when to write them to the log: the first at once, then at most one
// line every intervalMs with how many came meanwhile, so that a flood of them writes few lines.
class LogThrottle {
public:
    explicit LogThrottle(double intervalMs) : intervalMs_(intervalMs) {}

    // Counts one event at nowMs (a steady clock); how many to tell of now, this one and those
    // held back, or 0 to tell nothing yet.
    int count(double nowMs) {
        ++held_;
        if (toldMs_ && nowMs - *toldMs_ < intervalMs_)
            return 0;
        toldMs_ = nowMs;
        return std::exchange(held_, 0);
    }

private:
    double intervalMs_;
    int held_ = 0;
    std::optional<double> toldMs_;
};

} // namespace core
