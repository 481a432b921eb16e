#pragma once

#include <QByteArray>
#include <QMap>
#include <cstdint>

namespace rig_test {

// A transceiver of the Kenwood family as its CAT description writes the commands: a TS-590
// (FA in 11 digits; IF with transmit and mode after the memory channel; TX;/RX; key it; SM0
// 0000..0030) or, with yaesu, an FT-991A (FA in 9 digits; IF after a 3-digit memory channel,
// without transmit; TX; reads TX0/TX1/TX2, TX1;/TX0; key it; MD0; SM0 and RM6 000..255). Set
// commands are not answered; an unknown command gets "?;". Both answer the identity ID (021 the
// TS-590S, 0670 the FT-991A), power PS1, VFO B's frequency FB and auto-information AI; the TS-590
// also its firmware FV and data mode DA, both the power PC in watts, the FT-991A its transmitting VFO FT, width SH0, narrow
// filter NA0 and menu items EX (EX032 the CAT time-out; set with a value, read without).
struct KenwoodTransceiver {
    bool yaesu = false;
    std::int64_t dialHz = 7100000;
    std::int64_t vfoBHz = 7000000;
    QMap<QByteArray, QByteArray> menu{{"032", "0"}};
    char mode = '2'; // USB
    bool transmitting = false;
    bool autoInfo = false;
    bool narrow = false;
    int busyAnswers = 0; // the next reads answered "?;"
    int sMeter = 15;
    int swr = 50;
    int powerW = 50;

    QByteArray digits(std::int64_t value, int width) const {
        return QByteArray::number(value).rightJustified(width, '0');
    }
    QByteArray answer(const QByteArray& command) {
        const bool read = command == "FA;" || command == "IF;" || command == "MD;" ||
                          command == "MD0;" || command == "SM0;" || command == "RM6;" ||
                          (yaesu && command == "TX;");
        if (read && busyAnswers > 0) {
            --busyAnswers;
            return "?;";
        }
        const int width = yaesu ? 9 : 11;
        if (command == "FA;")
            return "FA" + digits(dialHz, width) + ";";
        if (command == "FB;")
            return "FB" + digits(vfoBHz, width) + ";";
        if (command == "ID;")
            return yaesu ? "ID0670;" : "ID021;";
        if (command == "PS;")
            return "PS1;";
        if (!yaesu && command == "FV;")
            return "FV1.04;";
        if (!yaesu && command == "DA;")
            return "DA0;";
        if (command == "AI;")
            return !autoInfo ? "AI0;" : yaesu ? "AI1;" : "AI2;";
        if (yaesu && command == "FT;")
            return "FT0;";
        if (yaesu && command == "SH0;")
            return "SH000;";
        if (yaesu && command == "NA0;")
            return narrow ? "NA01;" : "NA00;";
        if (yaesu && (command == "NA00;" || command == "NA01;")) {
            narrow = command == "NA01;";
            return {};
        }
        if (yaesu && command.startsWith("EX") && command.size() >= 6) {
            const QByteArray item = command.mid(2, 3);
            if (!menu.contains(item))
                return "?;";
            if (command.size() == 6)
                return "EX" + item + menu.value(item) + ";";
            menu[item] = command.mid(5, command.size() - 6);
            return {};
        }
        if (command == "IF;" && !yaesu)
            return "IF" + digits(dialHz, 11) + "     +000000000" + (transmitting ? "1" : "0") +
                   mode + "000000 ;";
        if (command == "IF;")
            return "IF001" + digits(dialHz, 9) + "+000000" + mode + "00000;";
        if (command == (yaesu ? "MD0;" : "MD;"))
            return (yaesu ? "MD0" : "MD") + QByteArray(1, mode) + ";";
        if (command == "SM0;")
            return yaesu ? "SM0" + digits(sMeter, 3) + ";" : "SM0" + digits(sMeter, 4) + ";";
        if (yaesu && command == "RM6;")
            return "RM6" + digits(swr, 3) + ";";
        if (yaesu && command == "TX;")
            return transmitting ? "TX1;" : "TX0;";
        if (command == "PC;")
            return "PC" + digits(powerW, 3) + ";";
        if (command.startsWith("PC") && command.size() == 6) {
            powerW = command.mid(2, 3).toInt();
            return {};
        }
        if (command.startsWith("FA") && command.size() == width + 3) {
            dialHz = command.mid(2, width).toLongLong();
            return {};
        }
        if (command.startsWith(yaesu ? "MD0" : "MD") && command.size() == (yaesu ? 5 : 4)) {
            mode = command.at(command.size() - 2);
            return {};
        }
        if (command == (yaesu ? "TX1;" : "TX;") || command == (yaesu ? "TX0;" : "RX;")) {
            transmitting = command == (yaesu ? "TX1;" : "TX;");
            return {};
        }
        if (command == (yaesu ? "AI1;" : "AI2;") || command == "AI0;") {
            autoInfo = command != "AI0;";
            return {};
        }
        return "?;";
    }
};

} // namespace rig_test
