#include "rig/CatCommandTable.h"

namespace rig {

namespace {

const CatCommandTable Ft757GXII{
    .model = Model::Ft757GXII,
    .readScheme = ReadScheme::StatusBlock75,
    .frequencyLayout = FrequencyLayout::PackedBcdLowFirst,
    .setFrequencyOpcode = 0x0A,
    .setFrequencyName = "Freq",
    .readFrequency = {{0x00, 0x00, 0x00, 0x00, 0x10}, "Ask Freq 75 Bytes "},
    .frequencyReply = {75, ""},
    .frequencyFirstByte = 7,
    .readSMeter = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x10}, "Ask Smeter"},
    .sMeterReply = CatReply{1, "Smeter"},
    .readRxStatus = std::nullopt,
    .readTxStatus = std::nullopt,
    .statusReply = std::nullopt,
    .setModeOpcode = 0x0C,
    .setModeCodeByte = 3,
    .modeCodes = {0, 1, 2, 3, 4, 5},
    .pttOn = std::nullopt,
    .pttOff = std::nullopt,
    .lockOn = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x04}, "Lock on"},
    .lockOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x04}, "Lock off"},
    .catOn = std::nullopt,
    .catOff = std::nullopt,
    .wakeUp = std::nullopt,
    .powerOn = std::nullopt,
    .powerOff = std::nullopt,
    .catDelay = CatCommand{{0x00, 0x00, 0x00, 0x32, 0x0E}, "Delay"},
};

const CatCommandTable Ft817{
    .model = Model::Ft817,
    .readScheme = ReadScheme::BcdAndStatus,
    .frequencyLayout = FrequencyLayout::PackedBcdHighFirst,
    .setFrequencyOpcode = 0x01,
    .setFrequencyName = "Freq",
    .readFrequency = {{0x00, 0x00, 0x00, 0x00, 0x03}, "Ask Freq"},
    .frequencyReply = {5, "Freq"},
    .frequencyFirstByte = 0,
    .readSMeter = std::nullopt,
    .sMeterReply = std::nullopt,
    .readRxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xE7}, "Ask Rx Status"},
    .readTxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xF7}, "Ask Tx Status"},
    .statusReply = CatReply{1, "Status"},
    .setModeOpcode = 0x07,
    .setModeCodeByte = 0,
    // LSB, USB, CW, CWR, AM, FM; WFM cannot be set by CAT; DIG, PKT.
    .modeCodes = {0x00, 0x01, 0x02, 0x03, 0x04, 0x08, std::nullopt, 0x0A, 0x0C},
    .pttOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x08}, "Set PTT", true},
    .pttOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x88}, "Set PTT", true},
    .lockOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x00}, "Lock on", true},
    .lockOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x80}, "Lock off", true},
    .catOn = std::nullopt,
    .catOff = std::nullopt,
    .wakeUp = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x00}, "Reset", true},
    .powerOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x0F}, "Switch on"},
    .powerOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x8F}, "Switch off"},
    .catDelay = std::nullopt,
};

const CatCommandTable Ft840{
    .model = Model::Ft840,
    .readScheme = ReadScheme::Block19,
    .frequencyLayout = FrequencyLayout::PackedBcdLowFirst,
    .setFrequencyOpcode = 0x0A,
    .setFrequencyName = "Set freq",
    .readFrequency = {{0x02, 0x00, 0x00, 0x02, 0x10}, "Ask Freq"},
    .frequencyReply = {19, ""},
    .frequencyFirstByte = 3,
    .readSMeter = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xF7}, "Ask Smeter"},
    .sMeterReply = CatReply{5, "Smeter"},
    .readRxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xFA}, "Ask Status"},
    .readTxStatus = std::nullopt,
    .statusReply = CatReply{5, "Status"},
    .setModeOpcode = 0x0C,
    .setModeCodeByte = 3,
    .modeCodes = {0, 1, 2, 3, 4, 5, 6},
    .pttOn = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x0F}, "Set PTT"},
    .pttOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x0F}, "Set PTT"},
    .lockOn = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x04}, "Lock on"},
    .lockOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x04}, "Lock off"},
    .catOn = std::nullopt,
    .catOff = std::nullopt,
    .wakeUp = std::nullopt,
    .powerOn = std::nullopt,
    .powerOff = std::nullopt,
    .catDelay = std::nullopt,
};

// 00 and 80 are CAT on and off on this rig, not a lock: it has no dial lock by CAT.
const CatCommandTable Ft847{
    .model = Model::Ft847,
    .readScheme = ReadScheme::BcdAndStatus,
    .frequencyLayout = FrequencyLayout::PackedBcdHighFirst,
    .setFrequencyOpcode = 0x01,
    .setFrequencyName = "Set freq",
    .readFrequency = {{0x00, 0x00, 0x00, 0x00, 0x03}, "Ask Freq"},
    .frequencyReply = {5, "Freq"},
    .frequencyFirstByte = 0,
    .readSMeter = std::nullopt,
    .sMeterReply = std::nullopt,
    .readRxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xE7}, "Ask Rx Status"},
    .readTxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xF7}, "Ask Tx Status"},
    .statusReply = CatReply{1, "Smeter"},
    .setModeOpcode = 0x07,
    .setModeCodeByte = 0,
    .modeCodes = {0x00, 0x01, 0x02, 0x03, 0x04, 0x08, 0x82, 0x83, 0x84, 0x88},
    .pttOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x08}, "Set PTT"},
    .pttOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x88}, "Set PTT"},
    .lockOn = std::nullopt,
    .lockOff = std::nullopt,
    .catOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x00}, "CAT on"},
    .catOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x80}, "CAT off"},
    .wakeUp = std::nullopt,
    .powerOn = std::nullopt,
    .powerOff = std::nullopt,
    .catDelay = std::nullopt,
};

} // namespace

const CatCommandTable* CommandTable(Model model) {
    switch (model) {
    case Model::Ft757GXII:
        return &Ft757GXII;
    case Model::Ft817:
        return &Ft817;
    case Model::Ft840:
        return &Ft840;
    case Model::Ft847:
        return &Ft847;
    default:
        return nullptr;
    }
}

bool HasDialLock(Model model) {
    const CatCommandTable* table = CommandTable(model);
    return table && table->lockOn;
}

} // namespace rig
