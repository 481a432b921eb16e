#include "port/PhaseOffsets.h"

#include "core/SettingsFile.h"
#include "core/SettingsGroupReader.h"

namespace port {

namespace {

QString Group(core::Long stepper) {
    return QStringLiteral("stepper%1").arg(stepper + 1);
}

const QString Key = QStringLiteral("phaseOffset");

} // namespace

void ReadPhaseOffsets(const QString& settingsFile, core::ProgramState& state,
                      core::SettingsReport* report) {
    for (core::Long stepper : {0, 1}) {
        int offset = 0;
        core::SettingsGroupReader(settingsFile, Group(stepper), report).integer(Key, offset, 0, 3);
        state.StoredProfiles[static_cast<std::size_t>(stepper)].PhaseOffset = offset;
    }
}

bool StorePhaseOffset(const QString& settingsFile, core::Long stepper, core::Long offset,
                      QString* error) {
    return core::SetSettings(settingsFile, Group(stepper), {{Key, QString::number(offset)}}, error,
                             {{Key, QStringLiteral("set by the program when the counter is set: "
                                                   "keeps the coil code where the motor stands")}});
}

} // namespace port
