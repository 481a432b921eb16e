#pragma once

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace rig {

// The frames of Icom's CI-V bus: FE FE <to> <from> <command> [sub command] [data] FD. Data are
// BCD: a frequency is five bytes in Hz, least significant byte first (14.070 MHz is
// 00 00 07 14 00); a meter level is two bytes 0000..0255, most significant first.
namespace civ {

constexpr char Preamble = char(0xFE);
constexpr char End = char(0xFD);
constexpr char Jam = char(0xFC); // what a rig sends over a collision on the bus
constexpr char Ok = char(0xFB);
constexpr char Ng = char(0xFA);
constexpr std::uint8_t Broadcast = 0x00;

// A frame's parts; body is the command, sub command and data.
struct Frame {
    std::uint8_t to = 0;
    std::uint8_t from = 0;
    QByteArray body;
    std::uint8_t command() const { return body.isEmpty() ? 0 : std::uint8_t(body.at(0)); }
};

QByteArray Encode(std::uint8_t to, std::uint8_t from, const QByteArray& body);
// The parts of a whole frame as TakeFrame gives it; nullopt for anything else.
std::optional<Frame> Decode(const QByteArray& bytes);

// Takes the next whole frame from the front of received, dropping the bytes that cannot begin
// one, and a frame cut short by the preamble of the next. A collision (the jam code, alone or
// in a frame) is given as the single byte Jam. Nullopt while no frame is whole.
std::optional<QByteArray> TakeFrame(QByteArray& received);

// Five BCD bytes of a frequency in Hz (0..9 999 999 999).
QByteArray FrequencyBytes(std::int64_t hz);
// The frequency of five BCD bytes; nullopt for another length or a byte that is not BCD.
std::optional<std::int64_t> FrequencyHz(const QByteArray& bytes);
// A meter level of two BCD bytes (0..255); nullopt for anything else.
std::optional<int> Level(const QByteArray& bytes);
// The two BCD bytes of a level 0..255.
QByteArray LevelBytes(int level);

} // namespace civ
} // namespace rig
