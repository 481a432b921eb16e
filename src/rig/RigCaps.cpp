#include "rig/RigCaps.h"

#include "core/TextRules.h"

namespace rig {

namespace {

using core::CrLf;

// The 5-byte BCD family: the FT-817 and the later FT-857 and FT-897, which share its frame set
// (P1 carries the mode; lock, PTT and status answered; 0x00 / 0x80 lock the dial).
RigCaps Ft817Family(const char* name, const char* menuText) {
    return {
        .name = QString::fromLatin1(name),
        .menuText = QString::fromLatin1(menuText),
        .defaultBaud = 4800,
        .stopBits = 1,
        .readScheme = ReadScheme::BcdAndStatus,
        .readFrequency = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x03}, "Ask Freq"},
        .frequencyReply = {5, "Freq"},
        .frequencyLayout = FrequencyLayout::PackedBcdHighFirst,
        .setFrequencyOpcode = 0x01,
        .setFrequencyName = "Freq",
        .readRxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xE7}, "Ask Rx Status"},
        .readTxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xF7}, "Ask Tx Status"},
        .statusReply = CatReply{1, "Status"},
        .setModeOpcode = 0x07,
        .setModeCodeByte = 0,
        .pttOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x08}, "Set PTT", true},
        .pttOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x88}, "Set PTT", true},
        .lockOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x00}, "Lock on", true},
        .lockOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x80}, "Lock off", true},
    };
}

RigCaps Ft757GXII() {
    return {
        .name = QStringLiteral("FT757GXII"),
        .menuText = QStringLiteral("FT-757GXII"),
        .selectionNote = SelectionNote{QStringLiteral("Not yet tested") + CrLf +
                                           QStringLiteral("PTT through RTS and DTR") + CrLf +
                                           QStringLiteral("Pin 7 and 4 of db9 "),
                                       true},
        .bands = {{150, 29999}},
        .modes = {{QStringLiteral("LSB"), 0, 0},
                  {QStringLiteral("USB"), 1, 1},
                  {QStringLiteral("CWW"), 2, 2},
                  {QStringLiteral("CWN"), 3, 3},
                  {QStringLiteral("AM"), 4, 4},
                  {QStringLiteral("FM"), 5, 5}},
        .defaultBaud = 4800,
        .stopBits = 2,
        .readScheme = ReadScheme::StatusBlock75,
        .readFrequency = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x10}, "Ask Freq 75 Bytes "},
        .frequencyReply = {75, ""},
        .frequencyFirstByte = 7,
        .frequencyLayout = FrequencyLayout::PackedBcdLowFirst,
        .setFrequencyOpcode = 0x0A,
        .setFrequencyName = "Freq",
        .readSMeter = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x10}, "Ask Smeter"},
        .sMeterReply = CatReply{1, "Smeter"},
        .sMeterMax = 15,
        .setModeOpcode = 0x0C,
        .setModeCodeByte = 3,
        .modeAfterPttMs = 100,
        .lockOn = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x04}, "Lock on"},
        .lockOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x04}, "Lock off"},
        .catDelay = CatCommand{{0x00, 0x00, 0x00, 0x32, 0x0E}, "Delay"},
    };
}

RigCaps Ft817() {
    RigCaps caps = Ft817Family("FT817", "FT-817/818");
    caps.mostPowerW = 6; // the FT-818; the FT-817 gives 5
    caps.bands = {{100, 30000}, {50000, 54000}, {76000, 154000}, {430000, 450000}};
    // WFM cannot be set by CAT; no reply is taken to name WFM, DIG or PKT.
    caps.modes = {{QStringLiteral("LSB"), 0x00, 0},
                  {QStringLiteral("USB"), 0x01, 1},
                  {QStringLiteral("CW"), 0x02, 2},
                  {QStringLiteral("CWR"), 0x03, 3},
                  {QStringLiteral("AM"), 0x04, 4},
                  {QStringLiteral("FM"), 0x08, 8},
                  {QStringLiteral("WFM"), std::nullopt, std::nullopt},
                  {QStringLiteral("DIG"), 0x0A, std::nullopt},
                  {QStringLiteral("PKT"), 0x0C, std::nullopt}};
    caps.wakeUp = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x00}, "Reset", true};
    caps.powerOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x0F}, "Switch on"};
    caps.powerOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x8F}, "Switch off"};
    return caps;
}

// The FT-857 and FT-897 alike: receivers from 100 kHz to 56 MHz, the FM broadcast and air bands
// and 2 m, and 70 cm; bytes with two stop bits; FM-N as a mode of its own, and every mode named
// in the reply by the code it is set with. No power switch is worked: their power button stays
// the operator's.
RigCaps Ft857Or897(const char* name, const char* menuText) {
    RigCaps caps = Ft817Family(name, menuText);
    caps.bands = {{100, 56000}, {76000, 108000}, {118000, 164000}, {420000, 470000}};
    caps.modes = {{QStringLiteral("LSB"), 0x00, 0x00}, {QStringLiteral("USB"), 0x01, 0x01},
                  {QStringLiteral("CW"), 0x02, 0x02},  {QStringLiteral("CWR"), 0x03, 0x03},
                  {QStringLiteral("AM"), 0x04, 0x04},  {QStringLiteral("FM"), 0x08, 0x08},
                  {QStringLiteral("DIG"), 0x0A, 0x0A}, {QStringLiteral("PKT"), 0x0C, 0x0C},
                  {QStringLiteral("FMN"), 0x88, 0x88}};
    caps.stopBits = 2;
    return caps;
}

