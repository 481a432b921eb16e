#include "tuning/FollowSettings.h"

#include "core/SettingsGroupReader.h"

#include <optional>

namespace tuning {

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
        constexpr int Auto = -1;
        int deadband = s.deadbandSteps;
        group.value(
            QStringLiteral("deadbandSteps"), deadband,
            [](const QString& given) -> std::optional<int> {
                const QString text = given.trimmed();
                if (text.compare(QStringLiteral("auto"), Qt::CaseInsensitive) == 0)
                    return Auto;
                bool ok = false;
                const int steps = text.toInt(&ok);
                return ok && steps >= 0 && steps <= 100'000 ? std::optional<int>(steps)
                                                            : std::nullopt;
            },
            QString::number(deadband));
        s.deadbandAuto = deadband == Auto;
        if (!s.deadbandAuto)
            s.deadbandSteps = deadband;
    }
    return pair;
}

} // namespace tuning
