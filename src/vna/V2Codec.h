#pragma once

#include "vna/Sweep.h"

#include <QByteArray>
#include <complex>
#include <optional>

// The binary register protocol of the NanoVNA V2 and LiteVNA, as bytes in and values out.
// Commands (the firmware's command parser): 00 no operation; 0d answers '2' (0x32); 10 AA
// reads the 1-byte register AA; 18 AA NN reads NN values from the FIFO at AA; 20 AA XX writes
// a 1-byte register; 21 AA XX XX a 2-byte one; 23 AA + 8 bytes an 8-byte one, little-endian.
// Registers (the firmware's register map): 00 sweep start Hz (8 bytes), 10 sweep step Hz (8),
// 20 sweep points (2), 22 values per frequency (2), 26 data mode (2 leaves USB data mode),
// 30 the values FIFO (writing clears it), f0 device variant (2: NanoVNA V2), f1 protocol
// version (1), f2 hardware revision, f3/f4 firmware major/minor version.
namespace vna::v2 {

inline constexpr quint8 DeviceVariantRegister = 0xf0;
inline constexpr quint8 ProtocolVersionRegister = 0xf1;
inline constexpr quint8 HardwareRevisionRegister = 0xf2;
inline constexpr quint8 FirmwareMajorRegister = 0xf3;
inline constexpr quint8 FirmwareMinorRegister = 0xf4;
inline constexpr quint8 NanoVnaV2Variant = 2;
inline constexpr char IndicateReply = '2';
// One FIFO value: a 32-byte record.
inline constexpr int RecordSize = 32;
// The most values one FIFO read returns (its count is one byte).
inline constexpr int MostValuesPerRead = 255;

// Eight no-operations: whatever command was left half sent, the parser is ready again.
QByteArray ResetBytes();
QByteArray IndicateCommand();
QByteArray ReadRegisterCommand(quint8 address);
// Start, step and points of the sweep, one value per frequency; the device sweeps again
// from the first point.
QByteArray SweepCommands(const SweepRequest& request);
QByteArray ClearFifoCommand();
QByteArray ReadFifoCommand(int values);
// Gives the device its own screen and sweep back.
QByteArray LeaveUsbModeCommand();

// The frequencies of the sweep the commands above set: start plus a whole number of Hz per
// step, as the registers hold them.
double StepHz(const SweepRequest& request);

// A FIFO record: forward wave (re, im int32), reflected wave (re, im), transmitted wave (re,
// im), the point's index (uint16) at byte 24, reserved bytes, and in byte 31 a checksum (newer
// firmwares; older ones send 0 there). S11 is reflected / forward.
struct Record {
    int index = 0;
    std::complex<double> s11;
};
// nullopt for a record that cannot be one: a checksum that does not match, an index beyond
// points, no forward wave.
std::optional<Record> ReadRecord(const char* bytes, int points);
// The checksum of the first 31 bytes of a record.
quint8 RecordChecksum(const char* bytes);

} // namespace vna::v2
