#include "rig/KenwoodModel.h"

namespace rig {

namespace {

// IF of Kenwood and Elecraft: frequency (11), 5 blanks or step, RIT/XIT offset (5), RIT, XIT,
// a digit, memory channel (2), then transmit (0 receive, 1 transmit) and the mode, and seven
// characters more.
constexpr KenwoodModel::Info KenwoodInfo{35, 0, 27, 26};
// IF of Yaesu's current rigs: memory channel (3), frequency (9), clarifier (5), RX and TX
// clarifier, the mode, then five characters more; no transmit state.
constexpr KenwoodModel::Info YaesuInfo{25, 3, 19, -1};

// MD of Kenwood: 1 LSB, 2 USB, 3 CW, 4 FM, 5 AM, 6 FSK, 7 CW-R, 9 FSK-R.
std::vector<KenwoodModel::Mode> KenwoodModes() {
    return {{QStringLiteral("LSB"), '1'},  {QStringLiteral("USB"), '2'},
            {QStringLiteral("CW"), '3'},   {QStringLiteral("FM"), '4'},
            {QStringLiteral("AM"), '5'},   {QStringLiteral("FSK"), '6'},
            {QStringLiteral("CW-R"), '7'}, {QStringLiteral("FSK-R"), '9'}};
}
// Elecraft names 6 and 9 its DATA modes.
std::vector<KenwoodModel::Mode> ElecraftModes() {
    return {{QStringLiteral("LSB"), '1'},  {QStringLiteral("USB"), '2'},
            {QStringLiteral("CW"), '3'},   {QStringLiteral("FM"), '4'},
            {QStringLiteral("AM"), '5'},   {QStringLiteral("DATA"), '6'},
            {QStringLiteral("CW-R"), '7'}, {QStringLiteral("DATA-R"), '9'}};
}
// MD0 of Yaesu: 1 LSB, 2 USB, 3 CW-U, 4 FM, 5 AM, 6 RTTY-L, 7 CW-L, 8 DATA-L, 9 RTTY-U,
// C DATA-U.
std::vector<KenwoodModel::Mode> YaesuModes() {
    return {{QStringLiteral("LSB"), '1'},    {QStringLiteral("USB"), '2'},
            {QStringLiteral("CW-U"), '3'},   {QStringLiteral("FM"), '4'},
            {QStringLiteral("AM"), '5'},     {QStringLiteral("RTTY-L"), '6'},
            {QStringLiteral("CW-L"), '7'},   {QStringLiteral("DATA-L"), '8'},
            {QStringLiteral("RTTY-U"), '9'}, {QStringLiteral("DATA-U"), 'C'}};
}

// SM0 answers four digits, S9 at half the scale: 0000..0030 (0070 on the TS-890).
KenwoodModel::Meter KenwoodSMeter(int full) {
    return {"SM0;", "SM0", 4, full / 2, full};
}
// The K3 family's SM answers 0000..0021 in its basic format, S9 at 13; SW the SWR in tenths.
const KenwoodModel::Meter ElecraftSMeter{"SM;", "SM", 4, 13, 21};
const KenwoodModel::Meter ElecraftSwr{"SW;", "SW", 3, 20, 0};
// SM0 of Yaesu answers 000..255; RM6 the SWR meter 000..255.
const KenwoodModel::Meter YaesuSMeter{"SM0;", "SM0", 3, 128, 255};
const KenwoodModel::Meter YaesuSwr{"RM6;", "RM6", 3, 128, 0};
const KenwoodModel::Meter NoSwr{{}, {}, 0, 0, 0};

KenwoodModel Kenwood(QString name, int baud, int sFull, std::vector<Band> bands) {
    return {std::move(name), baud,  11,     KenwoodInfo,          "MD",  {},
            "TX;",           "RX;", "AI2;", KenwoodSMeter(sFull), NoSwr, std::move(bands),
            KenwoodModes()};
}
KenwoodModel Elecraft(QString name, std::vector<Band> bands) {
    return {std::move(name), 38400, 11,     KenwoodInfo,    "MD",        {},
            "TX;",           "RX;", "AI2;", ElecraftSMeter, ElecraftSwr, std::move(bands),
            ElecraftModes()};
}
KenwoodModel Yaesu(QString name, std::vector<Band> bands) {
    return {std::move(name), 38400,  9,      YaesuInfo,   "MD0",    "TX;",
            "TX1;",          "TX0;", "AI1;", YaesuSMeter, YaesuSwr, std::move(bands),
            YaesuModes()};
}

} // namespace

const std::vector<KenwoodModel>& KenwoodModels() {
    static const std::vector<KenwoodModel> models{
        Kenwood(QStringLiteral("TS-590"), 115200, 30, {{30, 60000}}),
        Kenwood(QStringLiteral("TS-480"), 9600, 30, {{30, 60000}}),
        Kenwood(QStringLiteral("TS-890"), 115200, 70, {{30, 74800}}),
        Kenwood(QStringLiteral("TS-2000"), 9600, 30,
                {{30, 60000}, {142000, 152000}, {420000, 450000}, {1240000, 1300000}}),
        Elecraft(QStringLiteral("K3"), {{500, 30000}, {44000, 54000}}),
        Elecraft(QStringLiteral("KX2"), {{500, 32000}}),
        Elecraft(QStringLiteral("KX3"), {{500, 32000}, {44000, 54000}}),
        Yaesu(QStringLiteral("FT-991A"), {{30, 56000}, {118000, 164000}, {420000, 470000}}),
        Yaesu(QStringLiteral("FT-891"), {{30, 56000}}),
        Yaesu(QStringLiteral("FT-710"), {{30, 56000}}),
        Yaesu(QStringLiteral("FTDX10"), {{30, 75000}}),
        Yaesu(QStringLiteral("FTDX101"), {{30, 75000}}),
    };
    return models;
}

const KenwoodModel* FindKenwoodModel(const QString& name) {
    for (const KenwoodModel& model : KenwoodModels())
        if (model.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &model;
    return nullptr;
}

} // namespace rig
