#pragma once

#include "core/SettingsReport.h"

#include <QString>
#include <cstdint>

namespace rig {

// The Icom CI-V and Kenwood-family links as Ventrolo.ini keeps them:
//   [civ]
//   model=IC-7300       ; IC-7300, IC-705, IC-9700, IC-7610 or IC-7100
//   address=94          ; the rig's CI-V address in hex, by default the model's own
//   baud=19200
//   [kenwood]
//   model=TS-590        ; TS-590, TS-480, TS-890, TS-2000, K3, KX2, KX3, FT-991A, FT-891,
//                       ; FT-710, FTDX10 or FTDX101
//   baud=115200         ; by default the model's own
struct CivSettings {
    QString model = QStringLiteral("IC-7300");
    std::uint8_t address = 0x94;
    int baud = 19200;
    bool operator==(const CivSettings&) const = default;
};

struct KenwoodSettings {
    QString model = QStringLiteral("TS-590");
    int baud = 0; // 0: the model's own
    bool operator==(const KenwoodSettings&) const = default;
};

// The baud rates the links offer.
bool KnownBaudRate(int baud);
// An address of the bus a rig may have: 01..DF (E0 and up are controllers' and the codes').
bool UsableCivAddress(int address);

// Missing keys give the defaults; values that cannot be used are noted in report and give the
// defaults too.
CivSettings LoadCivSettings(const QString& settingsFile, core::SettingsReport* report);
void StoreCivSettings(const QString& settingsFile, const CivSettings& settings);
KenwoodSettings LoadKenwoodSettings(const QString& settingsFile, core::SettingsReport* report);
void StoreKenwoodSettings(const QString& settingsFile, const KenwoodSettings& settings);

} // namespace rig
