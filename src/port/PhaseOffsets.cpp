#include "port/PhaseOffsets.h"

#include "core/SettingsFile.h"

namespace port {

namespace {

QString Group(core::Long stepper) {
    return QStringLiteral("stepper%1").arg(stepper + 1);
}

const QString Key = QStringLiteral("phaseOffset");

} // namespace

void ReadPhaseOffsets(const QString& settingsFile, core::ProgramState& state,
                      core::SettingsReport* report) {
    const core::IniSettings ini(settingsFile);
    for (core::Long stepper : {0, 1}) {
        core::Long& offset = state.StoredProfiles[static_cast<std::size_t>(stepper)].PhaseOffset;
        offset = 0;
        const QString key = Group(stepper) + QLatin1Char('/') + Key;
        if (!core::SettingsContain(ini, key))
            continue;
        const QString text = core::SettingsText(ini, key).value_or(QString());
        bool number = false;
        const int value = text.toInt(&number);
        if (number && value >= 0 && value <= 3)
            offset = value;
        else if (report)
            report->Unused(settingsFile, key, text, QStringLiteral("0"));
    }
}

bool StorePhaseOffset(const QString& settingsFile, core::Long stepper, core::Long offset,
                      QString* error) {
    return core::SetSettings(settingsFile, Group(stepper), {{Key, QString::number(offset)}}, error,
                             {{Key, QStringLiteral("set by the program when the counter is set: "
                                                   "keeps the coil code where the motor stands")}});
}

} // namespace port
