#pragma once

#include "rig/RigCaps.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

// CAT frames and replies as values: bytes in, values out, no I/O.
namespace rig {

// Eight decimal digits of a frequency text in kHz, counting in 10 Hz (digits beyond 10 Hz are
// cut, not rounded): "7050.5" -> "00705050", "144300" -> "14430000". A text with more than six
// digits before the point, or that is not a plain unsigned number, gives "Overflow".
QString FreqToBcdDigits(const QString& kHzText);

// The set-frequency frame of a model for a frequency in kHz (taken as the program writes it, 7
// significant digits); nullopt when it cannot be encoded. Does not check the model's bands.
std::optional<Frame> SetFrequencyFrame(const RigCaps& caps, float kHz);
// The set-mode frame carrying the mode code in the byte the model reads it from.
Frame SetModeFrame(const RigCaps& caps, std::uint8_t modeCode);

QByteArray FrameBytes(const Frame& frame);

// A frequency reply of the BCD models (FT-817, FT-847, FT-857, FT-897): four BCD bytes (10 Hz
// units, most significant first) and the mode byte.
struct BcdFrequencyReply {
    double kHz; // to 10 Hz, not yet rounded
    std::uint8_t modeCode;
};
// nullopt unless the reply has exactly five bytes, every digit is decimal and the frequency
// lies in the rig's dial range (so never for 0).
std::optional<BcdFrequencyReply> DecodeBcdFrequencyReply(const RigCaps& caps,
                                                         const QByteArray& reply);

// The frequency (kHz, to 10 Hz) of a binary block reply (FT-840 19 bytes, FT-757GXII 75
// bytes): three bytes, most significant first, in 10 Hz. nullopt unless the reply has the
// model's length and the frequency lies in the rig's dial range.
std::optional<double> DecodeBlockFrequency(const RigCaps& caps, const QByteArray& reply);

// The receive / transmit status byte of the BCD models.
struct RxTxStatus {
    int sMeter;           // bits 0..3
    bool transmitInhibit; // bit 7: the rig is not transmitting although asked to
    bool highSwr;         // bit 6
};
RxTxStatus DecodeRxTxStatus(std::uint8_t firstByte);

// The FT-840's five-byte status: three flag bytes and two fillers.
struct Ft840Status {
    bool locked;       // byte 1, bit 0
    bool keyed;        // byte 2, bit 0: the rig took our PTT; says nothing while it is off
    bool highSwr;      // byte 2, bit 6
    bool transmitting; // byte 3, bit 7: the rig transmits, by whatever keyed it
};
std::optional<Ft840Status> DecodeFt840Status(const QByteArray& reply);

// The dial lock bit (byte 1, bit 0) of the FT-757GXII's status block.
bool StatusBlockLocked(const QByteArray& reply);

} // namespace rig
