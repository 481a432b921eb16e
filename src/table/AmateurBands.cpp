#include "table/AmateurBands.h"

#include <array>

namespace table {

namespace {

constexpr std::array<AmateurBand, 16> Bands{{
    {135.7, 137.8, "2200m"},
    {472, 479, "630m"},
    {1800, 2000, "160m"},
    {3500, 4000, "80m"},
    {5250, 5450, "60m"},
    {7000, 7300, "40m"},
    {10100, 10150, "30m"},
    {14000, 14350, "20m"},
    {18068, 18168, "17m"},
    {21000, 21450, "15m"},
    {24890, 24990, "12m"},
    {28000, 29700, "10m"},
    {50000, 54000, "6m"},
    {70000, 70500, "4m"},
    {144000, 148000, "2m"},
    {420000, 450000, "70cm"},
}};

} // namespace

std::optional<AmateurBand> AmateurBandOf(double kHz) {
    for (const AmateurBand& band : Bands) {
        if (kHz >= band.lowKHz && kHz <= band.highKHz)
            return band;
    }
    return std::nullopt;
}

std::span<const AmateurBand> AmateurBands() {
    return Bands;
}

std::optional<AmateurBand> AmateurBandNamed(const QString& name) {
    for (const AmateurBand& band : Bands) {
        if (name == QLatin1String(band.name))
            return band;
    }
    return std::nullopt;
}

} // namespace table
