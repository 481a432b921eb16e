#include "headless/HeadlessSettings.h"

#include "core/SettingsFile.h"

namespace headless {

HeadlessSettings ReadHeadlessSettings(const QString& settingsFile, core::SettingsReport* report) {
    HeadlessSettings result;
    const core::IniSettings ini(settingsFile);
    const QString key = QStringLiteral("headless/park");
    if (!core::SettingsContain(ini, key))
        return result;
    const QString text = core::SettingsText(ini, key).value_or(QString());
    if (const auto park = core::SettingsSwitch(text))
        result.park = *park;
    else if (report)
        report->Unused(settingsFile, key, text, QStringLiteral("false"));
    return result;
}

} // namespace headless
