#include "rig/SerialDeviceMap.h"

#include "core/ProgramDirectory.h"
#include "core/SettingsFile.h"
#include "rig/RigLogging.h"

namespace rig {

SerialDeviceMap SerialDeviceMap::Load(const QString& programDirectory) {
    const QString path = core::SettingsFilePath(programDirectory);
    SerialDeviceMap map;
    std::vector<std::pair<QString, QString>> missing;
    {
        const core::IniSettings ini(path);
        for (int i = 0; i < 4; ++i) {
            const QString key = QStringLiteral("COM%1").arg(i + 1);
            const auto text = core::SettingsText(ini, QStringLiteral("serial/") + key);
            map.paths_[i] = text.value_or(QString::fromLatin1(DefaultDevices[i]));
            if (!text) // missing or blank: the default, written for the user to find
                missing.emplace_back(key, map.paths_[i]);
        }
    }
    QString error;
    if (!missing.empty() && !core::AppendSettings(path, QStringLiteral("serial"), missing, &error))
        qCWarning(lcRig) << "cannot write" << path << error;
    return map;
}

QString SerialDeviceMap::devicePath(int port) const {
    return port >= 1 && port <= 4 ? paths_[port - 1] : QString();
}

} // namespace rig
