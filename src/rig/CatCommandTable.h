#pragma once

#include "rig/RigModel.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace rig {

// Every CAT command is five bytes, first byte first.
using Frame = std::array<std::uint8_t, 5>;

// A fixed frame, the name it is logged under, and whether the rig answers it with a byte of
// acknowledgement (which must not be taken for the reply to the next request).
struct CatCommand {
    Frame frame;
    const char* logName;
    bool acknowledged = false;
};

// A reply the rig sends: its length in bytes and the name it is logged under (empty where the
// name is built from the length).
struct CatReply {
    int length;
    const char* logName;
};

// How the four frequency bytes of a set-frequency frame are laid out.
enum class FrequencyLayout {
    PackedBcdHighFirst, // B1..B4: eight BCD digits of the frequency in 10 Hz, high byte first
    PackedBcdLowFirst,  // 10 Hz byte, L1, L2, L3: the same digits, low byte first
};

// How a frequency read goes, and what follows it.
enum class ReadScheme {
    BcdAndStatus,  // 5-byte BCD reply with the mode byte, then receive or transmit status
    Block19,       // 19-byte block, frequency binary in bytes 3..5; then status and S-meter
    StatusBlock75, // 75-byte status, frequency binary in bytes 7..9, lock bit; then S-meter
};

// Everything a model's CAT port understands, as data. Operations a model lacks are nullopt.
struct CatCommandTable {
    Model model;
    ReadScheme readScheme;

    FrequencyLayout frequencyLayout;
    std::uint8_t setFrequencyOpcode;
    const char* setFrequencyName;

    CatCommand readFrequency;
    CatReply frequencyReply;
    int frequencyFirstByte; // binary replies: position (from 1) of the most significant byte

    std::optional<CatCommand> readSMeter;
    std::optional<CatReply> sMeterReply;
    std::optional<CatCommand> readRxStatus;
    std::optional<CatCommand> readTxStatus;
    std::optional<CatReply> statusReply; // of both status requests

    std::uint8_t setModeOpcode;
    // Which byte of the set-mode frame carries the mode code: the byte before the opcode on the
    // older rigs, the first byte on the FT-817 and FT-847 (which read it only there).
    int setModeCodeByte;
    // Sent for mode index 1, 2, ...; nullopt for a mode the rig cannot be set to by CAT.
    std::vector<std::optional<std::uint8_t>> modeCodes;

    // PTT by frame; nullopt where the PTT is the DTR line (with RTS held on).
    std::optional<CatCommand> pttOn;
    std::optional<CatCommand> pttOff;

    // The dial lock; nullopt where CAT cannot set it.
    std::optional<CatCommand> lockOn;
    std::optional<CatCommand> lockOff;
    // A rig that ignores every command until CAT is switched on (sent after opening) and leaves
    // CAT when switched off (sent before closing).
    std::optional<CatCommand> catOn;
    std::optional<CatCommand> catOff;

    std::optional<CatCommand> wakeUp;
    std::optional<CatCommand> powerOn;
    std::optional<CatCommand> powerOff;
    std::optional<CatCommand> catDelay;
};

// The model's commands; nullptr for the models that send nothing (FT-857, FT-897, unknown).
const CatCommandTable* CommandTable(Model model);

// Whether the model's dial lock can be set by CAT (the table window offers it only then).
bool HasDialLock(Model model);

} // namespace rig
