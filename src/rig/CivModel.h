#pragma once

#include "rig/Band.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace rig {

// One Icom transceiver as its CI-V reference describes it.
struct CivModel {
    struct Mode {
        QString name;
        std::uint8_t code; // the mode byte of commands 01, 04 and 06
    };
    QString name;            // "IC-7300", as Ventrolo.ini's [civ] model names it
    std::uint8_t address;    // the rig's factory CI-V address
    std::vector<Band> bands; // what the rig tunes to, kHz
    std::vector<Mode> modes; // the mode buttons, in order (at most ten)
    bool hasSwrMeter;        // answers the SWR meter read (15 12) while transmitting
    // The most its transmitter gives on any band, W: the RF power level 14 0A's 0255. Where a
    // band gives less, a level set for watts gives less too, never more.
    double maxPowerW;
};

// The controller's own address on the bus.
constexpr std::uint8_t CivControllerAddress = 0xE0;

// IC-7300 first (the default), then IC-705, IC-9700, IC-7610, IC-7100.
const std::vector<CivModel>& CivModels();
// The model of that name (letter case ignored); nullptr for none.
const CivModel* FindCivModel(const QString& name);

} // namespace rig
