#include "rig/FollowSettings.h"

#include "core/SettingsGroupReader.h"

namespace rig {

QString FollowModeName(FollowMode mode) {
    switch (mode) {
    case FollowMode::Continuous:
        return QStringLiteral("continuous");
    case FollowMode::Rested:
        return QStringLiteral("rested");
    case FollowMode::Manual:
        return QStringLiteral("manual");
    }
    return {};
}

FollowSettingsPair LoadFollowSettings(const QString& settingsFile, core::SettingsReport* report) {
    FollowSettingsPair pair;
    for (std::size_t i = 0; i < pair.size(); ++i) {
        core::SettingsGroupReader group(settingsFile, QStringLiteral("follow%1").arg(i + 1), report,
                                        core::SettingsGroupReader::Blank::KeepsDefault);
        FollowSettings& s = pair[i];
        std::vector<std::pair<QString, FollowMode>> names;
        for (const FollowMode mode :
             {FollowMode::Continuous, FollowMode::Rested, FollowMode::Manual})
            names.emplace_back(FollowModeName(mode), mode);
        group.choice(QStringLiteral("mode"), s.mode, names);
        group.integer(QStringLiteral("restMs"), s.restMs, 0, 10'000);
        group.integer(QStringLiteral("deadbandSteps"), s.deadbandSteps, 0, 100'000);
    }
    return pair;
}

} // namespace rig
