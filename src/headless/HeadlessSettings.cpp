#include "headless/HeadlessSettings.h"

#include "core/SettingsGroupReader.h"

namespace headless {

HeadlessSettings ReadHeadlessSettings(const QString& settingsFile, core::SettingsReport* report) {
    HeadlessSettings result;
    core::SettingsGroupReader(settingsFile, QStringLiteral("headless"), report)
        .boolean(QStringLiteral("park"), result.park);
    return result;
}

} // namespace headless
