#include "rig/CivModel.h"

namespace rig {

namespace {

// The modes every HF rig of the family has, with the codes its mode commands use.
std::vector<CivModel::Mode> HfModes() {
    return {{QStringLiteral("LSB"), 0x00},  {QStringLiteral("USB"), 0x01},
            {QStringLiteral("AM"), 0x02},   {QStringLiteral("CW"), 0x03},
            {QStringLiteral("RTTY"), 0x04}, {QStringLiteral("FM"), 0x05},
            {QStringLiteral("CW-R"), 0x07}, {QStringLiteral("RTTY-R"), 0x08}};
}

// The rigs with digital voice add it (DV, code 17), the IC-9700 also its data mode (DD, 22).
std::vector<CivModel::Mode> WithDv(bool dd) {
    std::vector<CivModel::Mode> modes = HfModes();
    modes.push_back({QStringLiteral("DV"), 0x17});
    if (dd)
        modes.push_back({QStringLiteral("DD"), 0x22});
    return modes;
}

} // namespace

const std::vector<CivModel>& CivModels() {
    static const std::vector<CivModel> models{
        {QStringLiteral("IC-7300"), 0x94, {{30, 74800}}, HfModes(), true, 100},
        {QStringLiteral("IC-705"), 0xA4, {{30, 199999}, {400000, 470000}}, WithDv(false), true, 10},
        {QStringLiteral("IC-9700"),
         0xA2,
         {{144000, 148000}, {430000, 450000}, {1240000, 1300000}},
         WithDv(true),
         true,
         100},
        {QStringLiteral("IC-7610"), 0x98, {{30, 60000}}, HfModes(), true, 100},
        {QStringLiteral("IC-7100"),
         0x88,
         {{30, 199999}, {400000, 470000}},
         WithDv(false),
         true,
         100},
    };
    return models;
}

const CivModel* FindCivModel(const QString& name) {
    for (const CivModel& model : CivModels())
        if (model.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &model;
    return nullptr;
}

} // namespace rig
