#pragma once

#include <QString>
#include <optional>
#include <span>

namespace table {

// An amateur band, kHz, bounds included: the widest allocation of the three regions.
struct AmateurBand {
    double lowKHz;
    double highKHz;
    const char* name; // "40m"
};

// The band that holds kHz; nullopt between the bands.
std::optional<AmateurBand> AmateurBandOf(double kHz);
// Every band, lowest first.
std::span<const AmateurBand> AmateurBands();
// The band of that name ("40m"); nullopt for none.
std::optional<AmateurBand> AmateurBandNamed(const QString& name);

} // namespace table
