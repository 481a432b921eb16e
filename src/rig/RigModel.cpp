#include "rig/RigModel.h"

#include <initializer_list>
#include <utility>

namespace rig {

namespace {

std::vector<ModeEntry> Modes(std::initializer_list<std::pair<const char*, const char*>> list) {
    std::vector<ModeEntry> modes;
    for (const auto& [name, code] : list)
        modes.push_back({QString::fromLatin1(name), QString::fromLatin1(code)});
    return modes;
}

} // namespace

QString ModelName(Model model) {
    switch (model) {
    case Model::Ft757GXII:
        return QStringLiteral("FT757GXII");
    case Model::Ft817:
        return QStringLiteral("FT817");
    case Model::Ft840:
        return QStringLiteral("FT840");
    case Model::Ft847:
        return QStringLiteral("FT847");
    case Model::Ft857:
        return QStringLiteral("FT857");
    case Model::Ft897:
        return QStringLiteral("FT897");
    }
    return {};
}

bool HasCatFrames(Model model) {
    return model >= Model::Ft757GXII && model <= Model::Ft847;
}

const std::vector<Band>& Bands(Model model) {
    static const std::vector<Band> ft757{{150, 29999}};
    static const std::vector<Band> ft817{
        {100, 30000}, {50000, 54000}, {76000, 154000}, {430000, 450000}};
    static const std::vector<Band> ft840{{100, 30000}};
    static const std::vector<Band> ft847{
        {100, 36990}, {37000, 76000}, {108000, 174000}, {420000, 512000}};
    // Not driven by the program; their receivers, for the simulated rig.
    static const std::vector<Band> ft857{
        {100, 56000}, {76000, 108000}, {118000, 164000}, {420000, 470000}};
    switch (model) {
    case Model::Ft757GXII:
        return ft757;
    case Model::Ft817:
        return ft817;
    case Model::Ft840:
        return ft840;
    case Model::Ft847:
        return ft847;
    default:
        return ft857;
    }
}

bool FrequencyValid(Model model, double kHz) {
    if (!HasCatFrames(model))
        return true;
    for (const Band& band : Bands(model)) {
        if (kHz >= band.lowKHz && kHz <= band.highKHz)
            return true;
    }
    return false;
}

bool WithinDialRange(Model model, double kHz) {
    const std::vector<Band>& bands = Bands(model);
    return kHz > 0 && kHz >= bands.front().lowKHz && kHz <= bands.back().highKHz;
}

const std::vector<ModeEntry>& ModeTable(Model model) {
    static const std::vector<ModeEntry> ft757 =
        Modes({{"LSB", "0"}, {"USB", "1"}, {"CWW", "2"}, {"CWN", "3"}, {"AM", "4"}, {"FM", "5"}});
    static const std::vector<ModeEntry> ft817 = Modes({{"LSB", "0"},
                                                       {"USB", "1"},
                                                       {"CW", "2"},
                                                       {"CWR", "3"},
                                                       {"AM", "4"},
                                                       {"FM", "8"},
                                                       {"WFM", ""},
                                                       {"DIG", ""},
                                                       {"PKT", ""}});
    static const std::vector<ModeEntry> ft840 = Modes({{"LSB", "0"},
                                                       {"USB", "1"},
                                                       {"CWw", "2"},
                                                       {"CWn", "3"},
                                                       {"AMw", "4"},
                                                       {"AMn", "5"},
                                                       {"FM", "6"}});
    static const std::vector<ModeEntry> ft847 = Modes({{"LSB", "0"},
                                                       {"USB", "1"},
                                                       {"CW", "2"},
                                                       {"CWr", "3"},
                                                       {"AM", "4"},
                                                       {"FM", "8"},
                                                       {"CWn", "52"},
                                                       {"CWrn", "53"},
                                                       {"AMn", "54"},
                                                       {"FMn", "58"}});
    static const std::vector<ModeEntry> none;
    switch (model) {
    case Model::Ft757GXII:
        return ft757;
    case Model::Ft817:
        return ft817;
    case Model::Ft840:
        return ft840;
    case Model::Ft847:
        return ft847;
    default:
        return none;
    }
}

int ModeIndexForCode(Model model, int code) {
    const std::vector<ModeEntry>& modes = ModeTable(model);
    for (std::size_t i = 0; i < modes.size(); ++i) {
        bool ok = false;
        const int entryCode = modes[i].code.toInt(&ok);
        if (!modes[i].name.isEmpty() && ok && entryCode == code)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QString SerialSettingsText(Model model, int baudRate) {
    const bool twoStopBits = model == Model::Ft757GXII || model == Model::Ft840;
    return QString::number(baudRate) +
           (twoStopBits ? QStringLiteral(",N,8,2") : QStringLiteral(",N,8,1"));
}

} // namespace rig