RigCaps Ft840() {
    return {
        .name = QStringLiteral("FT840"),
        .menuText = QStringLiteral("FT-840"),
        .bands = {{100, 30000}},
        .modes = {{QStringLiteral("LSB"), 0, 0},
                  {QStringLiteral("USB"), 1, 1},
                  {QStringLiteral("CWw"), 2, 2},
                  {QStringLiteral("CWn"), 3, 3},
                  {QStringLiteral("AMw"), 4, 4},
                  {QStringLiteral("AMn"), 5, 5},
                  {QStringLiteral("FM"), 6, 6}},
        .defaultBaud = 4800,
        .stopBits = 2,
        .readScheme = ReadScheme::Block19,
        .readFrequency = CatCommand{{0x02, 0x00, 0x00, 0x02, 0x10}, "Ask Freq"},
        .frequencyReply = {19, ""},
        .frequencyFirstByte = 3,
        .frequencyLayout = FrequencyLayout::PackedBcdLowFirst,
        .setFrequencyOpcode = 0x0A,
        .setFrequencyName = "Set freq",
        .readSMeter = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xF7}, "Ask Smeter"},
        .sMeterReply = CatReply{5, "Smeter"},
        .readRxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xFA}, "Ask Status"},
        .statusReply = CatReply{5, "Status"},
        .setModeOpcode = 0x0C,
        .setModeCodeByte = 3,
        .pttOn = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x0F}, "Set PTT"},
        .pttOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x0F}, "Set PTT"},
        .lockOn = CatCommand{{0x00, 0x00, 0x00, 0x01, 0x04}, "Lock on"},
        .lockOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x04}, "Lock off"},
    };
}

// 00 and 80 are CAT on and off on this rig, not a lock: it has no dial lock by CAT. The button
// codes of its narrow modes are the program's own numbers, not the bytes the rig sends.
RigCaps Ft847() {
    return {
        .name = QStringLiteral("FT847"),
        .menuText = QStringLiteral("FT-847"),
        .selectionNote = SelectionNote{QStringLiteral("Not yet tested"), false},
        .bands = {{100, 36990}, {37000, 76000}, {108000, 174000}, {420000, 512000}},
        .modes = {{QStringLiteral("LSB"), 0x00, 0},
                  {QStringLiteral("USB"), 0x01, 1},
                  {QStringLiteral("CW"), 0x02, 2},
                  {QStringLiteral("CWr"), 0x03, 3},
                  {QStringLiteral("AM"), 0x04, 4},
                  {QStringLiteral("FM"), 0x08, 8},
                  {QStringLiteral("CWn"), 0x82, 52},
                  {QStringLiteral("CWrn"), 0x83, 53},
                  {QStringLiteral("AMn"), 0x84, 54},
                  {QStringLiteral("FMn"), 0x88, 58}},
        .defaultBaud = 4800,
        .stopBits = 1,
        .readScheme = ReadScheme::BcdAndStatus,
        .readFrequency = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x03}, "Ask Freq"},
        .frequencyReply = {5, "Freq"},
        .frequencyLayout = FrequencyLayout::PackedBcdHighFirst,
        .setFrequencyOpcode = 0x01,
        .setFrequencyName = "Set freq",
        .readRxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xE7}, "Ask Rx Status"},
        .readTxStatus = CatCommand{{0x00, 0x00, 0x00, 0x00, 0xF7}, "Ask Tx Status"},
        .statusReply = CatReply{1, "Smeter"},
        .setModeOpcode = 0x07,
        .setModeCodeByte = 0,
        .pttOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x08}, "Set PTT"},
        .pttOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x88}, "Set PTT"},
        .catOn = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x00}, "CAT on"},
        .catOff = CatCommand{{0x00, 0x00, 0x00, 0x00, 0x80}, "CAT off"},
    };
}

} // namespace

const RigCaps& Caps(Model model) {
    // In the order of the numbers the configuration stores: RigModel 1 is the first.
    static const std::array<RigCaps, 6> known{
        Ft757GXII(),
        Ft817(),
        Ft840(),
        Ft847(),
        Ft857Or897("FT857", "FT-857"),
        Ft857Or897("FT897", "FT-897"),
    };
    static const RigCaps unknown;
    const auto at = static_cast<std::size_t>(model) - 1;
    return at < known.size() ? known[at] : unknown;
}

bool RigCaps::frequencyValid(double kHz) const {
    if (!sendsFrames())
        return true;
    for (const Band& band : bands) {
        if (kHz >= band.lowKHz && kHz <= band.highKHz)
            return true;
    }
    return false;
}

bool RigCaps::withinDialRange(double kHz) const {
    if (kHz <= 0)
        return false;
    return bands.empty() || (kHz >= bands.front().lowKHz && kHz <= bands.back().highKHz);
}

int RigCaps::modeIndexForCode(int code) const {
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (!modes[i].name.isEmpty() && modes[i].code == code)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

int RigCaps::modeIndexForStoredCode(int code) const {
    int index = modeIndexForCode(code);
    // A mode no reply names (the FT-817's DIG and PKT) is kept by the code it was set with.
    for (std::size_t i = 0; index == 0 && i < modes.size(); ++i) {
        if (modes[i].sent == code)
            index = static_cast<int>(i) + 1;
    }
    return index;
}

QString RigCaps::settingsText(int baudRate) const {
    return QString::number(baudRate) + QStringLiteral(",N,8,") + QString::number(stopBits);
}

} // namespace rig
