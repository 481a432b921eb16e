#pragma once

#include "rig/Band.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace rig {

// One transceiver of the family that talks Kenwood's ASCII commands ("FA;" asks, "FA...;"
// answers, ";" ends every command), as its own CAT description gives them.
struct KenwoodModel {
    struct Mode {
        QString name;
        char code; // the mode character of MD
    };
    // Where the IF answer holds what a reading needs: offsets into the text after "IF", before
    // ";"; transmitAt -1 where IF does not tell transmit.
    struct Info {
        int length;
        int frequencyAt;
        int modeAt;
        int transmitAt;
    };
    // A meter read: the command, the answer's prefix and digits, and its scale.
    struct Meter {
        QByteArray read;   // "SM0;"; empty: the rig has no such read
        QByteArray prefix; // "SM0"
        int digits;
        int s9OrHighSwr; // S-meter: the value at S9; SWR: the value from which SWR is high
        int full;        // S-meter: the value at S9+60 dB
    };

    QString name;        // "TS-590", as Ventrolo.ini's [kenwood] model names it
    int baud;            // the rig's factory rate
    int frequencyDigits; // FA in Hz: 11 digits (Kenwood, Elecraft), 9 (Yaesu)
    Info info;
    QByteArray modePrefix;   // "MD" or, with the receiver named, "MD0"
    QByteArray transmitRead; // where IF does not tell transmit: "TX;" answered TX0 (receive)
    QByteArray pttOn;        // "TX;" or "TX1;"
    QByteArray pttOff;       // "RX;" or "TX0;"
    QByteArray autoInfoOn;   // "AI2;" or "AI1;"; off is "AI0;" for all
    Meter sMeter;
    Meter swr;
    std::vector<Band> bands; // what the rig tunes to, kHz
    std::vector<Mode> modes; // the mode buttons, in order (at most ten)
};

// TS-590 first (the default), then TS-480, TS-890, TS-2000, K3, KX2, KX3, FT-991A, FT-891,
// FT-710, FTDX10, FTDX101.
const std::vector<KenwoodModel>& KenwoodModels();
// The model of that name (letter case ignored); nullptr for none.
const KenwoodModel* FindKenwoodModel(const QString& name);

} // namespace rig
