#pragma once

#include <optional>

namespace table {

// An amateur band, kHz, bounds included: the widest allocation of the three regions.
struct AmateurBand {
    double lowKHz;
    double highKHz;
    const char* name; // "40m"
};

// The band that holds kHz; nullopt between the bands.
std::optional<AmateurBand> AmateurBandOf(double kHz);

} // namespace table
