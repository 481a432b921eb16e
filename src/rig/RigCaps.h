#pragma once

#include "rig/Band.h"
#include "rig/RigModel.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// What the program knows of each transceiver, one record per model: the names it goes by, what
// it can be tuned to, its modes, its serial line, every CAT frame and reply. Code asks the
// record; a new Yaesu model is a new record (and a read scheme only if its replies differ).
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

// One mode option of the table window.
struct RigMode {
    QString name;                     // on the button
    std::optional<std::uint8_t> sent; // in the set-mode frame; nullopt: CAT cannot set it
    // The number by which a reply names the mode and the configuration keeps the button
    // (RigModeCode); nullopt where no reply names it.
    std::optional<int> code;
};

// A note shown when the model is chosen in the rig menu.
struct SelectionNote {
    QString text;
    bool shortTitle; // under "Ventrolo." rather than the program's full title
};

// Every member has a default, so that a record names only what its rig has.
struct RigCaps {
    QString name{};     // "FT817": window captions and the CAT log; empty for an unknown model
    QString menuText{}; // "FT-817/818": the rig menu
    std::optional<SelectionNote> selectionNote{};

    // What the rig can be tuned to: what may be sent to it, what a reading may say, and what
    // the simulated rig's dial covers. Empty for a model that sends nothing.
    std::vector<Band> bands{};
    // In button order (index 1 is element 0); at most ten.
    std::vector<RigMode> modes{};

    int defaultBaud = 4800; // the rig's CAT rate as delivered
    int stopBits = 1;

    // --- frames; a model without readFrequency sends nothing at all ---
    ReadScheme readScheme = ReadScheme::BcdAndStatus;
    std::optional<CatCommand> readFrequency{};
    CatReply frequencyReply{0, ""};
    int frequencyFirstByte = 0; // binary replies: position (from 1) of the most significant byte

    FrequencyLayout frequencyLayout = FrequencyLayout::PackedBcdHighFirst;
    std::uint8_t setFrequencyOpcode = 0;
    const char* setFrequencyName = "";

    std::optional<CatCommand> readSMeter{};
    std::optional<CatReply> sMeterReply{};
    // A meter byte above this is not a reading.
    int sMeterMax = 255;
    std::optional<CatCommand> readRxStatus{};
    std::optional<CatCommand> readTxStatus{};
    std::optional<CatReply> statusReply{}; // of both status requests

    std::uint8_t setModeOpcode = 0;
    // Which byte of the set-mode frame carries the mode code: the byte before the opcode on the
    // older rigs, the first byte on the newer ones (which read it only there).
    int setModeCodeByte = 0;

    // PTT by frame; nullopt where the PTT is the DTR line, with RTS held on for the interface's
    // supply.
    std::optional<CatCommand> pttOn{};
    std::optional<CatCommand> pttOff{};
    // How long the rig needs after its PTT drops before it takes a mode, in ms.
    double modeAfterPttMs = 0;
    // The most the rig can transmit, in W, where that is small and its CAT cannot set the
    // power (a 5 W portable); 0 otherwise.
    double mostPowerW = 0;

    // The dial lock; nullopt where CAT cannot set it.
    std::optional<CatCommand> lockOn{};
    std::optional<CatCommand> lockOff{};
    // A rig that ignores every command until CAT is switched on (sent after opening) and leaves
    // CAT when switched off (sent before closing).
    std::optional<CatCommand> catOn{};
    std::optional<CatCommand> catOff{};

    // A power switch the program works: switched on at opening, and nothing is tuned while it
    // is off.
    std::optional<CatCommand> wakeUp{};
    std::optional<CatCommand> powerOn{};
    std::optional<CatCommand> powerOff{};
    // Sets the pause the rig puts between its reply bytes (the frame's fourth byte, in ms).
    std::optional<CatCommand> catDelay{};

    bool sendsFrames() const { return readFrequency.has_value(); }
    bool hasDialLock() const { return lockOn.has_value(); }
    bool hasPowerSwitch() const { return powerOn.has_value(); }
    bool pttOnLines() const { return sendsFrames() && !pttOn; }
    // Whether a frequency in kHz may be sent: inside one of the bands. A model that sends nothing
    // accepts everything.
    bool frequencyValid(double kHz) const;
    // Whether a frequency read from the rig can be true: from the lowest band's low edge to the
    // highest band's high edge (a receiver tunes between the bands). Never true for 0.
    bool withinDialRange(double kHz) const;
    // Index (1..10) of the first button whose code is the given number, 0 when none.
    int modeIndexForCode(int code) const;
    // The button of the code the configuration keeps: by the code a reply names it with, else
    // by the code it is set with; 0 when none.
    int modeIndexForStoredCode(int code) const;
    // Serial line settings: baud rate + ",N,8," + stop bits.
    QString settingsText(int baudRate) const;
};

// The record of a model; for a value outside the known models, one that sends nothing.
const RigCaps& Caps(Model model);

} // namespace rig
